#include "ComposedPiece.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace zv::test {

namespace {

constexpr int kTicks = 480;   // ticks a beat
constexpr int kDrums = 9;     // the General MIDI percussion channel
constexpr int kBass = 0, kChords = 1, kMelody = 2, kLow = 3;

enum Drum { Kick = 36, Stick = 37, Snare = 38, Clap = 39, ClosedHat = 42, OpenHat = 46, Crash = 49, Ride = 51 };

struct Note {
    double beat;      // global beat position (0 = the first beat written)
    double length;    // beats
    int channel, key, velocity;
};

struct Writer {
    std::vector<Note> notes;
    std::mt19937 random;
    void Add(double at, double length, int channel, int key, int velocity) {
        // A little life in the loudness; the timing stays on the grid.
        const int v = velocity + std::uniform_int_distribution<int>(-6, 6)(random);
        notes.push_back({at, length, channel, key, std::clamp(v, 1, 127)});
    }
    void Hit(double at, int drum, int velocity) { Add(at, 0.1, kDrums, drum, velocity); }
    void Chord(double at, double length, int channel, const std::vector<int>& keys, int velocity) {
        for (const int k : keys) Add(at, length, channel, k, velocity);
    }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
};

// I - vi - IV - V in C, and a few more: the bar's root (a bass note) and
// whether the chord is minor.
struct Harmony {
    int root;
    bool minor;
};
constexpr Harmony kProgressions[][4] = {
    {{48, false}, {45, true}, {41, false}, {43, false}},
    {{45, true}, {41, false}, {48, false}, {43, false}},
    {{50, true}, {43, false}, {48, false}, {45, true}},
};

std::vector<int> Triad(const Harmony& h, int octave) {
    const int base = h.root + 12 * octave;
    return {base, base + (h.minor ? 3 : 4), base + 7};
}

// One bar of each style, starting at beat b0.
void RockBar(Writer& w, double b0, const Harmony& h, int bar) {
    for (int e = 0; e < 8; ++e) w.Hit(b0 + e * 0.5, ClosedHat, e % 2 ? 55 : 72);
    w.Hit(b0, Kick, 105);
    w.Hit(b0 + 2, Kick, 100);
    w.Hit(b0 + 2.5, Kick, 85);
    w.Hit(b0 + 1, Snare, 105);
    w.Hit(b0 + 3, Snare, 105);
    if (bar % 4 == 0) w.Hit(b0, Crash, 90);
    for (int e = 0; e < 8; ++e) w.Add(b0 + e * 0.5, 0.45, kBass, h.root - 12, e % 2 ? 80 : 92);
    const std::vector<int> power = {h.root, h.root + 7, h.root + 12};
    w.Chord(b0, 1.9, kChords, power, 85);
    w.Chord(b0 + 2, 1.9, kChords, power, 80);
}

void DiscoBar(Writer& w, double b0, const Harmony& h, int) {
    for (int b = 0; b < 4; ++b) {
        w.Hit(b0 + b, Kick, 105);
        w.Hit(b0 + b, ClosedHat, 50);
        w.Hit(b0 + b + 0.5, OpenHat, 75);
        w.Add(b0 + b, 0.4, kBass, h.root - 12, 95);
        w.Add(b0 + b + 0.5, 0.4, kBass, h.root, 85);
    }
    w.Hit(b0 + 1, Clap, 95);
    w.Hit(b0 + 3, Clap, 95);
    w.Chord(b0, 3.9, kChords, Triad(h, 1), 60);
}

void HipHopBar(Writer& w, double b0, const Harmony& h, int) {
    for (int b = 0; b < 4; ++b) w.Hit(b0 + b + 0.5, ClosedHat, 45);   // quiet, on the off-beats only
    w.Hit(b0, Kick, 110);
    w.Hit(b0 + 2.5, Kick, 100);
    w.Hit(b0 + 1, Snare, 110);
    w.Hit(b0 + 3, Snare, 110);
    w.Add(b0, 1.4, kBass, h.root - 12, 95);
    w.Add(b0 + 2.5, 1.4, kBass, h.root - 12, 85);
    w.Chord(b0, 3.9, kChords, Triad(h, 1), 50);
}

void ShuffleBar(Writer& w, double b0, const Harmony& h, int) {
    const int walk[4] = {0, 4, 7, 9};
    for (int b = 0; b < 4; ++b) {
        w.Hit(b0 + b, Ride, 80);
        w.Hit(b0 + b + 2.0 / 3, Ride, 58);
        w.Add(b0 + b, 0.9, kBass, h.root - 12 + walk[b] - (h.minor && walk[b] == 4 ? 1 : 0), 92);
    }
    w.Hit(b0, Kick, 95);
    w.Hit(b0 + 2, Kick, 90);
    w.Hit(b0 + 1, Snare, 95);
    w.Hit(b0 + 3, Snare, 95);
    w.Chord(b0 + 1, 0.5, kChords, Triad(h, 1), 70);
    w.Chord(b0 + 3, 0.5, kChords, Triad(h, 1), 70);
    w.Chord(b0 + 3 + 2.0 / 3, 0.3, kChords, Triad(h, 1), 55);
}

void FunkBar(Writer& w, double b0, const Harmony& h, int) {
    const int hat[4] = {75, 40, 60, 40};
    for (int s = 0; s < 16; ++s) w.Hit(b0 + s * 0.25, ClosedHat, hat[s % 4]);
    w.Hit(b0, Kick, 110);
    w.Hit(b0 + 0.75, Kick, 90);
    w.Hit(b0 + 2.5, Kick, 100);
    w.Hit(b0 + 1, Snare, 110);
    w.Hit(b0 + 3, Snare, 110);
    w.Hit(b0 + 1.75, Snare, 35);
    w.Hit(b0 + 3.25, Snare, 35);
    const double slap[] = {0, 0.75, 1.5, 2, 2.75, 3.5};
    for (const double s : slap) w.Add(b0 + s, 0.2, kBass, h.root - 12 + (s == 1.5 ? 12 : 0), s == 0 ? 115 : 88);
    const double stabs[] = {0.5, 1.25, 2.5, 3.25};
    for (const double s : stabs) w.Chord(b0 + s, 0.15, kChords, Triad(h, 1), 80);
}

void WaltzBar(Writer& w, double b0, const Harmony& h, int bar, bool drums) {
    w.Add(b0, 0.9, kBass, h.root - 12, 100);
    w.Chord(b0 + 1, 0.5, kChords, Triad(h, 1), 62);
    w.Chord(b0 + 2, 0.5, kChords, Triad(h, 1), 58);
    const std::vector<int> tones = Triad(h, 2);
    if (bar % 2 == 0) w.Add(b0, 2.9, kMelody, tones[static_cast<std::size_t>(w.Pick(3))], 78);
    else {
        w.Add(b0, 1.9, kMelody, tones[static_cast<std::size_t>(w.Pick(3))], 76);
        w.Add(b0 + 2, 0.9, kMelody, tones[static_cast<std::size_t>(w.Pick(3))], 70);
    }
    if (drums) {
        w.Hit(b0, Kick, 90);
        w.Hit(b0 + 1, ClosedHat, 55);
        w.Hit(b0 + 2, ClosedHat, 55);
    }
}

// 6/8: two dotted-quarter beats a bar, each of three eighths.
void SixEightBar(Writer& w, double b0, const Harmony& h, int, bool jig) {
    const std::vector<int> t = Triad(h, 1);
    const int arpeggio[6] = {t[0], t[1], t[2], t[0] + 12, t[2], t[1]};
    for (int e = 0; e < 6; ++e) {
        const double at = b0 + e / 3.0;
        w.Add(at, 0.3, kChords, arpeggio[e], e % 3 == 0 ? 78 : 58);
        if (jig) w.Add(at, 0.3, kMelody, Triad(h, 2)[static_cast<std::size_t>(w.Pick(3))], e % 3 == 0 ? 82 : 64);
    }
    w.Add(b0, 1.9, kBass, h.root - 12, 95);
    if (jig) w.Add(b0 + 1, 0.9, kBass, h.root - 5, 85);
    w.Hit(b0, Kick, 85);
    w.Hit(b0 + 1, jig ? Stick : Snare, 80);
    if (!jig)
        for (int e = 0; e < 6; ++e) w.Hit(b0 + e / 3.0, ClosedHat, 40);
}

void FiveFourBar(Writer& w, double b0, const Harmony& h, int) {
    for (int e = 0; e < 10; ++e) w.Hit(b0 + e * 0.5, Ride, e % 2 ? 50 : 70);
    w.Hit(b0, Kick, 105);
    w.Hit(b0 + 3, Kick, 95);
    w.Hit(b0 + 2, Snare, 95);
    w.Hit(b0 + 4, Snare, 95);
    w.Chord(b0, 2.8, kChords, Triad(h, 1), 72);
    w.Chord(b0 + 3, 1.8, kChords, Triad(h, 1), 66);
    w.Add(b0, 1.9, kBass, h.root - 12, 95);
    w.Add(b0 + 2, 0.9, kBass, h.root - 5, 82);
    w.Add(b0 + 3, 1.9, kBass, h.root - 12, 88);
}

void BalladBar(Writer& w, double b0, const Harmony& h, int bar) {
    w.Add(b0, 1.9, kLow, h.root - 12, 80);
    w.Add(b0 + 2, 1.9, kLow, h.root - 5, 70);
    const std::vector<int> t = Triad(h, 1);
    const int arpeggio[8] = {t[0], t[1], t[2], t[0] + 12, t[2], t[1], t[2], t[1]};
    for (int e = 0; e < 8; ++e) w.Add(b0 + e * 0.5, 0.45, kChords, arpeggio[e], e % 2 ? 50 : 62);
    const std::vector<int> tones = Triad(h, 2);
    if (bar % 2 == 0) {
        w.Add(b0, 1.9, kMelody, tones[static_cast<std::size_t>(w.Pick(3))], 80);
        w.Add(b0 + 2, 1.9, kMelody, tones[static_cast<std::size_t>(w.Pick(3))], 74);
    } else {
        for (int b = 0; b < 4; ++b) w.Add(b0 + b, 0.9, kMelody, tones[static_cast<std::size_t>(w.Pick(3))], 74);
    }
}

void StringsBar(Writer& w, double b0, const Harmony& h, int) {
    for (int b = 0; b < 4; ++b) w.Chord(b0 + b, 0.85, kChords, Triad(h, 1), b == 0 ? 80 : 68);
    w.Add(b0, 1.8, kBass, h.root - 12, 90);
    w.Add(b0 + 2, 1.8, kBass, h.root - 5, 80);
}

struct Style {
    int beatsPerBar;
    int programs[4];   // bass, chords, melody, low
};

Style StyleOf(const PieceRecipe& r) {
    if (r.style == "waltz") return {3, {32, 45, 73, 0}};
    if (r.meter == "6/8") return {2, {32, 0, 73, 0}};
    if (r.meter == "5/4") return {5, {32, 4, 0, 0}};
    if (r.style == "ballad" || r.style == "ritardando") return {4, {0, 0, 0, 0}};
    if (r.style == "strings") return {4, {45, 48, 40, 42}};
    if (r.style == "funk") return {4, {36, 7, 0, 0}};
    if (r.style == "shuffle") return {4, {32, 0, 0, 0}};
    if (r.style == "disco" || r.style == "fade-in") return {4, {33, 4, 0, 0}};
    if (r.style == "hip-hop") return {4, {38, 4, 0, 0}};
    return {4, {33, 29, 0, 0}};
}

void Bar(Writer& w, const PieceRecipe& r, double b0, const Harmony& h, int bar) {
    const std::string& s = r.style;
    if (s == "waltz") WaltzBar(w, b0, h, bar, r.startBpm < 130);
    else if (r.meter == "6/8") SixEightBar(w, b0, h, bar, r.startBpm > 90);
    else if (r.meter == "5/4") FiveFourBar(w, b0, h, bar);
    else if (s == "ballad" || s == "ritardando") BalladBar(w, b0, h, bar);
    else if (s == "strings") StringsBar(w, b0, h, bar);
    else if (s == "funk") FunkBar(w, b0, h, bar);
    else if (s == "shuffle") ShuffleBar(w, b0, h, bar);
    else if (s == "disco" || s == "fade-in") DiscoBar(w, b0, h, bar);
    else if (s == "hip-hop") HipHopBar(w, b0, h, bar);
    else RockBar(w, b0, h, bar);
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v >> 16);
    Put16(out, v & 0xffff);
}
void PutVariable(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t bytes[5];
    int n = 0;
    do {
        bytes[n++] = static_cast<uint8_t>(v & 0x7f);
        v >>= 7;
    } while (v);
    while (n-- > 0) out.push_back(static_cast<uint8_t>(bytes[n] | (n ? 0x80 : 0)));
}

struct Event {
    long tick;
    int order;   // tempo and programs first, then note-offs, then note-ons
    std::vector<uint8_t> bytes;
};

} // namespace

Composition Compose(const PieceRecipe& recipe) {
    Composition c;
    const Style style = StyleOf(recipe);
    c.beatsPerBar = style.beatsPerBar;
    const int lead = recipe.pickup ? 1 : 0;
    const int beats = lead + recipe.bars * style.beatsPerBar;
    // The tempo of each beat, as MIDI holds it (whole microseconds a beat).
    std::vector<uint32_t> micros(static_cast<std::size_t>(beats));
    for (int i = 0; i < beats; ++i) {
        double bpm = recipe.startBpm;
        if (recipe.changeBar > 0)
            bpm = i < lead + recipe.changeBar * style.beatsPerBar ? recipe.startBpm : recipe.endBpm;
        else if (beats > 1)
            bpm = recipe.startBpm + (recipe.endBpm - recipe.startBpm) * i / (beats - 1);
        micros[static_cast<std::size_t>(i)] = static_cast<uint32_t>(std::lround(60e6 / bpm));
    }
    double t = 0;
    for (int i = 0; i < beats; ++i) {
        c.beatSeconds.push_back(t);
        if (i >= lead && (i - lead) % style.beatsPerBar == 0) c.downbeatSeconds.push_back(t);
        t += micros[static_cast<std::size_t>(i)] / 1e6;
    }
    // The last chord, struck on the beat after the last bar.
    c.beatSeconds.push_back(t);
    c.downbeatSeconds.push_back(t);

    Writer w{{}, std::mt19937(recipe.seed)};
    const auto& progression = kProgressions[recipe.seed % 3];
    if (recipe.pickup) {
        // A melody note and a fill on the beat before bar 1.
        w.Add(0, 0.9, kMelody, 67, 80);
        w.Hit(0, Snare, 80);
        w.Hit(0.5, Snare, 70);
    }
    for (int bar = 0; bar < recipe.bars; ++bar)
        Bar(w, recipe, lead + bar * style.beatsPerBar, progression[bar % 4], bar);
    // The last chord rings out for a beat after the last bar.
    w.Chord(beats, 1, kChords, Triad(progression[0], 1), 70);

    std::vector<Event> events;
    for (int ch = 0; ch < 4; ++ch)
        events.push_back({0, 0, {static_cast<uint8_t>(0xC0 | ch), static_cast<uint8_t>(style.programs[ch])}});
    for (int i = 0; i < beats; ++i) {
        const uint32_t m = micros[static_cast<std::size_t>(i)];
        if (i == 0 || m != micros[static_cast<std::size_t>(i - 1)])
            events.push_back({static_cast<long>(i) * kTicks, 0,
                              {0xFF, 0x51, 0x03, static_cast<uint8_t>(m >> 16), static_cast<uint8_t>(m >> 8),
                               static_cast<uint8_t>(m)}});
    }
    for (const Note& n : w.notes) {
        const long on = std::lround(n.beat * kTicks);
        const long off = std::max(on + 1, std::lround((n.beat + n.length) * kTicks));
        const auto ch = static_cast<uint8_t>(n.channel);
        events.push_back({on, 2, {static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(n.key), static_cast<uint8_t>(n.velocity)}});
        events.push_back({off, 1, {static_cast<uint8_t>(0x80 | ch), static_cast<uint8_t>(n.key), 0}});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.tick != b.tick ? a.tick < b.tick : a.order < b.order; });
    std::vector<uint8_t> track;
    long last = 0;
    for (const Event& e : events) {
        PutVariable(track, static_cast<uint32_t>(e.tick - last));
        last = e.tick;
        track.insert(track.end(), e.bytes.begin(), e.bytes.end());
    }
    const uint8_t end[] = {0x00, 0xFF, 0x2F, 0x00};
    track.insert(track.end(), end, end + 4);

    const char header[] = "MThd";
    c.midi.insert(c.midi.end(), header, header + 4);
    Put32(c.midi, 6);
    Put16(c.midi, 0);
    Put16(c.midi, 1);
    Put16(c.midi, kTicks);
    const char chunk[] = "MTrk";
    c.midi.insert(c.midi.end(), chunk, chunk + 4);
    Put32(c.midi, static_cast<uint32_t>(track.size()));
    c.midi.insert(c.midi.end(), track.begin(), track.end());
    return c;
}

std::vector<PieceRecipe> ComposedSet(double bars) {
    auto n = [bars](int b) { return std::max(4, static_cast<int>(std::lround(b * bars))); };
    std::vector<PieceRecipe> set = {
        {"rock-120", "rock", "4/4", 120, 120, 0, n(16), false, false, 1},
        {"rock-96", "rock", "4/4", 96, 96, 0, n(12), false, false, 2},
        {"rock-176", "rock", "4/4", 176, 176, 0, n(24), false, false, 3},
        {"disco-128", "disco", "4/4", 128, 128, 0, n(16), false, false, 4},
        {"hip-hop-90", "hip-hop", "4/4", 90, 90, 0, n(12), false, false, 5},
        {"hip-hop-128", "hip-hop", "4/4", 128, 128, 0, n(16), false, false, 6},
        {"shuffle-132", "shuffle", "4/4", 132, 132, 0, n(16), false, false, 7},
        {"shuffle-84", "shuffle", "4/4", 84, 84, 0, n(10), false, false, 8},
        {"funk-100", "funk", "4/4", 100, 100, 0, n(14), false, false, 9},
        {"funk-112", "funk", "4/4", 112, 112, 0, n(14), false, false, 10},
        {"waltz-153", "waltz", "3/4", 153, 153, 0, n(28), false, false, 11},
        {"waltz-100", "waltz", "3/4", 100, 100, 0, n(18), false, false, 12},
        {"six-eight-72", "6/8", "6/8", 72, 72, 0, n(18), false, false, 13},
        {"six-eight-110", "6/8", "6/8", 110, 110, 0, n(24), false, false, 14},
        {"five-four-140", "5/4", "5/4", 140, 140, 0, n(14), false, false, 15},
        {"five-four-108", "5/4", "5/4", 108, 108, 0, n(10), false, false, 16},
        {"ballad-72", "ballad", "4/4", 72, 72, 0, n(10), false, false, 17},
        {"ballad-64", "ballad", "4/4", 64, 64, 0, n(9), false, false, 18},
        {"strings-92", "strings", "4/4", 92, 92, 0, n(12), false, false, 19},
        {"strings-80", "strings", "4/4", 80, 80, 0, n(10), false, false, 20},
        {"pickup-110", "pickup", "4/4", 110, 110, 0, n(14), true, false, 21},
        {"accelerando-120-150", "accelerando", "4/4", 120, 150, 0, n(20), false, false, 22},
        {"ritardando-109-83", "ritardando", "4/4", 109, 83, 0, n(14), false, false, 23},
        {"sudden-100-140", "sudden change", "4/4", 100, 140, n(8), n(16), false, false, 24},
        {"fade-in-124", "fade-in", "4/4", 124, 124, 0, n(16), false, true, 25},
        {"rock-160", "rock", "4/4", 160, 160, 0, n(20), false, false, 26},
        {"hip-hop-172", "hip-hop", "4/4", 172, 172, 0, n(24), false, false, 27},
    };
    return set;
}

} // namespace zv::test
