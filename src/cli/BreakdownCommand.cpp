#include "cli/BreakdownCommand.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/CommandLine.h"
#include "cli/HeadlessSound.h"
#include "cli/MouthSetChoice.h"
#include "dialogue/CharacterList.h"
#include "dialogue/DialogueAligner.h"
#include "dialogue/DialogueScript.h"
#include "dialogue/ScriptBreakdown.h"
#include "dialogue/MouthSet.h"
#include "dialogue/MouthTrack.h"
#include "dialogue/SpokenText.h"
#include "dialogue/UserSpeechModel.h"
#include "export/ExportText.h"
#include "export/ExportWriters.h"
#include "marks/MarksFile.h"
#include "marks/TextFile.h"
#include "sound/MonoMix.h"

namespace zv {

namespace {

// The formats offered are the export list's dialogue formats.
std::string Usage() {
    return "Usage: zorvane --breakdown SOUND --text SCRIPT|- [--fps RATE] [--language CODE]\n"
           "               [--mouths preston-blair|a-h|FILE] [--mouths NAME=SET|FILE ...] [--format " +
           ExportWriters::Names(ExportSubject::Dialogue, "|") + "] [--output FILE]\n";
}

bool ReadAll(std::istream& in, std::string& text) {
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return !in.bad();
}

// The characters kept beside the sound (the window's, with the mouth set
// each keeps); the one unnamed speaker when nothing is kept or the file
// can't be read (a note says so: the breakdown goes on without it).
CharacterList KeptCharacters(const std::string& soundPath, int32_t sampleRate, std::ostream& messages) {
    const std::string path = MarksFilePath(soundPath);
    const TextFileRead kept = ReadTextFile(path, std::size_t{64} << 20);
    if (!kept.exists) return {};
    const MarksFileContent content = kept.error ? MarksFileContent{} : ParseMarksFile(kept.text, sampleRate);
    if (kept.error || content.error) {
        messages << "The characters kept in " << path << " can't be read ("
                 << (kept.error ? *kept.error : *content.error) << "): their mouth sets are not used.\n";
        return {};
    }
    for (const FileTrack& track : content.tracks)
        if (track.name == CharacterList::kTrack) return CharacterList::FromItems(track.items);
    return {};
}

// The set a speaker of the script keeps beside the sound: the kept
// character of that name (or, but for letter case, that name); the one
// unnamed speaker takes the first character's.
std::string KeptSet(const CharacterList& kept, const std::string& name) {
    if (name.empty()) return kept.All().front().mouthSet;
    if (const Character* c = kept.FindByName(name)) return c->mouthSet;
    const auto lower = [](std::string text) {
        for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        return text;
    };
    for (const Character& c : kept.All())
        if (lower(c.name) == lower(name)) return c.mouthSet;
    return {};
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
        args, 3, {"--text", "--fps", "--language", "--mouths", "--format", "--output"}, error, {"--mouths"});
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
    bool unreadableSet = false;
    const auto sets = MouthSetChoice::Parse(options->Values("--mouths"), error, unreadableSet);
    if (!sets) {
        messages << error << "\n";
        if (unreadableSet) return kExitUnreadable;
        messages << Usage();
        return kExitUsage;
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
    if (const auto unknown = sets->UnknownName(script.Speakers())) {
        messages << *unknown << "\n" << Usage();
        return kExitUsage;
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
    // Each character's shapes, from the set asked for it, else the one it keeps.
    const CharacterList kept = KeptCharacters(soundPath, request.sampleRate, messages);
    const auto setFor = [&](const std::string& name) {
        std::string note;
        MouthSet set = sets->For(name, KeptSet(kept, name), &note);
        if (!note.empty()) messages << note << "\n";
        return set;
    };
    std::vector<MouthSet> speakerSets;
    std::vector<std::vector<TrackItem>> shapes;
    speakerSets.reserve(aligned.speakers.size() + 1);
    for (const SpeakerBreakdown& s : aligned.speakers) {
        speakerSets.push_back(setFor(s.name));
        shapes.push_back(MouthShapes(s.breakdown.PhonemeItems(), speakerSets.back(), MouthRules{}, *rate,
                                     request.sampleRate, request.soundFrames));
    }
    std::vector<CharacterExport> characters;
    for (std::size_t i = 0; i < aligned.speakers.size(); ++i)
        characters.push_back({aligned.speakers[i].name, &aligned.speakers[i].breakdown, &shapes[i], &speakerSets[i]});
    if (characters.empty()) {
        speakerSets.push_back(setFor(""));
        characters.push_back({"", &result.breakdown, nullptr, &speakerSets.back()});
    }
    ExportInput out;
    out.soundName = std::filesystem::path(soundPath).filename().string();
    out.sampleRate = request.sampleRate;
    out.lengthSamples = request.soundFrames;
    out.rate = *rate;
    out.breakdown = characters.front().breakdown;
    out.mouths = characters.front().mouths;
    out.mouthSet = characters.front().mouthSet;
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
