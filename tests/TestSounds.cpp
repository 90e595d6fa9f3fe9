#include "TestSounds.h"

#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace zv::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorvane-playback-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteWav(const std::string& path, int32_t sampleRate, int channels, const std::vector<float>& samples) {
    WriteSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sampleRate, channels, samples);
}

void WriteSound(const std::string& path, int format, int32_t sampleRate, int channels,
                const std::vector<float>& samples) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) throw std::runtime_error(sf_strerror(nullptr));
    std::vector<float> frames(samples.size() * static_cast<size_t>(channels));
    for (size_t i = 0; i < samples.size(); ++i)
        for (int c = 0; c < channels; ++c) frames[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] = samples[i];
    sf_writef_float(file, frames.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

std::vector<float> Tone(int32_t sampleRate, int64_t frames, double frequency, double amplitude) {
    std::vector<float> out(static_cast<size_t>(frames));
    for (int64_t i = 0; i < frames; ++i)
        out[static_cast<size_t>(i)] = static_cast<float>(
            amplitude * std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / sampleRate + 0.3));
    return out;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace zv::test
