// The source lines of a waveIn device's winmm mixer, with their volume and mute controls.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <string>
#include <vector>

namespace audiocapture {

class WaveInMixer {
public:
    struct Line {
        std::wstring name;
        DWORD volumeControl = 0;
        DWORD volumeMin = 0;
        DWORD volumeMax = 0;
        DWORD muteControl = 0;
        bool hasVolume = false;
        bool hasMute = false;
    };

    WaveInMixer() noexcept = default;
    ~WaveInMixer();
    WaveInMixer(const WaveInMixer&) = delete;
    WaveInMixer& operator=(const WaveInMixer&) = delete;

    // Opens the mixer of waveIn device `waveInId` and lists the source lines of its wave-in
    // destination; false when the device has no mixer.
    bool Open(UINT waveInId);
    const std::vector<Line>& Lines() const noexcept { return m_lines; }

    // Volume as a fraction 0.0 to 1.0 of the control's range.
    MMRESULT SetVolume(size_t line, double level) noexcept;
    // The level as the control stores it (its resolution), or `level` without a control.
    double Quantize(size_t line, double level) const noexcept;
    MMRESULT SetMute(size_t line, bool mute) noexcept;

private:
    void AddSourceLine(const MIXERLINEW& source);

    HMIXER m_mixer = nullptr;
    std::vector<Line> m_lines;
};

} // namespace audiocapture
