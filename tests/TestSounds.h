#pragma once
// Sound files for the playback tests, written with libsndfile into a
// directory that is removed again when the test ends.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zv::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A 16-bit WAV of `channels` identical channels holding `samples` (-1..1).
void WriteWav(const std::string& path, int32_t sampleRate, int channels, const std::vector<float>& samples);

// A file of libsndfile's `format` (SF_FORMAT_FLAC | SF_FORMAT_PCM_16, ...)
// of `channels` identical channels holding `samples` (-1..1).
void WriteSound(const std::string& path, int format, int32_t sampleRate, int channels,
                const std::vector<float>& samples);

// A sine of `frequency` Hz at `amplitude`, `frames` samples long, whose
// samples are never close to zero for long (a phase offset avoids exact zeros).
std::vector<float> Tone(int32_t sampleRate, int64_t frames, double frequency, double amplitude);

// A file with `text` in it (not a sound).
void WriteText(const std::string& path, const std::string& text);
// The whole of a file's bytes ("" when it cannot be read).
std::string ReadText(const std::string& path);

} // namespace zv::test
