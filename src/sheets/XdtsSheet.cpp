#include "sheets/XdtsSheet.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "common/FrameTime.h"
#include "dialogue/MouthTrack.h"

namespace zv {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kFirstLine = "exchangeDigitalTimeSheet Save Data";
constexpr const char* kNullCell = "SYMBOL_NULL_CELL";
constexpr int kCellField = 0;
constexpr int kDialogField = 3;
// Words further apart than the pause after which the mouths rest are told
// as separate lines.
const int64_t kLinePauseMs = MouthRules{}.restAfterPauseMs;

bool IsSheetNumber(const std::string& text) {
    return !text.empty() && text.size() <= 4 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Json Entry(int64_t frame, const std::string& value) {
    return Json{{"frame", frame}, {"data", Json::array({Json{{"id", 0}, {"values", Json::array({value})}}})}};
}

Json MouthTrackJson(const SheetContent& content, const SheetSpeaker& speaker, int trackNo, int64_t frames) {
    const std::vector<std::string> order = NumberedShapes(speaker);
    const std::vector<std::string> byFrame = ShapesByFrame(speaker.mouths, content.rate, content.sampleRate,
                                                           content.soundFrames, speaker.mouthSet.Rest());
    Json entries = Json::array();
    std::string shown;
    for (int64_t f = 0; f < frames; ++f) {
        const std::string& shape =
            f < static_cast<int64_t>(byFrame.size()) ? byFrame[static_cast<std::size_t>(f)] : speaker.mouthSet.Rest();
        const auto at = std::find(order.begin(), order.end(), shape);
        const std::string number = std::to_string((at == order.end() ? 0 : at - order.begin()) + 1);
        if (f > 0 && number == shown) continue;
        entries.push_back(Entry(f, number));
        shown = number;
    }
    entries.push_back(Entry(frames, kNullCell));
    return Json{{"trackNo", trackNo}, {"frames", std::move(entries)}};
}

struct SpokenLine {
    int64_t firstFrame = 0;
    int64_t endFrame = 0;   // one past the last frame
    std::string text;
};

std::vector<SpokenLine> LinesOf(const SheetContent& content, const SheetSpeaker& speaker, int64_t frames) {
    std::vector<SpokenLine> lines;
    const int64_t pause = MsToSamples(kLinePauseMs, content.sampleRate);
    int64_t lastEnd = 0;
    for (const TrackItem& word : speaker.words) {
        if (word.text.empty()) continue;
        const int64_t first = std::min(content.FrameOf(word.start), frames - 1);
        const int64_t end =
            std::clamp(content.FrameOf(std::max(word.end, word.start + 1) - 1) + 1, first + 1, frames);
        // A new line after a pause, unless it would start on the frame the last one ends in.
        if (lines.empty() || (word.start - lastEnd >= pause && first >= lines.back().endFrame)) {
            lines.push_back({first, end, word.text});
        } else {
            lines.back().text += " " + word.text;
            lines.back().endFrame = std::max(lines.back().endFrame, end);
        }
        lastEnd = std::max(lastEnd, word.end);
    }
    for (SpokenLine& line : lines)
        for (char& c : line.text)
            if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return lines;
}

Json DialogTrackJson(const SheetContent& content, const SheetSpeaker& speaker, int trackNo, int64_t frames) {
    Json entries = Json::array();
    for (const SpokenLine& line : LinesOf(content, speaker, frames)) {
        entries.push_back(Entry(line.firstFrame, line.text));
        entries.push_back(Entry(line.endFrame, kNullCell));
    }
    return Json{{"trackNo", trackNo}, {"frames", std::move(entries)}};
}

} // namespace

std::optional<std::string> XdtsOptionsError(const XdtsOptions& options) {
    if (!IsSheetNumber(options.cut)) return "The cut must be a number of 1 to 4 digits, not '" + options.cut + "'.";
    if (!IsSheetNumber(options.scene))
        return "The scene must be a number of 1 to 4 digits, not '" + options.scene + "'.";
    return std::nullopt;
}

std::string XdtsText(const SheetContent& content, const XdtsOptions& options) {
    const int64_t frames = std::max<int64_t>(content.FrameCount(), 1);
    Json cells = Json::array();
    Json dialog = Json::array();
    Json cellNames = Json::array();
    Json dialogNames = Json::array();
    int trackNo = 0;
    for (const SheetSpeaker& speaker : content.speakers) {
        cells.push_back(MouthTrackJson(content, speaker, trackNo, frames));
        dialog.push_back(DialogTrackJson(content, speaker, trackNo, frames));
        cellNames.push_back(speaker.name);
        dialogNames.push_back(speaker.name);
        ++trackNo;
    }
    Json fields = Json::array();
    Json headers = Json::array();
    if (!cells.empty()) {
        fields.push_back(Json{{"fieldId", kCellField}, {"tracks", std::move(cells)}});
        fields.push_back(Json{{"fieldId", kDialogField}, {"tracks", std::move(dialog)}});
        headers.push_back(Json{{"fieldId", kCellField}, {"names", std::move(cellNames)}});
        headers.push_back(Json{{"fieldId", kDialogField}, {"names", std::move(dialogNames)}});
    }
    std::string name = std::filesystem::path(content.soundName).stem().string();
    if (name.empty()) name = "Sheet";
    Json table{{"fields", std::move(fields)},
               {"name", name},
               {"duration", frames},
               {"timeTableHeaders", std::move(headers)}};
    Json sheet{{"header", Json{{"cut", options.cut}, {"scene", options.scene}}},
               {"timeTables", Json::array({std::move(table)})},
               {"version", 5}};
    // Texts that are not UTF-8 are written with replacement characters rather than refused.
    return std::string(kFirstLine) + "\n" + sheet.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string XdtsMappingText(const SheetContent& content, const std::string& sheetFileName) {
    std::string text = "Mouth drawings of " + sheetFileName + " (sound: " + content.soundName + ")\n";
    text += "Frame rate: " + RateText(content.rate) + " frames a second";
    text += content.rate == FrameRate(24) ? "\n" : " (XDTS keeps no rate: set the receiving program to it)\n";
    for (const SheetSpeaker& speaker : content.speakers) {
        text += "\n" + speaker.name + " (" + speaker.mouthSet.Name() + ")\n";
        const std::vector<std::string> shapes = NumberedShapes(speaker);
        for (std::size_t i = 0; i < shapes.size(); ++i) text += std::to_string(i + 1) + "\t" + shapes[i] + "\n";
    }
    return text;
}

std::string XdtsMappingPath(const std::string& sheetPath) {
    std::filesystem::path path(sheetPath);
    return (path.parent_path() / (path.stem().string() + ".mouths.txt")).string();
}

std::optional<std::string> XdtsRateNote(FrameRate rate) {
    if (rate == FrameRate(24)) return std::nullopt;
    return "XDTS files keep no frame rate: set the receiving program to " + RateText(rate) +
           " frames a second, or the timing will drift.";
}

std::string RateText(FrameRate rate) {
    if (rate.IsWhole()) return std::to_string(rate.Numerator());
    char text[32];
    std::snprintf(text, sizeof text, "%.3f",
                  static_cast<double>(rate.Numerator()) / static_cast<double>(rate.Denominator()));
    std::string s = text;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

} // namespace zv
