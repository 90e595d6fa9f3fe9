// The ALSA mixer calls the program makes, with libasound opened on the
// first of them rather than when the program starts (see
// common/system/LibraryOnDemand.h). The mixer opens on a thread of its own
// once the window is up (volume/DeferredMixer.h), so the library is mapped
// there, after the window's start-up instead of before it.
//
// Without the library every call fails as ALSA's own calls fail (a negative
// error code, or no element): the mixer does not open, and the window goes
// on without volume control, as when the sound system has no mixer.
#include <alsa/asoundlib.h>

#include <cerrno>

#include "common/system/LibraryOnDemand.h"

namespace {

struct Alsa {
    zv::LibraryOnDemand library{"libasound.so.2", "libasound.so"};
    decltype(&::snd_mixer_open) snd_mixer_open = nullptr;
    decltype(&::snd_mixer_attach) snd_mixer_attach = nullptr;
    decltype(&::snd_mixer_selem_register) snd_mixer_selem_register = nullptr;
    decltype(&::snd_mixer_load) snd_mixer_load = nullptr;
    decltype(&::snd_mixer_close) snd_mixer_close = nullptr;
    decltype(&::snd_mixer_handle_events) snd_mixer_handle_events = nullptr;
    decltype(&::snd_mixer_get_hctl) snd_mixer_get_hctl = nullptr;
    decltype(&::snd_mixer_find_selem) snd_mixer_find_selem = nullptr;
    decltype(&::snd_mixer_selem_id_malloc) snd_mixer_selem_id_malloc = nullptr;
    decltype(&::snd_mixer_selem_id_free) snd_mixer_selem_id_free = nullptr;
    decltype(&::snd_mixer_selem_id_set_index) snd_mixer_selem_id_set_index = nullptr;
    decltype(&::snd_mixer_selem_id_set_name) snd_mixer_selem_id_set_name = nullptr;
    decltype(&::snd_mixer_selem_has_playback_volume) snd_mixer_selem_has_playback_volume = nullptr;
    decltype(&::snd_mixer_selem_has_playback_channel) snd_mixer_selem_has_playback_channel = nullptr;
    decltype(&::snd_mixer_selem_is_playback_mono) snd_mixer_selem_is_playback_mono = nullptr;
    decltype(&::snd_mixer_selem_get_playback_volume_range) snd_mixer_selem_get_playback_volume_range = nullptr;
    decltype(&::snd_mixer_selem_get_playback_volume) snd_mixer_selem_get_playback_volume = nullptr;
    decltype(&::snd_mixer_selem_set_playback_volume_all) snd_mixer_selem_set_playback_volume_all = nullptr;
    decltype(&::snd_hctl_find_elem) snd_hctl_find_elem = nullptr;
    decltype(&::snd_hctl_elem_read) snd_hctl_elem_read = nullptr;
    decltype(&::snd_ctl_elem_id_malloc) snd_ctl_elem_id_malloc = nullptr;
    decltype(&::snd_ctl_elem_id_free) snd_ctl_elem_id_free = nullptr;
    decltype(&::snd_ctl_elem_id_set_interface) snd_ctl_elem_id_set_interface = nullptr;
    decltype(&::snd_ctl_elem_id_set_name) snd_ctl_elem_id_set_name = nullptr;
    decltype(&::snd_ctl_elem_value_malloc) snd_ctl_elem_value_malloc = nullptr;
    decltype(&::snd_ctl_elem_value_free) snd_ctl_elem_value_free = nullptr;
    bool usable = false;

    Alsa() {
        // All or nothing: a library without one of them is not the one expected.
        usable = library.IsOpen();
        usable = library.Find("snd_mixer_open", snd_mixer_open) && usable;
        usable = library.Find("snd_mixer_attach", snd_mixer_attach) && usable;
        usable = library.Find("snd_mixer_selem_register", snd_mixer_selem_register) && usable;
        usable = library.Find("snd_mixer_load", snd_mixer_load) && usable;
        usable = library.Find("snd_mixer_close", snd_mixer_close) && usable;
        usable = library.Find("snd_mixer_handle_events", snd_mixer_handle_events) && usable;
        usable = library.Find("snd_mixer_get_hctl", snd_mixer_get_hctl) && usable;
        usable = library.Find("snd_mixer_find_selem", snd_mixer_find_selem) && usable;
        usable = library.Find("snd_mixer_selem_id_malloc", snd_mixer_selem_id_malloc) && usable;
        usable = library.Find("snd_mixer_selem_id_free", snd_mixer_selem_id_free) && usable;
        usable = library.Find("snd_mixer_selem_id_set_index", snd_mixer_selem_id_set_index) && usable;
        usable = library.Find("snd_mixer_selem_id_set_name", snd_mixer_selem_id_set_name) && usable;
        usable = library.Find("snd_mixer_selem_has_playback_volume", snd_mixer_selem_has_playback_volume) && usable;
        usable = library.Find("snd_mixer_selem_has_playback_channel", snd_mixer_selem_has_playback_channel) && usable;
        usable = library.Find("snd_mixer_selem_is_playback_mono", snd_mixer_selem_is_playback_mono) && usable;
        usable = library.Find("snd_mixer_selem_get_playback_volume_range", snd_mixer_selem_get_playback_volume_range) && usable;
        usable = library.Find("snd_mixer_selem_get_playback_volume", snd_mixer_selem_get_playback_volume) && usable;
        usable = library.Find("snd_mixer_selem_set_playback_volume_all", snd_mixer_selem_set_playback_volume_all) && usable;
        usable = library.Find("snd_hctl_find_elem", snd_hctl_find_elem) && usable;
        usable = library.Find("snd_hctl_elem_read", snd_hctl_elem_read) && usable;
        usable = library.Find("snd_ctl_elem_id_malloc", snd_ctl_elem_id_malloc) && usable;
        usable = library.Find("snd_ctl_elem_id_free", snd_ctl_elem_id_free) && usable;
        usable = library.Find("snd_ctl_elem_id_set_interface", snd_ctl_elem_id_set_interface) && usable;
        usable = library.Find("snd_ctl_elem_id_set_name", snd_ctl_elem_id_set_name) && usable;
        usable = library.Find("snd_ctl_elem_value_malloc", snd_ctl_elem_value_malloc) && usable;
        usable = library.Find("snd_ctl_elem_value_free", snd_ctl_elem_value_free) && usable;
    }
};

// Opened once, on the first call from any thread.
const Alsa& Library() {
    static const Alsa alsa;
    return alsa;
}

}  // namespace

extern "C" {

int snd_mixer_open(snd_mixer_t** mixer, int mode) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_open(mixer, mode) : -ENOENT;
}

int snd_mixer_attach(snd_mixer_t* mixer, const char* name) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_attach(mixer, name) : -ENOENT;
}

int snd_mixer_selem_register(snd_mixer_t* mixer, struct snd_mixer_selem_regopt* options, snd_mixer_class_t** classp) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_selem_register(mixer, options, classp) : -ENOENT;
}

int snd_mixer_load(snd_mixer_t* mixer) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_load(mixer) : -ENOENT;
}

int snd_mixer_close(snd_mixer_t* mixer) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_close(mixer) : -ENOENT;
}

int snd_mixer_handle_events(snd_mixer_t* mixer) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_handle_events(mixer) : -ENOENT;
}

int snd_mixer_get_hctl(snd_mixer_t* mixer, const char* name, snd_hctl_t** hctl) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_get_hctl(mixer, name, hctl) : -ENOENT;
}

snd_mixer_elem_t* snd_mixer_find_selem(snd_mixer_t* mixer, const snd_mixer_selem_id_t* id) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_find_selem(mixer, id) : nullptr;
}

int snd_mixer_selem_id_malloc(snd_mixer_selem_id_t** ptr) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_selem_id_malloc(ptr) : -ENOMEM;
}

void snd_mixer_selem_id_free(snd_mixer_selem_id_t* obj) {
    const Alsa& alsa = Library();
    if (alsa.usable) alsa.snd_mixer_selem_id_free(obj);
}

void snd_mixer_selem_id_set_index(snd_mixer_selem_id_t* obj, unsigned int val) {
    const Alsa& alsa = Library();
    if (alsa.usable) alsa.snd_mixer_selem_id_set_index(obj, val);
}

void snd_mixer_selem_id_set_name(snd_mixer_selem_id_t* obj, const char* val) {
    const Alsa& alsa = Library();
    if (alsa.usable) alsa.snd_mixer_selem_id_set_name(obj, val);
}

int snd_mixer_selem_has_playback_volume(snd_mixer_elem_t* elem) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_selem_has_playback_volume(elem) : 0;
}

int snd_mixer_selem_has_playback_channel(snd_mixer_elem_t* obj, snd_mixer_selem_channel_id_t channel) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_selem_has_playback_channel(obj, channel) : 0;
}

int snd_mixer_selem_is_playback_mono(snd_mixer_elem_t* elem) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_selem_is_playback_mono(elem) : 0;
}

int snd_mixer_selem_get_playback_volume_range(snd_mixer_elem_t* elem, long* min, long* max) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_selem_get_playback_volume_range(elem, min, max) : -ENOENT;
}

int snd_mixer_selem_get_playback_volume(snd_mixer_elem_t* elem, snd_mixer_selem_channel_id_t channel, long* value) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_selem_get_playback_volume(elem, channel, value) : -ENOENT;
}

int snd_mixer_selem_set_playback_volume_all(snd_mixer_elem_t* elem, long value) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_mixer_selem_set_playback_volume_all(elem, value) : -ENOENT;
}

snd_hctl_elem_t* snd_hctl_find_elem(snd_hctl_t* hctl, const snd_ctl_elem_id_t* id) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_hctl_find_elem(hctl, id) : nullptr;
}

int snd_hctl_elem_read(snd_hctl_elem_t* elem, snd_ctl_elem_value_t* value) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_hctl_elem_read(elem, value) : -ENOENT;
}

int snd_ctl_elem_id_malloc(snd_ctl_elem_id_t** ptr) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_ctl_elem_id_malloc(ptr) : -ENOMEM;
}

void snd_ctl_elem_id_free(snd_ctl_elem_id_t* obj) {
    const Alsa& alsa = Library();
    if (alsa.usable) alsa.snd_ctl_elem_id_free(obj);
}

void snd_ctl_elem_id_set_interface(snd_ctl_elem_id_t* obj, snd_ctl_elem_iface_t val) {
    const Alsa& alsa = Library();
    if (alsa.usable) alsa.snd_ctl_elem_id_set_interface(obj, val);
}

void snd_ctl_elem_id_set_name(snd_ctl_elem_id_t* obj, const char* val) {
    const Alsa& alsa = Library();
    if (alsa.usable) alsa.snd_ctl_elem_id_set_name(obj, val);
}

int snd_ctl_elem_value_malloc(snd_ctl_elem_value_t** ptr) {
    const Alsa& alsa = Library();
    return alsa.usable ? alsa.snd_ctl_elem_value_malloc(ptr) : -ENOMEM;
}

void snd_ctl_elem_value_free(snd_ctl_elem_value_t* obj) {
    const Alsa& alsa = Library();
    if (alsa.usable) alsa.snd_ctl_elem_value_free(obj);
}

}  // extern "C"
