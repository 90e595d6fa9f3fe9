#include "spectrum/FftwPlanLock.h"

#include <pthread.h>

// aubio's lock around its FFTW planning (libaubio, fft.c); not in its headers.
extern "C" pthread_mutex_t aubio_fftw_mutex;

namespace zv {

FftwPlanLock::FftwPlanLock() { pthread_mutex_lock(&aubio_fftw_mutex); }

FftwPlanLock::~FftwPlanLock() { pthread_mutex_unlock(&aubio_fftw_mutex); }

} // namespace zv
