#pragma once
// The meter and bar 1 of tracked beats, from where the accents fall: the
// chord changes (harmonic change) and the low band (kick, bass notes)
// gather on the first beat of a bar. The beats a bar are the count whose
// one place in the bar stands out most above the others; a beat divided in
// three (both thirds struck more than its half and its sixths; a swung
// beat strikes only the second) is compound (6/8, 12/8).
// Bar 1 is the first beat at the place that stands out; the beats before
// it are a pickup.
//
// Units: beats in feature frames (BeatFeatures).
#include <cstddef>
#include <string>
#include <vector>

#include "beats/BeatFeatures.h"

namespace zv {

struct Bars {
    int beatsPerBar = 4;
    std::size_t downbeat = 0;   // index of bar 1, beat 1 among the beats
    bool compound = false;      // the beat divides in three
    std::string meter;          // "4/4", "3/4", "6/8", "5/4" ...
    // The chords change enough to read bars from (false for drums alone).
    bool fromChords = false;
};

// `beatsPerBar` > 0 keeps that count and finds bar 1 alone.
Bars FindBars(const BeatFeatures& features, const std::vector<double>& beats, int beatsPerBar = 0);

// The name of a meter: "3/4", or "6/8" / "12/8" for a compound beat.
std::string MeterName(int beatsPerBar, bool compound);

} // namespace zv
