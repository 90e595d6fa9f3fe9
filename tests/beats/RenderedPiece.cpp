#include "RenderedPiece.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>

namespace zv::test {

namespace {

constexpr const char* kSoundfont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
constexpr int32_t kRate = 44100;

uint64_t Fnv(const std::vector<uint8_t>& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (const uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
    return h;
}

bool ReadMono(const std::string& path, std::vector<float>& mono) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return false;
    std::vector<float> frames(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t got = sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    if (info.samplerate != kRate || info.channels < 1) return false;
    mono.assign(static_cast<std::size_t>(got), 0.0f);
    for (std::size_t i = 0; i < mono.size(); ++i) {
        float sum = 0;
        for (int c = 0; c < info.channels; ++c) sum += frames[i * static_cast<std::size_t>(info.channels) + static_cast<std::size_t>(c)];
        mono[i] = sum / static_cast<float>(info.channels);
    }
    return true;
}

// Plays `midi` into `folder`, or reads back an earlier rendering of it.
bool Play(const std::vector<uint8_t>& midi, const std::string& name, const std::string& folder,
          std::vector<float>& mono, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    char hash[32];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv(midi)));
    const std::string stem = folder + "/" + name + "-" + hash;
    if (ReadMono(stem + ".wav", mono)) return true;
    {
        std::ofstream out(stem + ".mid", std::ios::binary);
        out.write(reinterpret_cast<const char*>(midi.data()), static_cast<std::streamsize>(midi.size()));
        if (!out) {
            error = "could not write " + stem + ".mid";
            return false;
        }
    }
    const std::string part = stem + ".part." + std::to_string(getpid()) + ".wav";
    const std::string command = "fluidsynth -ni -q -r 44100 -F '" + part + "' " + kSoundfont + " '" + stem +
                                ".mid' > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        error = "fluidsynth failed on " + stem + ".mid";
        return false;
    }
    std::filesystem::rename(part, stem + ".wav", ec);
    if (ec || !ReadMono(stem + ".wav", mono)) {
        error = "could not read the rendering of " + name;
        return false;
    }
    return true;
}

// A MIDI file of one drum hit one second in (120 BPM, beat 2).
std::vector<uint8_t> OneHit(int drum) {
    const auto key = static_cast<uint8_t>(drum);
    // Tempo 500000 us a beat; 960 ticks (two beats) on, 120 ticks held.
    const uint8_t track[] = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x87, 0x40, 0x99, key, 100,
                             0x78, 0x89, key, 0,    0x00, 0xFF, 0x2F, 0x00};
    const uint8_t header[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0,
                              static_cast<uint8_t>(sizeof track)};
    std::vector<uint8_t> midi(header, header + sizeof header);
    for (const uint8_t b : track) midi.push_back(b);
    return midi;
}

} // namespace

bool CanRender() {
    return std::filesystem::exists(kSoundfont) && std::system("command -v fluidsynth > /dev/null 2>&1") == 0;
}

double RenderLag(const std::string& folder) {
    static std::mutex lock;
    static double lag = -1;
    const std::lock_guard<std::mutex> hold(lock);
    if (lag >= 0) return lag;
    double sum = 0;
    int n = 0;
    for (const int drum : {36, 38, 42}) {
        std::vector<float> mono;
        std::string error;
        if (!Play(OneHit(drum), "lag-" + std::to_string(drum), folder, mono, error) || mono.empty()) continue;
        float peak = 0;
        for (const float s : mono) peak = std::max(peak, std::fabs(s));
        const auto first = std::find_if(mono.begin(), mono.end(), [&](float s) { return std::fabs(s) > 0.1f * peak; });
        sum += static_cast<double>(first - mono.begin()) / kRate - 1.0;
        ++n;
    }
    lag = n ? sum / n : 0;
    return lag;
}

RenderedPiece Render(const PieceRecipe& recipe, const std::string& folder, double leadSeconds) {
    RenderedPiece piece;
    piece.recipe = recipe;
    piece.sampleRate = kRate;
    const Composition c = Compose(recipe);
    piece.beatsPerBar = c.beatsPerBar;
    std::vector<float> played;
    if (!Play(c.midi, recipe.name, folder, played, piece.error)) return piece;
    const double shift = leadSeconds + RenderLag(folder);
    for (const double s : c.beatSeconds) piece.beatSeconds.push_back(s + shift);
    for (const double s : c.downbeatSeconds) piece.downbeatSeconds.push_back(s + shift);
    const auto lead = static_cast<std::size_t>(std::lround(leadSeconds * kRate));
    piece.mono.assign(lead, 0.0f);
    piece.mono.insert(piece.mono.end(), played.begin(), played.end());
    if (recipe.fadeIn) {
        // From -40 dB to full over the first 12 seconds of music.
        const double span = 12.0 * kRate;
        for (std::size_t i = lead; i < piece.mono.size() && static_cast<double>(i - lead) < span; ++i)
            piece.mono[i] *= static_cast<float>(std::pow(10.0, -2.0 * (1.0 - static_cast<double>(i - lead) / span)));
    }
    return piece;
}

std::vector<RenderedPiece> RenderAll(const std::vector<PieceRecipe>& recipes, const std::string& folder) {
    RenderLag(folder);
    std::vector<RenderedPiece> pieces(recipes.size());
    for (std::size_t i = 0; i < recipes.size(); i += 2) {
        auto second = i + 1 < recipes.size()
                          ? std::async(std::launch::async, [&, i] { return Render(recipes[i + 1], folder); })
                          : std::future<RenderedPiece>{};
        pieces[i] = Render(recipes[i], folder);
        if (second.valid()) pieces[i + 1] = second.get();
    }
    return pieces;
}

} // namespace zv::test
