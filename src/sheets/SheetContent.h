#pragma once
// What an exposure sheet shows of a sound, gathered from its document: the
// marks (the ACTION column), each speaker's words and mouth shapes (one
// speaker for a sound of one unnamed speaker, else one for each character
// who has words or mouths), and the beats.
//
// Units: items in sample frames of the sound at sampleRate; frames of
// `rate`, counted from 0, the frame of an item being the one that holds its
// first sample (FrameOfSample).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/FrameRate.h"
#include "dialogue/MouthSet.h"
#include "document/TrackItem.h"

namespace zv {

struct FileTrack;

struct SheetSpeaker {
    std::string name;                 // the column's name ("Dialogue" for the one unnamed speaker)
    bool named = false;               // a character's name, shown above its columns
    std::vector<TrackItem> words;     // the Words track
    std::vector<TrackItem> mouths;    // the Mouths track: runs of one shape, text = the shape
    MouthSet mouthSet = MouthSet::PrestonBlair();   // the order the shapes are numbered in
};

struct SheetContent {
    std::string soundName;            // file name of the sound
    int32_t sampleRate = 0;           // sample frames a second
    int64_t soundFrames = 0;          // the sound's length in sample frames
    FrameRate rate;                   // animation frames a second
    std::vector<TrackItem> marks;     // the ACTION column
    std::vector<SheetSpeaker> speakers;
    std::vector<TrackItem> beats;     // points, text "bar.beat", kind "downbeat" on beat 1

    // Animation frames the sound covers (the last one partly): 0 for no sound.
    int64_t FrameCount() const;
    // The frame holding sample `sample` (0 when the rates are not set).
    int64_t FrameOf(int64_t sample) const;
    // True when there is something to put on a sheet: marks, words, mouths or beats.
    bool HasAnything() const;
};

// A character's kept mouth set by its name ("" = the set chosen for
// everyone): what the window or the command line offers.
using MouthSetNamed = std::function<MouthSet(const std::string& name)>;

// The content of the tracks as the marks file keeps them ("Marks", "Beats",
// and the Words and Mouths tracks of each character the "Characters" track
// lists, or the plain ones of the one unnamed speaker); each speaker's
// shapes are numbered in the set `setNamed` gives for its kept set.
SheetContent SheetContentOfTracks(const std::vector<FileTrack>& tracks, const std::string& soundName,
                                  int32_t sampleRate, int64_t soundFrames, FrameRate rate,
                                  const MouthSetNamed& setNamed);

// The shapes of a speaker in the order they are numbered in: the mouth
// set's shapes, then any shape the track names that the set lacks (in the
// order they first appear). Shape k (from 0) is drawing k + 1.
std::vector<std::string> NumberedShapes(const SheetSpeaker& speaker);

} // namespace zv
