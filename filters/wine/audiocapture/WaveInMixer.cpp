#include "filters/wine/audiocapture/WaveInMixer.h"

#include <cmath>

namespace audiocapture {

namespace {

bool FindControl(HMIXEROBJ mixer, DWORD lineId, DWORD type, MIXERCONTROLW* control) {
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof(controls);
    controls.dwLineID = lineId;
    controls.dwControlType = type;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(MIXERCONTROLW);
    controls.pamxctrl = control;
    return mixerGetLineControlsW(mixer, &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
           MMSYSERR_NOERROR;
}

MMRESULT SetUnsigned(HMIXER mixer, DWORD control, DWORD value) {
    MIXERCONTROLDETAILS_UNSIGNED v{value};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof(details);
    details.dwControlID = control;
    details.cChannels = 1;
    details.cbDetails = sizeof(v);
    details.paDetails = &v;
    return mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer), &details,
                                  MIXER_SETCONTROLDETAILSF_VALUE);
}

} // namespace

WaveInMixer::~WaveInMixer() {
    if (m_mixer) {
        mixerClose(m_mixer);
    }
}

bool WaveInMixer::Open(UINT waveInId) {
    if (mixerOpen(&m_mixer, waveInId, 0, 0, MIXER_OBJECTF_WAVEIN) != MMSYSERR_NOERROR) {
        m_mixer = nullptr;
        return false;
    }
    auto obj = reinterpret_cast<HMIXEROBJ>(m_mixer);
    MIXERCAPSW caps{};
    if (mixerGetDevCapsW(reinterpret_cast<UINT_PTR>(m_mixer), &caps, sizeof(caps)) !=
        MMSYSERR_NOERROR) {
        return false;
    }
    // The wave-in destination; Wine 8.0 gives a waveIn device's mixer one destination,
    // "Master Volume", typed as speakers (measured), so without a wave-in one take the first.
    DWORD chosen = 0;
    for (DWORD d = 0; d < caps.cDestinations; ++d) {
        MIXERLINEW dest{};
        dest.cbStruct = sizeof(dest);
        dest.dwDestination = d;
        if (mixerGetLineInfoW(obj, &dest, MIXER_GETLINEINFOF_DESTINATION) == MMSYSERR_NOERROR &&
            dest.dwComponentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN) {
            chosen = d;
            break;
        }
    }
    MIXERLINEW dest{};
    dest.cbStruct = sizeof(dest);
    dest.dwDestination = chosen;
    if (caps.cDestinations == 0 ||
        mixerGetLineInfoW(obj, &dest, MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR) {
        return false;
    }
    for (DWORD s = 0; s < dest.cConnections; ++s) {
        MIXERLINEW source{};
        source.cbStruct = sizeof(source);
        source.dwDestination = chosen;
        source.dwSource = s;
        if (mixerGetLineInfoW(obj, &source, MIXER_GETLINEINFOF_SOURCE) == MMSYSERR_NOERROR) {
            AddSourceLine(source);
        }
    }
    return !m_lines.empty();
}

void WaveInMixer::AddSourceLine(const MIXERLINEW& source) {
    auto obj = reinterpret_cast<HMIXEROBJ>(m_mixer);
    Line line;
    line.name = source.szName;
    MIXERCONTROLW control{};
    control.cbStruct = sizeof(control);
    if (FindControl(obj, source.dwLineID, MIXERCONTROL_CONTROLTYPE_VOLUME, &control)) {
        line.hasVolume = true;
        line.volumeControl = control.dwControlID;
        line.volumeMin = control.Bounds.dwMinimum;
        line.volumeMax = control.Bounds.dwMaximum;
    }
    if (FindControl(obj, source.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE, &control)) {
        line.hasMute = true;
        line.muteControl = control.dwControlID;
    }
    m_lines.push_back(std::move(line));
}

MMRESULT WaveInMixer::SetVolume(size_t index, double level) noexcept {
    if (index >= m_lines.size() || !m_lines[index].hasVolume) {
        return MMSYSERR_NOTSUPPORTED;
    }
    const Line& line = m_lines[index];
    double span = static_cast<double>(line.volumeMax - line.volumeMin);
    return SetUnsigned(m_mixer, line.volumeControl,
                       line.volumeMin + static_cast<DWORD>(std::lround(level * span)));
}

double WaveInMixer::Quantize(size_t index, double level) const noexcept {
    if (index >= m_lines.size() || !m_lines[index].hasVolume) {
        return level;
    }
    const Line& line = m_lines[index];
    double span = static_cast<double>(line.volumeMax - line.volumeMin);
    return span > 0 ? std::lround(level * span) / span : level;
}

MMRESULT WaveInMixer::SetMute(size_t index, bool mute) noexcept {
    if (index >= m_lines.size() || !m_lines[index].hasMute) {
        return MMSYSERR_NOTSUPPORTED;
    }
    return SetUnsigned(m_mixer, m_lines[index].muteControl, mute ? 1 : 0);
}

} // namespace audiocapture
