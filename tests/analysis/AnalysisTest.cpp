// The analyses behind one seam: each runs as a job through JobProgress
// alone (its progress counted to the end, a cancel heard), and its edit
// names the tracks it sets as one step, built from the document as it is
// when the run ends (what the user added meanwhile is kept).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "analysis/BeatFinding.h"
#include "analysis/DialogueBreakdown.h"
#include "analysis/OnsetMarking.h"
#include "analysis/SpectrogramMaking.h"
#include "beats/BeatLoops.h"
#include "dialogue/CharacterList.h"
#include "dialogue/WordKind.h"
#include "document/SoundDocument.h"
#include "sound/SoundData.h"

namespace zv {
namespace {

// A loaded record of 32-bit float mono samples.
SoundData Sound(int32_t rate, const std::vector<float>& samples) {
    SoundData sound;
    sound.WavFormat.nChannels = 1;
    sound.WavFormat.nSamplesPerSec = rate;
    sound.WavFormat.wBitsPerSample = 32;
    sound.WavFormat.nBlockAlign = 4;
    sound.Encoding = SampleEncoding::Float32;
    const std::size_t bytes = samples.size() * 4;
    EXPECT_TRUE(sound.Samples.Allocate(std::max<std::size_t>(bytes, 1), bytes));
    if (bytes > 0) std::memcpy(sound.Samples.data(), samples.data(), bytes);
    sound.NumSamples = static_cast<int32_t>(samples.size());
    sound.WavLoaded = true;
    return sound;
}

SoundDocument DocumentOf(const SoundData& sound) {
    SoundDocument document;
    document.Reset({"/tmp/loop.wav", sound.WavFormat.nSamplesPerSec, sound.NumSamples, 1, {}});
    return document;
}

const std::vector<TrackItem>* TrackIn(const TrackEdit& edit, const std::string& name) {
    for (const auto& [track, items] : edit.tracks)
        if (track == name) return &items;
    return nullptr;
}

TEST(Analyses, FindBeatsAndMarkOnsetsReportThroughTheJobAndEditOneTrackEach) {
    test::LoopSpec recipe;
    recipe.seconds = 8;
    const SoundData sound = Sound(recipe.sampleRate, test::MakeLoop(recipe).mono);
    SoundDocument document = DocumentOf(sound);
    const int64_t length = sound.NumSamples;

    BeatFinding beats(sound, 0, length, BeatOptions{}, 0.0, "Find Beats");
    JobProgress progress;
    std::string reason;
    ASSERT_EQ(beats.Run(progress, reason), JobOutcome::Finished) << reason;
    EXPECT_EQ(progress.Total(), length);   // the one progress, counted to the end
    EXPECT_EQ(progress.Done(), length);
    ASSERT_TRUE(beats.Found().steady);
    EXPECT_NEAR(beats.Found().bpm, 120.0, 1.0);
    const TrackEdit found = beats.Edit(document);
    EXPECT_EQ(found.step, "Find Beats");
    ASSERT_EQ(found.tracks.size(), 1u);
    ASSERT_NE(TrackIn(found, SoundDocument::kBeats), nullptr);
    EXPECT_GE(TrackIn(found, SoundDocument::kBeats)->size(), 14u);   // 16 beats in 8 s at 120 BPM

    // Mark Onsets adds to the marks there, as plain marks.
    document.Marks().Add({5, 5, "mine", {}});
    OnsetMarking onsets(sound, 0, length, 0.06);
    JobProgress onsetProgress;
    ASSERT_EQ(onsets.Run(onsetProgress, reason), JobOutcome::Finished);
    const TrackEdit marked = onsets.Edit(document);
    EXPECT_EQ(marked.step, "Mark Onsets");
    const std::vector<TrackItem>* marks = TrackIn(marked, SoundDocument::kMarks);
    ASSERT_NE(marks, nullptr);
    ASSERT_GT(marks->size(), 10u);
    EXPECT_EQ(marks->front().text, "mine");
    for (const TrackItem& m : *marks) EXPECT_TRUE(m.kind.empty());

    // A cancel is heard, and nothing is left to apply.
    BeatFinding cancelled(sound, 0, length, BeatOptions{}, 0.0, "Find Beats");
    JobProgress stop;
    stop.Cancel();
    EXPECT_EQ(cancelled.Run(stop, reason), JobOutcome::Cancelled);
    EXPECT_TRUE(cancelled.Edit(document).Empty());

    // Silence has no steady beat: the Beats track is left alone.
    const SoundData quiet = Sound(44100, std::vector<float>(44100 * 3, 0.0f));
    BeatFinding none(quiet, 0, quiet.NumSamples, BeatOptions{}, 0.0, "Find Beats");
    JobProgress quietProgress;
    ASSERT_EQ(none.Run(quietProgress, reason), JobOutcome::Finished);
    EXPECT_FALSE(none.Found().steady);
    EXPECT_TRUE(none.Edit(DocumentOf(quiet)).Empty());
}

TEST(Analyses, TheBreakdownSetsItsThreeTracksAndKeepsTheWordsOutsideARealignment) {
    // Silence: no speech, the words spread evenly, as one edit of words,
    // phonemes and the mouths laid from them.
    const SoundData quiet = Sound(16000, std::vector<float>(16000 * 2, 0.0f));
    DialogueRequest request;
    request.sampleRate = 16000;
    request.soundFrames = quiet.NumSamples;
    request.text = "one two";
    request.language = "en";
    int mouthsLaid = 0;
    auto mouths = [&](const std::vector<TrackItem>& phonemes, const std::string&) {
        ++mouthsLaid;
        return std::vector<TrackItem>(phonemes.empty() ? 0 : 1, TrackItem{0, 1, "rest", {}});
    };
    DialogueBreakdown whole(quiet, 0, quiet.NumSamples, request, std::nullopt, mouths);
    JobProgress progress;
    std::string reason;
    ASSERT_EQ(whole.Run(progress, reason), JobOutcome::Finished) << reason;
    EXPECT_EQ(whole.Result().outcome, DialogueResult::Outcome::NoSpeech);
    SoundDocument document = DocumentOf(quiet);
    const TrackEdit edit = whole.Edit(document);
    EXPECT_EQ(edit.step, "Dialogue Breakdown");
    ASSERT_NE(TrackIn(edit, SoundDocument::kWords), nullptr);
    ASSERT_EQ(TrackIn(edit, SoundDocument::kWords)->size(), 2u);
    ASSERT_NE(TrackIn(edit, SoundDocument::kPhonemes), nullptr);
    ASSERT_NE(TrackIn(edit, SoundDocument::kMouths), nullptr);
    EXPECT_EQ(TrackIn(edit, SoundDocument::kMouths)->size(), 1u);
    EXPECT_EQ(mouthsLaid, 1);

    // Aligning the second word again keeps the first where it is.
    for (const auto& [track, items] : edit.tracks) document.Ensure(track).Assign(items);
    const TrackItem first = document.Find(SoundDocument::kWords)->Items()[0];
    request.text = "two";
    const int64_t from = document.Find(SoundDocument::kWords)->Items()[1].start;
    DialogueBreakdown again(quiet, from, quiet.NumSamples, request, std::pair<std::size_t, std::size_t>{1, 2}, mouths);
    JobProgress againProgress;
    ASSERT_EQ(again.Run(againProgress, reason), JobOutcome::Finished) << reason;
    const TrackEdit redo = again.Edit(document);
    EXPECT_EQ(redo.step, "Align Selected Words");
    const std::vector<TrackItem>* words = TrackIn(redo, SoundDocument::kWords);
    ASSERT_NE(words, nullptr);
    ASSERT_EQ(words->size(), 2u);
    EXPECT_EQ((*words)[0], first);
    EXPECT_GE((*words)[1].start, from);

    // Cancelled before it began: nothing.
    DialogueBreakdown cancelled(quiet, 0, quiet.NumSamples, request, std::nullopt, mouths);
    JobProgress stop;
    stop.Cancel();
    EXPECT_EQ(cancelled.Run(stop, reason), JobOutcome::Cancelled);
}

TEST(Analyses, ANamedScriptWritesEachCharactersTracksInOneStep) {
    const SoundData quiet = Sound(16000, std::vector<float>(16000 * 3, 0.0f));
    DialogueRequest request;
    request.sampleRate = 16000;
    request.soundFrames = quiet.NumSamples;
    request.text = "Ann: one two\nBob: three\nfour\nAnn: five";
    request.language = "en";
    // Each character's mouths are laid with its own set: the set's name is the shape here.
    auto mouths = [](const std::vector<TrackItem>& phonemes, const std::string& set) {
        return std::vector<TrackItem>(phonemes.size(), TrackItem{0, 1, set.empty() ? "rest" : set, {}});
    };
    DialogueBreakdown named(quiet, 0, quiet.NumSamples, request, std::nullopt, mouths);
    JobProgress progress;
    std::string reason;
    ASSERT_EQ(named.Run(progress, reason), JobOutcome::Finished) << reason;
    SoundDocument document = DocumentOf(quiet);
    const TrackEdit edit = named.Edit(document);
    EXPECT_EQ(edit.step, "Dialogue Breakdown");
    // The unnamed speaker, alone in the list, becomes Ann and keeps the plain tracks.
    ASSERT_NE(TrackIn(edit, CharacterList::kTrack), nullptr);
    const CharacterList list = CharacterList::FromItems(*TrackIn(edit, CharacterList::kTrack));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.Find(1)->name, "Ann");
    ASSERT_NE(list.FindByName("Bob"), nullptr);
    const int bob = list.FindByName("Bob")->id;
    ASSERT_NE(TrackIn(edit, SoundDocument::kWords), nullptr);
    EXPECT_EQ(TrackIn(edit, SoundDocument::kWords)->size(), 3u);
    ASSERT_NE(TrackIn(edit, CharacterList::WordsTrack(bob)), nullptr);
    const std::vector<TrackItem> bobWords = *TrackIn(edit, CharacterList::WordsTrack(bob));
    ASSERT_EQ(bobWords.size(), 2u);
    EXPECT_EQ(bobWords[0].text, "three");
    EXPECT_EQ(bobWords[1].text, "four");
    ASSERT_NE(TrackIn(edit, CharacterList::MouthsTrack(bob)), nullptr);
    EXPECT_FALSE(TrackIn(edit, CharacterList::MouthsTrack(bob))->empty());
    EXPECT_EQ(TrackIn(edit, CharacterList::MouthsTrack(bob))->front().text, "rest");   // the window's set
    // Each script line's words know their line: Bob's two lines stay two,
    // Ann's "one two" one, apart from her "five".
    const std::vector<TrackItem> annWords = *TrackIn(edit, SoundDocument::kWords);
    ASSERT_TRUE(WordKind::LineOf(bobWords[0].kind) && WordKind::LineOf(bobWords[1].kind));
    EXPECT_NE(WordKind::LineOf(bobWords[0].kind), WordKind::LineOf(bobWords[1].kind));
    EXPECT_EQ(WordKind::LineOf(annWords[0].kind), WordKind::LineOf(annWords[1].kind));
    EXPECT_NE(WordKind::LineOf(annWords[1].kind), WordKind::LineOf(annWords[2].kind));

    // Bob's line aligned again alone in a range: Ann's tracks untouched,
    // Bob's words outside the range kept, the list unchanged.
    for (const auto& [track, items] : edit.tracks) document.Ensure(track).Assign(items);
    // Bob has a mouth set of his own now: his line's mouths are laid with it.
    CharacterList own = CharacterList::Of(document);
    own.Find(bob)->mouthSet = "A-H";
    document.Ensure(CharacterList::kTrack).Assign(own.Items());
    const int64_t from = bobWords[1].start;
    request.text = "Bob: again";
    DialogueBreakdown alone(quiet, from, quiet.NumSamples, request, std::nullopt, mouths);
    alone.PlaceAloneInRange();
    ASSERT_EQ(alone.Run(progress, reason), JobOutcome::Finished) << reason;
    const TrackEdit line = alone.Edit(document);
    EXPECT_EQ(line.step, "Align Line");
    EXPECT_EQ(TrackIn(line, SoundDocument::kWords), nullptr);
    EXPECT_EQ(TrackIn(line, CharacterList::kTrack), nullptr);
    ASSERT_NE(TrackIn(line, CharacterList::WordsTrack(bob)), nullptr);
    const std::vector<TrackItem> again = *TrackIn(line, CharacterList::WordsTrack(bob));
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[0], bobWords[0]);
    EXPECT_EQ(again[1].text, "again");
    EXPECT_GE(again[1].start, from);
    ASSERT_NE(TrackIn(line, CharacterList::MouthsTrack(bob)), nullptr);
    ASSERT_FALSE(TrackIn(line, CharacterList::MouthsTrack(bob))->empty());
    EXPECT_EQ(TrackIn(line, CharacterList::MouthsTrack(bob))->front().text, "A-H");
    EXPECT_EQ(TrackIn(line, CharacterList::MouthsTrack(1)), nullptr);   // Ann's left as they are

    // A script with a name left out changes nothing and says which line.
    request.text = "Ann: hi\n : there";
    DialogueBreakdown refused(quiet, 0, quiet.NumSamples, request, std::nullopt, mouths);
    EXPECT_EQ(refused.Run(progress, reason), JobOutcome::Failed);
    EXPECT_NE(reason.find("Line 2"), std::string::npos) << reason;
}

TEST(Analyses, TheSpectrogramIsMadeUnseenAndEditsNoTrack) {
    const SoundData sound = Sound(8000, std::vector<float>(8000, 0.25f));
    SpectrogramRequest request;
    request.perColumn = 100;
    request.columns = 40;
    SpectrogramMaking making(sound, request);
    EXPECT_TRUE(making.Label().empty());
    JobProgress progress;
    std::string reason;
    ASSERT_EQ(making.Run(progress, reason), JobOutcome::Finished);
    EXPECT_EQ(making.Image().columns, 40);
    EXPECT_TRUE(making.Edit(DocumentOf(sound)).Empty());
    SpectrogramMaking cancelled(sound, request);
    JobProgress stop;
    stop.Cancel();
    EXPECT_EQ(cancelled.Run(stop, reason), JobOutcome::Cancelled);
}

} // namespace
} // namespace zv
