#include "export/XdtsSheetWriter.h"

#include "beats/BeatAnalysis.h"
#include "dialogue/Breakdown.h"
#include "dialogue/MouthSet.h"
#include "sheets/XdtsSheet.h"

namespace zv {

XdtsSheetWriter::XdtsSheetWriter()
    : ExportWriter({ExportSubject::Dialogue, kName, "XDTS Exposure Sheet (*.xdts)", "*.xdts", ".xdts"}) {}

SheetContent XdtsSheetWriter::ContentOf(const ExportInput& in) {
    SheetContent content;
    content.soundName = in.soundName;
    content.sampleRate = in.sampleRate;
    content.soundFrames = in.lengthSamples;
    content.rate = in.rate;
    if (in.marks != nullptr) content.marks = *in.marks;
    if (in.beats != nullptr) content.beats = BeatItems(*in.beats);
    if (in.ByCharacter()) {
        // A dialogue track for each character, named after them.
        for (const CharacterExport& c : *in.characters) {
            SheetSpeaker speaker;
            speaker.name = c.name;
            speaker.named = !c.name.empty();
            if (c.mouthSet != nullptr) speaker.mouthSet = *c.mouthSet;
            if (c.breakdown != nullptr) speaker.words = c.breakdown->WordItems();
            if (c.mouths != nullptr) speaker.mouths = *c.mouths;
            content.speakers.push_back(std::move(speaker));
        }
    } else if (in.breakdown != nullptr || in.mouths != nullptr) {
        SheetSpeaker speaker;
        speaker.name = "Dialogue";
        if (in.mouthSet != nullptr) speaker.mouthSet = *in.mouthSet;
        if (in.breakdown != nullptr) speaker.words = in.breakdown->WordItems();
        if (in.mouths != nullptr) speaker.mouths = *in.mouths;
        content.speakers.push_back(std::move(speaker));
    }
    return content;
}

std::string XdtsSheetWriter::Write(const ExportInput& input) const {
    const SheetContent content = ContentOf(input);
    if (content.FrameCount() <= 0) return {};
    return XdtsText(content, {});
}

} // namespace zv
