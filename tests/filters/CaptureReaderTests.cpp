// CaptureReader against a device and a clock of the test's (FakeSoundCard): what a recording
// keeps when the device goes away and comes back, when it runs faster than its nominal rate,
// when it cannot be opened, when the watchdog reads a time older than the last sound or the
// machine holds it up, and when its thread does not answer a command in time.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "filters/wine/audiocapture/CaptureReader.h"
#include "tests/filters/FakeSoundCard.h"

using audiocapture::CaptureReader;

namespace {

constexpr DWORD kRate = 44100;

class RecordingSink final : public audiocapture::CaptureSink {
public:
    void OnCaptured(const BYTE* data, DWORD bytes, bool, double agoMs) noexcept override {
        std::lock_guard lock(m_lock);
        const auto* frames = reinterpret_cast<const uint32_t*>(data);
        m_frames.insert(m_frames.end(), frames, frames + bytes / sizeof(uint32_t));
        if (now) {
            pieces.push_back({now() - agoMs, bytes * 1000.0 / (kRate * 4)});
        }
    }
    void OnSentUntil(double agoMs) noexcept override {
        if (now) {
            sentUntilMs.push_back(now() - agoMs);
        }
    }
    void OnDeviceLost() noexcept override { ++lost; }
    void OnDeviceBack() noexcept override { ++back; }
    std::vector<uint32_t> Frames() {
        std::lock_guard lock(m_lock);
        return m_frames;
    }
    std::atomic<int> lost{0};
    std::atomic<int> back{0};
    std::function<double()> now;
    // When each piece's first frame was captured, as the reader tells it, and its length.
    struct Piece {
        double capturedMs, lengthMs;
    };
    std::vector<Piece> pieces;
    // The clicks each Stop or Pause told all sound was sent up to.
    std::vector<double> sentUntilMs;

private:
    std::mutex m_lock;
    std::vector<uint32_t> m_frames;
};

// Whether `frames` are `count` frames (give or take two) of the first handle, in order from its
// first.
testing::AssertionResult FirstHandleInOrder(const std::vector<uint32_t>& frames, uint64_t count) {
    if (frames.size() + 2 < count || frames.size() > count + 2) {
        return testing::AssertionFailure()
               << frames.size() << " frames kept, " << count << " expected";
    }
    for (size_t i = 0; i < frames.size(); ++i) {
        if (frames[i] != FakeSoundCard::kHandleStep + i) {
            return testing::AssertionFailure()
                   << "frame " << i << " is 0x" << std::hex << frames[i];
        }
    }
    return testing::AssertionSuccess();
}

bool WaitFor(const std::atomic<int>& value, int atLeast) {
    for (int i = 0; i < 300 && value < atLeast; ++i) {
        Sleep(10);
    }
    return value >= atLeast;
}

class CaptureReaderTest : public testing::Test {
protected:
    CaptureReaderTest() {
        WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, kRate, kRate * 4, 4, 16, 0};
        auto card = m_card;
        m_reader = std::make_unique<CaptureReader>(
            m_sink, format, [card](HANDLE event) { return card->MakeDevice(event); },
            [card] { return card->Now(); });
    }
    ~CaptureReaderTest() override { CaptureReader::Discard(std::move(m_reader)); }

    void Record() {
        ASSERT_EQ(m_reader->Open(), S_OK);
        ASSERT_EQ(m_reader->Arm(), S_OK);
        ASSERT_EQ(m_reader->Start(), S_OK);
    }
    // Half-second steps: the watchdog never sees a second without sound between them.
    void Capture(double seconds) {
        for (double done = 0; done < seconds; done += 0.5) {
            ASSERT_TRUE(m_card->Advance(500));
        }
    }

    std::shared_ptr<FakeSoundCard> m_card = std::make_shared<FakeSoundCard>(kRate);
    RecordingSink m_sink;
    std::unique_ptr<CaptureReader> m_reader;
};

// The reader's thread sits in a collecting call while the source goes away, as it does inside
// winmm: the half second it then hands over was captured before the loss. The handle reopened
// after it (PipeWire would move it to the default source) gives the take nothing, also
// after a pause and a resume.
TEST_F(CaptureReaderTest, ALossKeepsWhatCameBeforeItAndNothingAfter) {
    Record();
    Capture(3);
    m_card->Block(true);
    ASSERT_TRUE(m_card->Advance(500));
    m_card->CutOff(true);
    ASSERT_TRUE(m_card->Advance(CaptureReader::kStallMs));
    ASSERT_TRUE(WaitFor(m_sink.lost, 1));
    m_card->Block(false);
    for (int i = 0; i < 300 && m_card->Opens() < 2; ++i) {
        Sleep(10);
    }
    m_card->CutOff(false);
    Capture(2);
    ASSERT_TRUE(WaitFor(m_sink.back, 1));
    EXPECT_EQ(m_card->Opens(), 2);
    ASSERT_EQ(m_reader->Pause(), S_OK);
    ASSERT_EQ(m_reader->Start(), S_OK);
    Capture(1);
    ASSERT_EQ(m_reader->Stop(), S_OK);
    EXPECT_TRUE(FirstHandleInOrder(m_sink.Frames(), kRate * 7 / 2));
}

// Its sound arrives late, and a Stop placed at the nominal rate took the last of it for sound
// after the click.
TEST_F(CaptureReaderTest, ADeviceFasterThanNominalLosesNothing) {
    m_card->SetSpeed(1.001);
    m_card->SetLatency(200);
    Record();
    Capture(100);
    ASSERT_EQ(m_reader->Stop(), S_OK);
    EXPECT_TRUE(FirstHandleInOrder(m_sink.Frames(), uint64_t{kRate} * 100100 / 1000));
}

// Pieces of it are dropped upstream, as Wine's waveIn drops them on a loaded machine: a Stop
// placed at the nominal rate waited for as much sound as the clicks span and kept sound from
// after the click in their place.
TEST_F(CaptureReaderTest, SoundDroppedUpstreamIsNotMadeUpFromAfterTheClick) {
    constexpr uint64_t kDropMs = 70, kDrops = 17;
    Record();
    for (uint64_t second = 0; second < 20; ++second) {
        if (second >= 1 && second <= kDrops) {
            m_card->Drop(kDropMs);
        }
        Capture(1);
    }
    std::thread stopper([&] { EXPECT_EQ(m_reader->Stop(), S_OK); });
    Sleep(100);
    Capture(2);
    stopper.join();
    const std::vector<uint32_t> frames = m_sink.Frames();
    const uint64_t clicked = kRate * 20, dropped = kDrops * (kRate * kDropMs / 1000);
    ASSERT_FALSE(frames.empty());
    EXPECT_LE(frames.back() - FakeSoundCard::kHandleStep, clicked + 2);
    EXPECT_GE(frames.size() + 2, clicked - dropped);
}

// Beside other work the sound system may fall behind for seconds and catch up after the click:
// that sound was late, not dropped, and the take keeps it up to the click.
TEST_F(CaptureReaderTest, SoundOwedAtTheClickIsKeptWhenItComes) {
    Record();
    Capture(6);
    m_card->SetCountLag(300);
    Capture(3);
    std::thread stopper([&] { EXPECT_EQ(m_reader->Stop(), S_OK); });
    Sleep(100);
    m_card->SetCountLag(0);
    stopper.join();
    EXPECT_TRUE(FirstHandleInOrder(m_sink.Frames(), kRate * 9));
}

// A sink stamps each piece by how long ago it was captured: the pieces must follow each other
// from the device's start, however late the sound system hands them over, and the Stop tells
// when its click was, so that the sink need not wait for sound that will not come.
TEST_F(CaptureReaderTest, EachPieceIsToldWhenItWasCaptured) {
    m_card->SetLatency(200);
    m_sink.now = [card = m_card] { return card->Now(); };
    const double startMs = m_card->Now();
    Record();
    Capture(2);
    const double stopMs = m_card->Now();
    ASSERT_EQ(m_reader->Stop(), S_OK);
    ASSERT_EQ(m_sink.sentUntilMs.size(), 1u);
    EXPECT_NEAR(m_sink.sentUntilMs[0], stopMs, 1);
    const auto& pieces = m_sink.pieces;
    ASSERT_GT(pieces.size(), 2u);
    EXPECT_NEAR(pieces[0].capturedMs, startMs, 1);
    for (size_t i = 1; i < pieces.size(); ++i) {
        EXPECT_NEAR(pieces[i].capturedMs, pieces[i - 1].capturedMs + pieces[i - 1].lengthMs, 1)
            << "piece " << i;
    }
}

// Wine's waveIn hands over sound from before a restart, more than a buffer of it at times:
// none of it joins the take but for a couple of milliseconds of the clock's slack.
TEST_F(CaptureReaderTest, SoundFromBeforeARestartIsDropped) {
    m_card->SetStaleOnRestart(150);
    Record();
    Capture(1);
    ASSERT_EQ(m_reader->Stop(), S_OK);
    const size_t first = m_sink.Frames().size();
    ASSERT_EQ(m_reader->Arm(), S_OK);
    ASSERT_TRUE(m_card->Advance(50));
    ASSERT_EQ(m_reader->Start(), S_OK);
    Capture(1);
    ASSERT_EQ(m_reader->Stop(), S_OK);
    const std::vector<uint32_t> frames = m_sink.Frames();
    const double slack = kRate * 3 / 1000.0;
    EXPECT_LE(std::count(frames.begin(), frames.end(), FakeSoundCard::kStaleFrame), slack);
    EXPECT_NEAR(static_cast<double>(frames.size() - first), kRate * 1.05, slack + 2);
}

// Reported while the filter runs, in a graph that tells the window.
TEST_F(CaptureReaderTest, ADeviceThatCannotOpenIsReportedWhenTheTakeStarts) {
    m_card->FailOpen(true);
    ASSERT_EQ(m_reader->Open(), S_OK);
    ASSERT_EQ(m_reader->Arm(), S_OK);
    Sleep(200);
    const int before = m_sink.lost;
    m_reader->Start();
    EXPECT_TRUE(WaitFor(m_sink.lost, before + 1));
    m_reader->Stop();
}

// The watchdog's reading of the clock can be older than the last sound's.
TEST_F(CaptureReaderTest, AClockReadBeforeTheLastSoundIsNoStall) {
    Record();
    Capture(1);
    m_card->SetClock(m_card->Now() - 50);
    Sleep(400);
    EXPECT_EQ(m_sink.lost, 0);
    m_reader->Stop();
}

// A loaded machine holds Wine's capture up for over a second, and then it hands everything
// over: no loss, nothing missing.
TEST_F(CaptureReaderTest, AStallOfALoadedMachineIsNoLoss) {
    Record();
    Capture(1);
    m_card->Block(true);
    ASSERT_TRUE(m_card->Advance(2000));
    Sleep(300);
    m_card->Block(false);
    Capture(1);
    ASSERT_EQ(m_reader->Stop(), S_OK);
    EXPECT_EQ(m_sink.lost, 0);
    EXPECT_TRUE(FirstHandleInOrder(m_sink.Frames(), kRate * 4));
}

// A failed state change strands Wine's graph: a capture thread that does not answer in time
// (here it sits in a collecting call) is no failure.
TEST_F(CaptureReaderTest, ACommandThatTimesOutIsAnsweredOk) {
    Record();
    m_card->Block(true);
    ASSERT_TRUE(m_card->Advance(500));
    EXPECT_EQ(m_reader->Pause(), S_OK);
    m_card->Block(false);
}

} // namespace
