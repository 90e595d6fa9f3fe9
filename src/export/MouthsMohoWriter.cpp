#include "export/MouthsMohoWriter.h"

#include <algorithm>

#include "dialogue/Breakdown.h"
#include "export/DialogueFrames.h"
#include "export/ExportText.h"

namespace zv {

namespace {

std::string Switches(const DialogueFrames& frames, const std::vector<TrackItem>* mouths) {
    std::string out = "MohoSwitch1\n";
    if (mouths == nullptr) return out;
    for (const TrackItem& m : *mouths)
        out += std::to_string(frames.Of(m.start) + 1) + " " + ExportOneLine(m.text) + "\n";
    return out;
}

} // namespace

MouthsMohoWriter::MouthsMohoWriter()
    : ExportWriter(
          {ExportSubject::Dialogue, "dat", "Moho Switch Data of the Mouths (*.dat)", "*.dat", ".mouths.dat"}) {}

std::string MouthsMohoWriter::Write(const ExportInput& in) const {
    // One mouth layer a file: with several characters, the first one's.
    const std::vector<ExportFile> files = WriteFiles(in);
    return files.empty() ? std::string() : files.front().content;
}

std::vector<ExportFile> MouthsMohoWriter::WriteFiles(const ExportInput& in) const {
    if (in.breakdown == nullptr || !in.rate.IsPositive() || in.breakdown->sampleRate <= 0) return {ExportFile{"", std::string()}};
    const DialogueFrames frames{in.rate, in.breakdown->sampleRate};
    const std::vector<CharacterExport> speakers = in.Speakers();
    if (speakers.size() <= 1)
        return {ExportFile{"", Switches(frames, speakers.empty() ? nullptr : speakers.front().mouths)}};
    std::vector<ExportFile> files;
    for (std::size_t i = 0; i < speakers.size(); ++i) {
        std::string part = ExportFileNamePart(speakers[i].name);
        if (part.empty()) part = "character-" + std::to_string(i + 1);
        // Two names made alike ("Ann?" and "Ann*") still get a file each.
        std::string suffix = "-" + part;
        for (int n = 2; std::any_of(files.begin(), files.end(), [&](const ExportFile& f) { return f.suffix == suffix; }); ++n)
            suffix = "-" + part + "-" + std::to_string(n);
        files.push_back({suffix, Switches(frames, speakers[i].mouths)});
    }
    return files;
}

} // namespace zv
