// The speaker volume control through the ALSA simple mixer: the "default"
// control device (PulseAudio or PipeWire through their ALSA plugin on a
// desktop, the first sound card otherwise) and its "Master" playback volume.
#include <alsa/asoundlib.h>

#include <climits>
#include <cmath>
#include <memory>

#include "volume/Mixer.h"

namespace zv {
namespace {

constexpr const char* kDevice = "default";
constexpr const char* kElementName = "Master";
constexpr const char* kControlName = "Master Playback Volume";  // the control element behind it

class AlsaMixer final : public Mixer {
public:
    AlsaMixer() = default;
    AlsaMixer(const AlsaMixer&) = delete;
    AlsaMixer& operator=(const AlsaMixer&) = delete;
    ~AlsaMixer() override {
        if (handle_ != nullptr) snd_mixer_close(handle_);
    }

    bool Open() override {
        if (handle_ != nullptr) return true;
        snd_mixer_t* handle = nullptr;
        if (snd_mixer_open(&handle, 0) < 0) return false;
        if (snd_mixer_attach(handle, kDevice) < 0 || snd_mixer_selem_register(handle, nullptr, nullptr) < 0 ||
            snd_mixer_load(handle) < 0) {
            snd_mixer_close(handle);
            return false;
        }
        handle_ = handle;
        return true;
    }

    bool FindVolumeControl(int32_t& minimum, int32_t& maximum, int32_t& current) override {
        haveControl_ = false;
        snd_mixer_elem_t* element = FindElement();
        if (element == nullptr || !snd_mixer_selem_has_playback_volume(element)) return false;

        long low = 0;
        long high = 0;
        if (snd_mixer_selem_get_playback_volume_range(element, &low, &high) < 0) return false;
        if (low > high || low < INT32_MIN || high > INT32_MAX) return false;

        // The current volume: the average of the channels, rounded to nearest.
        long long sum = 0;
        int channels = 0;
        for (int channel = 0; channel <= SND_MIXER_SCHN_LAST; ++channel) {
            const auto id = static_cast<snd_mixer_selem_channel_id_t>(channel);
            if (!snd_mixer_selem_has_playback_channel(element, id)) continue;
            long volume = 0;
            if (snd_mixer_selem_get_playback_volume(element, id, &volume) < 0) return false;
            sum += volume;
            ++channels;
            if (snd_mixer_selem_is_playback_mono(element)) break;
        }
        if (channels == 0) return false;
        double average = std::nearbyint(static_cast<double>(sum) / channels);
        average = std::fmin(std::fmax(average, static_cast<double>(low)), static_cast<double>(high));

        minimum = static_cast<int32_t>(low);
        maximum = static_cast<int32_t>(high);
        current = static_cast<int32_t>(average);
        minimum_ = minimum;
        maximum_ = maximum;
        haveControl_ = true;
        return true;
    }

    bool SetVolume(int32_t value) override {
        if (!haveControl_ || value < minimum_ || value > maximum_) return false;
        snd_mixer_elem_t* element = FindElement();
        if (element == nullptr) return false;
        return snd_mixer_selem_set_playback_volume_all(element, value) >= 0;
    }

private:
    // Brings ALSA's copy of the volume up to date, then looks the element up
    // afresh. ALSA skips a write of the value it believes the control already
    // has, so after another program changed the volume a stale copy would
    // swallow the user's move. Reading the control element asks the sound
    // server for its volume now (the PulseAudio plugin hears of outside
    // changes only later, on its own thread) and queues the change as an
    // event; taking in the events then refreshes the copy. Looking the element
    // up again each time keeps a removed element from being used.
    snd_mixer_elem_t* FindElement() {
        if (handle_ == nullptr) return nullptr;
        ReadControlElement();
        snd_mixer_handle_events(handle_);
        snd_mixer_selem_id_t* id = nullptr;
        if (snd_mixer_selem_id_malloc(&id) < 0) return nullptr;
        snd_mixer_selem_id_set_index(id, 0);
        snd_mixer_selem_id_set_name(id, kElementName);
        snd_mixer_elem_t* element = snd_mixer_find_selem(handle_, id);
        snd_mixer_selem_id_free(id);
        return element;
    }

    // Reads the "Master Playback Volume" control element; the value itself is
    // not needed. Quietly does nothing when the device names it otherwise.
    void ReadControlElement() {
        snd_hctl_t* hctl = nullptr;
        if (snd_mixer_get_hctl(handle_, kDevice, &hctl) < 0) return;
        snd_ctl_elem_id_t* id = nullptr;
        if (snd_ctl_elem_id_malloc(&id) < 0) return;
        snd_ctl_elem_id_set_interface(id, SND_CTL_ELEM_IFACE_MIXER);
        snd_ctl_elem_id_set_name(id, kControlName);
        snd_hctl_elem_t* element = snd_hctl_find_elem(hctl, id);
        snd_ctl_elem_id_free(id);
        if (element == nullptr) return;
        snd_ctl_elem_value_t* value = nullptr;
        if (snd_ctl_elem_value_malloc(&value) < 0) return;
        snd_hctl_elem_read(element, value);
        snd_ctl_elem_value_free(value);
    }

    snd_mixer_t* handle_ = nullptr;
    bool haveControl_ = false;
    int32_t minimum_ = 0;
    int32_t maximum_ = 0;
};

} // namespace

std::unique_ptr<Mixer> CreateSystemMixer() { return std::make_unique<AlsaMixer>(); }

} // namespace zv
