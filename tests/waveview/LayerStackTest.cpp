// The waveform box's layers: drawn in the order they were added, each on its
// surface (the waveform into the picture, the rest on screen); a layer is
// one line to add; lanes take their height off the waveform and line their
// items up with the frame grid.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "RecordingCanvas.h"
#include "common/FrameTime.h"
#include "document/Track.h"
#include "sound/SoundData.h"
#include "waveview/layers/FrameGridLayer.h"
#include "waveview/layers/LayerStack.h"
#include "waveview/layers/MarksLayer.h"
#include "waveview/layers/PlayLineLayer.h"
#include "waveview/layers/SelectionLayer.h"
#include "waveview/layers/TrackLaneLayer.h"
#include "waveview/layers/ViewColours.h"
#include "waveview/layers/WaveformLayer.h"

namespace zv {
namespace {

using test::Drawn;
using test::RecordingCanvas;

constexpr int32_t kRate = 48000;   // 1600 samples a frame at 30 fps
constexpr Rgb kProbeColour{1, 2, 3};

// 16-bit stereo of `frames` frames, a ramp in each channel.
SoundData Stereo(int32_t frames) {
    SoundData s;
    const auto bytes = static_cast<std::size_t>(frames) * 4;
    s.Samples.Allocate(bytes, bytes);
    for (int32_t i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>((i % 200) * 100 - 10000);
        std::memcpy(s.Samples.data() + static_cast<std::size_t>(i) * 4, &v, 2);
        std::memcpy(s.Samples.data() + static_cast<std::size_t>(i) * 4 + 2, &v, 2);
    }
    s.WavFormat = {1, 2, kRate, kRate * 4, 4, 16, 0};
    s.NumSamples = frames;
    s.ViewEnd = frames;
    s.WavLoaded = true;
    return s;
}

// A layer of a later issue, as small as one can be: a line at the left edge.
class ProbeLayer : public Layer {
public:
    explicit ProbeLayer(int lane = 0) : lane_(lane) {}
    int LaneHeight() const override { return lane_; }
    void Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) override {
        seenWaveHeight = scene.waveHeight;
        seenArea = area;
        canvas.Line(0, static_cast<float>(area.top), 0, static_cast<float>(area.Bottom()), kProbeColour);
    }
    int lane_;
    double seenWaveHeight = -1;
    LayerArea seenArea{-1, -1};
};

struct Scene {
    WaveView view;
    LayerScene scene{view};
    Scene(int64_t frames, int width, double height) {
        view.SetWidth(width);
        view.Reset(frames);
        scene.height = height;
        scene.sampleRate = kRate;
        scene.fps = 30;
        scene.transportReady = true;
        scene.pictureWidth = static_cast<float>(width * 15);
        scene.pictureHeight = static_cast<float>(height * 15);
    }
};

// Which layer drew a call, by its colour: 0 grid, 1 selection, 2 marks,
// 3 play line, 4 the probe; -1 anything else.
int LayerOf(const Drawn& d) {
    const Rgb c = d.pen.colour;
    if (c == kGridColour) return 0;
    if (c == kSelStartColour || c == kSelEndColour) return 1;
    if (c == kMarkColour) return 2;
    if (c == kPlayLineColour) return 3;
    if (c == kProbeColour) return 4;
    return -1;
}

TEST(LayerStack, DrawsItsLayersInTheOrderAddedEachOnItsSurface) {
    const SoundData sound = Stereo(kRate);   // 1 s, 30 frames of 20 px
    Track marks("Marks");
    marks.Add({8000, 8000, "ah", {}});
    marks.Add({16000, 19200, "range", {}});
    Scene s(kRate, 600, 200);
    s.scene.positionSample = 4800;
    s.scene.selStartSample = 3200;
    s.scene.selEndSample = 24000;

    // The window's stack, then a new layer in one line.
    LayerStack stack;
    stack.Emplace<WaveformLayer>(sound);
    stack.Emplace<FrameGridLayer>();
    stack.Emplace<SelectionLayer>();
    stack.Emplace<MarksLayer>(marks);
    stack.Emplace<PlayLineLayer>();
    ProbeLayer& probe = stack.Emplace<ProbeLayer>();
    ASSERT_EQ(stack.size(), 6u);

    RecordingCanvas screen;
    stack.DrawScreen(screen, s.scene);
    int last = 0;
    int seen[5] = {};
    for (const Drawn& d : screen.drawn) {
        const int layer = LayerOf(d);
        ASSERT_GE(layer, 0) << "a colour of no layer";
        EXPECT_GE(layer, last) << "layer " << layer << " drawn after layer " << last;
        last = std::max(last, layer);
        ++seen[layer];
    }
    EXPECT_EQ(seen[0], 31 + 31);   // frames 0..30 at 20 px: a line and a number each
    EXPECT_EQ(seen[1], 2);
    EXPECT_GE(seen[2], 4);   // two lines, a dotted end, a band, texts
    EXPECT_EQ(seen[3], 1);
    EXPECT_EQ(seen[4], 1);
    EXPECT_EQ(screen.clears, 0);
    EXPECT_EQ(screen.flushes, 1);
    // The play line in the column of its sample, across the box.
    const auto play = screen.Of(kPlayLineColour);
    ASSERT_EQ(play.size(), 1u);
    EXPECT_FLOAT_EQ(play[0].x1, 60.5f);
    EXPECT_FLOAT_EQ(play[0].y2, 200.0f);
    // Nothing of the waveform on screen; the picture holds the waveform only.
    EXPECT_TRUE(screen.Of({255, 0, 0}).empty());
    RecordingCanvas picture;
    stack.DrawPicture(picture, s.scene);
    EXPECT_EQ(picture.clears, 1);
    EXPECT_FALSE(picture.Of({255, 0, 0}).empty());
    EXPECT_FALSE(picture.Of({0, 255, 0}).empty());
    for (const Drawn& d : picture.drawn) EXPECT_EQ(LayerOf(d), -1);
    EXPECT_EQ(probe.seenWaveHeight, 200.0);   // no lanes: the waveform has the box
}

TEST(LayerStack, ALaneTakesItsHeightOffTheWaveformAndSharesTheGrid) {
    const SoundData sound = Stereo(kRate);
    Track words("Words");
    // Frame 7 runs from sample 11200 to 12800: a word from its middle into frame 8.
    words.Add({11700, 13700, "hello", {}});
    words.Add({40000, 40000, "", {}});   // a point: its one frame (25)
    Scene s(kRate, 600, 200);

    LayerStack stack;
    stack.Emplace<WaveformLayer>(sound);
    stack.Emplace<TrackLaneLayer>(words, 20);
    ProbeLayer& lower = stack.Emplace<ProbeLayer>(10);
    stack.Emplace<FrameGridLayer>();
    ProbeLayer& over = stack.Emplace<ProbeLayer>();

    const LayerStack::Layout layout = stack.LayOut(200);
    EXPECT_EQ(layout.waveHeight, 170);
    EXPECT_EQ(layout.lanes[1].top, 170);
    EXPECT_EQ(layout.lanes[1].height, 20);
    EXPECT_EQ(layout.lanes[2].top, 190);
    EXPECT_EQ(layout.lanes[2].height, 10);
    // Lanes that do not fit are cut at the bottom; the waveform keeps nothing.
    EXPECT_EQ(stack.LayOut(25).waveHeight, 0);
    EXPECT_EQ(stack.LayOut(25).lanes[2].height, 5);

    // The waveform (mono centre = picture height / 2; stereo upper = / 4) is
    // drawn in the top 170 of 200 pixels' worth of twips.
    RecordingCanvas picture;
    stack.DrawPicture(picture, s.scene);
    const auto red = picture.Of({255, 0, 0});
    ASSERT_FALSE(red.empty());
    float lowest = 0, highest = 1e9f;
    for (const auto& seg : picture.Of({0, 255, 0})) {
        lowest = std::max({lowest, seg.y1, seg.y2});
        highest = std::min({highest, seg.y1, seg.y2});
    }
    EXPECT_LE(lowest, 170.0f * 15);
    // Around 3/4 of the waveform's 2550 twips (upper centre 638), not of the box's 3000.
    EXPECT_NEAR((lowest + highest) / 2, 3 * 638, 8);

    RecordingCanvas screen;
    stack.DrawScreen(screen, s.scene);
    EXPECT_EQ(lower.seenArea.top, 190);
    EXPECT_EQ(over.seenArea.top, 0);
    EXPECT_EQ(over.seenArea.height, 200);
    EXPECT_EQ(over.seenWaveHeight, 170);
    // The word's box starts on the grid line of the frame holding its first
    // sample and ends on the line after the frame holding its last.
    const auto gridX = [&](int64_t frame) {
        for (const auto& seg : screen.Of(kGridColour))
            if (seg.x1 == static_cast<float>(FrameGridLayer::LineX(s.scene, frame))) return seg.x1;
        return -1.0f;
    };
    ASSERT_EQ(FrameOfSample(11700, s.scene.fps, kRate), 7);
    const TrackLaneLayer::Style style;
    std::vector<test::Fill> boxes;
    for (const auto& f : screen.fills)
        if (f.colour == style.fill) boxes.push_back(f);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].x1, gridX(7));
    EXPECT_EQ(boxes[0].x2, gridX(9));
    EXPECT_EQ(boxes[0].x1, 140.5f);
    EXPECT_EQ(boxes[1].x1, gridX(25));
    EXPECT_EQ(boxes[1].x2, gridX(26));
    EXPECT_GE(boxes[0].y1, 170.0f);
    EXPECT_LE(boxes[0].y2, 190.0f);
    // The grid runs through the lanes; the word's text is written in its box.
    EXPECT_EQ(screen.Of(kGridColour).front().y2, 200.0f);
    ASSERT_EQ(screen.texts.size(), 31u + 1);   // the grid's numbers, then the word (the grid lies over the lane)
    const test::Written& word = screen.texts.front();
    EXPECT_EQ(word.text, "hello");
    EXPECT_GT(word.x, boxes[0].x1);
    EXPECT_LE(word.x + word.maxWidth, boxes[0].x2);
}

} // namespace
} // namespace zv
