#pragma once
// Finding the beats of a stretch of sound: the tempo and the beat phase
// over the whole stretch at once (not a live tracker's running guess), the
// bars counted from a downbeat, and the onsets it was found from. Core
// code, for a worker thread: it reads nothing but the samples it is given,
// reports its progress and stops when asked.
//
// Units: sample frames of the sound (at sampleRate), BPM = beats a minute.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jobs/JobProgress.h"
#include "beats/OnsetDetection.h"
#include "document/TrackItem.h"

namespace zv {

// The tempo a user may type, in BPM.
inline constexpr double kSlowestTypedBpm = 20;
inline constexpr double kFastestTypedBpm = 400;
// Tempo changes above this share across the sound make a tempo map.
inline constexpr double kTempoMapDrift = 0.02;

struct BeatOptions {
    // Fixes the tempo (kSlowestTypedBpm-kFastestTypedBpm): only the phase
    // is fitted. Nothing: the tempo is found, settled into 70-180 BPM.
    std::optional<double> bpm;
    int beatsPerBar = 4;                   // 1-32
    // The beat nearest this sample frame is bar 1, beat 1. Nothing: the
    // beat whose place in the bar is struck loudest (else the first beat).
    std::optional<int64_t> downbeatSample;
};

struct Beat {
    int64_t sample = 0;   // sample frames, absolute
    int32_t bar = 0;      // 1 from the downbeat; 0 and below before it
    int32_t beat = 0;     // 1 .. beatsPerBar
    friend bool operator==(const Beat&, const Beat&) = default;
};

struct BeatAnalysis {
    int32_t sampleRate = 0;
    // A steady beat was found; otherwise the beats are empty and only the
    // onsets are known ("No steady beat found").
    bool steady = false;
    double bpm = 0;              // the tempo; over a tempo map, its mean
    bool tempoMap = false;       // the tempo drifts: the beats follow the onsets
    double slowestBpm = 0;       // the tempo map's range (= bpm for a grid)
    double fastestBpm = 0;
    int beatsPerBar = 4;
    std::vector<Beat> beats;     // rising
    std::vector<int64_t> onsets; // sample frames, absolute, rising
};

// Finds the beats of mono[0 .. count), sample frame `firstSample` of the
// sound at mono[0] (a selection's start; 0 for the whole sound). Nothing
// when cancelled through `progress` (which may be null). A sound with no
// steady pulse (silence, speech, noise) gives steady = false and its
// onsets. Never throws.
std::optional<BeatAnalysis> FindBeats(const float* mono, std::size_t count, int32_t sampleRate,
                                      int64_t firstSample, const BeatOptions& options,
                                      JobProgress* progress = nullptr);

// The same in two steps, for a window that lets the user correct the
// result: the onset pass (nearly all of the time: about 0.8 s for four
// minutes here), once, on a worker thread; then the beats placed from its
// curve (tens of ms), again for each change of tempo (typed, tapped,
// halved or doubled). ReadOnsets gives nothing when cancelled, an empty
// curve when there is nothing to read. `onsetThreshold` is aubio's
// peak-picking threshold for the onsets alone (lower: more onsets; about
// 0.03-0.3; 0: aubio's own, 0.18); the beats do not depend on it.
std::optional<OnsetCurve> ReadOnsets(const float* mono, std::size_t count, int32_t sampleRate,
                                     JobProgress* progress = nullptr, double onsetThreshold = 0);
BeatAnalysis PlaceBeats(const OnsetCurve& curve, int64_t firstSample, const BeatOptions& options);

// Numbers the beats in bars of `beatsPerBar` (clamped to 1-32), beat
// `downbeat` (an index into beats) being bar 1, beat 1: setting the
// downbeat or the beats a bar needs nothing else.
void NumberBars(std::vector<Beat>& beats, int beatsPerBar, std::size_t downbeat);

// The beats as items of the document's Beats track: a point at each beat,
// text "bar.beat" ("1.1", "0.4"), kind "downbeat" on beat 1, else "beat".
std::vector<TrackItem> BeatItems(const BeatAnalysis& analysis);
// The onsets as point items of kind "onset" with no text (to be offered as
// marks).
std::vector<TrackItem> OnsetItems(const BeatAnalysis& analysis);

} // namespace zv
