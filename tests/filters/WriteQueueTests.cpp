// WriteQueue: Push never waits for a stalled target, everything reaches it in order, what does
// not fit becomes a gap in its place, and the target's failure is handed back.
#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <string>

#include "filters/wavdest/WriteQueue.h"

using wavdest::WriteQueue;

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

HRESULT Push(WriteQueue& queue, const char* text) {
    return queue.Push(reinterpret_cast<const uint8_t*>(text), strlen(text));
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

TEST(WriteQueue, WhatDoesNotFitBecomesAGapInItsPlace) {
    RecordingTarget target;
    WriteQueue queue(target);
    ASSERT_EQ(queue.Start(8), S_OK);
    target.Hold();
    EXPECT_EQ(Push(queue, "abcd"), S_OK);
    EXPECT_EQ(Push(queue, "efgh"), S_OK);
    EXPECT_EQ(Push(queue, "ijk"), S_FALSE);
    EXPECT_EQ(Push(queue, "lm"), S_FALSE);
    target.Release();
    ASSERT_TRUE(queue.Flush(5000));
    EXPECT_EQ(Push(queue, "no"), S_OK);
    queue.Stop();
    // The bytes with the held target still count against the room.
    EXPECT_EQ(target.Written(), "abcdefgh[5]no");
    EXPECT_EQ(queue.GapBytes(), 5u);
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
    queue.Stop();
    EXPECT_EQ(target.Written(), "last");
    EXPECT_EQ(Push(queue, "after"), E_UNEXPECTED);
}

} // namespace
