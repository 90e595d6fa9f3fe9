#include "BeatLoops.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace zv::test {

namespace {

constexpr double kPi = std::numbers::pi;

struct Voice {
    std::vector<float>& out;
    int32_t rate;
    std::mt19937& random;

    void Add(double at, double seconds, double gain, auto&& sample) {
        const auto first = static_cast<std::size_t>(std::llround(at * rate));
        const auto length = static_cast<std::size_t>(seconds * rate);
        for (std::size_t i = 0; i < length && first + i < out.size(); ++i)
            out[first + i] += static_cast<float>(gain * sample(static_cast<double>(i) / rate));
    }
    double Noise() { return std::uniform_real_distribution<double>(-1.0, 1.0)(random); }

    void Kick(double at, double gain) {
        double phase = 0;
        Add(at, 0.35, gain, [&](double t) {
            phase += 2 * kPi * (50 + 90 * std::exp(-t / 0.03)) / rate;
            return std::sin(phase) * std::exp(-t / 0.12);
        });
    }
    void Snare(double at, double gain) {
        Add(at, 0.25, gain, [&](double t) {
            return 0.6 * Noise() * std::exp(-t / 0.06) + 0.4 * std::sin(2 * kPi * 190 * t) * std::exp(-t / 0.08);
        });
    }
    void Hat(double at, double gain) {
        double last = 0;
        Add(at, 0.08, gain, [&](double t) {
            const double n = Noise();
            const double high = n - last;   // the noise's top octaves
            last = n;
            return 0.5 * high * std::exp(-t / 0.02);
        });
    }
    // A bowed note: swells in over 40 ms, holds, and fades out over 60 ms
    // after `seconds`.
    void Bowed(double at, double gain, double seconds, double hz) {
        Add(at, seconds + 0.06, gain, [&](double t) {
            const double swell = t < 0.04 ? 0.5 - 0.5 * std::cos(kPi * t / 0.04) : 1.0;
            const double fade = t > seconds ? 0.5 + 0.5 * std::cos(kPi * (t - seconds) / 0.06) : 1.0;
            return swell * fade * (std::sin(2 * kPi * hz * t) + 0.5 * std::sin(4 * kPi * hz * t));
        });
    }
};

} // namespace

Loop MakeLoop(const LoopSpec& recipe) {
    Loop loop;
    std::mt19937 random(recipe.seed);
    loop.mono.assign(static_cast<std::size_t>(recipe.seconds * recipe.sampleRate), 0.0f);
    Voice voice{loop.mono, recipe.sampleRate, random};
    const double first = 60.0 / recipe.bpm;
    // The beats end a second before the sound does (the last one rings).
    double at = recipe.offsetSeconds;
    for (int k = 0; at < recipe.seconds - 1.0; ++k) {
        loop.beatSeconds.push_back(at);
        // With a drift, the tempo rises evenly with the time.
        const double period = first / (1 + recipe.drift * std::min(1.0, at / (recipe.seconds - 1.0)));
        const int place = k % 4;
        if (recipe.soft) {
            // A line of eight notes over and over, a bar's first louder.
            constexpr double kLine[] = {220, 277.2, 329.6, 440, 392, 329.6, 293.7, 246.9};
            voice.Bowed(at, place == 0 ? 0.45 : 0.3, period * 0.6, kLine[k % 8]);
        } else {
            if (place == 0 || place == 2) voice.Kick(at, place == 0 ? 0.9 : 0.65);
            if (place == 1 || place == 3) voice.Snare(at, 0.6);
            voice.Hat(at, 0.2);
            voice.Hat(at + period * (recipe.swing ? 2.0 / 3.0 : 0.5), 0.12);
        }
        at += period;
    }
    for (float& s : loop.mono) s = static_cast<float>(std::clamp(s + recipe.noise * voice.Noise(), -1.0, 1.0));
    return loop;
}

std::vector<float> MakeNoise(double seconds, int32_t sampleRate, double level, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-level, level);
    std::vector<float> out(static_cast<std::size_t>(seconds * sampleRate));
    for (float& s : out) s = static_cast<float>(uniform(random));
    return out;
}

} // namespace zv::test
