#include "cli/SheetCommand.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <set>
#include <sstream>

#include "beats/BeatAnalysis.h"
#include "cli/CommandLine.h"
#include "cli/HeadlessSound.h"
#include "cli/MouthSetChoice.h"
#include "dialogue/CharacterList.h"
#include "dialogue/DialogueAligner.h"
#include "dialogue/DialogueScript.h"
#include "dialogue/ScriptBreakdown.h"
#include "dialogue/MouthSet.h"
#include "dialogue/MouthTrack.h"
#include "marks/MarksFile.h"
#include "marks/TextFile.h"
#include "sheets/SheetLayout.h"
#include "sheets/XdtsSheet.h"
#include "sound/MonoMix.h"

namespace zv {

namespace {

constexpr const char* kUsage =
    "Usage: zorvane --sheet SOUND --output FILE.xdts|FILE.pdf [--text SCRIPT] [--beats] [--fps RATE]\n"
    "               [--cut N] [--scene N] [--layout one|two]\n";

bool EndsWith(std::string text, const std::string& end) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::vector<TrackItem>* FindTrack(std::vector<FileTrack>& tracks, const std::string& name) {
    for (FileTrack& t : tracks)
        if (t.name == name) return &t.items;
    return nullptr;
}

std::vector<TrackItem>& EnsureTrack(std::vector<FileTrack>& tracks, const std::string& name) {
    if (auto* items = FindTrack(tracks, name)) return *items;
    tracks.push_back({name, {}});
    return tracks.back().items;
}

bool IsEmptyTrack(std::vector<FileTrack>& tracks, const std::string& name) {
    const auto* items = FindTrack(tracks, name);
    return !items || items->empty();
}

int Run(const std::vector<std::string>& given, std::ostream& messages, const SheetPdfWriter& writePdf) {
    if (given.size() < 3 || given[2].rfind("--", 0) == 0) {
        messages << kUsage;
        return kExitUsage;
    }
    // --beats is a switch: the other options take a value.
    std::vector<std::string> args;
    bool findBeats = false;
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (i >= 3 && given[i] == "--beats") findBeats = true;
        else args.push_back(given[i]);
    }
    std::string error;
    const auto options =
        CommandLine::Parse(args, 3, {"--output", "--text", "--fps", "--cut", "--scene", "--layout"}, error);
    if (!options) {
        messages << error << "\n" << kUsage;
        return kExitUsage;
    }
    const std::string output = options->Value("--output");
    const bool pdf = EndsWith(output, ".pdf");
    if (output.empty() || (!pdf && !EndsWith(output, ".xdts"))) {
        messages << "--output must name a .xdts or a .pdf file\n" << kUsage;
        return kExitUsage;
    }
    const auto rate = ParseFrameRate(options->Value("--fps", "24"));
    if (!rate) {
        messages << "--fps: not a frame rate: " << options->Value("--fps") << "\n";
        return kExitUsage;
    }
    XdtsOptions numbers{options->Value("--cut", "1"), options->Value("--scene", "1")};
    if (const auto wrong = XdtsOptionsError(numbers)) {
        messages << *wrong << "\n";
        return kExitUsage;
    }
    const std::string layoutName = options->Value("--layout", "one");
    if (layoutName != "one" && layoutName != "two") {
        messages << "--layout: one or two, not " << layoutName << "\n";
        return kExitUsage;
    }

    const std::string soundPath = args[2];
    SoundData sound;
    if (!LoadSoundHeadless(soundPath, sound, error)) {
        messages << error << "\n";
        return kExitUnreadable;
    }
    const int32_t sampleRate = sound.WavFormat.nSamplesPerSec;
    const int64_t soundFrames = sound.NumSamples;

    // What the window kept beside the sound.
    std::vector<FileTrack> tracks;
    const std::string marksPath = MarksFilePath(soundPath);
    const TextFileRead kept = ReadTextFile(marksPath, std::size_t{64} << 20);
    if (kept.error) {
        messages << "Cannot read '" << marksPath << "': " << *kept.error << "\n";
        return kExitUnreadable;
    }
    if (kept.exists) {
        MarksFileContent content = ParseMarksFile(kept.text, sampleRate);
        if (content.error) {
            messages << "Cannot read '" << marksPath << "': " << *content.error << "\n";
            return kExitUnreadable;
        }
        tracks = std::move(content.tracks);
    }

    // Each character's mouths are laid and numbered with the set it keeps.
    const MouthSetChoice sets;
    std::set<std::string> notes;
    const MouthSetNamed setNamed = [&](const std::string& kept) {
        std::string note;
        MouthSet set = sets.For("", kept, &note);
        if (!note.empty() && notes.insert(note).second) messages << note << "\n";
        return set;
    };
    std::vector<float> mono;
    const auto monoOnce = [&]() -> const std::vector<float>& {
        if (mono.empty()) mono = MonoMix(sound, 0, sound.NumSamples);
        return mono;
    };
    // The script is broken down only when no character has words kept.
    const auto keptCharacters = [&] {
        const std::vector<TrackItem>* items = FindTrack(tracks, CharacterList::kTrack);
        return items ? CharacterList::FromItems(*items) : CharacterList{};
    };
    const CharacterList before = keptCharacters();
    const bool noWords = std::all_of(before.All().begin(), before.All().end(), [&](const Character& c) {
        return IsEmptyTrack(tracks, CharacterList::WordsTrack(c.id));
    });
    if (options->Has("--text") && noWords) {
        const std::string textPath = options->Value("--text");
        std::ifstream file(textPath, std::ios::binary);
        std::ostringstream all;
        if (file) all << file.rdbuf();
        if (!file || file.bad()) {
            messages << "Cannot open '" << textPath << "': " << (std::filesystem::exists(textPath) ? "it can't be read" : "no such file") << "\n";
            return kExitUnreadable;
        }
        const DialogueScript script = DialogueScript::Parse(all.str(), true);
        if (script.Refused()) {
            messages << "Cannot read '" << textPath << "' as a script: " << script.Error() << "\n";
            return kExitUnreadable;
        }
        DialogueRequest request;
        request.mono = &monoOnce();
        request.sampleRate = sampleRate;
        request.soundFrames = soundFrames;
        request.text = all.str();
        request.language = "en";
        const ScriptResult aligned = BreakDownScript(script, request);
        const DialogueResult& result = aligned.result;
        if (result.outcome == DialogueResult::Outcome::Failed || result.outcome == DialogueResult::Outcome::Cancelled) {
            messages << result.message << "\n";
            return kExitUnreadable;
        }
        if (result.outcome == DialogueResult::Outcome::NoSpeech)
            messages << "No speech was found in '" << soundPath << "': the words are spread evenly.\n";
        // Each speaker of the script to its character's tracks (the kept
        // character of that name, or a new one), as the window does.
        CharacterList characters = before;
        const auto place = [&](int id, const Breakdown& breakdown) {
            EnsureTrack(tracks, CharacterList::WordsTrack(id)) = breakdown.WordItems();
            EnsureTrack(tracks, CharacterList::PhonemesTrack(id)) = breakdown.PhonemeItems();
            EnsureTrack(tracks, CharacterList::MouthsTrack(id)).clear();
        };
        if (aligned.speakers.empty()) place(1, result.breakdown);
        for (const SpeakerBreakdown& speaker : aligned.speakers) {
            const int id = speaker.name.empty() ? 1 : characters.IdFor(speaker.name);
            if (id != 0) place(id, speaker.breakdown);
        }
        if (characters.Items() != before.Items()) EnsureTrack(tracks, CharacterList::kTrack) = characters.Items();
    }
    const CharacterList characters = keptCharacters();
    for (const Character& c : characters.All()) {
        const std::string mouthsTrack = CharacterList::MouthsTrack(c.id);
        const std::string phonemesTrack = CharacterList::PhonemesTrack(c.id);
        if (!IsEmptyTrack(tracks, mouthsTrack) || IsEmptyTrack(tracks, phonemesTrack)) continue;
        const std::vector<TrackItem> phonemes = *FindTrack(tracks, phonemesTrack);
        EnsureTrack(tracks, mouthsTrack) =
            MouthShapes(phonemes, setNamed(c.mouthSet), MouthRules{}, *rate, sampleRate, soundFrames);
    }
    if (findBeats && IsEmptyTrack(tracks, "Beats")) {
        const std::optional<BeatAnalysis> analysis =
            FindBeats(monoOnce().data(), monoOnce().size(), sampleRate, 0, BeatOptions{});
        if (analysis && analysis->steady) EnsureTrack(tracks, "Beats") = BeatItems(*analysis);
        else messages << "No steady beat was found in '" << soundPath << "': the sheet has no beats.\n";
    }

    const SheetContent content = SheetContentOfTracks(
        tracks, std::filesystem::path(soundPath).filename().string(), sampleRate, soundFrames, *rate, setNamed);
    if (!content.HasAnything() || content.FrameCount() <= 0) {
        messages << "Nothing to put on the sheet: '" << soundPath
                 << "' has no marks, words, mouths or beats kept beside it (give --text SCRIPT or --beats). "
                    "No file was written.\n";
        return kExitNothingFound;
    }
    // An XDTS sheet holds the mouths and the lines: marks and beats alone put nothing on it.
    if (!pdf && content.speakers.empty()) {
        messages << "Nothing to put on the XDTS sheet: '" << soundPath
                 << "' has no words or mouths kept beside it (give --text SCRIPT). No file was written.\n";
        return kExitNothingFound;
    }
    if (pdf) {
        const SheetLayout layout(content, layoutName == "two" ? SheetKind::TwoColumns : SheetKind::OneColumn,
                                 SheetHeader{numbers.scene, numbers.cut});
        const std::optional<std::string> failed =
            writePdf ? writePdf(layout, output) : std::optional<std::string>("PDF can't be made here");
        if (failed) {
            messages << "Cannot write '" << output << "': " << *failed << "\n";
            return kExitUsage;
        }
        return kExitDone;
    }
    const std::string sheetName = std::filesystem::path(output).filename().string();
    const std::string mappingPath = XdtsMappingPath(output);
    if (const auto failed = WriteFileAtomically(output, XdtsText(content, numbers))) {
        messages << "Cannot write '" << output << "': " << *failed << "\n";
        return kExitUsage;
    }
    if (const auto failed = WriteFileAtomically(mappingPath, XdtsMappingText(content, sheetName))) {
        messages << "Cannot write '" << mappingPath << "': " << *failed << "\n";
        return kExitUsage;
    }
    if (const auto note = XdtsRateNote(*rate)) messages << *note << "\n";
    return kExitDone;
}

} // namespace

const char* SheetUsage() { return kUsage; }

int RunSheetCommand(const std::vector<std::string>& args, std::ostream& messages, const SheetPdfWriter& writePdf) {
    try {
        return Run(args, messages, writePdf);
    } catch (const std::exception& e) {
        messages << "The sheet could not be made: " << e.what() << "\n";
    } catch (...) {
        messages << "The sheet could not be made\n";
    }
    return kExitUnreadable;
}

} // namespace zv
