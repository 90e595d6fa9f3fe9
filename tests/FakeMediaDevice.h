#pragma once
// A media device for tests that records what it is told and lets the test
// decide where it is and whether it still plays.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/Errors.h"
#include "playback/MediaDevice.h"

namespace zv::test {

class FakeMediaDevice : public MediaDevice {
public:
    void Open(const std::string& path) override {
        if (failOpen) throw DeviceError("cannot open " + path);
        open = true;
        opened.push_back(path);
        position = 0;
        playing = false;
    }
    void OfferDecoded(const std::string& path, std::shared_ptr<const uint8_t> samples, int channels,
                      int64_t frames) override {
        offers.push_back(Offer{path, std::move(samples), channels, frames, opened.size()});
    }
    void Close() override {
        open = false;
        playing = false;
    }
    bool IsOpen() const override { return open; }
    int32_t SampleRate() const override { return open ? sampleRate : 0; }
    int64_t LengthSamples() const override { return open ? length : 0; }
    int64_t PositionSample() const override { return position; }
    void Play(int64_t from, int64_t to) override {
        playing = false;
        position = from;
        if (failPlay) throw DeviceError("output failed");
        plays.emplace_back(from, to);
        styles.push_back(style);
        playing = true;
    }
    void SetPlayStyle(const PlayStyle& s) override { style = s; }
    void Pause() override {
        if (playing) ++cuts;
        playing = false;
    }
    void Seek(int64_t sample) override {
        Pause();
        position = sample;
    }
    bool IsPlaying() const override { return playing; }
    std::string TakeOutputFailure() override { return std::exchange(outputFailure, {}); }

    int32_t sampleRate = 44100;
    int64_t length = 44100 * 3;
    bool open = false;
    bool playing = false;
    int64_t position = 0;
    bool failOpen = false;
    bool failPlay = false;
    std::string outputFailure;                       // why the output broke off, until taken
    int cuts = 0;                                    // pauses while playing
    std::vector<std::pair<int64_t, int64_t>> plays;  // every stretch played
    PlayStyle style;                                 // as last set
    std::vector<PlayStyle> styles;                   // each play's
    std::vector<std::string> opened;                 // every path opened
    struct Offer {
        std::string path;
        std::shared_ptr<const uint8_t> samples;
        int channels;
        int64_t frames;
        std::size_t opensBefore;                     // opened.size() when offered
    };
    std::vector<Offer> offers;                       // every decoded sound offered
};

} // namespace zv::test
