#pragma once
// The pointer on a character's Words and Phonemes lanes under the waveform:
//   - drag an edge of a word or phoneme: it lands on the frame grid (the
//     nearest frame boundary), or exactly where the pointer is with Shift;
//   - drag the middle of a word: the word and its phonemes move, its start
//     on the grid (free with Shift);
//   - click a word or phoneme: it plays;
//   - double-click one: its text is asked for and changed.
// A drag shows on the lanes as it goes and is one undoable step when the
// button goes up; the Mouths track follows the phonemes in the same step.
// Each edit works on the tracks of the character whose lane it is on
// (CharacterList: character 1's are the plain Words and Phonemes).
//
// Units: pixels of the box; sample frames of the sound.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dialogue/BreakdownEdit.h"
#include "document/TrackItem.h"

namespace zv {

class LaneHost;
class Session;
class SoundDocument;
class TrackUndo;
struct LayerScene;

class LaneEditing {
public:
    enum class Lane { Words, Phonemes };
    // How near an edge the pointer grips it, pixels.
    static constexpr double kGripPixels = 4.0;
    // A press that moves less than this is a click, pixels.
    static constexpr double kClickPixels = 3.0;

    // The lanes are `document`'s characters' Words and Phonemes tracks, changed as steps
    // of `undo`; the frame grid is the session's. All of them outlive this.
    LaneEditing(SoundDocument& document, TrackUndo& undo, const Session& session, LaneHost& host)
        : document_(document), undo_(undo), session_(session), host_(host) {}

    // What of an item lies under pixel x: an edge, or its middle.
    struct Grip {
        enum class Part { Start, End, Body };
        std::size_t index = 0;
        Part part = Part::Body;
    };
    static std::optional<Grip> GripAt(const std::vector<TrackItem>& items, const LayerScene& scene, double x);

    // The left button went down on `character`'s `lane` at x: true when it
    // lies on an item.
    bool Press(Lane lane, const LayerScene& scene, double x, int character = 1);
    // The pointer moved with the button down; `free` is Shift held.
    void Move(const LayerScene& scene, double x, bool free);
    // The button went up: a drag becomes one step; a click plays the item.
    void Release();
    // A double-click on `character`'s `lane` at x: true when it lay on an item.
    bool DoubleClick(Lane lane, const LayerScene& scene, double x, int character = 1);
    bool Active() const { return active_; }

private:
    // `character_`'s tracks.
    BreakdownTracks Tracks() const;
    // Shows `tracks` on the lanes without a step (during a drag).
    void Show(const BreakdownTracks& tracks);
    // `tracks` as one step called `what`, the mouths with them.
    void Commit(const BreakdownTracks& tracks, const char* what);

    SoundDocument& document_;
    TrackUndo& undo_;
    const Session& session_;
    LaneHost& host_;
    bool active_ = false;
    bool dragged_ = false;
    Lane lane_ = Lane::Words;
    int character_ = 1;   // whose tracks are edited
    Grip grip_;
    double pressX_ = 0;
    int64_t pressSample_ = 0;
    BreakdownTracks before_;   // as they were at the press
    BreakdownTracks now_;      // as the drag has made them
};

} // namespace zv
