#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "common/Errors.h"
#include "session/Session.h"

using namespace zv;

namespace {

// Records the changes a session announces.
struct Recorder {
    std::vector<Session::Change> seen;
    explicit Recorder(Session& s) {
        s.Subscribe([this](Session::Change c) { seen.push_back(c); });
    }
};

} // namespace

TEST(Session, EachChangeIsAnnouncedOnceAndAnUnchangedValueNotAtAll) {
    Session s;
    Recorder r(s);
    s.SetRate(25);
    s.SetRate(25);
    s.SetSelection(10, 20);
    s.SetSelection(10, 20);
    s.SetSelectionStart(10);
    s.SetPosition(5);
    s.SetView(0, 100);
    s.SetSpeed(0.5);
    s.SetSpeed(0.0);   // refused
    s.SetLoop(true);
    s.SetSnap(true);
    s.SetSnap(true);
    using C = Session::Change;
    EXPECT_EQ(r.seen, (std::vector<C>{C::Rate, C::Selection, C::Position, C::View, C::Speed, C::Loop, C::Snap}));
    EXPECT_EQ(s.Speed(), 0.5);
}

TEST(Session, AListenerThatThrowsDoesNotStopTheOthersOrTheSetter) {
    Session s;
    s.Subscribe([](Session::Change) { throw std::runtime_error("broken view"); });
    Recorder r(s);
    EXPECT_NO_THROW(s.SetRate(24));
    EXPECT_EQ(s.Rate(), 24);
    EXPECT_EQ(r.seen.size(), 1u);

    // A listener that unsubscribes itself while it runs.
    int id = 0, calls = 0;
    id = s.Subscribe([&](Session::Change) {
        ++calls;
        s.Unsubscribe(id);
    });
    s.SetRate(25);
    s.SetRate(30);
    EXPECT_EQ(calls, 1);
}

TEST(Session, TheMsViewsAreExactOnTheMsClockAndRoundTripAtSoundRates) {
    Session s;   // no sound: a sample is a millisecond
    s.SetSelectionMs(INT32_MIN, INT32_MAX);
    EXPECT_EQ(s.SelectionStartMs(), INT32_MIN);
    EXPECT_EQ(s.SelectionEndMs(), INT32_MAX);
    for (int32_t rate : {8000, 44100, 48000, 96000}) {
        s.SetSound(rate, 10 * rate);
        EXPECT_EQ(s.SelectionStartMs(), INT32_MIN) << rate;   // kept across the new clock
        for (int32_t ms : {0, 1, 33, 1500, 2147483, INT32_MAX}) {
            s.SetSelectionEndMs(ms);
            EXPECT_EQ(s.SelectionEndMs(), ms) << rate;
        }
    }
    s.SetSound(44100, 44100);
    s.SetSelectionStartMs(1000);
    EXPECT_EQ(s.SelectionStart(), 44100);
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(s.ViewEnd(), 44100);
    s.SetSound(0, 123);   // unknown rate: the ms clock
    EXPECT_EQ(s.SampleRate(), Session::kMsClock);
    EXPECT_EQ(s.SelectionStart(), 1000);
}

TEST(Session, AFramesFirstSampleStandsOnThatFrameAtWholeAndNtscRates) {
    Session s;
    for (int32_t sampleRate : {1000, 8000, 44100, 48000}) {
        s.SetSound(sampleRate, 60 * sampleRate);
        for (FrameRate rate : {FrameRate(24), FrameRate(25), FrameRate(30), FrameRate::Fraction(30000, 1001),
                               FrameRate::Fraction(24000, 1001)}) {
            s.SetRate(rate);
            for (int64_t f : {0, 1, 2, 89, 1000, 1799}) {
                EXPECT_EQ(s.FrameAt(s.FrameStart(f)), f) << rate << " at " << sampleRate;
                if (f > 0) {
                    EXPECT_EQ(s.FrameAt(s.FrameStart(f) - 1), f - 1) << rate << " at " << sampleRate;
                }
            }
        }
    }
}

TEST(Session, FrameFiguresWithoutAUsableRateOrBeyondThirtyTwoBits) {
    Session s;
    s.SetSelectionMs(1500, 2500);
    s.SetRate(0);
    EXPECT_EQ(s.FrameAt(s.SelectionStart()), 0);
    EXPECT_EQ(s.FrameStart(10), 0);
    s.SetRate(-30);
    EXPECT_EQ(s.FrameAt(s.SelectionStart()), -45);
    s.SetRate(30);
    s.SetSelectionEndMs(75000000);   // 30 x 75,000,000 leaves 32 bits
    EXPECT_THROW(s.FrameAt(s.SelectionEnd()), OverflowError);
    EXPECT_EQ(s.WholeRate(), 30);
    s.SetRate(FrameRate::Fraction(30000, 1001));
    EXPECT_EQ(s.WholeRate(), 30);
    s.SetRate(100000);
    EXPECT_EQ(s.WholeRate(), 32767);
}
