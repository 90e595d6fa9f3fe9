// The one list of export formats: what the save dialog and the command line
// read from it, and every writer's behaviour on inputs it may meet (nothing
// to write, no frame rate, items out of order or before the start).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "beats/BeatAnalysis.h"
#include "dialogue/Breakdown.h"
#include "export/ExportWriters.h"

namespace zv {
namespace {

TEST(ExportWriters, TheDialogAndTheCommandLineReadOneConsistentList) {
    const std::vector<const ExportWriter*>& all = ExportWriters::All();
    ASSERT_FALSE(all.empty());
    std::set<std::pair<int, std::string>> names;
    std::set<std::string> descriptions;
    int filter = 0;
    ExportSubject previous = ExportSubject::Marks;
    for (const ExportWriter* w : all) {
        ++filter;
        const ExportFormat& f = w->Format();
        EXPECT_TRUE(names.emplace(static_cast<int>(f.subject), f.name).second) << "two formats named " << f.name;
        EXPECT_TRUE(descriptions.insert(f.description).second) << f.description;
        // A subject's formats sit together, marks first: the dialog's order.
        EXPECT_GE(static_cast<int>(f.subject), static_cast<int>(previous)) << f.name;
        previous = f.subject;
        // The filter pair the dialog shows picks this writer back.
        EXPECT_EQ(ExportWriters::OfFilter(filter), w);
        EXPECT_EQ(ExportWriters::FilterOf(w), filter);
        // The name offered matches the filter it is offered with.
        ASSERT_EQ(f.pattern.rfind("*.", 0), 0u) << f.pattern;
        const std::string ending = f.pattern.substr(1);
        EXPECT_EQ(f.suffix.compare(f.suffix.size() - ending.size(), ending.size(), ending), 0) << f.suffix;
        EXPECT_EQ(ExportWriters::Named(f.subject, f.name), w);
    }
    EXPECT_EQ(ExportWriters::FilterOf(nullptr), 0);
    // The dialog's filter has a description and a pattern per writer.
    const std::string dialog = ExportWriters::DialogFilter();
    EXPECT_EQ(static_cast<std::size_t>(std::count(dialog.begin(), dialog.end(), '|')), all.size() * 2 - 1);
    EXPECT_EQ(ExportWriters::Names(ExportSubject::Beats), "xsheet, csv, json or labels");
    EXPECT_EQ(ExportWriters::Names(ExportSubject::Dialogue, "|"), "dat|pgo|tsv|json|xsheet|labels|xdts");
    // A sheet's marks are not labels, whatever the case of the name.
    EXPECT_EQ(ExportWriters::MarksFormatOfFileName("TAKE.XSHEET.TXT"), ExportWriters::Named(ExportSubject::Marks, "xsheet"));
    EXPECT_EQ(ExportWriters::MarksFormatOfFileName(""), nullptr);
}

// Whatever the window or a command hands over, a writer answers with text
// (maybe none) and never throws or reads through a null.
TEST(ExportWriters, EveryWriterCopesWithMissingOrOddInput) {
    const std::vector<TrackItem> marks{{0, 0, "start", {}}, {44100, 88200, "tab\there", {}},
                                       {-5, 44100, "before the start", {}}};
    BeatAnalysis beats;
    beats.sampleRate = 44100;
    beats.steady = true;
    beats.bpm = 120;
    beats.beats = {{22050, 1, 1}, {44100, 1, 2}};
    Breakdown breakdown;
    breakdown.sampleRate = 44100;
    breakdown.soundFrames = 44100;
    breakdown.lines = {{"hi", {{"hi", 100, 90, {{"HH", 100, 90}}, false}}}};   // ends before it starts
    const std::vector<TrackItem> mouths{{100, 200, "E", {}}};

    for (const ExportWriter* w : ExportWriters::All()) {
        const std::string name = w->Format().name;
        ExportInput empty;
        EXPECT_NO_THROW(w->Write(empty)) << name;   // nothing at all, rate 0

        ExportInput full;
        full.soundName = "voice\n.wav";
        full.sampleRate = 44100;
        full.lengthSamples = 44100;
        full.lengthMs = 1000;
        full.rate = 24;
        full.marks = &marks;
        full.beats = &beats;
        full.breakdown = &breakdown;
        full.mouths = &mouths;
        std::string text;
        EXPECT_NO_THROW(text = w->Write(full)) << name;
        EXPECT_FALSE(text.empty()) << name;

        ExportInput noRate = full;
        noRate.rate = FrameRate();
        EXPECT_NO_THROW(w->Write(noRate)) << name;
        ExportInput noSampleRate = full;
        noSampleRate.sampleRate = 0;
        EXPECT_NO_THROW(w->Write(noSampleRate)) << name;
    }
}

} // namespace
} // namespace zv
