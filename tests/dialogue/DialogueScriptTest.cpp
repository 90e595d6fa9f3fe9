// Reading the Dialogue panel's text as a script, and sharing an aligned
// dialogue out to the characters who speak it.
#include <gtest/gtest.h>

#include "dialogue/DialogueScript.h"
#include "dialogue/ScriptBreakdown.h"

namespace zv {
namespace {

std::vector<std::string> Speakers(const DialogueScript& s) {
    std::vector<std::string> out;
    for (const ScriptLine& l : s.Lines()) out.push_back(l.speaker);
    return out;
}

TEST(DialogueScript, NamedLinesGoToTheirSpeakerAndUnnamedOnesContinueTheLast) {
    const DialogueScript s = DialogueScript::Parse(
        "ANN: Where were you?\n"
        "I waited all night.\r\n"
        "\n"
        "Bob Smith:   At the station, sorry.\n"
        "ANN: Again.\n",
        true);
    ASSERT_FALSE(s.Refused()) << s.Error();
    EXPECT_TRUE(s.Named());
    EXPECT_EQ(Speakers(s), (std::vector<std::string>{"ANN", "ANN", "Bob Smith", "ANN"}));
    EXPECT_EQ(s.Lines()[0].text, "Where were you?");
    EXPECT_EQ(s.Lines()[2].text, "At the station, sorry.");
    EXPECT_EQ(s.Lines()[2].number, 4);
    EXPECT_EQ(s.Speakers(), (std::vector<std::string>{"ANN", "Bob Smith"}));
    EXPECT_EQ(s.SpokenText(), "Where were you?\nI waited all night.\nAt the station, sorry.\nAgain.");
    EXPECT_TRUE(s.Notes().empty());

    // A name alone on its line gives the lines below it (screenplay layout).
    const DialogueScript play = DialogueScript::Parse("CY:\nHello there.\nDEE:\nHi.", true);
    EXPECT_EQ(Speakers(play), (std::vector<std::string>{"CY", "DEE"}));
    EXPECT_TRUE(play.Notes().empty());
}

TEST(DialogueScript, OrdinaryTextWithAColonIsNotMisreadAsANamedScript) {
    for (const char* text : {
             "Meet me at 10:30 by the gate.",                  // no space after the colon
             "See http://example.org for more.",               //
             "Well, here it is: the last one.",                // punctuation before the colon
             "The sign said \"Stop\": we stopped.",            // quotes
             "the answer was simple: run.",                    // a lower-case start
             "And then the four of us said: go!",              // more than three words
             "3 Musketeers: all for one.",                     // a leading digit
             "A name much too long to be anyone's name at all: hi",
         }) {
        const DialogueScript s = DialogueScript::Parse(text, true);
        EXPECT_FALSE(s.Refused()) << text;
        EXPECT_FALSE(s.Named()) << text;
        ASSERT_EQ(s.Lines().size(), 1u) << text;
        EXPECT_EQ(s.Lines()[0].text, text);   // every word kept, the "name" too
    }
    // Text with no names at all is the single unnamed speaker's, every line kept.
    const DialogueScript plain = DialogueScript::Parse("One line.\n\nTwo lines.", true);
    EXPECT_FALSE(plain.Named());
    EXPECT_EQ(plain.Speakers(), std::vector<std::string>{""});
    EXPECT_EQ(plain.SpokenText(), "One line.\nTwo lines.");
}

TEST(DialogueScript, NamesInAnyLanguageAndApostrophesInsideWords) {
    const DialogueScript s = DialogueScript::Parse(
        "Émilie: Bonjour tout le monde.\n"
        "Ж: Привет.\n"
        "花子：こんにちは\n"
        "O'Brien: Hello.\n"
        "Zoë’s: hi\n",
        false);
    ASSERT_FALSE(s.Refused()) << s.Error();
    EXPECT_EQ(Speakers(s), (std::vector<std::string>{"Émilie", "Ж", "花子", "O'Brien", "Zoë’s"}));
    EXPECT_EQ(s.Lines()[2].text, "こんにちは");
    // Broken UTF-8 or a quote around the name is not a name; nothing is lost.
    EXPECT_FALSE(DialogueScript::IsName("Ann\xC3"));
    EXPECT_FALSE(DialogueScript::IsName("'Ann'"));
    EXPECT_FALSE(DialogueScript::IsName("«Ann»"));
    EXPECT_FALSE(DialogueScript::IsName("Ann。"));
    EXPECT_TRUE(DialogueScript::IsName(std::string(32, 'A')));
    EXPECT_FALSE(DialogueScript::IsName(std::string(33, 'A')));
}

TEST(DialogueScript, AMissingNameIsRefusedAndASpeakerWithoutWordsIsSkipped) {
    const DialogueScript empty = DialogueScript::Parse("ANN: Hi.\n   : Hello.\n", true);
    EXPECT_TRUE(empty.Refused());
    EXPECT_NE(empty.Error().find("Line 2"), std::string::npos) << empty.Error();
    EXPECT_TRUE(empty.Lines().empty());
    EXPECT_TRUE(DialogueScript::Parse(":\nHello", true).Refused());

    const DialogueScript silent = DialogueScript::Parse("ANN: Hi.\nBOB:\nCY: Hey.\nBOB: ...\n", true);
    ASSERT_FALSE(silent.Refused());
    EXPECT_EQ(Speakers(silent), (std::vector<std::string>{"ANN", "CY"}));
    ASSERT_EQ(silent.Notes().size(), 2u);
    EXPECT_NE(silent.Notes()[0].find("Line 2: BOB"), std::string::npos) << silent.Notes()[0];
    EXPECT_NE(silent.Notes()[1].find("Line 4: BOB"), std::string::npos) << silent.Notes()[1];

    // Lines before the first name go to the first speaker, said so.
    const DialogueScript early = DialogueScript::Parse("Hello?\nANN: Hi.", true);
    EXPECT_EQ(Speakers(early), (std::vector<std::string>{"ANN", "ANN"}));
    ASSERT_EQ(early.Notes().size(), 1u);
    // Every name skipped: the rest is the unnamed speaker's, without the names.
    const DialogueScript none = DialogueScript::Parse("BOB:\n\n", true);
    EXPECT_FALSE(none.Named());
    EXPECT_TRUE(none.Lines().empty());
}

Breakdown Aligned(const std::vector<std::vector<std::string>>& lines) {
    Breakdown b;
    b.sampleRate = 1000;
    b.soundFrames = 100000;
    int64_t at = 0;
    for (const auto& words : lines) {
        BreakdownLine line;
        for (const std::string& w : words) {
            line.words.push_back({w, at, at + 300, {{"AH", at, at + 300}}, false});
            at += 400;
        }
        b.lines.push_back(std::move(line));
    }
    return b;
}

TEST(DialogueScript, ALineReadAloneTakesItsOwnNameOrTheSpeakerAboveIt) {
    const std::string text =
        "so it begins\n"
        "ANN: Where were you?\n"
        "I waited all night.\n"
        "\n"
        "BOB:\n"
        "At the station.\n"
        "  : lost his name\n"
        "ANN:   \n"
        "Bob Smith: Again, 10:30.";
    const auto at = [&](int n) { return DialogueScript::LineAt(text, n, true); };
    using Outcome = ScriptLineAt::Outcome;
    // Its own name; the one above; a name alone on the line above.
    EXPECT_EQ(at(2).line, (ScriptLine{"ANN", "Where were you?", 2}));
    EXPECT_EQ(at(3).line, (ScriptLine{"ANN", "I waited all night.", 3}));
    EXPECT_EQ(at(6).line, (ScriptLine{"BOB", "At the station.", 6}));
    EXPECT_EQ(at(9).line, (ScriptLine{"Bob Smith", "Again, 10:30.", 9}));
    // Before any name: the first speaker below, as a whole breakdown gives it.
    EXPECT_EQ(at(1).outcome, Outcome::Line);
    EXPECT_EQ(at(1).line.speaker, "ANN");
    // Nothing to align: blank, a name alone (at the end too), out of the text.
    for (int n : {4, 5, 8, 10, 0, -3}) EXPECT_EQ(at(n).outcome, Outcome::Empty) << n;
    // A colon with no name: told apart, whatever else the text holds.
    EXPECT_EQ(at(7).outcome, Outcome::NameMissing);
    // A script that names nobody: the unnamed speaker's line.
    const ScriptLineAt plain = DialogueScript::LineAt("Hello there.\nGeneral Kenobi.", 2, true);
    EXPECT_EQ(plain.line, (ScriptLine{"", "General Kenobi.", 2}));
    EXPECT_EQ(DialogueScript::LineAt("", 1, true).outcome, Outcome::Empty);
}

TEST(ScriptBreakdown, EachLineGoesToItsSpeakerInOrder) {
    const DialogueScript s = DialogueScript::Parse("ANN: one two\nBOB: three\nfour\nANN: five", true);
    const std::vector<SpeakerBreakdown> out = SplitBySpeaker(s, Aligned({{"one", "two"}, {"three"}, {"four"}, {"five"}}));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].name, "ANN");
    ASSERT_EQ(out[0].breakdown.WordItems().size(), 3u);
    EXPECT_EQ(out[0].breakdown.WordItems()[2].text, "five");
    EXPECT_EQ(out[0].breakdown.WordItems()[2].start, 1600);
    EXPECT_EQ(out[1].name, "BOB");
    ASSERT_EQ(out[1].breakdown.WordItems().size(), 2u);
    EXPECT_EQ(out[1].breakdown.PhonemeItems().size(), 2u);
    EXPECT_EQ(out[1].breakdown.sampleRate, 1000);
    // Fewer aligned lines than the script's (another text): nothing invented.
    const std::vector<SpeakerBreakdown> part = SplitBySpeaker(s, Aligned({{"one", "two"}}));
    EXPECT_TRUE(part[1].breakdown.lines.empty());
}

TEST(ScriptBreakdown, ALineAlignedAloneReplacesOnlyTheWordsInsideItsRange) {
    BreakdownTracks tracks{{{0, 100, "a", ""}, {200, 300, "b", ""}, {400, 500, "c", ""}},
                           {{0, 100, "AH", ""}, {200, 300, "B", ""}, {400, 500, "K", ""}}};
    const BreakdownTracks with{{{210, 260, "x", ""}, {260, 450, "y", ""}}, {{210, 260, "EH", ""}, {260, 450, "W", ""}}};
    const BreakdownTracks out = PlaceInRange(tracks, with, 150, 350);
    ASSERT_EQ(out.words.size(), 4u);
    EXPECT_EQ(out.words[0].text, "a");
    EXPECT_EQ(out.words[1].text, "x");
    EXPECT_EQ(out.words[2].text, "y");
    EXPECT_EQ(out.words[2].end, 350);   // kept inside the range
    EXPECT_EQ(out.words[3].text, "c");
    EXPECT_EQ(out.phonemes.size(), 4u);
    // An empty alignment clears the range and nothing else.
    EXPECT_EQ(PlaceInRange(tracks, {}, 150, 350).words.size(), 2u);
}

TEST(ScriptBreakdown, ARefusedScriptFailsWithItsMessageBeforeAnyAlignment) {
    const DialogueScript s = DialogueScript::Parse(" : hello", true);
    const ScriptResult r = BreakDownScript(s, DialogueRequest{});
    EXPECT_EQ(r.result.outcome, DialogueResult::Outcome::Failed);
    EXPECT_EQ(r.result.message, s.Error());
    EXPECT_TRUE(r.speakers.empty());
}

} // namespace
} // namespace zv
