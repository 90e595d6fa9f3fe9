#pragma once
// How the window's helpers reach one another: the marks' actions take Snap
// to Beats, the beats and the dialogue's text (MarkSources); the lanes'
// edits take the mouths, playing, asking and showing again (LaneHost). The
// helpers are made one after another, so each link is set once its helper
// is made; until then the link gives nothing.
#include "window/LaneHost.h"
#include "window/MarkSources.h"

namespace zv {

class BeatsActions;
class DialogueActions;
class MediaControl;
class MessageBox;
class SelectionSliders;
class SheetsActions;
class WaveformInteraction;

class ActionLinks : public MarkSources, public LaneHost {
public:
    ActionLinks(MessageBox& messages, MediaControl& media) : messages_(messages), media_(media) {}

    // The helpers, as they are made (each outlives its use here).
    SelectionSliders* selection = nullptr;
    BeatsActions* beats = nullptr;
    DialogueActions* dialogue = nullptr;
    SheetsActions* sheets = nullptr;
    WaveformInteraction* waveform = nullptr;

    int64_t SnappedSample(int64_t sample) const override;
    BeatAnalysis Beats() const override;
    std::optional<std::vector<ExportFile>> DialogueFiles(const ExportWriter& writer,
                                                         const ExportInput& input) const override;
    bool ExportXdts(const std::string& path) const override;
    std::vector<TrackItem> MouthsFor(const std::vector<TrackItem>& phonemes, const std::string& set) const override;
    std::vector<std::string> MouthSetNames() const override;
    void PlaySamples(int64_t first, int64_t last) override;
    std::optional<std::string> AskText(const std::string& what, const std::string& initial) override;
    void LanesChanged() override;

private:
    MessageBox& messages_;
    MediaControl& media_;
};

} // namespace zv
