#pragma once
// Tap Tempo: the user taps T on the beat while the sound plays; the tempo
// is the mean of the gaps between the last taps. A pause longer than
// kRestartMs starts a new count, so a tap long after the others is the
// first of new ones, and a gap far from the others' mean (a missed or a
// doubled tap) is left out of the mean.
//
// Units: ms on any steady clock; BPM.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

namespace zv {

class TapTempo {
public:
    static constexpr int64_t kRestartMs = 2000;
    static constexpr std::size_t kMinTaps = 4;    // taps before a tempo is given
    static constexpr std::size_t kMaxGaps = 16;   // gaps averaged, the newest

    // One tap at `ms`. The tempo of the taps so far, from the kMinTaps-th on.
    std::optional<double> Tap(int64_t ms);
    std::size_t Taps() const { return gaps_.size() + (last_ ? 1 : 0); }
    void Reset();

private:
    std::optional<int64_t> last_;
    std::deque<int64_t> gaps_;
};

} // namespace zv
