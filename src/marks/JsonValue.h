#pragma once
// A small JSON reader and the string quoting for writing it: enough for the
// marks file and the JSON export, with no library beyond the standard one.
// Parse() refuses (with a reason and the line it stopped at) anything that
// is not one complete JSON text: trailing bytes, nesting deeper than 64,
// bad escapes, control characters in strings. Numbers keep their integer
// value exactly when they are written as integers that fit 64 bits.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

class JsonValue {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Kind kind() const { return kind_; }
    bool IsObject() const { return kind_ == Kind::Object; }
    bool IsArray() const { return kind_ == Kind::Array; }
    bool IsString() const { return kind_ == Kind::String; }

    // The member named `key` of an object, or null when there is none (or
    // this is not an object).
    const JsonValue* Find(const std::string& key) const;
    const std::vector<JsonValue>& Items() const { return items_; }
    const std::string& String() const { return string_; }
    // The integer this number was written as; nothing for a number with a
    // fraction or exponent, one beyond 64 bits, or a value of another kind.
    std::optional<int64_t> Integer() const;
    std::optional<double> Number() const;

    struct ParseError {
        std::string reason;
        int line = 1;
    };
    // The value, or the error where the text stopped being JSON.
    static JsonValue Parse(std::string_view text, ParseError* error);

    // `text` as a JSON string literal, quotes included (UTF-8 passed
    // through; quotes, backslashes and control characters escaped).
    static std::string Quote(std::string_view text);

private:
    friend class JsonParser;
    Kind kind_ = Kind::Null;
    bool bool_ = false;
    double number_ = 0.0;
    bool isInteger_ = false;
    int64_t integer_ = 0;
    std::string string_;
    std::vector<JsonValue> items_;                       // array items
    std::vector<std::pair<std::string, JsonValue>> members_;   // object members, in order
};

} // namespace zv
