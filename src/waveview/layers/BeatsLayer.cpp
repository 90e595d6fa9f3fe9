#include "waveview/layers/BeatsLayer.h"

#include <algorithm>
#include <string_view>
#include <cmath>
#include <limits>

#include "beats/BeatTrack.h"
#include "beats/FramesPerBeat.h"
#include "document/SoundDocument.h"

namespace zv {

namespace {

// White lines stand apart from the traces, the marks' cyan, the grid's
// lilac and the play line's amber; the numbers are a warm orange.
constexpr Rgb kBeatColour{255, 255, 255};
constexpr Rgb kNumberColour{255, 190, 90};
constexpr Rgb kReadoutColour{255, 225, 170};
// The numbers of unsure beats, faded toward the box's dark ground.
constexpr Rgb kUnsureNumberColour{128, 95, 45};

bool IsDownbeat(const TrackItem& item) { return item.kind.rfind("downbeat", 0) == 0; }
// A beat the finder was unsure of ("beat unsure", "downbeat unsure").
bool IsUnsure(const TrackItem& item) {
    const std::string_view kind = item.kind, unsure = " unsure";
    return kind.size() >= unsure.size() && kind.substr(kind.size() - unsure.size()) == unsure;
}

} // namespace

const std::string& BeatsLayer::Readout(FrameRate fps) {
    const Track* beats = document_.Find(SoundDocument::kBeats);
    if (!beats || beats->empty() || document_.Info().sampleRate <= 0) {
        readoutTrack_ = nullptr;
        readout_.clear();
        return readout_;
    }
    if (beats != readoutTrack_ || beats->Revision() != readoutRevision_ || !(fps == readoutRate_)) {
        readoutTrack_ = beats;
        readoutRevision_ = beats->Revision();
        readoutRate_ = fps;
        const BeatAnalysis analysis = AnalysisOfBeatItems(beats->Items(), document_.Info().sampleRate);
        readout_ = fps.IsPositive() && analysis.steady ? BeatReadout(analysis, fps) : std::string();
    }
    return readout_;
}

void BeatsLayer::Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) {
    const Track* track = document_.Find(SoundDocument::kBeats);
    const WaveView& view = scene.view;
    const int width = view.Width();
    if (!track || track->empty() || view.Span() <= 0 || width <= 0 || area.height <= 0) return;
    const auto top = static_cast<float>(area.top), bottom = static_cast<float>(area.Bottom());
    const auto column = [&](int64_t sample) {
        const double x = std::floor(view.PixelOf(sample));
        return static_cast<int>(std::clamp(x, -2.0, static_cast<double>(width) + 1.0));
    };
    const Pen beatPen{kBeatColour, kBeatAlpha, false};
    const Pen downbeatPen{kBeatColour, kDownbeatAlpha, false};
    const Pen unsureBeatPen{kBeatColour, kUnsureBeatAlpha, false};
    const Pen unsureDownbeatPen{kBeatColour, kUnsureDownbeatAlpha, false};
    // Numbers on the second row of text from the top, under the marks'
    // texts (the box's bottom edge lies under the panel's top band); the
    // readout on the third, at the right.
    const float row = canvas.TextAscent(TextFont::Small) + 4;
    const float baseline = top + 4 + 2 * row - 4;

    const std::vector<TrackItem>& beats = track->Items();
    // The beats' spacing on screen decides whether every beat is numbered,
    // or only the bars.
    int lastLine = std::numeric_limits<int>::min();
    bool lastWasDownbeat = false;
    int lastText = -kMinTextGap - 1;   // the column of the last number written
    const std::size_t first = track->FirstAtOrAfter(view.Start());
    for (std::size_t i = first > 0 ? first - 1 : 0; i < beats.size(); ++i) {
        const TrackItem& b = beats[i];
        const int x = column(b.start);
        if (x >= width) break;
        if (x < 0) continue;
        const bool down = IsDownbeat(b);
        // One line a column; a downbeat wins its column.
        if (x != lastLine || (down && !lastWasDownbeat)) {
            const float mid = static_cast<float>(x) + 0.5f;
            const bool unsure = IsUnsure(b);
            canvas.PenLine(mid, top, mid, bottom,
                           down ? (unsure ? unsureDownbeatPen : downbeatPen) : (unsure ? unsureBeatPen : beatPen));
            lastLine = x;
            lastWasDownbeat = down;
        }
        if (b.text.empty() || x - lastText < kMinTextGap) continue;
        // The room up to the next beat on another column.
        int next = width;
        for (std::size_t k = i + 1; k < beats.size(); ++k) {
            const int nx = column(beats[k].start);
            if (nx > x) {
                next = std::min(nx, width);
                break;
            }
        }
        // Room for "bar.beat", else (on a downbeat) for the bar's number alone.
        const int room = next - x - 2 * kTextMargin;
        std::string label;
        if (room >= kMinTextGap + 8)
            label = b.text;
        else if (down && room >= kMinTextGap - 2 * kTextMargin)
            label = b.text.substr(0, b.text.find('.'));
        else
            continue;
        canvas.Text(static_cast<float>(x + kTextMargin), baseline, label, IsUnsure(b) ? kUnsureNumberColour : kNumberColour,
                    TextFont::Small, static_cast<float>(room));
        lastText = x;
    }

    const std::string& readout = Readout(scene.fps);
    if (!readout.empty()) {
        const float w = canvas.TextWidth(readout, TextFont::Small);
        const float x = std::max(static_cast<float>(kTextMargin), static_cast<float>(width) - w - 2 * kTextMargin);
        const float y = baseline + row;
        canvas.FillBox(x - kTextMargin, y - canvas.TextAscent(TextFont::Small) - 2, x + w + kTextMargin, y + 4,
                       {0, 0, 0}, 150);
        canvas.Text(x, y, readout, kReadoutColour, TextFont::Small, w + 1);
    }
}

} // namespace zv
