#include "XdtsSchema.h"

#include <nlohmann/json.hpp>
#include <regex>

namespace zv::test {

namespace {

using Json = nlohmann::json;

struct Checker {
    std::vector<std::string> errors;

    void Fail(const std::string& where, const std::string& what) { errors.push_back(where + ": " + what); }

    bool Object(const Json& j, const std::string& where, std::initializer_list<const char*> required) {
        if (!j.is_object()) {
            Fail(where, "not an object");
            return false;
        }
        bool ok = true;
        for (const char* key : required)
            if (!j.contains(key)) {
                Fail(where, std::string("lacks ") + key);
                ok = false;
            }
        return ok;
    }

    bool Integer(const Json& j, const std::string& where, long long minimum) {
        if (!j.is_number_integer()) {
            Fail(where, "not an integer");
            return false;
        }
        if (j.get<long long>() < minimum) {
            Fail(where, "below " + std::to_string(minimum));
            return false;
        }
        return true;
    }

    void Digits(const Json& j, const std::string& where) {
        static const std::regex pattern("^[0-9]{1,4}$");
        if (!j.is_string() || !std::regex_match(j.get<std::string>(), pattern)) Fail(where, "not 1 to 4 digits");
    }

    bool FieldId(const Json& j, const std::string& where) {
        if (!j.is_number_integer() || (j != 0 && j != 3 && j != 5)) {
            Fail(where, "not a field id (0, 3 or 5)");
            return false;
        }
        return true;
    }

    void Track(const Json& track, const std::string& where, int fieldId) {
        if (!Object(track, where, {"trackNo", "frames"})) return;
        Integer(track["trackNo"], where + ".trackNo", 0);
        if (!track["frames"].is_array()) return Fail(where + ".frames", "not an array");
        long long last = -1;
        for (std::size_t i = 0; i < track["frames"].size(); ++i) {
            const Json& frame = track["frames"][i];
            const std::string at = where + ".frames[" + std::to_string(i) + "]";
            if (!Object(frame, at, {"frame", "data"})) continue;
            if (Integer(frame["frame"], at + ".frame", 0)) {
                if (frame["frame"].get<long long>() <= last) Fail(at + ".frame", "does not rise");
                last = frame["frame"].get<long long>();
            }
            if (!frame["data"].is_array() || frame["data"].empty()) {
                Fail(at + ".data", "not a non-empty array");
                continue;
            }
            for (const Json& data : frame["data"]) {
                if (!Object(data, at + ".data", {"id", "values"})) continue;
                Integer(data["id"], at + ".data.id", 0);
                if (!data["values"].is_array() || data["values"].empty()) {
                    Fail(at + ".data.values", "not a non-empty array");
                    continue;
                }
                for (const Json& value : data["values"]) {
                    if (!value.is_string()) {
                        Fail(at + ".data.values", "holds a non-string");
                        continue;
                    }
                    static const std::regex drawing("^[0-9]+$|^SYMBOL_(NULL_CELL|TICK_1|TICK_2|HYPHEN)$");
                    if (fieldId == 0 && !std::regex_match(value.get<std::string>(), drawing))
                        Fail(at + ".data.values", "'" + value.get<std::string>() + "' is no drawing number");
                }
            }
        }
    }
};

} // namespace

std::vector<std::string> XdtsSchemaErrors(const std::string& fileText) {
    Checker c;
    const std::string first = "exchangeDigitalTimeSheet Save Data\n";
    if (fileText.rfind(first, 0) != 0) {
        c.Fail("line 1", "is not 'exchangeDigitalTimeSheet Save Data'");
        return c.errors;
    }
    const Json root = Json::parse(fileText.substr(first.size()), nullptr, false);
    if (root.is_discarded()) {
        c.Fail("body", "not JSON");
        return c.errors;
    }
    if (!c.Object(root, "root", {"version", "timeTables"})) return c.errors;
    if (root["version"] != 5) c.Fail("version", "not 5");
    if (root.contains("header") && c.Object(root["header"], "header", {"cut", "scene"})) {
        c.Digits(root["header"]["cut"], "header.cut");
        c.Digits(root["header"]["scene"], "header.scene");
    }
    if (!root["timeTables"].is_array() || root["timeTables"].empty()) {
        c.Fail("timeTables", "not a non-empty array");
        return c.errors;
    }
    for (std::size_t t = 0; t < root["timeTables"].size(); ++t) {
        const Json& table = root["timeTables"][t];
        const std::string at = "timeTables[" + std::to_string(t) + "]";
        if (!c.Object(table, at, {"name", "duration", "timeTableHeaders"})) continue;
        if (!table["name"].is_string()) c.Fail(at + ".name", "not a string");
        c.Integer(table["duration"], at + ".duration", 1);
        if (!table["timeTableHeaders"].is_array()) c.Fail(at + ".timeTableHeaders", "not an array");
        else
            for (const Json& header : table["timeTableHeaders"]) {
                if (!c.Object(header, at + ".timeTableHeaders", {"fieldId", "names"})) continue;
                c.FieldId(header["fieldId"], at + ".timeTableHeaders.fieldId");
                if (!header["names"].is_array()) c.Fail(at + ".timeTableHeaders.names", "not an array");
                else
                    for (const Json& name : header["names"])
                        if (!name.is_string()) c.Fail(at + ".timeTableHeaders.names", "holds a non-string");
            }
        if (!table.contains("fields")) continue;
        if (!table["fields"].is_array()) {
            c.Fail(at + ".fields", "not an array");
            continue;
        }
        for (std::size_t f = 0; f < table["fields"].size(); ++f) {
            const Json& field = table["fields"][f];
            const std::string fat = at + ".fields[" + std::to_string(f) + "]";
            if (!c.Object(field, fat, {"fieldId", "tracks"}) || !c.FieldId(field["fieldId"], fat + ".fieldId")) continue;
            if (!field["tracks"].is_array()) {
                c.Fail(fat + ".tracks", "not an array");
                continue;
            }
            for (std::size_t k = 0; k < field["tracks"].size(); ++k)
                c.Track(field["tracks"][k], fat + ".tracks[" + std::to_string(k) + "]", field["fieldId"].get<int>());
        }
    }
    return c.errors;
}

} // namespace zv::test
