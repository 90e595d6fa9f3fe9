#pragma once
// Pieces of music composed here as General MIDI, with the beats and bars
// they were written on: rock, four-on-the-floor, hip-hop, shuffle, funk,
// waltz, 6/8, 5/4, a piano ballad and a string piece without drums, a
// pickup before bar 1, an accelerando, a ritardando, a sudden tempo change
// and a fade-in. The tempo is held per beat (a MIDI tempo event at every
// beat where it changes), so each beat's time follows exactly from the map.
//
// Units: seconds from the MIDI file's start; BPM = beats a minute. In 6/8
// the beat is the dotted quarter (two a bar).
#include <cstdint>
#include <string>
#include <vector>

namespace zv::test {

struct PieceRecipe {
    std::string name;        // "rock-120"
    std::string style;       // "rock", "waltz", ... (the score table's rows)
    std::string meter;       // "4/4", "3/4", "6/8", "5/4"
    double startBpm = 120;
    double endBpm = 120;     // reached on the last beat (evenly per beat)
    int changeBar = 0;       // > 0: startBpm until this bar, then endBpm at once
    int bars = 16;
    bool pickup = false;     // one beat before bar 1
    bool fadeIn = false;     // the sound fades in over its first ~12 s (applied to the rendering)
    uint32_t seed = 1;
};

struct Composition {
    std::vector<uint8_t> midi;        // a Standard MIDI File (format 0)
    std::vector<double> beatSeconds;  // every beat written, rising
    std::vector<double> downbeatSeconds;
    int beatsPerBar = 4;
};

Composition Compose(const PieceRecipe& recipe);

// The whole set the benchmark scores (>= 20 pieces, 64-180 BPM); `bars`
// scales their lengths (1: about 30-60 s each).
std::vector<PieceRecipe> ComposedSet(double bars = 1);

} // namespace zv::test
