#include "window/ActionLinks.h"

#include "common/MessageBox.h"
#include "common/ui/LogCategories.h"
#include "playback/MediaTransport.h"
#include "playback/ui/MediaControl.h"
#include "window/BeatsActions.h"
#include "window/DialogueActions.h"
#include "window/SelectionSliders.h"
#include "window/SheetsActions.h"
#include "window/WaveformInteraction.h"

namespace zv {

int64_t ActionLinks::SnappedSample(int64_t sample) const {
    return selection ? selection->SnappedSample(sample) : sample;
}

BeatAnalysis ActionLinks::Beats() const { return beats ? beats->Beats() : BeatAnalysis{}; }

std::optional<std::vector<ExportFile>> ActionLinks::DialogueFiles(const ExportWriter& writer,
                                                                   const ExportInput& input) const {
    return dialogue ? dialogue->ExportFiles(writer, input) : std::nullopt;
}

bool ActionLinks::ExportXdts(const std::string& path) const { return sheets && sheets->ExportXdts(path); }

std::vector<TrackItem> ActionLinks::MouthsFor(const std::vector<TrackItem>& phonemes, const std::string& set) const {
    return dialogue ? dialogue->MouthsFor(phonemes, set) : std::vector<TrackItem>{};
}

std::vector<std::string> ActionLinks::MouthSetNames() const {
    std::vector<std::string> names;
    if (dialogue)
        for (const MouthSet& set : dialogue->Sets()) names.push_back(set.Name());
    return names;
}

void ActionLinks::PlaySamples(int64_t first, int64_t last) {
    try {
        media_.Transport().PlaySamples(first, last);
        media_.TransportChanged();
    } catch (...) {
        LogCurrentError(LogWindow(), "Playing a lane's item");
    }
}

std::optional<std::string> ActionLinks::AskText(const std::string& what, const std::string& initial) {
    return messages_.AskText(what, initial);
}

void ActionLinks::LanesChanged() {
    if (waveform) waveform->TracksChanged();
}

} // namespace zv
