#include "marks/JsonValue.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace zv {

namespace {

constexpr int kMaxDepth = 64;

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

// Recursive descent over the text; the first fault ends it.
class JsonParser {
public:
    explicit JsonParser(std::string_view text) : text_(text) {}

    bool ParseDocument(JsonValue& out) {
        SkipSpace();
        if (!ParseValue(out, 0)) return false;
        SkipSpace();
        if (pos_ != text_.size()) return Fail("unexpected text after the end");
        return true;
    }

    JsonValue::ParseError error;

private:
    bool Fail(const char* reason) {
        if (error.reason.empty()) {
            error.reason = reason;
            int line = 1;
            for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i)
                if (text_[i] == '\n') ++line;
            error.line = line;
        }
        return false;
    }

    void SkipSpace() {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }

    bool Literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return Fail("unknown word");
        pos_ += word.size();
        return true;
    }

    bool ParseValue(JsonValue& out, int depth) {
        if (depth > kMaxDepth) return Fail("nested too deeply");
        if (pos_ >= text_.size()) return Fail("the text ends too early");
        const char c = text_[pos_];
        switch (c) {
        case '{':
            return ParseObject(out, depth);
        case '[':
            return ParseArray(out, depth);
        case '"':
            out.kind_ = JsonValue::Kind::String;
            return ParseString(out.string_);
        case 't':
            out.kind_ = JsonValue::Kind::Bool;
            out.bool_ = true;
            return Literal("true");
        case 'f':
            out.kind_ = JsonValue::Kind::Bool;
            out.bool_ = false;
            return Literal("false");
        case 'n':
            out.kind_ = JsonValue::Kind::Null;
            return Literal("null");
        default:
            if (c == '-' || (c >= '0' && c <= '9')) return ParseNumber(out);
            return Fail("unexpected character");
        }
    }

    bool ParseObject(JsonValue& out, int depth) {
        out.kind_ = JsonValue::Kind::Object;
        ++pos_;   // '{'
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != '"') return Fail("expected a member name");
            std::string key;
            if (!ParseString(key)) return false;
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != ':') return Fail("expected ':'");
            ++pos_;
            SkipSpace();
            JsonValue value;
            if (!ParseValue(value, depth + 1)) return false;
            out.members_.emplace_back(std::move(key), std::move(value));
            SkipSpace();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == '}') {
                ++pos_;
                return true;
            }
            return Fail("expected ',' or '}'");
        }
    }

    bool ParseArray(JsonValue& out, int depth) {
        out.kind_ = JsonValue::Kind::Array;
        ++pos_;   // '['
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipSpace();
            JsonValue value;
            if (!ParseValue(value, depth + 1)) return false;
            out.items_.push_back(std::move(value));
            SkipSpace();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == ']') {
                ++pos_;
                return true;
            }
            return Fail("expected ',' or ']'");
        }
    }

    bool Hex4(uint32_t& code) {
        if (pos_ + 4 > text_.size()) return Fail("bad \\u escape");
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[pos_++];
            code <<= 4;
            if (h >= '0' && h <= '9') code |= static_cast<uint32_t>(h - '0');
            else if (h >= 'a' && h <= 'f') code |= static_cast<uint32_t>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F') code |= static_cast<uint32_t>(h - 'A' + 10);
            else return Fail("bad \\u escape");
        }
        return true;
    }

    bool ParseString(std::string& out) {
        ++pos_;   // '"'
        for (;;) {
            if (pos_ >= text_.size()) return Fail("a string is not closed");
            const char c = text_[pos_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) return Fail("a string is not closed");
            const char e = text_[pos_++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                uint32_t code = 0;
                if (!Hex4(code)) return false;
                if (code >= 0xD800 && code <= 0xDBFF) {
                    uint32_t low = 0;
                    if (text_.substr(pos_, 2) != "\\u") return Fail("a lone surrogate");
                    pos_ += 2;
                    if (!Hex4(low)) return false;
                    if (low < 0xDC00 || low > 0xDFFF) return Fail("a lone surrogate");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xDC00 && code <= 0xDFFF) {
                    return Fail("a lone surrogate");
                }
                AppendUtf8(out, code);
                break;
            }
            default:
                return Fail("bad escape in a string");
            }
        }
    }

    bool ParseNumber(JsonValue& out) {
        const std::size_t start = pos_;
        bool integral = true;
        if (text_[pos_] == '-') ++pos_;
        if (pos_ >= text_.size() || !(text_[pos_] >= '0' && text_[pos_] <= '9')) return Fail("bad number");
        if (text_[pos_] == '0') ++pos_;
        else while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '.') {
            integral = false;
            ++pos_;
            if (pos_ >= text_.size() || !(text_[pos_] >= '0' && text_[pos_] <= '9')) return Fail("bad number");
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            integral = false;
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
            if (pos_ >= text_.size() || !(text_[pos_] >= '0' && text_[pos_] <= '9')) return Fail("bad number");
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
        }
        const std::string literal(text_.substr(start, pos_ - start));
        out.kind_ = JsonValue::Kind::Number;
        // strtod/strtoll read the C locale's '.', which JSON's is: the
        // program never changes LC_NUMERIC.
        out.number_ = std::strtod(literal.c_str(), nullptr);
        if (integral) {
            errno = 0;
            const long long v = std::strtoll(literal.c_str(), nullptr, 10);
            if (errno == 0) {
                out.isInteger_ = true;
                out.integer_ = v;
            }
        }
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

const JsonValue* JsonValue::Find(const std::string& key) const {
    for (const auto& [name, value] : members_)
        if (name == key) return &value;
    return nullptr;
}

std::optional<int64_t> JsonValue::Integer() const {
    if (kind_ != Kind::Number || !isInteger_) return std::nullopt;
    return integer_;
}

std::optional<double> JsonValue::Number() const {
    if (kind_ != Kind::Number) return std::nullopt;
    return number_;
}

JsonValue JsonValue::Parse(std::string_view text, ParseError* error) {
    JsonParser parser(text);
    JsonValue value;
    if (!parser.ParseDocument(value)) {
        if (error) *error = parser.error;
        return JsonValue();
    }
    if (error) *error = ParseError{};
    return value;
}

std::string JsonValue::Quote(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

} // namespace zv
