#include "cli/BreakdownCommand.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/CommandLine.h"
#include "cli/HeadlessSound.h"
#include "dialogue/DialogueAligner.h"
#include "dialogue/DialogueScript.h"
#include "dialogue/ScriptBreakdown.h"
#include "dialogue/MouthSet.h"
#include "dialogue/MouthTrack.h"
#include "dialogue/SpokenText.h"
#include "dialogue/UserSpeechModel.h"
#include "export/ExportText.h"
#include "export/ExportWriters.h"
#include "sound/MonoMix.h"

namespace zv {

namespace {

// The formats offered are the export list's dialogue formats.
std::string Usage() {
    return "Usage: zorvane --breakdown SOUND --text SCRIPT|- [--fps RATE] [--language CODE]\n"
           "               [--mouths preston-blair|a-h|FILE] [--format " +
           ExportWriters::Names(ExportSubject::Dialogue, "|") + "] [--output FILE]\n";
}

bool ReadAll(std::istream& in, std::string& text) {
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return !in.bad();
}

// The mouth set named on the command line: a built-in one, a file, or a
// set in the user's mouths folder by name.
std::optional<MouthSet> ChooseMouths(const std::string& name, std::string& error) {
    if (auto set = MouthSet::BuiltIn(name)) return set;
    std::error_code ec;
    if (std::filesystem::exists(name, ec)) return MouthSet::ReadFile(name, error);
    const std::string folder = MouthSet::UserFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    const std::string file = folder + "/" + name + ".json";
    if (!folder.empty() && std::filesystem::exists(file, ec)) return MouthSet::ReadFile(file, error);
    error = "Couldn't read the mouth set " + name + ": no such file, and no such set in " + folder;
    return std::nullopt;
}

// Whether `format` writes one file for each of several characters (so
// that standard output cannot take it).
bool WritesFileEach(const ExportWriter& format) {
    Breakdown none;
    none.sampleRate = 1;
    const std::vector<CharacterExport> two = {{"A", &none, nullptr, nullptr}, {"B", &none, nullptr, nullptr}};
    ExportInput probe;
    probe.rate = FrameRate(24);
    probe.sampleRate = 1;
    probe.breakdown = &none;
    probe.characters = &two;
    return format.WriteFiles(probe).size() > 1;
}

int Run(const std::vector<std::string>& args, std::istream& input, std::ostream& messages) {
    if (args.size() < 3 || args[2].rfind("--", 0) == 0) {
        messages << Usage();
        return kExitUsage;
    }
    std::string error;
    const auto options = CommandLine::Parse(
        args, 3, {"--text", "--fps", "--language", "--mouths", "--format", "--output"}, error);
    if (!options) {
        messages << error << "\n" << Usage();
        return kExitUsage;
    }
    if (!options->Has("--text")) {
        messages << "--text is needed\n" << Usage();
        return kExitUsage;
    }
    const auto rate = ParseFrameRate(options->Value("--fps", "30"));
    if (!rate) {
        messages << "Not a frame rate: " << options->Value("--fps") << "\n";
        return kExitUsage;
    }
    const ExportWriter* format = ExportWriters::Named(ExportSubject::Dialogue, options->Value("--format", "json"));
    if (!format) {
        messages << "Unknown format: " << options->Value("--format") << " ("
                 << ExportWriters::Names(ExportSubject::Dialogue) << ")\n";
        return kExitUsage;
    }
    const std::string language = options->Value("--language", "en");
    const std::string models = UserSpeechModel::ModelsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    const DialogueWay way = DialogueLanguageWay(language, models);
    if (way == DialogueWay::Unknown) {
        messages << "Unknown language: " << language << "\n";
        return kExitUsage;
    }
    const auto mouths = ChooseMouths(options->Value("--mouths", "preston-blair"), error);
    if (!mouths) {
        messages << error << "\n";
        return kExitUnreadable;
    }
    const std::string textPath = options->Value("--text");
    std::string text;
    if (textPath == "-") {
        if (!ReadAll(input, text)) {
            messages << "Couldn't read the text from standard input\n";
            return kExitUnreadable;
        }
    } else {
        std::ifstream file(textPath, std::ios::binary);
        if (!file || !ReadAll(file, text)) {
            messages << "Couldn't read the text " << textPath << "\n";
            return kExitUnreadable;
        }
    }
    const std::string textName = textPath == "-" ? std::string("on standard input") : textPath;
    const DialogueScript script = DialogueScript::Parse(text, IsEnglishLanguage(language));
    if (script.Refused()) {
        messages << "The text " << textName << " cannot be read as a script: " << script.Error() << "\n";
        return kExitUnreadable;
    }
    if (script.Lines().empty()) {
        messages << "The text " << textName << " is empty\n";
        return kExitUnreadable;
    }
    const std::string output = options->Value("--output");
    if (script.Speakers().size() > 1 && (output.empty() || output == "-") && WritesFileEach(*format)) {
        messages << "The script has " << script.Speakers().size() << " characters and " << format->Format().name
                 << " writes one file for each: --output FILE is needed (FILE-NAME for each)\n";
        return kExitUsage;
    }
    const std::string soundPath = args[2];
    SoundData sound;
    if (!LoadSoundHeadless(soundPath, sound, error)) {
        messages << error << "\n";
        return kExitUnreadable;
    }
    const std::vector<float> mono = MonoMix(sound, 0, sound.NumSamples);
    DialogueRequest request;
    request.mono = &mono;
    request.sampleRate = sound.WavFormat.nSamplesPerSec;
    request.soundFrames = sound.NumSamples;
    request.text = text;
    request.language = language;
    request.modelsFolder = models;
    const ScriptResult aligned = BreakDownScript(script, request);
    const DialogueResult& result = aligned.result;
    // A note on the way taken (lines not heard, a model that did not load).
    if (result.outcome == DialogueResult::Outcome::Aligned && !result.message.empty()) messages << result.message << "\n";
    if (result.outcome == DialogueResult::Outcome::Failed || result.outcome == DialogueResult::Outcome::Cancelled) {
        messages << result.message << "\n";
        return kExitUnreadable;
    }
    // Each character's shapes, from the one set asked for.
    std::vector<std::vector<TrackItem>> shapes;
    for (const SpeakerBreakdown& s : aligned.speakers)
        shapes.push_back(MouthShapes(s.breakdown.PhonemeItems(), *mouths, MouthRules{}, *rate, request.sampleRate,
                                     request.soundFrames));
    std::vector<CharacterExport> characters;
    for (std::size_t i = 0; i < aligned.speakers.size(); ++i)
        characters.push_back({aligned.speakers[i].name, &aligned.speakers[i].breakdown, &shapes[i], &*mouths});
    if (characters.empty()) characters.push_back({"", &result.breakdown, nullptr, &*mouths});
    ExportInput out;
    out.soundName = std::filesystem::path(soundPath).filename().string();
    out.sampleRate = request.sampleRate;
    out.lengthSamples = request.soundFrames;
    out.rate = *rate;
    out.breakdown = characters.front().breakdown;
    out.mouths = characters.front().mouths;
    out.mouthSet = &*mouths;
    out.characters = &characters;
    const std::vector<ExportFile> files = format->WriteFiles(out);
    for (const ExportFile& file : files) {
        const std::string path = files.size() > 1 ? ExportPathWith(output, file.suffix) : output;
        if (!WriteCommandOutput(file.content, path, error)) {
            messages << error << "\n";
            return kExitUnreadable;
        }
    }
    if (result.outcome == DialogueResult::Outcome::NoSpeech) {
        messages << "No speech was found in " << soundPath << ": the words are spread evenly.\n";
        return kExitNothingFound;
    }
    return kExitDone;
}

} // namespace

int RunBreakdownCommand(const std::vector<std::string>& args, std::istream& input, std::ostream& messages) {
    try {
        return Run(args, input, messages);
    } catch (const std::exception& e) {
        messages << "The breakdown failed: " << e.what() << "\n";
    } catch (...) {
        messages << "The breakdown failed\n";
    }
    return kExitUnreadable;
}

} // namespace zv
