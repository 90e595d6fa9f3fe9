// The window's sheet actions on a real document: Export Selection as Sound
// writes the frames selected, Export XDTS asks its numbers and writes the
// mapping beside the sheet, and a sheet with nothing on it is told and not
// written.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <filesystem>

#include "FakeMediaDevice.h"
#include "TestSounds.h"
#include "../volume/VolumeFakes.h"
#include "document/SoundDocument.h"
#include "window/FileDialog.h"
#include "window/Platform.h"
#include "window/SheetsActions.h"

namespace zv {
namespace {

class ChosenPath : public FileDialog {
public:
    std::optional<std::string> ShowOpen(const std::string&, int) override { return std::nullopt; }
    std::optional<SaveChoice> ShowSave(const std::string&, int, const std::string&) override {
        if (path.empty()) return std::nullopt;
        return SaveChoice{path, 1};
    }
    std::string path;
};

struct Window {
    test::FakeMessageBox messages;
    ChosenPath files;
    test::FakeMediaDevice device;
    test::FakeMixer mixer;
    test::FakeStarter starter;
    Platform platform{messages, files, device, mixer, starter};
    SoundDocument document;
    std::pair<int32_t, int32_t> selection{0, 0};
    SheetsActions actions{{platform, document, [] { return FrameRate(30); }, [this] { return selection; },
                           [](const std::string&) { return MouthSet::PrestonBlair(); }, nullptr},
                          nullptr};
};

TEST(SheetsActions, ExportSelectionAsSoundWritesTheSelectedFrames) {
    test::TempDir dir;
    const std::string wav = dir.File("voice.wav");
    test::WriteWav(wav, 48000, 1, test::Tone(48000, 480000, 220, 0.3));
    Window w;
    w.document.Reset({wav, 48000, 480000, 1, {}});
    // Start 10, End 20 at 30 fps: the selection's ms as the sliders set them.
    w.selection = {333, 667};
    w.files.path = dir.File("shot.wav");
    ASSERT_TRUE(w.actions.ExportSelectionSound()) << (w.messages.shown.empty() ? "" : w.messages.shown[0]);
    SF_INFO info{};
    SNDFILE* shot = sf_open(w.files.path.c_str(), SFM_READ, &info);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(info.frames, 16000);
    sf_close(shot);
    w.actions.SetSilence(2, 0);
    ASSERT_TRUE(w.actions.ExportSelectionSound());
    shot = sf_open(w.files.path.c_str(), SFM_READ, &info);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(info.frames, 19200);
    sf_close(shot);
    // Never over the sound itself; an empty selection is told.
    w.files.path = wav;
    EXPECT_FALSE(w.actions.ExportSelectionSound());
    w.selection = {400, 400};
    EXPECT_FALSE(w.actions.ExportSelectionSound());
    EXPECT_EQ(w.messages.shown.size(), 2u);
}

TEST(SheetsActions, XdtsAsksItsNumbersAndNothingIsNotWritten) {
    test::TempDir dir;
    const std::string wav = dir.File("voice.wav");
    Window w;
    w.document.Reset({wav, 48000, 480000, 1, {}});
    const std::string xdts = dir.File("shot.xdts");
    SheetQuestion asked;
    int asks = 0;
    w.actions.SetAsk([&](const SheetQuestion& q) -> std::optional<SheetChoice> {
        asked = q;
        // A wrong cut first: told, and asked again.
        return SheetChoice{"1", ++asks == 1 ? "12345" : "12", SheetKind::OneColumn};
    });
    EXPECT_FALSE(w.actions.ExportXdts(xdts));
    EXPECT_EQ(asks, 0);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_NE(w.messages.shown[0].find("nothing to put on the sheet"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(xdts));

    w.document.Ensure(SoundDocument::kMouths).Assign({{0, 48000, "rest", ""}, {48000, 480000, "E", ""}});
    ASSERT_TRUE(w.actions.ExportXdts(xdts));
    EXPECT_EQ(asks, 2);
    EXPECT_NE(w.messages.shown.back().find("1 to 4 digits"), std::string::npos);
    // The dialog showed the numbers and that 30 fps must be set in the receiving program.
    EXPECT_TRUE(asked.details.contains(QStringLiteral("2\tE")));
    EXPECT_TRUE(asked.details.contains(QStringLiteral("30 frames a second")));
    EXPECT_NE(test::ReadText(xdts).find("\"cut\": \"12\""), std::string::npos);
    EXPECT_NE(test::ReadText(dir.File("shot.mouths.txt")).find("2\tE"), std::string::npos);
}

} // namespace
} // namespace zv
