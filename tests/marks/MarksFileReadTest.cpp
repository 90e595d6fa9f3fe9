#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/SoundDocument.h"
#include "marks/MarksFile.h"

namespace zv {
namespace {

const std::string kHead = "{\"format\": \"zorvane-marks\", \"version\": 2, \"tracks\": [\n";

std::string ErrorOf(const std::string& text) {
    const MarksFileContent c = ParseMarksFile(text, 48000);
    return c.error.value_or("");
}

TEST(MarksFileRead, MembersCountWhereverTheyStandAndTheLastOfANameHolds) {
    // The rate after the tracks still moves the samples to the sound's rate;
    // the format and version may come last.
    const MarksFileContent c = ParseMarksFile(
        "{\"tracks\": [{\"items\": [{\"kind\": \"held\", \"text\": \"oo\", \"end\": 88200, \"start\": 44100}],"
        " \"name\": \"Words\"}], \"sampleRate\": 44100, \"version\": 2, \"format\": \"zorvane-marks\"}",
        48000);
    ASSERT_FALSE(c.error) << *c.error;
    ASSERT_EQ(c.tracks.size(), 2u);
    EXPECT_EQ(c.tracks[0].name, SoundDocument::kMarks);
    EXPECT_EQ(c.tracks[1], (FileTrack{"Words", {{48000, 96000, "oo", "held"}}}));

    // A list or member named twice: the last one is the one read.
    const MarksFileContent twice = ParseMarksFile(
        kHead + "{\"name\": \"Old\", \"items\": []}], \"tracks\": [{\"name\": \"A\", \"name\": \"B\", "
                "\"items\": [{\"start\": 1}], \"items\": [{\"start\": 2, \"text\": \"x\", \"text\": \"y\"}]}]}",
        48000);
    ASSERT_FALSE(twice.error) << *twice.error;
    ASSERT_EQ(twice.tracks.size(), 2u);
    EXPECT_EQ(twice.tracks[1], (FileTrack{"B", {{2, 2, "y", {}}}}));

    // Version 1: its rate after the marks still says the samples hold.
    const MarksFileContent v1 = ParseMarksFile(
        "{\"marks\": [{\"text\": \"a\", \"sample\": 16001, \"ms\": 333}, {\"endMs\": 900, \"ms\": 500}],"
        " \"sampleRate\": 48000, \"version\": 1, \"format\": \"zorvane-marks\"}",
        48000);
    ASSERT_FALSE(v1.error) << *v1.error;
    EXPECT_EQ(v1.tracks[0].items, (std::vector<TrackItem>{{16001, 16001, "a", {}}, {24000, 43200, "", {}}}));
}

TEST(MarksFileRead, TheFirstDamageInFileOrderIsToldAndNothingIsKept) {
    for (const auto& [text, told] : std::vector<std::pair<std::string, std::string>>{
             // The track's own damage before its items'.
             {kHead + "{\"items\": [{\"start\": -1}]}]}", "track 1 has no name"},
             {kHead + "{\"name\": \"A\", \"items\": [{\"start\": 1}]}, 5, {\"name\": \"\", \"items\": []}]}",
              "track 2 has no name"},
             {kHead + "{\"name\": \"A\", \"items\": {}}]}", "track 1 has no list of items"},
             {kHead + "{\"name\": \"A\", \"items\": [{\"start\": 1}, [1], {\"start\": \"x\"}]}]}",
              "item 2 of track 1 is not an object"},
             {kHead + "{\"name\": \"A\", \"items\": [{\"start\": 5, \"end\": 4}]}, {\"name\": 1}]}",
              "item 1 of track 1 has an invalid \"end\""},
             {kHead + "{\"name\": \"A\", \"items\": [{\"start\": 1.5}]}]}", "item 1 of track 1 has no valid \"start\""},
             {kHead + "{\"name\": \"A\", \"items\": [{\"start\": 18446744073709551615}]}]}",
              "item 1 of track 1 has no valid \"start\""},
             {kHead + "{\"name\": \"A\", \"items\": [{\"start\": 1, \"text\": {\"a\": [1]}}]}]}",
              "item 1 of track 1 has a text that is not a string"},
             {kHead + "{\"name\": \"A\", \"items\": [{\"start\": 1, \"kind\": null}]}]}",
              "item 1 of track 1 has a kind that is not a string"},
             {"{\"format\": \"zorvane-marks\", \"version\": 1, \"marks\": [{\"ms\": 5, \"endMs\": 4}]}",
              "mark 1 has an invalid \"endMs\""},
             {"{\"format\": \"zorvane-marks\", \"version\": 1, \"marks\": [{\"ms\": 5}, \"x\"]}", "mark 2 is not an object"},
             {"{\"format\": \"zorvane-marks\", \"version\": 1, \"tracks\": []}", "it has no list of marks"},
             {"{\"format\": \"zorvane-marks\", \"version\": 2, \"marks\": []}", "it has no list of tracks"},
             {"{\"format\": \"zorvane-marks\", \"version\": 2.0, \"tracks\": []}", "its version is missing"},
             {"[{\"format\": \"zorvane-marks\", \"version\": 2, \"tracks\": []}]", "it is not a Zorvane marks file"},
             {"{\"format\": [\"zorvane-marks\"], \"version\": 2, \"tracks\": []}", "it is not a Zorvane marks file"},
             // A damaged JSON text wins over a damaged item before it.
             {kHead + "{\"name\": \"A\", \"items\": [{\"start\": -1}]}\n]} x", "it is not valid JSON (line 3:"},
             // A number beyond a double is told with its line, not thrown.
             {kHead + "{\"name\": \"A\", \"items\": [\n{\"start\": 1e400}]}]}", "it is not valid JSON (line 3:"}}) {
        const MarksFileContent c = ParseMarksFile(text, 48000);
        ASSERT_TRUE(c.error) << text;
        EXPECT_EQ(c.error->rfind(told, 0), 0u) << text << "\n" << *c.error;
        EXPECT_TRUE(c.tracks.empty());
    }
    // A version 1 file is not refused for damage in a list it does not read.
    EXPECT_EQ(ErrorOf("{\"format\": \"zorvane-marks\", \"version\": 1, \"marks\": [], \"tracks\": [7]}"), "");
}

TEST(MarksFileRead, WhatIsWrittenReadsBackAsItWas) {
    std::vector<FileTrack> tracks{{SoundDocument::kMarks, {{0, 0, "a \"quoted\"\n text", {}}, {10, 20, "", "held"}}},
                                  {"Words", {{5, 9, "hello", {}}}},
                                  {"Empty", {}}};
    const MarksFileContent c = ParseMarksFile(MarksFileText(tracks, "voice.wav", 48000), 48000);
    ASSERT_FALSE(c.error) << *c.error;
    EXPECT_EQ(c.tracks, tracks);
}

} // namespace
} // namespace zv
