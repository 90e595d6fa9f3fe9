#pragma once
// An analysis of the open sound (the beats, the onsets, the dialogue
// breakdown, the spectrogram): made with its options and what it reads,
// run as a job (jobs/Job.h) on a worker thread, telling its progress and
// answering a cancel through JobProgress alone, and, once it finished,
// asked for the change it makes to the document's tracks, which the window
// applies as one undo step. A cancelled or failed run changes nothing.
//
// Adding an analysis: one class deriving from Analysis (Run, Label, Edit),
// and one line where its menu entry starts it (JobRunner::StartAnalysis).
#include <string>
#include <utility>
#include <vector>

#include "document/TrackItem.h"
#include "jobs/Job.h"

namespace zv {

class SoundDocument;

// What a finished analysis does to the document: each named track set to
// its new items, all as one undo step called `step`. No tracks: nothing
// changes.
struct TrackEdit {
    std::string step;
    std::vector<std::pair<std::string, std::vector<TrackItem>>> tracks;
    bool Empty() const { return tracks.empty(); }
};

class Analysis : public Job {
public:
    // The progress bar's text while it runs ("Finding beats"); empty: it
    // runs unseen.
    virtual std::string Label() const = 0;
    // After Run finished, on the thread that owns the document: the tracks
    // it sets, from the document as it is then (an analysis of part of the
    // sound merges into the items there).
    virtual TrackEdit Edit(const SoundDocument& document) const = 0;
};

} // namespace zv
