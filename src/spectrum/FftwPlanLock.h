#pragma once
// FFTW's planner (making and destroying plans) is not thread-safe, and the
// program plans from more than one thread: aubio's onset pass (beats) and
// the spectrogram, each on a worker. aubio guards its own planning with its
// lock aubio_fftw_mutex (exported by libaubio), so every FFTW plan made
// here is made and destroyed while holding that same lock. Executing a plan
// needs no lock.
namespace zv {

class FftwPlanLock {
public:
    FftwPlanLock();
    ~FftwPlanLock();
    FftwPlanLock(const FftwPlanLock&) = delete;
    FftwPlanLock& operator=(const FftwPlanLock&) = delete;
};

} // namespace zv
