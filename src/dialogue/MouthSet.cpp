#include "dialogue/MouthSet.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "common/NameIndex.h"
#include "marks/JsonText.h"
#include "marks/TextFile.h"

namespace zv {

namespace {

// The line of a byte offset (from 1).
std::size_t LineOf(const std::string& text, std::size_t byte) {
    byte = std::min(byte, text.size());
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(byte), '\n'));
}

// The line where `"key"` first appears after `after` (1 when it is nowhere).
std::size_t LineOfKey(const std::string& text, const std::string& key, std::size_t after = 0) {
    const std::size_t at = text.find("\"" + key + "\"", after);
    return at == std::string::npos ? 1 : LineOf(text, at);
}

struct Refusal {
    std::size_t line;
    std::string what;
};

// A value as the set's reader keeps it: there or not, and its text when it
// is a string.
struct Value {
    bool present = false;
    bool isText = false;
    std::string text;
};

// Reads a set value by value as the parser meets them, with no tree of the
// whole text: a set of many shapes costs its length. The shapes are checked
// as they come; the rest waits for the end, since the keys may come in any
// order. A key given twice keeps its last value, as in a JSON object.
class MouthSetScanner final : public JsonEvents {
public:
    bool rootIsObject = false;
    Value name, rest, other;
    bool shapesGiven = false, shapesIsList = false;
    std::vector<std::string> shapes;
    NameIndex known;   // each shape's place in shapes
    // The first shape that is not a name, or is there twice.
    std::optional<std::string> badShape, twiceShape;
    bool closuresGiven = false, closuresIsList = false;
    std::vector<Value> closures;
    bool phonemesGiven = false, phonemesIsObject = false;
    std::map<std::string, Value> phonemes;   // in name order, as the checks go

    bool null() override { return Arrive({true, false, {}}, false); }
    bool boolean(bool) override { return Arrive({true, false, {}}, false); }
    bool number_integer(number_integer_t) override { return Arrive({true, false, {}}, false); }
    bool number_unsigned(number_unsigned_t) override { return Arrive({true, false, {}}, false); }
    bool number_float(number_float_t, const string_t&) override { return Arrive({true, false, {}}, false); }
    bool string(string_t& v) override { return Arrive({true, true, v}, false); }
    bool key(string_t& k) override {
        stack_.back().key = k;
        return true;
    }
    bool start_object(std::size_t) override { return Open(Kind::Object); }
    bool start_array(std::size_t) override { return Open(Kind::List); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }

private:
    enum class Role { Root, Shapes, Closures, Phonemes, Other };
    enum class Kind { Object, List };
    struct Level {
        Role role;
        std::string key;
    };
    std::vector<Level> stack_;
    Role opened_ = Role::Other;   // the role of the container being opened

    bool Open(Kind kind) {
        opened_ = Role::Other;
        Arrive({true, false, {}}, true, kind);
        stack_.push_back({opened_, {}});
        return true;
    }
    bool Close() {
        stack_.pop_back();
        return true;
    }

    // A value (or a container, of `kind`) met in the current container.
    bool Arrive(Value value, bool container, Kind kind = Kind::Object) {
        if (stack_.empty()) {
            rootIsObject = container && kind == Kind::Object;
            if (rootIsObject) opened_ = Role::Root;
            return true;
        }
        Level& at = stack_.back();
        switch (at.role) {
            case Role::Root:
                if (at.key == "name") name = std::move(value);
                else if (at.key == "rest") rest = std::move(value);
                else if (at.key == "other") other = std::move(value);
                else if (at.key == "shapes") {
                    shapesGiven = true;
                    shapesIsList = container && kind == Kind::List;
                    shapes.clear();
                    known.Clear();
                    badShape.reset();
                    twiceShape.reset();
                    if (shapesIsList) opened_ = Role::Shapes;
                } else if (at.key == "closures") {
                    closuresGiven = true;
                    closuresIsList = container && kind == Kind::List;
                    closures.clear();
                    if (closuresIsList) opened_ = Role::Closures;
                } else if (at.key == "phonemes") {
                    phonemesGiven = true;
                    phonemesIsObject = container && kind == Kind::Object;
                    phonemes.clear();
                    if (phonemesIsObject) opened_ = Role::Phonemes;
                }
                break;
            case Role::Shapes:
                if (badShape || twiceShape) break;
                if (!value.isText || value.text.empty()) badShape = "";
                else if (!known.Emplace(value.text, shapes.size()).second) twiceShape = value.text;
                else shapes.push_back(std::move(value.text));
                break;
            case Role::Closures:
                closures.push_back(std::move(value));
                break;
            case Role::Phonemes:
                phonemes[at.key] = std::move(value);
                break;
            case Role::Other:
                break;
        }
        return true;
    }
};

} // namespace

MouthSet MouthSet::PrestonBlair() {
    MouthSet set;
    set.name_ = "Preston Blair";
    set.shapes_ = {"AI", "E", "O", "U", "etc", "L", "WQ", "MBP", "FV", "rest"};
    set.rest_ = "rest";
    set.other_ = "etc";
    set.closures_ = {"MBP", "FV"};
    set.phonemes_ = {
        {"AA", "AI"}, {"AE", "AI"}, {"AH", "AI"}, {"AY", "AI"}, {"IH", "AI"}, {"AO", "O"}, {"AW", "O"},
        {"OW", "O"},  {"OY", "WQ"}, {"EH", "E"},  {"ER", "E"},  {"EY", "E"},  {"IY", "E"}, {"UH", "U"},
        {"UW", "U"},  {"W", "WQ"},  {"L", "L"},   {"M", "MBP"}, {"B", "MBP"}, {"P", "MBP"}, {"F", "FV"},
        {"V", "FV"},
    };
    set.IndexShapes();
    return set;
}

MouthSet MouthSet::NineShapes() {
    // A closed (M B P), B slightly open with teeth (most consonants, EE),
    // C open (EH, AE), D wide open (AA), E slightly rounded (AO, ER),
    // F puckered (UW, OW, W), G upper teeth on lip (F V), H tongue up (L),
    // X at rest.
    MouthSet set;
    set.name_ = "A-H";
    set.shapes_ = {"A", "B", "C", "D", "E", "F", "G", "H", "X"};
    set.rest_ = "X";
    set.other_ = "B";
    set.closures_ = {"A", "G"};
    set.phonemes_ = {
        {"M", "A"},  {"B", "A"},  {"P", "A"},  {"IY", "B"}, {"IH", "B"}, {"EH", "C"}, {"AE", "C"}, {"AH", "C"},
        {"EY", "C"}, {"AY", "C"}, {"AA", "D"}, {"AW", "D"}, {"AO", "E"}, {"ER", "E"}, {"OY", "E"}, {"UW", "F"},
        {"OW", "F"}, {"UH", "F"}, {"W", "F"},  {"F", "G"},  {"V", "G"},  {"L", "H"},
    };
    set.IndexShapes();
    return set;
}

std::optional<MouthSet> MouthSet::BuiltIn(const std::string& name) {
    if (name == "preston-blair") return PrestonBlair();
    if (name == "a-h") return NineShapes();
    return std::nullopt;
}

const std::string& MouthSet::ShapeOf(const std::string& phoneme) const {
    // A set may list a phoneme with its digits ("AH0"): that one first.
    if (const auto exact = phonemes_.find(phoneme); exact != phonemes_.end()) return exact->second;
    std::string bare = phoneme;
    while (!bare.empty() && std::isdigit(static_cast<unsigned char>(bare.back()))) bare.pop_back();
    const auto it = phonemes_.find(bare);
    return it != phonemes_.end() ? it->second : other_;
}

std::optional<std::string> MouthSet::PhonemeOf(const std::string& shape) const {
    if (shape == rest_) return std::string();
    const auto it = phonemeOfShape_.find(shape);
    if (it == phonemeOfShape_.end()) return std::nullopt;
    return it->second;
}

void MouthSet::IndexShapes() {
    // phonemes_ is in name order: the first phoneme of each shape stays.
    phonemeOfShape_.clear();
    for (const auto& [phoneme, shape] : phonemes_) phonemeOfShape_.emplace(shape, phoneme);
}

std::optional<MouthSet> MouthSet::FromJson(const std::string& text, const std::string& fallbackName,
                                           std::string& error) {
    // ScanJson never throws: numbers beyond a double, nesting too deep and
    // bytes that are not UTF-8 come back as a reason, like any damage.
    MouthSetScanner doc;
    const JsonRead read = ScanJson(text, doc);
    if (!read.Ok()) {
        error = "line " + std::to_string(read.line) + ": not JSON (" + read.reason + ")";
        return std::nullopt;
    }
    try {
        if (!doc.rootIsObject) throw Refusal{1, "the set must be a JSON object"};
        MouthSet set;
        set.name_ = fallbackName;
        if (doc.name.present) {
            if (!doc.name.isText || doc.name.text.empty()) throw Refusal{LineOfKey(text, "name"), "\"name\" must be a text"};
            set.name_ = doc.name.text;
        }
        if (!doc.shapesGiven || !doc.shapesIsList || (doc.shapes.empty() && !doc.badShape && !doc.twiceShape))
            throw Refusal{LineOfKey(text, "shapes"), "\"shapes\" must list the shapes"};
        if (doc.badShape) throw Refusal{LineOfKey(text, "shapes"), "every shape must be a name"};
        if (doc.twiceShape)
            throw Refusal{LineOfKey(text, *doc.twiceShape), "the shape \"" + *doc.twiceShape + "\" is listed twice"};
        set.shapes_ = std::move(doc.shapes);
        auto shapeNamed = [&](const Value& v, const std::string& key) {
            if (!v.isText) throw Refusal{LineOfKey(text, key), "\"" + key + "\" must name a shape"};
            if (!doc.known.Find(v.text)) throw Refusal{LineOfKey(text, key), "\"" + v.text + "\" is not one of the shapes"};
            return v.text;
        };
        if (!doc.rest.present) throw Refusal{1, "\"rest\" must name the shape of silence"};
        set.rest_ = shapeNamed(doc.rest, "rest");
        set.other_ = doc.other.present ? shapeNamed(doc.other, "other") : set.rest_;
        if (doc.closuresGiven) {
            if (!doc.closuresIsList) throw Refusal{LineOfKey(text, "closures"), "\"closures\" must be a list"};
            for (const Value& c : doc.closures) set.closures_.insert(shapeNamed(c, "closures"));
        }
        if (!doc.phonemesGiven || !doc.phonemesIsObject)
            throw Refusal{LineOfKey(text, "phonemes"), "\"phonemes\" must map phonemes to shapes"};
        const std::size_t phonemesAt = text.find("\"phonemes\"");
        for (auto& [phoneme, shape] : doc.phonemes) {
            // An empty name stands for rest where a shape's phoneme is asked.
            if (phoneme.empty()) throw Refusal{LineOfKey(text, "", phonemesAt == std::string::npos ? 0 : phonemesAt),
                                               "a phoneme must have a name"};
            if (!shape.isText || !doc.known.Find(shape.text))
                throw Refusal{LineOfKey(text, phoneme, phonemesAt == std::string::npos ? 0 : phonemesAt),
                              "the phoneme \"" + phoneme + "\" must map to one of the shapes"};
            set.phonemes_.emplace_hint(set.phonemes_.end(), phoneme, std::move(shape.text));
        }
        set.IndexShapes();
        return set;
    } catch (const Refusal& r) {
        error = "line " + std::to_string(r.line) + ": " + r.what;
    } catch (const std::exception& e) {
        error = std::string("line 1: ") + e.what();
    }
    return std::nullopt;
}

std::optional<MouthSet> MouthSet::ReadFile(const std::string& path, std::string& error) {
    // Not a plain stream: a pipe or a device under a set's name must not
    // hold the start-up, nor a huge file fill the memory.
    const TextFileRead read = ReadTextFile(path, kMaxFileBytes);
    if (!read.exists || read.error) {
        error = "Couldn't read the mouth set " + path + (read.error ? ": " + *read.error : std::string());
        return std::nullopt;
    }
    auto set = FromJson(read.text, std::filesystem::path(path).stem().string(), error);
    if (!set) error = path + ", " + error;
    return set;
}

std::string MouthSet::UserFolder(const char* xdgConfigHome, const char* home) {
    std::string base;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') base = xdgConfigHome;
    else if (home != nullptr && home[0] != '\0') base = std::string(home) + "/.config";
    else return {};
    return base + "/Zorvane/mouths";
}

std::vector<MouthSet> MouthSet::ReadFolder(const std::string& folder, std::vector<std::string>& errors) {
    std::vector<std::string> files;
    // Stepped with an error code: a folder that fails half-way through the
    // listing gives the files listed so far, never an exception.
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".json") files.push_back(it->path().string());
    std::sort(files.begin(), files.end());
    std::vector<MouthSet> out;
    for (const std::string& file : files) {
        std::string error;
        if (auto set = ReadFile(file, error)) out.push_back(std::move(*set));
        else errors.push_back(error);
    }
    return out;
}

std::string MouthSet::FolderErrorsText(const std::vector<std::string>& errors) {
    constexpr std::size_t kShown = 3;
    std::string text;
    for (std::size_t i = 0; i < errors.size() && i < kShown; ++i) text += (i > 0 ? "\n" : "") + errors[i];
    if (errors.size() > kShown)
        text += "\n(and " + std::to_string(errors.size() - kShown) + " more mouth sets that can't be read)";
    return text;
}

} // namespace zv
