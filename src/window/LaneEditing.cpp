#include "window/LaneEditing.h"

#include <QString>
#include <cmath>

#include "dialogue/CharacterList.h"
#include "dialogue/WordKind.h"
#include "document/SoundDocument.h"
#include "session/Session.h"
#include "waveview/layers/TrackLaneLayer.h"
#include "window/LaneHost.h"
#include "window/TrackUndo.h"

namespace zv {

namespace {

const std::vector<TrackItem>& ItemsOf(const BreakdownTracks& tracks, LaneEditing::Lane lane) {
    return lane == LaneEditing::Lane::Words ? tracks.words : tracks.phonemes;
}

} // namespace

std::optional<LaneEditing::Grip> LaneEditing::GripAt(const std::vector<TrackItem>& items, const LayerScene& scene,
                                                     double x) {
    // The nearest edge within reach wins over a middle: edges of short
    // items lie close together.
    std::optional<Grip> body, edge;
    double nearest = kGripPixels + 1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].start > scene.view.End()) break;
        const TrackLaneLayer::Span s = TrackLaneLayer::ItemSpan(scene, items[i]);
        if (s.right < -kGripPixels || s.left > scene.view.Width() + kGripPixels) continue;
        for (const auto& [at, part] : {std::pair{s.left, Grip::Part::Start}, std::pair{s.right, Grip::Part::End}}) {
            const double d = std::abs(x - at);
            if (d <= kGripPixels && d < nearest) {
                nearest = d;
                edge = Grip{i, part};
            }
        }
        if (x >= s.left && x < s.right) body = Grip{i, Grip::Part::Body};
    }
    return edge ? edge : body;
}

BreakdownTracks LaneEditing::Tracks() const {
    BreakdownTracks tracks;
    if (const Track* w = document_.Find(CharacterList::WordsTrack(character_))) tracks.words = w->Items();
    if (const Track* p = document_.Find(CharacterList::PhonemesTrack(character_))) tracks.phonemes = p->Items();
    return tracks;
}

bool LaneEditing::Press(Lane lane, const LayerScene& scene, double x, int character) {
    active_ = false;
    character_ = character;
    const BreakdownTracks tracks = Tracks();
    const std::optional<Grip> grip = GripAt(ItemsOf(tracks, lane), scene, x);
    if (!grip) return false;
    active_ = true;
    dragged_ = false;
    lane_ = lane;
    grip_ = *grip;
    pressX_ = x;
    pressSample_ = scene.view.FrameAt(x);
    before_ = now_ = tracks;
    return true;
}

void LaneEditing::Move(const LayerScene& scene, double x, bool free) {
    if (!active_) return;
    if (!dragged_ && std::abs(x - pressX_) < kClickPixels) return;
    dragged_ = true;
    const int64_t delta = scene.view.FrameAt(x) - pressSample_;
    const int64_t length = document_.Info().frames;
    const auto place = [&](int64_t sample) { return free ? sample : session_.NearestFrameStart(sample); };
    const TrackItem& item = ItemsOf(before_, lane_)[grip_.index];
    const bool start = grip_.part == Grip::Part::Start;
    BreakdownTracks next;
    if (grip_.part == Grip::Part::Body) {
        if (lane_ != Lane::Words) return;   // a phoneme moves by its edges
        next = MoveWord(before_, grip_.index, place(item.start + delta) - item.start, length);
    } else {
        const int64_t edge = place((start ? item.start : item.end) + delta);
        next = lane_ == Lane::Words ? MoveWordEdge(before_, grip_.index, start, edge, length)
                                    : MovePhonemeEdge(before_, grip_.index, start, edge);
    }
    // A word placed by hand is no longer a guess spread over the sound.
    if (lane_ == Lane::Words && grip_.index < next.words.size()) next.words[grip_.index].kind = WordKind::ByHand(next.words[grip_.index].kind);
    if (next == now_) return;
    now_ = std::move(next);
    Show(now_);
}

void LaneEditing::Release() {
    if (!active_) return;
    active_ = false;
    if (!dragged_) {
        const TrackItem& item = ItemsOf(before_, lane_)[grip_.index];
        host_.PlaySamples(item.start, item.end);
        return;
    }
    // The lanes showed the drag; the step starts from before it.
    Show(before_);
    Commit(now_, lane_ == Lane::Words ? (grip_.part == Grip::Part::Body ? "Move Word" : "Move Word Edge")
                                      : "Move Phoneme Edge");
}

bool LaneEditing::DoubleClick(Lane lane, const LayerScene& scene, double x, int character) {
    active_ = false;
    character_ = character;
    BreakdownTracks tracks = Tracks();
    std::vector<TrackItem>& items = lane == Lane::Words ? tracks.words : tracks.phonemes;
    const std::optional<Grip> grip = GripAt(items, scene, x);
    if (!grip) return false;
    TrackItem& item = items[grip->index];
    const std::optional<std::string> text =
        host_.AskText(lane == Lane::Words ? "The word:" : "The phoneme (a CMU phone such as AA, M or F):", item.text);
    if (!text || *text == item.text || text->empty()) return true;
    item.text = *text;
    item.kind = WordKind::ByHand(item.kind);   // typed by hand: no longer a guess, still in its line
    Commit(tracks, lane == Lane::Words ? "Edit Word" : "Edit Phoneme");
    return true;
}

void LaneEditing::Show(const BreakdownTracks& tracks) {
    document_.Ensure(CharacterList::WordsTrack(character_)).Assign(tracks.words);
    document_.Ensure(CharacterList::PhonemesTrack(character_)).Assign(tracks.phonemes);
    host_.LanesChanged();
}

void LaneEditing::Commit(const BreakdownTracks& tracks, const char* what) {
    std::vector<TrackUndo::TrackItems> after{{CharacterList::WordsTrack(character_), tracks.words},
                                             {CharacterList::PhonemesTrack(character_), tracks.phonemes}};
    const CharacterList characters = CharacterList::Of(document_);
    const Character* who = characters.Find(character_);
    after.emplace_back(CharacterList::MouthsTrack(character_),
                       host_.MouthsFor(tracks.phonemes, who ? who->mouthSet : std::string()));
    undo_.Change(std::move(after), QString::fromUtf8(what));
}

} // namespace zv
