#include "dialogue/BreakdownImport.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "common/FrameTime.h"
#include "dialogue/CharacterList.h"
#include "document/SoundDocument.h"
#include "marks/JsonText.h"

namespace zv {

namespace {

struct Refusal {
    std::size_t line;
    std::string what;
};

// Frames far beyond any sound (a day at 1000 fps) are damage, not data.
constexpr int64_t kMaxFrame = 86400LL * 1000;

// The lines of a text, one at a time, without their line ends ("\n" or
// "\r\n"). Nothing is copied: a file of millions of empty lines costs no
// more memory than its text.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}
    bool Done() const { return at_ >= text_.size(); }
    std::string_view Next() {
        const std::size_t end = std::min(text_.find('\n', at_), text_.size());
        std::string_view line = text_.substr(at_, end - at_);
        at_ = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

std::string Trim(std::string_view s) {
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string_view::npos) return {};
    return std::string(s.substr(a, s.find_last_not_of(" \t") + 1 - a));
}

int64_t Number(const std::string& field, std::size_t line, const char* what, int64_t max = kMaxFrame) {
    const std::string t = Trim(field);
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || value < 0 || value > max)
        throw Refusal{line, std::string(what) + " must be a whole number from 0 to " + std::to_string(max) + ", not \"" + t + "\""};
    return value;
}

// Reads line by line, counting from 1.
class Reader {
public:
    explicit Reader(const std::string& text) : lines_(text) {}
    std::string Next(const char* what) {
        if (lines_.Done()) throw Refusal{at_ + 1, std::string("the file ends where ") + what + " should be"};
        ++at_;
        return std::string(lines_.Next());
    }
    std::size_t Line() const { return at_; }   // the line last read
    // Only blank lines are left (it reads them).
    bool AtEnd() {
        while (!lines_.Done())
            if (!Trim(lines_.Next()).empty()) return false;
        return true;
    }

private:
    LineCursor lines_;
    std::size_t at_ = 0;
};

// The fields of a line, split at runs of white space. At most `most`
// are kept: a line of a million fields is wrong once it has one too many.
std::vector<std::string> Fields(std::string_view line, std::size_t most) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (out.size() <= most) {
        at = line.find_first_not_of(" \t\v\f\r", at);
        if (at == std::string_view::npos) break;
        const std::size_t end = std::min(line.find_first_of(" \t\v\f\r", at), line.size());
        out.emplace_back(line.substr(at, end - at));
        at = end;
    }
    return out;
}

// Mouth runs from (frame, shape) changes, at `rate`.
std::vector<TrackItem> RunsOf(const std::vector<std::pair<int64_t, std::string>>& changes, FrameRate rate,
                              int32_t sampleRate, int64_t soundFrames) {
    std::vector<TrackItem> out;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const int64_t start = FrameStartSample(changes[i].first, rate, sampleRate);
        int64_t end = i + 1 < changes.size() ? FrameStartSample(changes[i + 1].first, rate, sampleRate)
                                             : std::max(soundFrames, start);
        if (!out.empty() && out.back().text == changes[i].second) {
            out.back().end = std::max(out.back().start, end);
            continue;
        }
        out.push_back({start, std::max(start, end), changes[i].second, ""});
    }
    return out;
}

// The mouths of a .pgo's shape changes: in frame order, a later change on
// the same frame winning (a word starting where the one before ends),
// resting from frame 0 until the first.
std::vector<TrackItem> MouthRuns(std::vector<std::pair<int64_t, std::string>> changes, FrameRate rate,
                                 int32_t sampleRate, int64_t soundFrames) {
    std::stable_sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::pair<int64_t, std::string>> merged;
    if (changes.empty() || changes.front().first > 0) merged.push_back({0, "rest"});
    for (const auto& c : changes) {
        if (!merged.empty() && merged.back().first == c.first) merged.back().second = c.second;
        else merged.push_back(c);
    }
    return RunsOf(merged, rate, sampleRate, soundFrames);
}

} // namespace

std::optional<ImportedBreakdown> ImportPapagayo(const std::string& text, int32_t sampleRate, int64_t soundFrames,
                                                FrameRate rateInForce, std::string& error) {
    try {
        if (sampleRate <= 0) throw Refusal{0, "there is no sound to place the breakdown on"};
        Reader in(text);
        if (Trim(in.Next("the header")) != "lipsync version 1")
            throw Refusal{in.Line(), "not a Papagayo document (\"lipsync version 1\" expected)"};
        in.Next("the sound's path");
        const int64_t fps = Number(in.Next("the frame rate"), in.Line(), "the frame rate", 1000);
        if (fps == 0) throw Refusal{in.Line(), "the frame rate must be above 0"};
        ImportedBreakdown out;
        out.rate = rateInForce.IsPositive() && rateInForce.Rounded() == fps ? rateInForce
                                                                              : FrameRate(static_cast<int32_t>(fps));
        const int64_t length = Number(in.Next("the length"), in.Line(), "the length");
        out.breakdown.sampleRate = sampleRate;
        out.breakdown.soundFrames = soundFrames > 0 ? soundFrames : FrameStartSample(length, out.rate, sampleRate);
        const int64_t voices = Number(in.Next("the number of voices"), in.Line(), "the number of voices", 1000);
        auto sample = [&](int64_t frame) { return FrameStartSample(frame, out.rate, sampleRate); };
        std::vector<std::pair<int64_t, std::string>> changes;
        std::vector<std::vector<std::pair<int64_t, std::string>>> voiceChanges;
        for (int64_t v = 0; v < voices; ++v) {
            ImportedCharacter voice;
            voice.name = Trim(in.Next("a voice's name"));
            const std::size_t firstLine = out.breakdown.lines.size();
            const std::size_t firstChange = changes.size();
            in.Next("a voice's text");
            const int64_t phrases = Number(in.Next("the number of phrases"), in.Line(), "the number of phrases", 1000000);
            for (int64_t p = 0; p < phrases; ++p) {
                BreakdownLine line;
                line.text = Trim(in.Next("a phrase's text"));
                Number(in.Next("a phrase's first frame"), in.Line(), "a phrase's first frame");
                Number(in.Next("a phrase's last frame"), in.Line(), "a phrase's last frame");
                const int64_t words = Number(in.Next("the number of words"), in.Line(), "the number of words", 1000000);
                for (int64_t w = 0; w < words; ++w) {
                    const std::vector<std::string> f = Fields(in.Next("a word"), 4);
                    const std::size_t wordLine = in.Line();
                    if (f.size() != 4) throw Refusal{wordLine, "a word must be: text, first frame, last frame, phonemes"};
                    BreakdownWord word;
                    word.text = f[0];
                    const int64_t first = Number(f[1], wordLine, "a word's first frame");
                    const int64_t last = Number(f[2], wordLine, "a word's last frame");
                    if (last < first) throw Refusal{wordLine, "a word's last frame comes before its first"};
                    word.start = sample(first);
                    word.end = sample(last + 1);
                    const int64_t phonemes = Number(f[3], wordLine, "the number of phonemes", 100000);
                    std::vector<std::pair<int64_t, std::string>> own;
                    for (int64_t k = 0; k < phonemes; ++k) {
                        const std::vector<std::string> pf = Fields(in.Next("a phoneme"), 2);
                        if (pf.size() != 2) throw Refusal{in.Line(), "a phoneme must be: frame, name"};
                        const int64_t frame = Number(pf[0], in.Line(), "a phoneme's frame");
                        if (!own.empty() && frame < own.back().first)
                            throw Refusal{in.Line(), "the phonemes' frames go backwards"};
                        own.push_back({frame, pf[1]});
                    }
                    for (std::size_t k = 0; k < own.size(); ++k) {
                        const int64_t a = std::clamp(sample(own[k].first), word.start, word.end);
                        const int64_t b = k + 1 < own.size() ? std::clamp(sample(own[k + 1].first), a, word.end) : word.end;
                        word.phonemes.push_back({own[k].second, a, b});
                        changes.push_back(own[k]);
                    }
                    // Rest after the word, until the next one says otherwise.
                    changes.push_back({last + 1, "rest"});
                    line.words.push_back(std::move(word));
                }
                out.breakdown.lines.push_back(std::move(line));
            }
            voice.breakdown.sampleRate = sampleRate;
            voice.breakdown.soundFrames = out.breakdown.soundFrames;
            voice.breakdown.lines.assign(out.breakdown.lines.begin() + static_cast<std::ptrdiff_t>(firstLine),
                                         out.breakdown.lines.end());
            voiceChanges.emplace_back(changes.begin() + static_cast<std::ptrdiff_t>(firstChange), changes.end());
            // A voice without a name, or with one taken, is told apart by its place.
            const auto taken = [&](const std::string& n) {
                return std::any_of(out.characters.begin(), out.characters.end(),
                                   [&](const ImportedCharacter& c) { return c.name == n; });
            };
            if (voice.name.empty() || taken(voice.name))
                voice.name = (voice.name.empty() ? "Voice" : voice.name) + " " + std::to_string(v + 1);
            if (voices > 1) out.characters.push_back(std::move(voice));
        }
        if (!in.AtEnd()) throw Refusal{in.Line() + 1, "more follows the last voice"};
        out.mouths = MouthRuns(changes, out.rate, sampleRate, out.breakdown.soundFrames);
        // Each voice its own mouths: one character's rest never cuts another's shape.
        for (std::size_t v = 0; v < out.characters.size(); ++v)
            out.characters[v].mouths = MouthRuns(voiceChanges[v], out.rate, sampleRate, out.breakdown.soundFrames);
        if (!out.characters.empty()) out.mouths = out.characters.front().mouths;
        return out;
    } catch (const Refusal& r) {
        error = "line " + std::to_string(r.line) + ": " + r.what;
    } catch (const std::exception& e) {
        error = std::string("The Papagayo document cannot be read: ") + e.what();
    }
    return std::nullopt;
}

std::optional<ImportedBreakdown> ImportBreakdownJson(const std::string& text, int32_t sampleRate,
                                                     int64_t soundFrames, std::string& error) {
    try {
        const JsonRead read = ReadJson(text);
        if (!read.Ok()) throw Refusal{static_cast<std::size_t>(read.line), "not JSON (" + read.reason + ")"};
        const nlohmann::json& doc = read.value;
        ImportedBreakdown out;
        const std::string rate = doc.at("frameRate").get<std::string>();
        const auto slash = rate.find('/');
        const int64_t n = std::stoll(rate.substr(0, slash));
        const int64_t d = slash == std::string::npos ? 1 : std::stoll(rate.substr(slash + 1));
        out.rate = FrameRate::Fraction(n, d);
        if (!out.rate.IsPositive()) throw std::runtime_error("the frame rate must be above 0");
        out.breakdown.sampleRate = sampleRate;
        out.breakdown.soundFrames = soundFrames;
        // Seconds from 0 to a day at most (the frame bound's time at 1000
        // fps): a bigger time is damage, and would leave 64 bits as samples.
        auto sample = [&](const nlohmann::json& seconds, const char* what) {
            const double s = seconds.get<double>();
            if (!(s >= 0 && s <= double(kMaxFrame) / 1000))
                throw std::runtime_error(std::string(what) + " is out of range (" + seconds.dump() + " s)");
            return static_cast<int64_t>(std::llround(s * sampleRate));
        };
        auto wordsOf = [&](const nlohmann::json& list) {
            BreakdownLine line;
            for (const auto& w : list) {
                BreakdownWord word{w.at("text").get<std::string>(), sample(w.at("start"), "a word's start"),
                                   sample(w.at("end"), "a word's end"), {}, false};
                if (word.end < word.start)
                    throw std::runtime_error("the word \"" + word.text + "\" ends before it starts");
                for (const auto& p : w.at("phonemes")) {
                    BreakdownPhoneme phoneme{p.at("text").get<std::string>(), sample(p.at("start"), "a phoneme's start"),
                                             sample(p.at("end"), "a phoneme's end")};
                    if (phoneme.end < phoneme.start)
                        throw std::runtime_error("the phoneme \"" + phoneme.text + "\" ends before it starts");
                    word.phonemes.push_back(std::move(phoneme));
                }
                if (!line.text.empty()) line.text += ' ';
                line.text += word.text;
                line.words.push_back(std::move(word));
            }
            Breakdown b;
            b.sampleRate = sampleRate;
            b.soundFrames = soundFrames;
            if (!line.words.empty()) b.lines.push_back(std::move(line));
            return b;
        };
        auto mouthsOf = [&](const nlohmann::json& list) {
            std::vector<std::pair<int64_t, std::string>> changes;
            for (const auto& m : list) {
                // A whole number of frames within bounds: a fraction or 1e30
                // has no frame (and would not convert to one).
                const std::optional<int64_t> frame = JsonInteger(m, "frame");
                if (!frame || *frame < 0 || *frame > kMaxFrame)
                    throw std::runtime_error("a mouth's frame must be a whole number from 0 to " +
                                             std::to_string(kMaxFrame));
                changes.push_back({*frame, m.at("shape").get<std::string>()});
            }
            // In frame order (a file edited by hand may list them otherwise).
            std::stable_sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
            return RunsOf(changes, out.rate, sampleRate, soundFrames);
        };
        if (const auto list = doc.find("characters"); list != doc.end()) {
            if (!list->is_array()) throw std::runtime_error("\"characters\" must be a list");
            for (const auto& c : *list) {
                ImportedCharacter character;
                character.name = CharacterList::Trimmed(c.at("name").get<std::string>());
                if (character.name.empty()) throw std::runtime_error("a character has no name");
                for (const ImportedCharacter& other : out.characters)
                    if (other.name == character.name)
                        throw std::runtime_error("two characters are called \"" + character.name + "\"");
                if (const auto set = c.find("mouthSet"); set != c.end() && set->is_string())
                    character.mouthSet = set->get<std::string>();
                character.breakdown = wordsOf(c.at("words"));
                character.mouths = mouthsOf(c.at("mouths"));
                for (const BreakdownLine& l : character.breakdown.lines) out.breakdown.lines.push_back(l);
                out.characters.push_back(std::move(character));
            }
            if (!out.characters.empty()) out.mouths = out.characters.front().mouths;
        } else {
            out.breakdown = wordsOf(doc.at("words"));
            out.mouths = mouthsOf(doc.at("mouths"));
        }
        return out;
    } catch (const Refusal& r) {
        error = "line " + std::to_string(r.line) + ": " + r.what;
    } catch (const std::exception& e) {
        error = std::string("The breakdown cannot be read: ") + e.what();
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::vector<TrackItem>>> ImportedTracks(
    const ImportedBreakdown& imported, CharacterList& list,
    const ImportedPhonemes& phonemes) {
    auto convert = [&](const Breakdown& b, const std::string& name) {
        return phonemes ? phonemes(b.PhonemeItems(), name) : b.PhonemeItems();
    };
    if (imported.characters.empty())
        return {{SoundDocument::kWords, imported.breakdown.WordItems()},
                {SoundDocument::kPhonemes, convert(imported.breakdown, "")},
                {SoundDocument::kMouths, imported.mouths}};
    const std::vector<TrackItem> before = list.Items();
    std::vector<std::pair<std::string, std::vector<TrackItem>>> tracks;
    for (const ImportedCharacter& c : imported.characters) {
        const int id = list.IdFor(c.name);
        if (id == 0) continue;   // the readers never give an empty name
        tracks.push_back({CharacterList::WordsTrack(id), c.breakdown.WordItems()});
        tracks.push_back({CharacterList::PhonemesTrack(id), convert(c.breakdown, c.name)});
        tracks.push_back({CharacterList::MouthsTrack(id), c.mouths});
    }
    if (list.Items() != before) tracks.push_back({CharacterList::kTrack, list.Items()});
    return tracks;
}

const MouthSet& SetFittingShapes(const std::vector<TrackItem>& shapes, const MouthSet& own,
                                 const std::vector<MouthSet>& offered) {
    const auto fits = [&](const MouthSet& set) {
        return std::all_of(shapes.begin(), shapes.end(),
                           [&](const TrackItem& s) { return set.PhonemeOf(s.text).has_value(); });
    };
    if (fits(own)) return own;
    for (const MouthSet& set : offered)
        if (fits(set)) return set;
    return own;
}

std::optional<std::vector<TrackItem>> ImportMohoSwitch(const std::string& text, FrameRate rate, int32_t sampleRate,
                                                       int64_t soundFrames, std::string& error) {
    try {
        if (!rate.IsPositive() || sampleRate <= 0) throw Refusal{0, "there is no frame rate or sound"};
        LineCursor lines(text);
        if (lines.Done() || Trim(lines.Next()) != "MohoSwitch1")
            throw Refusal{1, "not Moho switch data (\"MohoSwitch1\" expected)"};
        std::vector<std::pair<int64_t, std::string>> changes;
        for (std::size_t i = 1; !lines.Done(); ++i) {
            const std::string_view line = lines.Next();
            if (Trim(line).empty()) continue;
            const std::vector<std::string> f = Fields(line, 2);
            if (f.size() != 2) throw Refusal{i + 1, "a line must be: frame, shape"};
            const int64_t frame = Number(f[0], i + 1, "the frame");
            if (frame < 1) throw Refusal{i + 1, "frames count from 1"};
            if (!changes.empty() && frame - 1 <= changes.back().first) throw Refusal{i + 1, "the frames must go up"};
            changes.push_back({frame - 1, f[1]});
        }
        return RunsOf(changes, rate, sampleRate, soundFrames);
    } catch (const Refusal& r) {
        error = "line " + std::to_string(r.line) + ": " + r.what;
    } catch (const std::exception& e) {
        error = std::string("The switch data cannot be read: ") + e.what();
    }
    return std::nullopt;
}

} // namespace zv
