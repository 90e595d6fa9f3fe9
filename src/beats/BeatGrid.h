#pragma once
// Beats laid on the novelty of a stretch, two ways:
//   - a grid of one period, fitted to the onsets near its beats by least
//     squares (the period and the phase, or the phase alone when the tempo
//     is given);
//   - a tempo map, where the tempo drifts: the beats follow the onsets, one
//     path through the whole stretch chosen by dynamic programming (each
//     beat scores its onset's height, each gap pays for leaving the period).
//
// Units: positions and periods in curve frames (values of the onset curve).
#include <cstddef>
#include <vector>

#include "beats/Novelty.h"

namespace zv {

struct GridFit {
    double phase = 0;     // the first beat's position, in [0, period)
    double period = 0;    // curve frames a beat
    // The beats, counted from the first (at `phase`), that an onset stands
    // on: the first and last of them, and how many in all.
    long firstStruck = -1;
    long lastStruck = -1;
    long struck = 0;
    // The period's standard error from the least-squares fit (0 when the
    // period was kept or too few onsets were found).
    double periodError = 0;
    double Beat(long k) const { return phase + period * static_cast<double>(k); }
};

// Fits a grid starting from (phase, period); keepPeriod fits the phase alone.
// Its struck span leaves out weak onsets at the ends (a lead-in, a tail).
GridFit FitGrid(const Novelty& timing, double phase, double period, bool keepPeriod);

// The tempo map: beat positions (rising) over the whole stretch, each moved
// onto the onset peak it stands near.
std::vector<double> TrackBeats(const Novelty& timing, double period);

// The tracked beats worth keeping are [StrongFirst, StrongEnd): the ends
// whose onsets are weak beside the others' (a lead-in, a ringing tail) are
// left out.
std::size_t StrongFirst(const Novelty& timing, const std::vector<double>& beats);
std::size_t StrongEnd(const Novelty& timing, const std::vector<double>& beats);

// The least-squares line through beat positions (k, beat[k]), the ones that
// stray more than a fifth of a period from a first line left out:
// the phase and period of a grid through them (phase may be negative).
struct BeatLine {
    double phase = 0;
    double period = 0;
};
BeatLine FitLine(const std::vector<double>& beats, std::size_t from, std::size_t to);

// How far the tempo moves over the beats: the periods of windows of 16
// beats (every 8 beats) from their lines, (longest - shortest) / median.
// 0 for fewer than 24 beats. `longest` and `shortest` get the windows'
// extreme periods (curve frames a beat).
double TempoDrift(const std::vector<double>& beats, double& longest, double& shortest);

} // namespace zv
