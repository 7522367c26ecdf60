#include "tests/filters/FakeSoundCard.h"

#include <algorithm>
#include <cmath>
#include <utility>

class FakeSoundCard::Device final : public audiocapture::CaptureDevice {
public:
    explicit Device(std::shared_ptr<FakeSoundCard> card) noexcept : m_card(std::move(card)) {}
    ~Device() override { Close(); }

    HRESULT Open() noexcept override {
        std::lock_guard lock(m_card->m_lock);
        if (m_card->m_failOpen) {
            return E_FAIL;
        }
        m_card->m_open = true;
        m_card->m_nextFrame = kHandleStep * static_cast<uint32_t>(++m_card->m_opens);
        return S_OK;
    }
    void Close() noexcept override {
        std::lock_guard lock(m_card->m_lock);
        m_card->m_open = m_card->m_started = false;
        m_card->m_pending.clear();
    }
    bool IsOpen() const noexcept override {
        std::lock_guard lock(m_card->m_lock);
        return m_card->m_open;
    }
    bool Start() noexcept override {
        std::lock_guard lock(m_card->m_lock);
        m_card->m_started = m_card->m_open;
        m_card->m_sinceStart = 0;
        m_card->m_owed = 0;
        if (m_card->m_started && m_card->m_starts++ > 0) {
            m_card->m_pending.insert(m_card->m_pending.begin(), m_card->m_staleFrames, kStaleFrame);
            m_card->m_sinceStart = m_card->m_staleFrames * sizeof(uint32_t);
        }
        return m_card->m_started;
    }
    bool Started() const noexcept override {
        std::lock_guard lock(m_card->m_lock);
        return m_card->m_started;
    }
    void Stop(DWORD) noexcept override {
        std::lock_guard lock(m_card->m_lock);
        m_card->m_started = false;
    }
    uint64_t CapturedSinceStart() noexcept override {
        std::lock_guard lock(m_card->m_lock);
        const uint64_t lag = m_card->m_started ? m_card->m_lagFrames * sizeof(uint32_t) : 0;
        return m_card->m_sinceStart > lag ? m_card->m_sinceStart - lag : 0;
    }
    void TakeFilled(Receiver& receiver) noexcept override {
        std::vector<uint32_t> filled;
        uint64_t serial = 0;
        {
            std::unique_lock lock(m_card->m_lock);
            m_card->m_unblocked.wait(lock, [&] { return !m_card->m_blocked; });
            auto& pending = m_card->m_pending;
            const size_t held = m_card->m_started ? m_card->HeldFrames() : 0;
            const size_t ready = pending.size() > held ? pending.size() - held : 0;
            filled.assign(pending.begin(), pending.begin() + static_cast<ptrdiff_t>(ready));
            pending.erase(pending.begin(), pending.begin() + static_cast<ptrdiff_t>(ready));
            serial = ++m_card->m_collectionsBegun;
        }
        const auto buffer = static_cast<size_t>(m_card->m_framesPerMs * 100);
        for (size_t at = 0; at < filled.size(); at += buffer) {
            const size_t frames = std::min(buffer, filled.size() - at);
            receiver.Take(reinterpret_cast<const BYTE*>(filled.data() + at),
                          static_cast<DWORD>(frames * sizeof(uint32_t)));
        }
        std::lock_guard lock(m_card->m_lock);
        m_card->m_collectionsDone = serial;
        // Straight into the next round, so that the test need not wait for the reader's poll.
        if (!filled.empty()) {
            SetEvent(m_card->m_bufferEvent);
        }
    }

private:
    std::shared_ptr<FakeSoundCard> m_card;
};

std::unique_ptr<audiocapture::CaptureDevice> FakeSoundCard::MakeDevice(HANDLE bufferEvent) {
    m_bufferEvent = bufferEvent;
    return std::make_unique<Device>(shared_from_this());
}

double FakeSoundCard::Now() noexcept {
    std::lock_guard lock(m_lock);
    return m_now;
}

bool FakeSoundCard::Advance(double ms) noexcept {
    {
        std::lock_guard lock(m_lock);
        m_now += ms;
        if (m_open && m_started && !m_cut) {
            m_owed += ms * m_framesPerMs * m_speed;
            auto frames = static_cast<uint64_t>(std::floor(m_owed));
            m_owed -= static_cast<double>(frames);
            const uint64_t dropped = std::min(frames, m_dropFrames);
            m_dropFrames -= dropped;
            m_nextFrame += static_cast<uint32_t>(dropped);
            for (uint64_t i = dropped; i < frames; ++i) {
                m_pending.push_back(m_nextFrame++);
            }
            m_sinceStart += (frames - dropped) * sizeof(uint32_t);
        }
    }
    SetEvent(m_bufferEvent);
    // Done when a collection begun after the sound was taken has ended: the reader has then
    // also finished what it does after taking.
    uint64_t after = UINT64_MAX;
    for (int i = 0; i < 2000; ++i) {
        {
            std::lock_guard lock(m_lock);
            if (m_blocked) {
                return true;
            }
            if (after == UINT64_MAX && m_pending.size() <= HeldFrames()) {
                after = m_collectionsBegun;
            }
            if (after != UINT64_MAX && m_collectionsDone > after) {
                return true;
            }
        }
        Sleep(1);
    }
    return false;
}

void FakeSoundCard::SetCountLag(double ms) noexcept {
    std::lock_guard lock(m_lock);
    m_lagFrames = static_cast<size_t>(ms * m_framesPerMs);
}

void FakeSoundCard::SetClock(double ms) noexcept {
    std::lock_guard lock(m_lock);
    m_now = ms;
}

void FakeSoundCard::SetSpeed(double factor) noexcept {
    std::lock_guard lock(m_lock);
    m_speed = factor;
}

void FakeSoundCard::SetLatency(double ms) noexcept {
    std::lock_guard lock(m_lock);
    m_latencyFrames = static_cast<size_t>(ms * m_framesPerMs);
}

void FakeSoundCard::SetStaleOnRestart(double ms) noexcept {
    std::lock_guard lock(m_lock);
    m_staleFrames = static_cast<size_t>(ms * m_framesPerMs);
}

void FakeSoundCard::Drop(double ms) noexcept {
    std::lock_guard lock(m_lock);
    m_dropFrames += static_cast<uint64_t>(ms * m_framesPerMs);
}

void FakeSoundCard::FailOpen(bool fail) noexcept {
    std::lock_guard lock(m_lock);
    m_failOpen = fail;
}

void FakeSoundCard::CutOff(bool cut) noexcept {
    std::lock_guard lock(m_lock);
    m_cut = cut;
}

void FakeSoundCard::Block(bool block) noexcept {
    {
        std::lock_guard lock(m_lock);
        m_blocked = block;
    }
    m_unblocked.notify_all();
}

int FakeSoundCard::Opens() noexcept {
    std::lock_guard lock(m_lock);
    return m_opens;
}
