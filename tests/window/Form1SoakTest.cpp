// A soak run of File > Open Wav File: one window opens a long row of files,
// good and bad, through the menu with a scripted dialog, the real media
// device and the real loader, playing a little now and then. Afterwards its
// memory, open files and threads are where they were after the first ten
// opens, every bad file said so exactly once, and the window shows the last
// good file with its selection reset.
#include <gtest/gtest.h>
#include <malloc.h>
#include <sndfile.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "TestSounds.h"
#include "common/Errors.h"
#include "playback/system/SoundFile.h"
#include "playback/ui/MediaControl.h"
#include "sound/WavLoader.h"
#include "window/Form1.h"
#include "window/Slider.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define __SANITIZE_ADDRESS__ 1
#endif
#endif

namespace zv {
namespace {

constexpr int kOpens = 1000;
#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer keeps freed blocks in quarantine (256 MB by default), so
// resident memory grows there without any leak and says nothing; its leak
// checker looks at every block still held when the test binary ends instead.
constexpr bool kCheckMemory = false;
#else
constexpr bool kCheckMemory = true;
#endif
// Resident memory may move this much between the two readings (allocator
// and font caches settling), far below what one leaked sound per open adds.
constexpr long kSlackKb = 4 * 1024;

long ResidentKb() {
    malloc_trim(0);
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

long Entries(const char* dir) {
    long n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

// A PCM WAV written by libsndfile: `format` one of SF_FORMAT_PCM_U8,
// PCM_16, PCM_24, FLOAT; a tone on every channel.
void WritePcm(const std::string& path, int32_t rate, int channels, int format, int64_t frames) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<float> data(static_cast<size_t>(frames * channels));
    for (int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            data[static_cast<size_t>(i * channels + c)] = static_cast<float>(
                0.5 * std::sin(2.0 * std::numbers::pi * (220.0 + 110.0 * c) * static_cast<double>(i) / rate + 0.3));
    sf_writef_float(file, data.data(), frames);
    sf_close(file);
}

// What opening one file must do, found from the two parts that open it: the
// playback device's decoder and the loader, each on its own.
struct Case {
    std::string path;
    bool deviceOpens = false;
    std::string loaderMessage;   // empty: the loader takes it
    int32_t frames = 0;          // NumSamples when loaded
    bool mustLoad = false;       // written here as a good WAV
    bool mustFail = false;       // not a sound at all
    bool Bad() const { return !deviceOpens || !loaderMessage.empty(); }
};

Case Probe(const std::string& path, bool mustLoad, bool mustFail) {
    Case c;
    c.path = path;
    c.mustLoad = mustLoad;
    c.mustFail = mustFail;
    try {
        SoundFile file(path);
        c.deviceOpens = true;
    } catch (const DeviceError&) {
    }
    SoundData sound;
    test::RecordingMessageBox box;
    ShowReport(box, LoadWavFile(sound, path));
    if (!box.texts.empty()) c.loaderMessage = box.texts.front();
    c.frames = sound.WavLoaded ? sound.NumSamples : 0;
    return c;
}

struct Form1Soak : ::testing::Test {
    test::FakePlatform fake;
    std::unique_ptr<Form1> form;
    test::TempDir dir;
    std::vector<Case> cases;

    void SetUp() override {
        form = std::make_unique<Form1>(fake.platform);
        form->show();
        QApplication::processEvents();
    }

    void Add(const std::string& path, bool mustLoad, bool mustFail) {
        cases.push_back(Probe(path, mustLoad, mustFail));
    }

    void MakeFiles() {
        // Good files of the formats the program draws, and two it only plays.
        struct Good { const char* name; int32_t rate; int channels; int format; int64_t frames; };
        const Good good[] = {
            {"mono8_8000.wav", 8000, 1, SF_FORMAT_PCM_U8, 4000},
            {"stereo8_11025.wav", 11025, 2, SF_FORMAT_PCM_U8, 3000},
            {"mono16_22050.wav", 22050, 1, SF_FORMAT_PCM_16, 11025},
            {"stereo16_44100.wav", 44100, 2, SF_FORMAT_PCM_16, 22050},
            {"stereo16_48000.wav", 48000, 2, SF_FORMAT_PCM_16, 12000},
            {"short16_44100.wav", 44100, 1, SF_FORMAT_PCM_16, 4410},
        };
        for (const Good& g : good) {
            WritePcm(dir.File(g.name), g.rate, g.channels, g.format, g.frames);
            Add(dir.File(g.name), true, false);
        }
        WritePcm(dir.File("mono24_44100.wav"), 44100, 1, SF_FORMAT_PCM_24, 8000);
        Add(dir.File("mono24_44100.wav"), false, false);
        WritePcm(dir.File("stereo_float_32000.wav"), 32000, 2, SF_FORMAT_FLOAT, 8000);
        Add(dir.File("stereo_float_32000.wav"), false, false);

        // The fuzz target's seeds: one file for each way a WAV breaks readers.
        std::vector<std::string> corpus;
        for (const auto& e : std::filesystem::directory_iterator(std::string(ZORVANE_SOURCE_DIR) + "/fuzz/corpus/wav"))
            corpus.push_back(e.path().string());
        std::sort(corpus.begin(), corpus.end());
        ASSERT_GE(corpus.size(), 20u);
        for (const std::string& path : corpus) Add(path, false, false);

        // Not sounds at all.
        test::WriteText(dir.File("notes.wav"), "not a sound\n");
        test::WriteText(dir.File("readme.txt"), std::string(5000, 'x'));
        test::WriteText(dir.File("riff_words.wav"), "RIFF then some words, WAVE and fmt  and data");
        test::WriteText(dir.File("empty.wav"), "");
        test::WriteText(dir.File("empty"), "");
        std::filesystem::create_directory(dir.File("folder.wav"));
        for (const char* name : {"notes.wav", "readme.txt", "riff_words.wav", "empty.wav", "empty", "folder.wav"})
            Add(dir.File(name), false, true);
        for (const char* name : {"missing.wav", "gone/missing.wav", "no such file"}) Add(dir.File(name), false, true);

        for (const Case& c : cases) {
            SCOPED_TRACE(c.path);
            if (c.mustLoad) {
                EXPECT_FALSE(c.Bad()) << c.loaderMessage;
            }
            if (c.mustFail) {
                EXPECT_TRUE(c.Bad());
            }
        }
    }

    // Plays from the start until the position moves (or a while has passed),
    // then stops; or, with toEnd, until the play ends by itself. A file
    // that is not a good one may fail to play; it must stop all the same.
    std::string PlayALittle(bool toEnd, bool mustStart = true) {
        MediaControl& mci = *form->MMControl1;
        mci.Button("Play")->click();
        if (mustStart && mci.Mode() != MediaControl::ModePlay) return "Play did not start";
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            if (toEnd ? mci.Mode() == MediaControl::ModeStop : mci.Position() > 0) break;
            QThread::msleep(5);
        }
        if (!toEnd) mci.Button("Stop")->click();
        QApplication::processEvents();
        if (mci.Mode() != MediaControl::ModeStop) return "still playing after Stop";
        if (fake.device->IsPlaying()) return "the device still plays after Stop";
        return {};
    }

    // Opens one file through the menu and checks what it must have done.
    std::string OpenAndCheck(const Case& c) {
        const std::string fileBefore = form->WavFileName;
        const QString labelBefore = form->LabFilePath->text();
        const bool loadedBefore = form->Sound.WavLoaded;
        const int32_t framesBefore = form->Sound.NumSamples;
        const int32_t endBefore = form->SelEndMs;
        const size_t messagesBefore = fake.messages.texts.size();

        fake.fileDialog.answer = c.path;
        form->MnuOpen->trigger();
        QApplication::processEvents();

        std::ostringstream fault;
        const std::vector<std::string>& texts = fake.messages.texts;
        const size_t said = texts.size() - messagesBefore;
        if (said != (c.Bad() ? 1u : 0u)) fault << said << " messages; ";
        if (!c.deviceOpens) {
            if (said == 1 && texts.back().rfind("Couldn't open " + c.path + ": ", 0) != 0)
                fault << "message \"" << texts.back() << "\"; ";
            // The file open before stays open and shown.
            if (form->WavFileName != fileBefore || form->LabFilePath->text() != labelBefore)
                fault << "a refused file replaced the open one; ";
            if (form->Sound.WavLoaded != loadedBefore || form->Sound.NumSamples != framesBefore ||
                form->SelEndMs != endBefore)
                fault << "a refused file changed the loaded sound or the selection; ";
        } else {
            if (!c.loaderMessage.empty() && said == 1 && texts.back() != c.loaderMessage)
                fault << "message \"" << texts.back() << "\" instead of \"" << c.loaderMessage << "\"; ";
            if (form->WavFileName != c.path || form->LabFilePath->text().toStdString() != c.path)
                fault << "path not shown; ";
            if (form->Sound.WavLoaded != c.loaderMessage.empty()) fault << "WavLoaded wrong; ";
            if (c.loaderMessage.empty() && form->Sound.NumSamples != c.frames)
                fault << "NumSamples " << form->Sound.NumSamples << " not " << c.frames << "; ";
            if (form->Sound.ViewStart != 0 || form->Sound.ViewEnd != form->Sound.NumSamples)
                fault << "view not the whole sound; ";
            if (form->SelStartMs != 0 || form->SelEndMs != form->MMControl1->Length())
                fault << "selection " << form->SelStartMs << ".." << form->SelEndMs << " not reset to the length "
                      << form->MMControl1->Length() << "; ";
            if (form->MMControl1->Mode() != MediaControl::ModeStop)
                fault << "mode " << form->MMControl1->Mode() << "; ";
        }
        return fault.str();
    }
};

TEST_F(Form1Soak, ThousandOpensKeepMemoryHandlesThreadsAndState) {
    MakeFiles();
    if (HasFatalFailure()) return;
    const Case* last = nullptr;   // the good file opened first, tenth and last
    for (const Case& c : cases)
        if (c.mustLoad && c.deviceOpens) {
            last = &c;
            break;
        }
    ASSERT_NE(last, nullptr);

    // A fixed shuffle of the files, the same on every run.
    std::mt19937 random(20240611);
    std::uniform_int_distribution<size_t> pick(0, cases.size() - 1);
    std::vector<const Case*> row(kOpens);
    for (const Case*& c : row) c = &cases[pick(random)];
    row[0] = row[9] = row[kOpens - 1] = last;
    row[kOpens - 2] = &cases.back();   // a missing file right before the last

    long rssAfterTen = 0, fdsAfterTen = 0, threadsAfterTen = 0;
    int bad = 0, plays = 0;
    for (int i = 0; i < kOpens; ++i) {
        const Case& c = *row[static_cast<size_t>(i)];
        const std::string fault = OpenAndCheck(c);
        ASSERT_TRUE(fault.empty()) << "open " << i << " of " << c.path << ": " << fault;
        if (c.Bad()) ++bad;
        // Now and then play a little of what opened, sometimes to its end;
        // once among the first ten, so that the output's first use is paid
        // for before the counts are taken.
        if (c.deviceOpens && form->MMControl1->Length() > 0 && (i == 0 || i % 23 == 5)) {
            const std::string played =
                PlayALittle(c.mustLoad && i % 4 == 0 && form->MMControl1->Length() < 600, c.mustLoad);
            ASSERT_TRUE(played.empty()) << "open " << i << " of " << c.path << ": " << played;
            ++plays;
        }
        if (i == 9) {
            rssAfterTen = ResidentKb();
            fdsAfterTen = Entries("/proc/self/fd");
            threadsAfterTen = Entries("/proc/self/task");
        }
    }
    EXPECT_EQ(fake.messages.texts.size(), static_cast<size_t>(bad));
    EXPECT_GT(bad, kOpens / 4);
    EXPECT_GT(plays, 10);

    // The last good file is open, drawn whole, its selection reset.
    const int32_t length = form->MMControl1->Length();
    EXPECT_EQ(form->WavFileName, last->path);
    EXPECT_EQ(form->LabFilePath->text().toStdString(), last->path);
    EXPECT_TRUE(form->Sound.WavLoaded);
    EXPECT_EQ(form->Sound.NumSamples, last->frames);
    EXPECT_EQ(form->Sound.ViewEnd, last->frames);
    EXPECT_EQ(length, 500);   // 4000 frames at 8000 a second
    EXPECT_EQ(form->SelStartMs, 0);
    EXPECT_EQ(form->SelEndMs, length);
    EXPECT_EQ(form->ScrollEnd->maximum(), 15);
    EXPECT_EQ(form->ScrollEnd->value(), 15);
    EXPECT_EQ(form->ScrollStart->maximum(), 15);
    EXPECT_EQ(form->MMControl1->Mode(), MediaControl::ModeStop);
    // It still plays.
    EXPECT_EQ(PlayALittle(false), "");

    // Handles and threads: what the play's output and reader started has
    // ended (given a moment to wind down).
    QElapsedTimer t;
    t.start();
    long fds = Entries("/proc/self/fd"), threads = Entries("/proc/self/task");
    while ((fds > fdsAfterTen || threads > threadsAfterTen) && t.elapsed() < 3000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(50);
        fds = Entries("/proc/self/fd");
        threads = Entries("/proc/self/task");
    }
    EXPECT_LE(fds, fdsAfterTen);
    EXPECT_LE(threads, threadsAfterTen);

    const long rss = ResidentKb();
    RecordProperty("rss_after_ten_kb", std::to_string(rssAfterTen));
    RecordProperty("rss_after_all_kb", std::to_string(rss));
    std::printf("soak: %d opens (%d bad, %d plays); RSS %ld kB after ten, %ld kB after all; "
                "fds %ld/%ld; threads %ld/%ld\n",
                kOpens, bad, plays, rssAfterTen, rss, fdsAfterTen, fds, threadsAfterTen, threads);
    if (kCheckMemory) {
        EXPECT_LE(rss, rssAfterTen + kSlackKb);
    }
}

} // namespace
} // namespace zv
