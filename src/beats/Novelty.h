#pragma once
// The onset detection function made ready for finding a pulse: its slow
// level taken off (a moving mean over a quarter of a second), what is left
// below zero cut, and the rest scaled to a standard deviation of 1, so the
// thresholds below hold whatever the sound's loudness and the detection
// function's units. Also its peaks: the local maxima, placed between
// values by a parabola through the three around each.
//
// Units: positions are in values of the curve ("curve frames", fractional),
// framesPerSecond of them a second.
#include <cstddef>
#include <vector>

namespace zv {

struct NoveltyPeak {
    double at = 0;       // curve frames
    double height = 0;   // novelty at the peak (standard deviations)
};

class Novelty {
public:
    Novelty(const std::vector<float>& detection, double framesPerSecond);

    double FramesPerSecond() const { return framesPerSecond_; }
    std::size_t Size() const { return values_.size(); }
    const std::vector<float>& Values() const { return values_; }
    // Linear between values; 0 outside.
    double At(double frame) const;
    // The largest value within [frame - reach, frame + reach]; 0 outside.
    double MaxNear(double frame, double reach) const;
    // The largest value within [from, to]; 0 outside.
    double MaxIn(double from, double to) const;
    // The largest value from a fiftieth of a second before `frame` to three
    // fiftieths after it: the height of an attack there, whose loudness
    // rise may take that long (a soft attack) to top out.
    double AttackAt(double frame) const;
    // Every peak, in order.
    const std::vector<NoveltyPeak>& Peaks() const { return peaks_; }
    // The highest peak within [frame - reach, frame + reach] of at least
    // `floor`, or nullptr.
    const NoveltyPeak* PeakNear(double frame, double reach, double floor) const;
    // The height a peak needs to count as an onset: a fifth of the peaks'
    // 90th percentile.
    double OnsetFloor() const { return onsetFloor_; }
    // False when the detection function is flat (silence, or a steady tone).
    bool HasSignal() const { return hasSignal_; }

private:
    std::vector<float> values_;
    std::vector<NoveltyPeak> peaks_;
    double framesPerSecond_ = 0;
    double onsetFloor_ = 0;
    bool hasSignal_ = false;
};

} // namespace zv
