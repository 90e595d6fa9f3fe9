#include "cli/BeatsCommand.h"

#include <cstring>
#include <filesystem>

#include "beats/BeatAnalysis.h"
#include "beats/FramesPerBeat.h"
#include "cli/CommandLine.h"
#include "cli/HeadlessSound.h"
#include "export/ExportWriters.h"
#include "sound/MonoMix.h"

namespace zv {

namespace {

// The formats offered are the export list's beat formats.
std::string Usage() {
    return "Usage: zorvane --beats SOUND [--fps RATE] [--bpm BPM] [--format " +
           ExportWriters::Names(ExportSubject::Beats, "|") + "] [--output FILE]";
}

int Fail(std::FILE* messages, int code, const std::string& message) {
    std::fprintf(messages, "%s\n", message.c_str());
    std::fflush(messages);
    return code;
}

int Run(const std::vector<std::string>& args, std::FILE* messages) {
    if (args.size() < 3 || args[2].rfind("--", 0) == 0) return Fail(messages, kExitUsage, Usage());
    const std::string& path = args[2];
    std::string error;
    const auto line = CommandLine::Parse(args, 3, {"--fps", "--bpm", "--format", "--output"}, error);
    if (!line) return Fail(messages, kExitUsage, error + "\n" + Usage());

    const std::optional<FrameRate> rate = ParseFrameRate(line->Value("--fps", "24"));
    if (!rate) return Fail(messages, kExitUsage, "--fps: not a frame rate: " + line->Value("--fps"));
    const ExportWriter* format = ExportWriters::Named(ExportSubject::Beats, line->Value("--format", "json"));
    if (!format)
        return Fail(messages, kExitUsage,
                    "--format: " + ExportWriters::Names(ExportSubject::Beats) + ", not " + line->Value("--format"));
    BeatOptions options;
    if (line->Has("--bpm")) {
        const std::string text = line->Value("--bpm");
        const std::optional<int64_t> hundredths = ParseBpmHundredths(text);
        if (!hundredths || *hundredths < BpmHundredths(kSlowestTypedBpm) || *hundredths > BpmHundredths(kFastestTypedBpm))
            return Fail(messages, kExitUsage, "--bpm: a tempo from 20 to 400 BPM, not " + text);
        options.bpm = static_cast<double>(*hundredths) / 100.0;
    }

    SoundData sound;
    std::string reason;
    if (!LoadSoundHeadless(path, sound, reason)) return Fail(messages, kExitUnreadable, reason);
    const std::vector<float> mono = MonoMix(sound, 0, sound.NumSamples);
    const int32_t sampleRate = sound.WavFormat.nSamplesPerSec;
    const std::optional<BeatAnalysis> analysis = FindBeats(mono.data(), mono.size(), sampleRate, 0, options);
    if (!analysis || !analysis->steady) return Fail(messages, kExitNothingFound, "No steady beat found");

    ExportInput out;
    out.soundName = std::filesystem::path(path).filename().string();
    out.sampleRate = sampleRate;
    out.lengthSamples = static_cast<int64_t>(mono.size());
    out.rate = *rate;
    out.beats = &*analysis;
    const std::string text = format->Write(out);
    if (!WriteCommandOutput(text, line->Value("--output"), error)) return Fail(messages, kExitUsage, error);
    std::fprintf(messages, "%s\n", BeatReadout(*analysis, *rate).c_str());
    std::fflush(messages);
    return kExitDone;
}

} // namespace

bool IsBeatsCommand(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], "--beats") == 0; }

int RunBeatsCommand(const std::vector<std::string>& args, std::FILE* messages) {
    try {
        return Run(args, messages);
    } catch (const std::exception& e) {
        return Fail(messages, kExitUnreadable, std::string("The beats could not be found: ") + e.what());
    } catch (...) {
        return Fail(messages, kExitUnreadable, "The beats could not be found");
    }
}

} // namespace zv
