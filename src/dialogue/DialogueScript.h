#pragma once
// The Dialogue panel's text read as a script: who says which line.
//
// A line "NAME: words" gives its words to NAME, and a line with no name
// continues the speaker before it ("NAME:" alone on a line gives NAME the
// lines that follow). A text that names nobody is the single unnamed
// speaker's, read exactly as before characters existed.
//
// What counts as a name is kept narrow, so that ordinary text with a colon
// ("Note the time: 10:30", "He said: go") stays text: the text before the
// first colon, trimmed, 1 to 32 bytes of valid UTF-8, at most three words,
// no sentence punctuation, brackets or quotes (an apostrophe inside a word,
// as in O'Brien, is allowed), not starting with a digit, and the colon
// followed by a space, a tab or the end of the line. A full-width colon
// (U+FF1A, as typed in Chinese and Japanese) needs no space after it.
//
// Refused (Error() says which line): a colon at the start of a line or
// after nothing but spaces, followed by a space or the end (a name left
// out). Skipped with a note: a speaker named with no words before the next
// name, and lines before the first name (given to the first speaker).
#include <string>
#include <vector>

namespace zv {

struct ScriptLine {
    std::string speaker;   // UTF-8, trimmed; "" for the single unnamed speaker
    std::string text;      // the words, trimmed (without the name)
    int number = 0;        // the line in the typed text, from 1
    friend bool operator==(const ScriptLine&, const ScriptLine&) = default;
};

// One typed line of a script, read alone (as Align Line aligns it).
struct ScriptLineAt {
    enum class Outcome {
        Line,          // `line` holds the speaker and the words
        Empty,         // no words to align: a blank line, a name alone, punctuation
        NameMissing,   // a colon with no name before it
    };
    Outcome outcome = Outcome::Empty;
    ScriptLine line;
};

class DialogueScript {
public:
    // `english` as the aligner reads the words (numbers and symbols are
    // words in English): a line is spoken when it has a word to align.
    static DialogueScript Parse(const std::string& text, bool english);

    // Refused: nothing is to be aligned; Error() names the line.
    bool Refused() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }
    // What was skipped or given to whom, one sentence each.
    const std::vector<std::string>& Notes() const { return notes_; }

    // The spoken lines, in order: each has at least one word.
    const std::vector<ScriptLine>& Lines() const { return lines_; }
    // True when a line names its speaker.
    bool Named() const { return named_; }
    // The speakers, in the order they first speak; {""} for an unnamed script.
    std::vector<std::string> Speakers() const;
    // The spoken lines' words without the names, one line each, for the
    // aligner (which then gives back one breakdown line for each of Lines()).
    std::string SpokenText() const;

    // Typed line `number` (from 1) of `text`, alone: its own name, or else
    // the speaker named last above it (the first one named below it when
    // none is above, as Parse gives such lines); "" when the text names
    // nobody. Lines elsewhere in the text that Parse would refuse do not
    // matter here.
    static ScriptLineAt LineAt(const std::string& text, int number, bool english);

    // Whether `candidate` (the text before a colon, untrimmed) is read as a
    // speaker's name.
    static bool IsName(const std::string& candidate);

private:
    std::vector<ScriptLine> lines_;
    std::vector<std::string> notes_;
    std::string error_;
    bool named_ = false;
};

} // namespace zv
