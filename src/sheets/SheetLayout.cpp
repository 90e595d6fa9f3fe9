#include "sheets/SheetLayout.h"

#include <algorithm>

#include "dialogue/MouthTrack.h"
#include "sheets/XdtsSheet.h"

namespace zv {

namespace {

constexpr int64_t kSecondsAPage = 6;
constexpr int64_t kFramesAFoot = 16;
// Pages beyond this are not laid out (a sheet of a long sound at a high
// rate would otherwise ask for more pages than a printer takes).
constexpr int64_t kMostPages = 10000;
// Characters a page holds: the DIALOGUE and MOUTH columns of more would be
// too narrow to read at the sheet's type (the painter shrinks the type of a
// cell whose text is wider than it).
constexpr std::size_t kSpeakersOneColumn = 6;
constexpr std::size_t kSpeakersTwoColumns = 3;

void Join(std::string& into, const std::string& text) {
    if (text.empty()) return;
    if (!into.empty()) into += " / ";
    into += text;
}

} // namespace

SheetLayout::SheetLayout(const SheetContent& content, SheetKind kind, SheetHeader header)
    : content_(content), kind_(kind), header_(std::move(header)) {
    frames_ = content.FrameCount();
    framesPerSecond_ = std::max<int64_t>(content.rate.IsPositive() ? content.rate.Rounded() : 0, 1);
    framesPerPage_ = framesPerSecond_ * kSecondsAPage;
    rowsPerBlock_ = kind == SheetKind::TwoColumns ? framesPerPage_ / 2 : framesPerPage_;
    const std::size_t perPage = SpeakersPerPage();
    speakerSets_ = static_cast<int>(std::max<std::size_t>((content.speakers.size() + perPage - 1) / perPage, 1));
    const int64_t pages = frames_ <= 0 ? 0 : (frames_ + framesPerPage_ - 1) / framesPerPage_;
    timePages_ = static_cast<int>(std::min(pages, std::max<int64_t>(kMostPages / speakerSets_, 1)));
    pageCount_ = timePages_ * speakerSets_;
    frames_ = std::min(frames_, timePages_ * framesPerPage_);

    const auto size = static_cast<std::size_t>(frames_);
    actions_.assign(size, {});
    beats_.assign(size, {});
    barLines_.assign(size, 0);
    const auto frameOf = [&](int64_t sample) { return content.FrameOf(sample); };
    for (const TrackItem& mark : content.marks) {
        const int64_t f = frameOf(mark.start);
        if (f < frames_) Join(actions_[static_cast<std::size_t>(f)], mark.text);
    }
    for (const TrackItem& beat : content.beats) {
        const int64_t f = frameOf(beat.start);
        if (f >= frames_) continue;
        Join(beats_[static_cast<std::size_t>(f)], beat.text);
        if (beat.kind == "downbeat") barLines_[static_cast<std::size_t>(f)] = 1;
    }
    for (const SheetSpeaker& speaker : content.speakers) {
        speakerNames_.push_back(speaker.named ? speaker.name : std::string());
        SpeakerFrames s;
        s.words.assign(size, {});
        s.wordHeld.assign(size, 0);
        for (const TrackItem& word : speaker.words) {
            const int64_t first = frameOf(word.start);
            if (first >= frames_) continue;
            Join(s.words[static_cast<std::size_t>(first)], word.text);
            const int64_t last = std::min(frameOf(std::max(word.end, word.start + 1) - 1), frames_ - 1);
            for (int64_t f = first + 1; f <= last; ++f)
                if (s.words[static_cast<std::size_t>(f)].empty()) s.wordHeld[static_cast<std::size_t>(f)] = 1;
        }
        s.shapes = ShapesByFrame(speaker.mouths, content.rate, content.sampleRate, content.soundFrames,
                                 speaker.mouthSet.Rest());
        s.shapes.resize(size, speaker.mouthSet.Rest());
        speakers_.push_back(std::move(s));
    }
}

std::size_t SheetLayout::SpeakersPerPage() const {
    return kind_ == SheetKind::TwoColumns ? kSpeakersTwoColumns : kSpeakersOneColumn;
}

SheetRow SheetLayout::RowOf(int64_t frame, std::size_t firstSpeaker, std::size_t count) const {
    SheetRow row;
    row.frame = frame + 1;
    if (frame % framesPerSecond_ == 0) {
        row.second = std::to_string(frame / framesPerSecond_) + "s";
        row.secondLine = true;
    }
    if (frame % kFramesAFoot == 0) row.foot = std::to_string(frame / kFramesAFoot) + "'";
    const auto i = static_cast<std::size_t>(frame);
    row.action = actions_[i];
    row.beat = beats_[i];
    row.barLine = barLines_[i] != 0;
    for (std::size_t k = firstSpeaker; k < firstSpeaker + count; ++k) {
        const SpeakerFrames& s = speakers_[k];
        SheetRow::Speaker cell;
        cell.word = s.words[i];
        cell.wordHeld = s.wordHeld[i] != 0;
        const bool changed = i == 0 || s.shapes[i] != s.shapes[i - 1];
        if (changed) cell.mouth = s.shapes[i];
        cell.mouthHeld = !changed;
        row.speakers.push_back(std::move(cell));
    }
    return row;
}

SheetPage SheetLayout::Page(int number) const {
    SheetPage page;
    page.number = number;
    if (number < 1 || number > pageCount_) return page;
    page.header = "Scene " + header_.scene + " \xC2\xB7 Shot " + header_.shot + " \xC2\xB7 " + content_.soundName +
                  " \xC2\xB7 " + RateText(content_.rate) + " fps \xC2\xB7 Page " + std::to_string(number) + " of " +
                  std::to_string(pageCount_);
    // Which set of pages, so which characters, and which 6 seconds of it.
    const int set = (number - 1) / timePages_;
    const std::size_t firstSpeaker = static_cast<std::size_t>(set) * SpeakersPerPage();
    const std::size_t speakers = std::min(SpeakersPerPage(), speakers_.size() - std::min(firstSpeaker, speakers_.size()));
    page.speakerNames.assign(speakerNames_.begin() + static_cast<std::ptrdiff_t>(firstSpeaker),
                             speakerNames_.begin() + static_cast<std::ptrdiff_t>(firstSpeaker + speakers));
    if (speakerSets_ > 1)
        page.header += " \xC2\xB7 Characters " + std::to_string(firstSpeaker + 1) + "\xE2\x80\x93" +
                       std::to_string(firstSpeaker + speakers) + " of " + std::to_string(speakers_.size());
    const int64_t first = static_cast<int64_t>((number - 1) % timePages_) * framesPerPage_;
    const int64_t blocks = framesPerPage_ / rowsPerBlock_;
    for (int64_t b = 0; b < blocks; ++b) {
        SheetBlock block;
        const int64_t from = first + b * rowsPerBlock_;
        // Rows past the sound's end stay on the sheet, numbered and empty, as a printed form would have them.
        for (int64_t f = from; f < from + rowsPerBlock_; ++f) {
            if (f < frames_) {
                block.rows.push_back(RowOf(f, firstSpeaker, speakers));
            } else {
                SheetRow empty;
                empty.frame = f + 1;
                empty.speakers.resize(speakers);
                if (f % framesPerSecond_ == 0) {
                    empty.second = std::to_string(f / framesPerSecond_) + "s";
                    empty.secondLine = true;
                }
                if (f % kFramesAFoot == 0) empty.foot = std::to_string(f / kFramesAFoot) + "'";
                block.rows.push_back(std::move(empty));
            }
        }
        page.blocks.push_back(std::move(block));
    }
    return page;
}

} // namespace zv
