#pragma once
// Fakes of the mixer, the message box and the program starter for the volume
// tests: they record what they were asked to do.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/MessageBox.h"
#include "volume/Mixer.h"
#include "volume/ProgramStarter.h"
#include "volume/SpeakerVolume.h"

namespace zv::test {

class FakeMixer : public Mixer {
public:
    bool opens = true;
    bool hasControl = true;
    int32_t minimum = 0;
    int32_t maximum = 65535;
    int32_t current = 0;
    std::vector<int32_t> writes;

    bool Open() override { return opens; }
    bool FindVolumeControl(int32_t& min, int32_t& max, int32_t& cur) override {
        if (!opens || !hasControl) return false;
        min = minimum;
        max = maximum;
        cur = current;
        return true;
    }
    bool SetVolume(int32_t value) override {
        writes.push_back(value);
        return opens && hasControl;
    }
};

class FakeMessageBox : public MessageBox {
public:
    std::vector<std::string> shown;
    void Show(const std::string& text) override { shown.push_back(text); }
};

// The volume set-up as the window runs it: a failure's message goes to `messages`.
inline std::optional<SpeakerVolume::SliderSettings> SetUp(SpeakerVolume& volume, MessageBox& messages) {
    SpeakerVolume::Setup setup = volume.SetupVolume();
    ShowReport(messages, setup.failure);
    return setup.slider;
}

// Starts what `existing` names; records every attempt as "path arg1 arg2...".
class FakeStarter : public ProgramStarter {
public:
    std::set<std::string> existing;        // paths that start
    std::set<std::string> onPath;          // names FindOnPath finds (as /usr/bin/<name>)
    std::vector<std::string> attempts;
    std::vector<std::string> lookups;

    bool Start(const std::string& path) override { return StartWithArguments(path, {}); }
    bool StartWithArguments(const std::string& path, const std::vector<std::string>& arguments) override {
        std::string attempt = path;
        for (const auto& argument : arguments) attempt += " " + argument;
        attempts.push_back(attempt);
        return existing.count(path) > 0;
    }
    std::string FindOnPath(const std::string& name) override {
        lookups.push_back(name);
        return onPath.count(name) > 0 ? "/usr/bin/" + name : std::string();
    }
};

} // namespace zv::test
