// Alignment accuracy on speech whose word timing is known: espeak-ng speaks
// the line and says where each word's first phoneme starts; the aligner
// hears the sound alone, with the typed text (numbers as digits, names the
// dictionary lacks). Several voices and speeds.
#include <gtest/gtest.h>

#include "dialogue/MadeSpeech.h"

namespace zv {
namespace {

using test::AlignmentFigures;
using test::MeasureAlignment;
using test::SpeechCase;

// Names the dictionary lacks (Zorblax, Quenvira, Blorvik, Gribnok, Taliqor,
// Dravelyn) and numbers typed as digits in both groups. The second group
// was written after the aligner, to check the first was not learnt by heart.
TEST(AlignmentAccuracy, WordStartsFallWithinAFrameOfTheSpokenOnes) {
    const std::vector<SpeechCase> first = {
        {"en-us", 175, "The quick brown fox jumps over the lazy dog near the river bank."},
        {"en", 150, "Captain Zorblax counted 42 silver coins before the storm."},
        {"en+f3", 200, "Please hand me that heavy box, then close the window quietly."},
        {"en-us+m3", 230, "Quenvira said the train leaves at 7 from platform 19."},
        {"en-us", 130, "I never thought the old lighthouse would still be standing in 1999."},
        {"en+f2", 175, "Mister Blorvik, your order of 3 sandwiches is ready at the counter."},
    };
    const std::vector<SpeechCase> second = {
        {"en-us", 160, "Every morning the baker opens his shop before the sun rises."},
        {"en", 190, "Gribnok the wizard keeps 12 owls in a tower of glass."},
        {"en+f4", 175, "Turn left at the second bridge and follow the narrow path."},
        {"en-us+m2", 210, "My brother Taliqor bought 64 tickets for the concert tonight."},
        {"en+m1", 140, "Good things come to those who wait patiently by the door."},
        {"en-us+f1", 180, "The committee will vote on the budget in March of 2031."},
        {"en-gb-x-rp", 220, "Could you possibly pass the salt and pepper, Dravelyn?"},
    };
    // What was verified: each group at least 90 % within one frame at 24
    // fps, none further than four frames; within three frames every word,
    // but for one ("narrow" after "the", 128 ms late where three frames are
    // 125 ms) while the line's stretches were found on the 16 kHz copy, so
    // the check allows one.
    int total = 0, withinThree = 0;
    for (const auto& group : {first, second}) {
        const AlignmentFigures f = MeasureAlignment(group, "en");
        ASSERT_GT(f.total, 50);
        EXPECT_EQ(f.spread, 0);
        EXPECT_GE(f.WithinOnePercent(), 90.0);
        EXPECT_LE(f.worstMs, 4 * 1000.0 / 24.0);
        // Was 19.7 and 19.0 ms before stop-initial words were moved later
        // and pauses heard inside speech were heard again; now 14.6, 15.5.
        EXPECT_LE(f.MeanMs(), 17.0);
        total += f.total;
        withinThree += f.withinThree;
    }
    EXPECT_GE(withinThree, total - 1);
}

} // namespace
} // namespace zv
