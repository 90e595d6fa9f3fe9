#pragma once
// JSON texts of the marks files and the JSON export, read and written with
// nlohmann-json. Reading refuses, with a reason and the line it stopped at,
// anything that is not one complete JSON text: trailing bytes, nesting
// deeper than kMaxJsonDepth, bad escapes and lone surrogates, control
// characters in strings, bytes that are not UTF-8.
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace zv {

inline constexpr int kMaxJsonDepth = 64;

struct JsonRead {
    nlohmann::json value;   // null when refused
    // Why the text is not JSON (empty when it is), and the line, from 1.
    std::string reason;
    int line = 0;
    bool Ok() const { return reason.empty(); }
};

JsonRead ReadJson(std::string_view text);

// What a reader that takes a JSON text value by value is told, as the
// parser meets each value: no tree of the whole text is built, so a large
// file costs its length in time and little more than its result in memory.
// Derived readers answer the value events; the error is kept here.
class JsonEvents : public nlohmann::json_sax<nlohmann::json> {
public:
    bool binary(binary_t&) final { return true; }   // never in JSON text
    bool parse_error(std::size_t position, const std::string& lastToken,
                     const nlohmann::detail::exception& error) final;

private:
    friend JsonRead ScanJson(std::string_view text, JsonEvents& events);
    std::string reason_;
    std::size_t byte_ = 0;   // from 1: the last character read
};

// Hands `text` to `events` value by value. The same refusals, reasons and
// lines as ReadJson; the read's value stays null.
JsonRead ScanJson(std::string_view text, JsonEvents& events);

// `text` as a JSON string literal, quotes included. Bytes that are not
// UTF-8 become U+FFFD rather than failing the write.
std::string JsonQuote(const std::string& text);
// A value on one line (`, ` and `: ` between members), never throwing.
std::string JsonLine(const nlohmann::ordered_json& value);

// The integer member `key` of an object, if it is an integer that fits
// 64 bits (a number with a fraction or exponent is not one).
std::optional<int64_t> JsonInteger(const nlohmann::json& object, const char* key);

} // namespace zv
