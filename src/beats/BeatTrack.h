#pragma once
// The document's Beats track read back as an analysis, and the user's
// corrections worked on it. The track is the one record of the beats: the
// readout, the exports and every correction start from it, so an Undo of
// the track undoes the tempo shown too.
//
// Units: sample frames of the sound (at sampleRate), BPM = beats a minute.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "beats/BeatAnalysis.h"
#include "document/TrackItem.h"

namespace zv {

// The beats of `items` (points with text "bar.beat"; others are skipped),
// their tempo worked out from the beats themselves: the least-squares line
// through them (the mean period), and a tempo map when the tempo moves by
// more than kTempoMapDrift over them. Steady with two beats or more.
// `onsets` are copied in for the exports.
BeatAnalysis AnalysisOfBeatItems(const std::vector<TrackItem>& items, int32_t sampleRate,
                                 std::vector<int64_t> onsets = {});

// The index of the beat nearest `sample`; nothing without beats.
std::optional<std::size_t> NearestBeat(const BeatAnalysis& analysis, int64_t sample);

// What keeps the user's bars when the beats are placed again at another
// tempo: the beats a bar and the sample of bar 1, beat 1 (if any).
BeatOptions KeptBarOptions(const BeatAnalysis& analysis);

// Beats at `bpm` laid evenly over sample frames [from, to), one of them at
// `anchor` (which becomes bar 1, beat 1), in bars of `beatsPerBar`: the
// user's tempo where the onsets do not bear it out. Steady when any beat
// falls inside.
BeatAnalysis LaidGrid(double bpm, int64_t anchor, int64_t from, int64_t to, int32_t sampleRate, int beatsPerBar);

// Every beat moved half a beat later (the off-beat taken for the beat, in
// one step): to the midpoint between it and the next, the last by half the
// gap before it; a beat that would reach `endSample` (sample frames, the
// sound's length) or beyond is left out. The bar numbers stay with the
// beats' order; the tempo is worked out again. Nothing happens with fewer
// than two beats.
void ShiftHalfBeat(BeatAnalysis& analysis, int64_t endSample);

// A tempo the user asks for (typed, tapped, halved or doubled), in BPM:
// an empty string when it is inside kSlowestTypedBpm-kFastestTypedBpm,
// else the message that refuses it.
std::string RefusedTempo(double bpm);

} // namespace zv
