// WriteQueue: a live push never waits for a stalled target, a push that can wait is held for
// room and never becomes a gap, everything reaches the target in order, what does not fit a
// live push becomes a gap in its place, the target's failure is handed back, and Stop refuses
// pushes and ends within its bound whatever the target does.
#include <gtest/gtest.h>

#include <vfwmsgs.h>

#include <chrono>
#include <cstring>
#include <future>
#include <mutex>
#include <string>

#include "filters/wavdest/WriteQueue.h"

using wavdest::WriteQueue;
using Overflow = WriteQueue::Overflow;

namespace {

// Records what it is given as text ("ab" for data, "[3]" for a gap of 3), and can be held.
class RecordingTarget : public WriteQueue::Target {
public:
    RecordingTarget() : m_release(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
    ~RecordingTarget() { CloseHandle(m_release); }
    void Hold() { ResetEvent(m_release); }
    void Release() { SetEvent(m_release); }
    std::string Written() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_written;
    }
    HRESULT failWith = S_OK;

    HRESULT WriteQueued(const uint8_t* data, size_t bytes) noexcept override {
        WaitForSingleObject(m_release, INFINITE);
        std::lock_guard<std::mutex> lock(m_lock);
        m_written.append(reinterpret_cast<const char*>(data), bytes);
        return failWith;
    }
    HRESULT WriteGap(uint64_t bytes) noexcept override {
        std::lock_guard<std::mutex> lock(m_lock);
        m_written.append(1, '[').append(std::to_string(bytes)).append(1, ']');
        return S_OK;
    }

private:
    HANDLE m_release;
    std::mutex m_lock;
    std::string m_written;
};

HRESULT Push(WriteQueue& queue, const char* text, Overflow overflow = Overflow::Silence) {
    return queue.Push(reinterpret_cast<const uint8_t*>(text), strlen(text), overflow);
}

// A push of its own thread, for one that waits.
std::future<HRESULT> PushAside(WriteQueue& queue, const char* text) {
    return std::async(std::launch::async,
                      [&queue, text] { return Push(queue, text, Overflow::Wait); });
}

bool Waiting(std::future<HRESULT>& push) {
    return push.wait_for(std::chrono::milliseconds(200)) == std::future_status::timeout;
}

TEST(WriteQueue, AStalledTargetHoldsNoPushAndGetsEverythingInOrder) {
    RecordingTarget target;
    WriteQueue queue(target);
    ASSERT_EQ(queue.Start(1024), S_OK);
    target.Hold();
    ULONGLONG before = GetTickCount64();
    for (const char* text : {"one ", "two ", "three"}) {
        EXPECT_EQ(Push(queue, text), S_OK);
    }
    EXPECT_LT(GetTickCount64() - before, 500u);
    EXPECT_FALSE(queue.Flush(50));
    target.Release();
    EXPECT_TRUE(queue.Flush(5000));
    EXPECT_EQ(target.Written(), "one two three");
}

// An 8-byte queue whose target is held, filled by two pushes of 4 bytes.
class FullQueue : public testing::Test {
protected:
    void Fill(Overflow overflow) {
        ASSERT_EQ(queue.Start(8), S_OK);
        target.Hold();
        EXPECT_EQ(Push(queue, "abcd", overflow), S_OK);
        EXPECT_EQ(Push(queue, "efgh", overflow), S_OK);
    }

    RecordingTarget target;
    WriteQueue queue{target};
};

TEST_F(FullQueue, WhatDoesNotFitBecomesAGapInItsPlace) {
    Fill(Overflow::Silence);
    EXPECT_EQ(Push(queue, "ijk"), S_FALSE);
    EXPECT_EQ(Push(queue, "lm"), S_FALSE);
    target.Release();
    ASSERT_TRUE(queue.Flush(5000));
    EXPECT_EQ(Push(queue, "no"), S_OK);
    queue.Stop(5000);
    // The bytes with the held target still count against the room.
    EXPECT_EQ(target.Written(), "abcdefgh[5]no");
    EXPECT_EQ(queue.GapBytes(), 5u);
}

TEST_F(FullQueue, APushThatCanWaitIsHeldForRoomAndNothingIsReplaced) {
    Fill(Overflow::Wait);
    std::future<HRESULT> push = PushAside(queue, "ijk");
    EXPECT_TRUE(Waiting(push)) << "a full queue holds the push";
    target.Release();
    EXPECT_EQ(push.get(), S_OK);
    ASSERT_TRUE(queue.Stop(5000));
    EXPECT_EQ(target.Written(), "abcdefghijk");
    EXPECT_EQ(queue.GapBytes(), 0u);
}

// A target stalled in a write: Stop gives up on it within its bound, refuses the push that
// waited and every later one, and counts what never reached the target.
TEST_F(FullQueue, StopIsBoundedAndRefusesPushesWhateverTheTarget) {
    Fill(Overflow::Silence);
    std::future<HRESULT> push = PushAside(queue, "ij");
    ASSERT_TRUE(Waiting(push));
    ULONGLONG before = GetTickCount64();
    EXPECT_FALSE(queue.Stop(100));
    EXPECT_LT(GetTickCount64() - before, 1000u);
    EXPECT_EQ(push.get(), VFW_E_WRONG_STATE);
    EXPECT_EQ(Push(queue, "kl"), VFW_E_WRONG_STATE);
    EXPECT_EQ(queue.DroppedBytes(), 4u) << "what was still queued";
    EXPECT_EQ(queue.Start(8, 50), HRESULT_FROM_WIN32(ERROR_BUSY)) << "the stalled write goes on";
    target.Release();
    EXPECT_EQ(queue.Start(8, 5000), S_OK);
    EXPECT_EQ(target.Written(), "abcd");
}

TEST(WriteQueue, TheTargetsFailureEndsThePushes) {
    RecordingTarget target;
    target.failWith = E_FAIL;
    WriteQueue queue(target);
    ASSERT_EQ(queue.Start(1024), S_OK);
    EXPECT_EQ(Push(queue, "x"), S_OK);
    queue.Flush(5000);
    EXPECT_EQ(Push(queue, "y"), E_FAIL);
    ASSERT_EQ(queue.Start(1024), S_OK) << "a new recording starts afresh";
    target.failWith = S_OK;
    EXPECT_EQ(Push(queue, "z"), S_OK);
}

TEST(WriteQueue, StopWritesWhatIsLeft) {
    RecordingTarget target;
    WriteQueue queue(target);
    ASSERT_EQ(queue.Start(1024), S_OK);
    EXPECT_EQ(Push(queue, "last"), S_OK);
    EXPECT_TRUE(queue.Stop(5000));
    EXPECT_EQ(target.Written(), "last");
    EXPECT_EQ(Push(queue, "after"), VFW_E_WRONG_STATE);
}

} // namespace
