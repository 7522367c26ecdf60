// "WAV Dest": writes its PCM input as a WAV byte stream whose sample times are file offsets.
// The header goes first, its sizes are refreshed at least every quarter second while recording
// (a killed recording stays playable), and the final sizes are written when the graph leaves
// Running, while Wine's File Writer still has the file open; where the downstream pin offers
// IStream (Windows' File Writer) the header is also written through it at Stop.
#pragma once
#include <cstdint>
#include <optional>

#include "filters/kit/Filter.h"
#include "filters/wavdest/LevelSource.h"
#include "filters/wavdest/WavDestClassId.h"
#include "filters/wavdest/WavDestPins.h"
#include "filters/wavdest/WavHeader.h"

namespace wavdest {

class WavDestFilter : public kit::FilterBase {
public:
    WavDestFilter() noexcept;

    int PinCount() noexcept override { return 2; }
    kit::PinBase* GetPin(int index) noexcept override;

    HRESULT ReceiveData(IMediaSample* sample) noexcept;
    HRESULT InputEnded() noexcept;

protected:
    void* FindInterface(REFIID riid) noexcept override;
    HRESULT OnStopToPause() noexcept override;
    HRESULT OnPauseToRun(REFERENCE_TIME tStart) noexcept override;
    HRESULT OnRunToPause() noexcept override;
    HRESULT OnPauseToStop() noexcept override;

private:
    HRESULT WriteAt(uint64_t position, const uint8_t* data, size_t length) noexcept;
    HRESULT WriteHeader(bool final) noexcept;
    HRESULT WriteHeaderThroughStream() noexcept;

    WavDestInputPin m_input;
    WavDestOutputPin m_output;
    LevelSource m_levels{*this};       // what arrives, measured for the program's meter
    kit::CriticalSection m_streamLock; // orders the writes of the streaming and control threads
    std::optional<WavHeader> m_header;
    uint64_t m_dataBytes = 0;
    uint64_t m_bytesAtLastHeader = 0;
    ULONGLONG m_lastHeaderTick = 0;
    DWORD m_bytesPerSecond = 0;
    bool m_headerWritten = false;
};

} // namespace wavdest
