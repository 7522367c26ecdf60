// AM_MEDIA_TYPE helpers: copying, freeing and the PCM audio checks every filter here needs.
#pragma once
#include <windows.h>
#include <mmreg.h>
#include <dshow.h>

namespace kit {

void FreeMediaType(AM_MEDIA_TYPE& mt) noexcept;
HRESULT CopyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src) noexcept;
// A CoTaskMemAlloc'ed copy, as IEnumMediaTypes::Next hands out; nullptr when out of memory.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* src) noexcept;
void DeleteMediaType(AM_MEDIA_TYPE* mt) noexcept;

// Whether every non-null GUID of the partial type `filter` matches `mt`.
bool MatchesPartial(const AM_MEDIA_TYPE& mt, const AM_MEDIA_TYPE* filter) noexcept;

// A consistent integer PCM format: WAVE_FORMAT_PCM, or WAVE_FORMAT_EXTENSIBLE with the PCM
// subformat; 8, 16, 24 or 32 bits; block align and byte rate agreeing with the rest.
bool IsPcmWaveFormat(const WAVEFORMATEX* wfx, ULONG cbFormat) noexcept;
// MEDIATYPE_Audio / FORMAT_WaveFormatEx with IsPcmWaveFormat; returns the format or nullptr.
const WAVEFORMATEX* PcmFormatOf(const AM_MEDIA_TYPE* mt) noexcept;
// A WAVE_FORMAT_PCM audio type whose channels, rate and bits are sound, as the consistent
// format they make: its block size and byte rate derived from them, as Windows' capture pins
// take a type whatever those say. False for a type wrong at its core.
bool MendedPcmFormat(const AM_MEDIA_TYPE* mt, WAVEFORMATEX* mended) noexcept;
// The same sound layout: tag, channels, rate, bits and block size (the byte rate follows).
bool SamePcmFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b) noexcept;

// Fills *mt (which must be empty) with an audio type for the given format block.
HRESULT MakeAudioMediaType(const WAVEFORMATEX& wfx, AM_MEDIA_TYPE* mt) noexcept;
WAVEFORMATEX MakePcmFormat(DWORD rate, WORD channels, WORD bits) noexcept;

extern const GUID kSubtypePcmGuid; // KSDATAFORMAT_SUBTYPE_PCM

// An owned AM_MEDIA_TYPE that frees its format block.
class MediaType {
public:
    MediaType() noexcept;
    MediaType(const MediaType& o) noexcept;
    MediaType& operator=(const MediaType& o) noexcept;
    ~MediaType();
    HRESULT Set(const AM_MEDIA_TYPE* src) noexcept;
    void Clear() noexcept;
    AM_MEDIA_TYPE* get() noexcept { return &m_mt; }
    const AM_MEDIA_TYPE* get() const noexcept { return &m_mt; }

private:
    AM_MEDIA_TYPE m_mt;
};

} // namespace kit
