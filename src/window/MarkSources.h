#pragma once
// What the marks' actions take from the rest of the window: where a mark
// set at a sample frame lands (Snap to Beats), the beats of the Beats track
// (for the beat formats of Export Marks) and the dialogue's breakdown as
// text in one of its formats.
#include <cstdint>
#include <optional>
#include <string>

#include "beats/BeatAnalysis.h"
#include "export/ExportWriter.h"

namespace zv {

class ExportWriter;
struct ExportInput;

class MarkSources {
public:
    virtual ~MarkSources() = default;
    // A sample frame moved to the nearest beat or half-beat when Snap to
    // Beats is on and there are beats; unchanged otherwise.
    virtual int64_t SnappedSample(int64_t sample) const = 0;
    // The beats found or tapped (not steady when there are none).
    virtual BeatAnalysis Beats() const = 0;
    // The dialogue's breakdown written by a Dialogue format of the export
    // list (the input's sound, rate, marks and beats filled): one file, or
    // one for each character when the format keeps them apart; nothing,
    // told why, when there is none.
    virtual std::optional<std::vector<ExportFile>> DialogueFiles(const ExportWriter& writer,
                                                                 const ExportInput& input) const = 0;
    // The XDTS sheet written to `path` (asking its cut and scene, with the
    // mouth numbers beside it); true when written, else the user was told why.
    virtual bool ExportXdts(const std::string& path) const = 0;
};

} // namespace zv
