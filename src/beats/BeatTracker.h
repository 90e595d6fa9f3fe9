#pragma once
// The beats of a whole stretch from its onset features: the features
// weighed into one beat activation (the low and mid bands and the chord
// changes count most: kick, snare and bass are on the beat where hats
// often are not), the tempo level chosen from its periodicity with a
// preference for moderate tempi, the beats decoded over the whole stretch
// (BeatPointerHmm) within that level (decoded again at twice the tempo
// where the snare falls on every beat alike and the kick between: a fast
// backbeat read at half its tempo), moved onto the onsets they stand
// near, and moved half a beat when the accents fall between them (the
// off-beat). Each beat gets a confidence: the share of its neighbours that
// stand on an onset.
//
// Units: beats in feature frames (BeatFeatures, fractional); periods in
// frames a beat.
#include <optional>
#include <vector>

#include "beats/BeatFeatures.h"

namespace zv {

struct TrackedBeats {
    std::vector<double> beats;        // frames, rising
    std::vector<float> confidence;    // one per beat, 0..1
    double period = 0;                // the tempo level chosen (frames a beat)
    double clarity = 0;               // periodicity of the activation at that period, about 0..1
};

// The weighed activation, one value a frame in [0, 1].
std::vector<float> BeatActivation(const BeatFeatures& features);

// The confidence of each beat (feature frames): the share of the beats
// within four either side of it that stand on an onset.
std::vector<float> BeatConfidence(const BeatFeatures& features, const std::vector<double>& beats);

// `period`: a tempo the user gave (frames a beat): only the beats are
// decoded, within 3 % of it. Nothing: the level is chosen. Empty beats when
// there is nothing to track.
TrackedBeats TrackBeatsOverPiece(const BeatFeatures& features, std::optional<double> period = std::nullopt);

} // namespace zv
