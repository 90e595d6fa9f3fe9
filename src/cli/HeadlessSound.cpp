#include "cli/HeadlessSound.h"

#include "sound/SoundDecoding.h"
#include "sound/SoundKind.h"
#include "sound/WavLoader.h"

namespace zv {

bool LoadSoundHeadless(const std::string& path, SoundData& sound, std::string& reason) {
    try {
        if (ClassifySoundFile(path) == SoundKind::Compressed) {
            auto decoder = OpenSoundDecoder(path);
            DecodeProgress progress;
            std::string why;
            if (DecodeSound(sound, *decoder, progress, why) != DecodeOutcome::Loaded) {
                reason = "Couldn't open " + path + ": " + why;
                return false;
            }
            return true;
        }
        const Report report = LoadWavFile(sound, path);
        if (!sound.WavLoaded) {
            reason = "Couldn't open " + path + ": " + (report.Failed() ? report.Message() : std::string("not a sound file"));
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        reason = "Couldn't open " + path + ": " + e.what();
    } catch (...) {
        reason = "Couldn't open " + path;
    }
    return false;
}

} // namespace zv
