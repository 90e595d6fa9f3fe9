#pragma once
// aubio is opened when it is first needed (see AubioOnDemand.cpp): its
// functions are called by their own names as usual. Its data, which no
// call can fetch, comes through here.
#include <pthread.h>

namespace zv {

// aubio's lock around its FFTW planning (aubio_fftw_mutex, exported by
// libaubio but not in its headers), opening the library if it is not open
// yet. Without the library, a lock of the program's own: aubio then plans
// nothing, so any one lock serves.
pthread_mutex_t& AubioFftwMutex();

} // namespace zv
