#pragma once
// The printed exposure sheet laid out, without drawing it: which frames go
// on which page and column, and what each row says. The painting (Qt) only
// draws what this gives.
//
// Two layouts:
//   OneColumn   one column of rows a page, 6 seconds of frames a page (144
//               rows at 24 fps; the rate rounded to whole frames).
//   TwoColumns  "Time sheet (6 s, two columns)": two 3-second columns side
//               by side, 6 seconds a page as well.
// Each row is one frame (counted from 1 on the sheet, as animators number
// them): ACTION (the marks that start on it), a DIALOGUE and a MOUTH column
// per speaker (the word on the frame it starts, then held down its frames;
// the shape where it changes, then held), BEATS ("bar.beat" on the frame of
// each beat; a bar line is ruled above a downbeat) and the margin: the frame
// number, the second ("2s") on the first frame of each second and the foot
// ("3'") on the first frame of each foot of 16 frames.
//
// Several characters: each has its DIALOGUE and MOUTH columns under its
// name. A page holds at most SpeakersPerPage() of them (6 in one column, 3
// in each of two); when there are more, the sheet is laid out again for
// the next ones, a second set of pages after the first (and so on), each
// page's header saying which characters it holds. Every page keeps ACTION
// and BEATS.
#include <cstdint>
#include <string>
#include <vector>

#include "sheets/SheetContent.h"

namespace zv {

enum class SheetKind { OneColumn, TwoColumns };

struct SheetRow {
    int64_t frame = 0;            // counted from 1
    std::string second;           // "2s" on a second's first frame, else ""
    std::string foot;             // "3'" on a foot's first frame, else ""
    std::string action;
    struct Speaker {
        std::string word;         // the word on its first frame
        bool wordHeld = false;    // inside a word, after its first frame
        std::string mouth;        // the shape where it changes
        bool mouthHeld = false;   // the shape before goes on
    };
    std::vector<Speaker> speakers;
    std::string beat;             // "bar.beat"
    bool barLine = false;         // a downbeat: a bar line above this row
    bool secondLine = false;      // the first frame of a second: a heavier line above
};

struct SheetBlock {               // one column of rows on a page
    std::vector<SheetRow> rows;
};

struct SheetPage {
    int number = 0;               // from 1
    std::string header;           // "Scene 1 · Shot 3 · voice.wav · 24 fps · Page 1 of 4"
    // The column titles of the speakers on the page, in the rows' order:
    // a character's name, "" for the one unnamed speaker.
    std::vector<std::string> speakerNames;
    std::vector<SheetBlock> blocks;
};

struct SheetHeader {
    std::string scene = "1";
    std::string shot = "1";
};

class SheetLayout {
public:
    SheetLayout(const SheetContent& content, SheetKind kind, SheetHeader header);

    SheetKind Kind() const { return kind_; }
    int64_t FramesPerPage() const { return framesPerPage_; }
    int64_t RowsPerBlock() const { return rowsPerBlock_; }
    int PageCount() const { return pageCount_; }
    // The most characters a page holds, and how many sets of pages it takes
    // to give every character its columns (at least 1).
    std::size_t SpeakersPerPage() const;
    int SpeakerSets() const { return speakerSets_; }
    // The speakers' names, for the column titles ("" for the one unnamed speaker).
    const std::vector<std::string>& SpeakerNames() const { return speakerNames_; }
    // Page n (from 1); an empty page out of range.
    SheetPage Page(int number) const;

private:
    // Frame from 0; the speakers from `first`, `count` of them.
    SheetRow RowOf(int64_t frame, std::size_t first, std::size_t count) const;

    const SheetContent& content_;
    SheetKind kind_;
    SheetHeader header_;
    int64_t frames_ = 0;
    int64_t framesPerSecond_ = 0;
    int64_t framesPerPage_ = 0;
    int64_t rowsPerBlock_ = 0;
    int pageCount_ = 0;
    int timePages_ = 0;           // the pages of one set
    int speakerSets_ = 1;
    std::vector<std::string> speakerNames_;
    // Per frame, worked out once.
    std::vector<std::string> actions_;
    std::vector<std::string> beats_;
    std::vector<char> barLines_;
    struct SpeakerFrames {
        std::vector<std::string> words;
        std::vector<char> wordHeld;
        std::vector<std::string> shapes;
    };
    std::vector<SpeakerFrames> speakers_;
};

} // namespace zv
