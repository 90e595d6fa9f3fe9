// Placeholder until the volume work lands: a mixer that cannot be opened.
#include "volume/Mixer.h"

namespace zv {
namespace {
class NoMixer : public Mixer {
public:
    bool Open() override { return false; }
    bool FindVolumeControl(int32_t&, int32_t&, int32_t&) override { return false; }
    bool SetVolume(int32_t) override { return false; }
};
} // namespace

std::unique_ptr<Mixer> CreateSystemMixer() { return std::make_unique<NoMixer>(); }

} // namespace zv
