#pragma once
// The beats of a whole stretch as the one most likely path through a
// hidden Markov model of tempo and beat position (the state space of
// Krebs, Böck and Widmer, 2015): a state is a beat period of N frames and
// a position 0 .. N-1 in it, the position moves on one a frame, and only
// at a beat (position 0) may the period change, the more rarely the more it
// changes. Each frame is scored by how likely a beat is there (an
// activation in [0, 1]): the first N / 16 positions of a beat expect it,
// the others expect none. Viterbi decoding over the whole stretch follows
// a tempo that drifts or changes at once.
//
// Units: frames of the activation (its own rate); periods in frames.
#include <cstddef>
#include <vector>

namespace zv {

struct BeatPath {
    std::vector<double> beats;   // frames, rising
    double logLikelihood = 0;    // of the path, per frame
};

// The beats for periods from `shortest` to `longest` frames (whole frames;
// shortest >= 2). Empty when the activation is shorter than two periods.
BeatPath DecodeBeats(const std::vector<float>& activation, int shortest, int longest);

} // namespace zv
