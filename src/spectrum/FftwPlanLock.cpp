#include "spectrum/FftwPlanLock.h"

#include "beats/system/AubioOnDemand.h"

namespace zv {

// aubio's lock around its FFTW planning (libaubio, fft.c).
FftwPlanLock::FftwPlanLock() { pthread_mutex_lock(&AubioFftwMutex()); }

FftwPlanLock::~FftwPlanLock() { pthread_mutex_unlock(&AubioFftwMutex()); }

} // namespace zv
