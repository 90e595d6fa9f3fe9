#include "cli/HeadlessSound.h"

#include <filesystem>

#include "sound/SoundDecoding.h"
#include "sound/SoundKind.h"
#include "sound/WavLoader.h"

namespace zv {

namespace {

// "Cannot open 'x.wav': why", the path quoted so a name with spaces reads plainly.
std::string CannotOpen(const std::string& path, const std::string& why) {
    return "Cannot open '" + path + "': " + why;
}

} // namespace

bool LoadSoundHeadless(const std::string& path, SoundData& sound, std::string& reason) {
    try {
        std::error_code ec;
        const auto status = std::filesystem::status(path, ec);
        if (!std::filesystem::exists(status)) {
            reason = CannotOpen(path, "no such file");
            return false;
        }
        if (std::filesystem::is_directory(status)) {
            reason = CannotOpen(path, "it is a folder, not a sound file");
            return false;
        }
        if (ClassifySoundFile(path) == SoundKind::Compressed) {
            auto decoder = OpenSoundDecoder(path);
            DecodeProgress progress;
            std::string why;
            if (DecodeSound(sound, *decoder, progress, why) != DecodeOutcome::Loaded) {
                reason = CannotOpen(path, why);
                return false;
            }
            return true;
        }
        const Report report = LoadWavFile(sound, path);
        if (!sound.WavLoaded) {
            reason = CannotOpen(path, report.Failed() ? report.Message() : std::string("not a sound file"));
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        reason = CannotOpen(path, e.what());
    } catch (...) {
        reason = CannotOpen(path, "it can't be read");
    }
    return false;
}

} // namespace zv
