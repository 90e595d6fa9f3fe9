#pragma once
// The tempo of a whole stretch at once, from the periodicity of its onset
// detection function: the autocorrelation of the novelty, read as a comb
// (a period scores by its first four multiples), then the octave settled
// into the range the beat is counted in (70-180 BPM by default) by how
// loud the pulses are: a period whose every other pulse is much softer is
// a subdivision (count the slower beat); one whose half-way points are as
// loud as its pulses is half the beat (count the faster one).
//
// Units: periods and phases in curve frames (values of the onset curve,
// novelty.FramesPerSecond() a second).
#include "beats/Novelty.h"

namespace zv {

struct TempoEstimate {
    double period = 0;    // curve frames a beat; 0: no periodicity at all
    // How periodic the novelty is at that period: its autocorrelation at the
    // period's multiples over its value at lag 0 (about 0 for noise, near 1
    // for a plain loop).
    double clarity = 0;
};

struct TempoRange {
    double slowestBpm = 70;
    double fastestBpm = 180;
};

// `accents`: the loudness rises (OnsetCurve::rises) as a novelty, for the
// octave; `timing`: the detection function's novelty, for the periodicity.
TempoEstimate EstimateTempo(const Novelty& timing, const Novelty& accents, TempoRange range = {});

// How periodic the novelty is at `period` (as TempoEstimate::clarity): the
// higher of the two curves' autocorrelations near that lag.
double PulseClarity(const Novelty& timing, const Novelty& accents, double period);

// How strongly a grid of `period` at its best phase is struck.
struct PulseStrength {
    double phase = 0;     // curve frames, in [0, period)
    double onBeat = 0;    // mean height of `curve` near the grid's beats
    double halfway = 0;   // ... near the points half-way between them
};
// The phase is the one where `timing` is strongest; the heights are read
// from `heights` (Novelty::AttackAt).
PulseStrength MeasurePulse(const Novelty& timing, const Novelty& heights, double period);

// The phase (curve frames, in [0, period)) at which a grid of `period` is
// struck hardest, by `timing`.
double BestPhase(const Novelty& timing, double period);

} // namespace zv
