#include "marks/JsonText.h"

#include <algorithm>
#include <limits>

namespace zv {

namespace {

int LineAt(std::string_view text, std::size_t bytes) {
    bytes = std::min(bytes, text.size());
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(bytes), '\n'));
}

// The offset where the nesting of arrays and objects first goes deeper
// than kMaxJsonDepth, or npos. Strings are stepped over.
std::size_t TooDeepAt(std::string_view text) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxJsonDepth) return i;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return std::string_view::npos;
}

// nlohmann's message without its "[json.exception...] parse error at line
// n, column m: " head.
std::string ReasonOf(const nlohmann::json::parse_error& e) {
    std::string what = e.what();
    const std::size_t head = what.find("parse error");
    if (head != std::string::npos) {
        const std::size_t colon = what.find(": ", head);
        if (colon != std::string::npos) what.erase(0, colon + 2);
    }
    return what;
}

} // namespace

JsonRead ReadJson(std::string_view text) {
    JsonRead read;
    if (const std::size_t deep = TooDeepAt(text); deep != std::string_view::npos) {
        read.reason = "nested too deeply";
        read.line = LineAt(text, deep);
        return read;
    }
    try {
        read.value = nlohmann::json::parse(text.begin(), text.end());
    } catch (const nlohmann::json::parse_error& e) {
        read.value = nullptr;
        read.reason = ReasonOf(e);
        // The byte is that of the last character read, from 1.
        read.line = LineAt(text, e.byte > 0 ? e.byte - 1 : 0);
    } catch (const nlohmann::json::exception& e) {
        read.value = nullptr;
        read.reason = e.what();
        read.line = 1;
    }
    return read;
}

bool JsonEvents::parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error) {
    // A syntax error names where it stopped in its own words; a number
    // beyond a double (1e400) is an out_of_range error at `position`.
    if (const auto* syntax = dynamic_cast<const nlohmann::json::parse_error*>(&error)) {
        reason_ = ReasonOf(*syntax);
        byte_ = syntax->byte;
    } else {
        reason_ = error.what();
        byte_ = position;
    }
    return false;
}

JsonRead ScanJson(std::string_view text, JsonEvents& events) {
    JsonRead read;
    if (const std::size_t deep = TooDeepAt(text); deep != std::string_view::npos) {
        read.reason = "nested too deeply";
        read.line = LineAt(text, deep);
        return read;
    }
    events.reason_.clear();
    bool done = false;
    try {
        done = nlohmann::json::sax_parse(text.begin(), text.end(), &events);
    } catch (const std::exception& e) {   // a reader's own allocation failing, say
        events.reason_ = e.what();
        events.byte_ = 0;
    }
    if (!done) {
        read.reason = events.reason_.empty() ? std::string("the reading stopped") : events.reason_;
        read.line = LineAt(text, events.byte_ > 0 ? events.byte_ - 1 : 0);
    }
    return read;
}

std::string JsonLine(const nlohmann::ordered_json& value) {
    // dump() writes no spaces at indent -1; the marks files put one after
    // each separator, as people write JSON.
    std::string flat = value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    std::string out;
    out.reserve(flat.size() + flat.size() / 8);
    bool inString = false;
    for (std::size_t i = 0; i < flat.size(); ++i) {
        const char c = flat[i];
        out += c;
        if (inString) {
            if (c == '\\') out += flat[++i];
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == ',' || c == ':') {
            out += ' ';
        }
    }
    return out;
}

std::string JsonQuote(const std::string& text) { return JsonLine(nlohmann::ordered_json(text)); }

std::optional<int64_t> JsonInteger(const nlohmann::json& object, const char* key) {
    if (!object.is_object()) return std::nullopt;
    const auto it = object.find(key);
    if (it == object.end()) return std::nullopt;
    if (it->is_number_unsigned()) {
        const auto v = it->get<uint64_t>();
        if (v > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return std::nullopt;
        return static_cast<int64_t>(v);
    }
    if (it->is_number_integer()) return it->get<int64_t>();
    return std::nullopt;
}

} // namespace zv
