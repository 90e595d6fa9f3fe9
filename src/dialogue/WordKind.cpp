#include "dialogue/WordKind.h"

#include <charconv>
#include <string_view>

#include "dialogue/Breakdown.h"

namespace zv {

namespace {

constexpr const char* kSpread = "spread";
constexpr std::string_view kLine = "line:";

// The tags of a kind, in order.
std::vector<std::string> Tags(const std::string& kind) {
    std::vector<std::string> tags;
    std::size_t from = 0;
    while (from < kind.size()) {
        std::size_t to = kind.find(' ', from);
        if (to == std::string::npos) to = kind.size();
        if (to > from) tags.push_back(kind.substr(from, to - from));
        from = to + 1;
    }
    return tags;
}

std::string Joined(const std::vector<std::string>& tags) {
    std::string out;
    for (const std::string& t : tags) out += (out.empty() ? "" : " ") + t;
    return out;
}

} // namespace

std::string WordKind::Of(bool spread, std::optional<int64_t> line) {
    std::string kind = spread ? kSpread : "";
    if (line) kind += (kind.empty() ? "" : " ") + std::string(kLine) + std::to_string(*line);
    return kind;
}

bool WordKind::IsSpread(const std::string& kind) {
    for (const std::string& t : Tags(kind))
        if (t == kSpread) return true;
    return false;
}

std::optional<int64_t> WordKind::LineOf(const std::string& kind) {
    for (const std::string& t : Tags(kind)) {
        if (t.compare(0, kLine.size(), kLine) != 0) continue;
        int64_t line = 0;
        const char* first = t.data() + kLine.size();
        const char* last = t.data() + t.size();
        const auto [end, error] = std::from_chars(first, last, line);
        if (error == std::errc() && end == last && first != last) return line;
        return std::nullopt;
    }
    return std::nullopt;
}

std::string WordKind::ByHand(const std::string& kind) {
    std::vector<std::string> tags = Tags(kind);
    std::erase(tags, std::string(kSpread));
    return Joined(tags);
}

std::string WordKind::InLine(const std::string& kind, std::optional<int64_t> line) {
    std::vector<std::string> tags = Tags(kind);
    std::erase_if(tags, [](const std::string& t) { return t.compare(0, kLine.size(), kLine) == 0; });
    if (line) tags.push_back(std::string(kLine) + std::to_string(*line));
    return Joined(tags);
}

std::vector<TrackItem> WordKind::ItemsByLine(const Breakdown& breakdown) {
    std::vector<TrackItem> out;
    for (const BreakdownLine& line : breakdown.lines) {
        if (line.words.empty()) continue;
        const int64_t tag = line.words.front().start;
        for (const BreakdownWord& w : line.words) out.push_back({w.start, w.end, w.text, Of(w.spread, tag)});
    }
    return out;
}

} // namespace zv
