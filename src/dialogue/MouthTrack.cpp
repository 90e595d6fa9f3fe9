#include "dialogue/MouthTrack.h"

#include <algorithm>

#include "common/FrameTime.h"

namespace zv {

namespace {

struct Run {
    std::string shape;
    int64_t first = 0;
    int64_t count = 0;
    bool kept = false;   // a closure kept whatever its length
};

int64_t FrameCount(FrameRate rate, int32_t sampleRate, int64_t soundFrames) {
    return soundFrames <= 0 ? 0 : FrameOfSample(soundFrames - 1, rate, sampleRate) + 1;
}

} // namespace

std::vector<TrackItem> MouthShapes(const std::vector<TrackItem>& phonemes, const MouthSet& set,
                                   const MouthRules& rules, FrameRate rate, int32_t sampleRate, int64_t soundFrames) {
    std::vector<TrackItem> out;
    if (!rate.IsPositive() || sampleRate <= 0 || soundFrames <= 0) return out;
    const int64_t frames = FrameCount(rate, sampleRate, soundFrames);
    const int64_t pause = rules.restAfterPauseMs * sampleRate / 1000;
    std::vector<TrackItem> sorted = phonemes;
    std::sort(sorted.begin(), sorted.end(), [](const TrackItem& a, const TrackItem& b) { return a.start < b.start; });

    // Each frame takes the phoneme that covers most of it; a frame inside a
    // short pause holds the shape before it; a long pause, the lead-in and
    // the tail are rest.
    std::vector<std::string> shape(static_cast<std::size_t>(frames), set.Rest());
    std::vector<bool> kept(static_cast<std::size_t>(frames), false);
    std::size_t next = 0;      // the first phoneme that may still cover a frame
    std::size_t started = 0;   // phonemes starting before the frame
    int64_t lastEnd = -1;      // the latest end among them
    std::string held = set.Rest();
    for (int64_t f = 0; f < frames; ++f) {
        const int64_t a = FrameStartSample(f, rate, sampleRate), b = FrameStartSample(f + 1, rate, sampleRate);
        while (next < sorted.size() && sorted[next].end <= a) ++next;
        while (started < sorted.size() && sorted[started].start < a) lastEnd = std::max(lastEnd, sorted[started++].end);
        int64_t best = 0;
        const TrackItem* chosen = nullptr;
        for (std::size_t i = next; i < sorted.size() && sorted[i].start < b; ++i) {
            const int64_t overlap = std::min(b, sorted[i].end) - std::max(a, sorted[i].start);
            if (overlap > best) {
                best = overlap;
                chosen = &sorted[i];
            }
        }
        if (chosen != nullptr) {
            held = set.ShapeOf(chosen->text);
            shape[static_cast<std::size_t>(f)] = held;
            continue;
        }
        // In a gap: a short pause between phonemes holds the shape before it.
        const bool shortPause = lastEnd >= 0 && started < sorted.size() && sorted[started].start - lastEnd < pause;
        shape[static_cast<std::size_t>(f)] = shortPause ? held : set.Rest();
    }
    // Closures too short to win a frame keep the frame they start in.
    if (rules.keepClosures) {
        for (const TrackItem& p : sorted) {
            const std::string& s = set.ShapeOf(p.text);
            if (!set.IsClosure(s)) continue;
            const int64_t first = FrameOfSample(p.start, rate, sampleRate);
            const int64_t last = p.end > p.start ? FrameOfSample(p.end - 1, rate, sampleRate) : first;
            bool shown = false;
            for (int64_t f = std::max<int64_t>(first, 0); f <= last && f < frames; ++f)
                if (shape[static_cast<std::size_t>(f)] == s) {
                    shown = true;
                    kept[static_cast<std::size_t>(f)] = true;
                }
            if (!shown && first >= 0 && first < frames && !kept[static_cast<std::size_t>(first)]) {
                shape[static_cast<std::size_t>(first)] = s;
                kept[static_cast<std::size_t>(first)] = true;
            }
        }
    }
    // Runs of one shape.
    std::vector<Run> runs;
    for (int64_t f = 0; f < frames; ++f) {
        const std::size_t i = static_cast<std::size_t>(f);
        if (!runs.empty() && runs.back().shape == shape[i]) {
            ++runs.back().count;
            runs.back().kept = runs.back().kept || kept[i];
        } else {
            runs.push_back({shape[i], f, 1, kept[i]});
        }
    }
    // The hold: a run shorter than it takes frames from the run after it
    // when that one can spare them, else it gives way to its neighbour.
    const int64_t hold = std::max(rate.Rounded() >= rules.fastFrom ? rules.holdFast : rules.holdSlow, 1);
    auto protectedRun = [&](const Run& r) { return rules.keepClosures && r.kept && set.IsClosure(r.shape); };
    for (std::size_t i = 0; i < runs.size() && runs.size() > 1;) {
        Run& run = runs[i];
        // Rest at either end of the sound stays as it is: nothing is shown
        // early or late for it.
        const bool edgeRest = run.shape == set.Rest() && (i == 0 || i + 1 == runs.size());
        if (run.count >= hold || protectedRun(run) || edgeRest) {
            ++i;
            continue;
        }
        const int64_t need = hold - run.count;
        if (i + 1 < runs.size() && runs[i + 1].count - need >= hold && !protectedRun(runs[i + 1])) {
            run.count += need;
            runs[i + 1].first += need;
            runs[i + 1].count -= need;
            ++i;
            continue;
        }
        // It gives way to the run before it, unless that is rest (a word's
        // first shape then starts on time, the rest is shortened) or there
        // is none; runs of one shape that now touch become one.
        const bool intoNext = i + 1 < runs.size() && (i == 0 || runs[i - 1].shape == set.Rest());
        std::size_t into = intoNext ? i + 1 : i - 1;
        runs[into].count += run.count;
        runs[into].first = std::min(runs[into].first, run.first);
        runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(i));
        if (into > i) into = i;
        if (into + 1 < runs.size() && runs[into + 1].shape == runs[into].shape) {
            runs[into].count += runs[into + 1].count;
            runs[into].kept = runs[into].kept || runs[into + 1].kept;
            runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(into) + 1);
        }
        i = into;   // the grown run is looked at again
    }
    // The lead: every shape this many frames early.
    const int64_t lead = std::clamp(rules.leadFrames, 0, 3);
    for (Run& run : runs) {
        if (run.first == 0) continue;
        const int64_t moved = std::min(lead, run.first);
        run.first -= moved;
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const int64_t endFrame = i + 1 < runs.size() ? runs[i + 1].first : frames;
        if (endFrame <= runs[i].first) continue;
        const int64_t start = FrameStartSample(runs[i].first, rate, sampleRate);
        const int64_t end = i + 1 < runs.size() ? FrameStartSample(endFrame, rate, sampleRate) : soundFrames;
        if (!out.empty() && out.back().text == runs[i].shape) out.back().end = end;
        else out.push_back({start, std::max(start, end), runs[i].shape, ""});
    }
    return out;
}

std::vector<std::string> ShapesByFrame(const std::vector<TrackItem>& mouths, FrameRate rate, int32_t sampleRate,
                                       int64_t soundFrames, const std::string& rest) {
    if (!rate.IsPositive() || sampleRate <= 0) return {};
    std::vector<std::string> out(static_cast<std::size_t>(FrameCount(rate, sampleRate, soundFrames)), rest);
    for (const TrackItem& m : mouths) {
        const int64_t first = FrameOfSample(m.start, rate, sampleRate);
        const int64_t last = m.end > m.start ? FrameOfSample(m.end - 1, rate, sampleRate) : first;
        for (int64_t f = std::max<int64_t>(first, 0); f <= last && f < static_cast<int64_t>(out.size()); ++f)
            out[static_cast<std::size_t>(f)] = m.text;
    }
    return out;
}

} // namespace zv
