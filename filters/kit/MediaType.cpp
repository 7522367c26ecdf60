#include "filters/kit/MediaType.h"

#include <cstring>

namespace kit {

const GUID kSubtypePcmGuid = {
    0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

void FreeMediaType(AM_MEDIA_TYPE& mt) noexcept {
    if (mt.cbFormat && mt.pbFormat) {
        CoTaskMemFree(mt.pbFormat);
    }
    mt.cbFormat = 0;
    mt.pbFormat = nullptr;
    if (mt.pUnk) {
        mt.pUnk->Release();
        mt.pUnk = nullptr;
    }
}

HRESULT CopyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src) noexcept {
    if (!dst || !src) {
        return E_POINTER;
    }
    *dst = *src;
    if (src->cbFormat && src->pbFormat) {
        dst->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(src->cbFormat));
        if (!dst->pbFormat) {
            dst->cbFormat = 0;
            return E_OUTOFMEMORY;
        }
        memcpy(dst->pbFormat, src->pbFormat, src->cbFormat);
    } else {
        dst->pbFormat = nullptr;
        dst->cbFormat = 0;
    }
    if (dst->pUnk) {
        dst->pUnk->AddRef();
    }
    return S_OK;
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* src) noexcept {
    auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!mt) {
        return nullptr;
    }
    if (FAILED(CopyMediaType(mt, src))) {
        CoTaskMemFree(mt);
        return nullptr;
    }
    return mt;
}

void DeleteMediaType(AM_MEDIA_TYPE* mt) noexcept {
    if (!mt) {
        return;
    }
    FreeMediaType(*mt);
    CoTaskMemFree(mt);
}

bool MatchesPartial(const AM_MEDIA_TYPE& mt, const AM_MEDIA_TYPE* filter) noexcept {
    if (!filter) {
        return true;
    }
    if (!IsEqualGUID(filter->majortype, GUID_NULL) &&
        !IsEqualGUID(filter->majortype, mt.majortype)) {
        return false;
    }
    if (!IsEqualGUID(filter->subtype, GUID_NULL) && !IsEqualGUID(filter->subtype, mt.subtype)) {
        return false;
    }
    if (!IsEqualGUID(filter->formattype, GUID_NULL) &&
        !IsEqualGUID(filter->formattype, mt.formattype)) {
        return false;
    }
    return true;
}

bool IsPcmWaveFormat(const WAVEFORMATEX* wfx, ULONG cbFormat) noexcept {
    if (!wfx || cbFormat < sizeof(PCMWAVEFORMAT)) {
        return false;
    }
    WORD containerBits = wfx->wBitsPerSample;
    if (wfx->wFormatTag == WAVE_FORMAT_EXTENSIBLE) {
        if (cbFormat < sizeof(WAVEFORMATEXTENSIBLE) ||
            wfx->cbSize < sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX)) {
            return false;
        }
        const auto* ext = reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(wfx);
        if (!IsEqualGUID(ext->SubFormat, kSubtypePcmGuid)) {
            return false;
        }
        if (ext->Samples.wValidBitsPerSample > containerBits) {
            return false;
        }
    } else if (wfx->wFormatTag != WAVE_FORMAT_PCM) {
        return false;
    }
    if (containerBits != 8 && containerBits != 16 && containerBits != 24 && containerBits != 32) {
        return false;
    }
    if (wfx->nChannels == 0 || wfx->nSamplesPerSec == 0) {
        return false;
    }
    if (wfx->nBlockAlign != wfx->nChannels * containerBits / 8) {
        return false;
    }
    return wfx->nAvgBytesPerSec == wfx->nSamplesPerSec * wfx->nBlockAlign;
}

const WAVEFORMATEX* PcmFormatOf(const AM_MEDIA_TYPE* mt) noexcept {
    if (!mt || !IsEqualGUID(mt->majortype, MEDIATYPE_Audio) ||
        !IsEqualGUID(mt->formattype, FORMAT_WaveFormatEx)) {
        return nullptr;
    }
    const auto* wfx = reinterpret_cast<const WAVEFORMATEX*>(mt->pbFormat);
    return IsPcmWaveFormat(wfx, mt->cbFormat) ? wfx : nullptr;
}

bool MendedPcmFormat(const AM_MEDIA_TYPE* mt, WAVEFORMATEX* mended) noexcept {
    if (!mt || !IsEqualGUID(mt->majortype, MEDIATYPE_Audio) ||
        !IsEqualGUID(mt->formattype, FORMAT_WaveFormatEx) || !mt->pbFormat ||
        mt->cbFormat < sizeof(PCMWAVEFORMAT)) {
        return false;
    }
    const auto* wfx = reinterpret_cast<const WAVEFORMATEX*>(mt->pbFormat);
    const WORD bits = wfx->wBitsPerSample;
    if (wfx->wFormatTag != WAVE_FORMAT_PCM || wfx->nChannels == 0 || wfx->nSamplesPerSec == 0 ||
        (bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
        return false;
    }
    *mended = MakePcmFormat(wfx->nSamplesPerSec, wfx->nChannels, bits);
    return true;
}

bool SamePcmFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b) noexcept {
    return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels &&
           a.nSamplesPerSec == b.nSamplesPerSec && a.wBitsPerSample == b.wBitsPerSample &&
           a.nBlockAlign == b.nBlockAlign;
}

HRESULT MakeAudioMediaType(const WAVEFORMATEX& wfx, AM_MEDIA_TYPE* mt) noexcept {
    if (!mt) {
        return E_POINTER;
    }
    ULONG cb = sizeof(WAVEFORMATEX) + (wfx.wFormatTag == WAVE_FORMAT_PCM ? 0 : wfx.cbSize);
    *mt = AM_MEDIA_TYPE{};
    mt->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(cb));
    if (!mt->pbFormat) {
        return E_OUTOFMEMORY;
    }
    memcpy(mt->pbFormat, &wfx, cb);
    if (wfx.wFormatTag == WAVE_FORMAT_PCM) {
        reinterpret_cast<WAVEFORMATEX*>(mt->pbFormat)->cbSize = 0;
    }
    mt->cbFormat = cb;
    mt->majortype = MEDIATYPE_Audio;
    mt->subtype = MEDIASUBTYPE_PCM;
    mt->formattype = FORMAT_WaveFormatEx;
    mt->bFixedSizeSamples = TRUE;
    mt->lSampleSize = wfx.nBlockAlign;
    return S_OK;
}

WAVEFORMATEX MakePcmFormat(DWORD rate, WORD channels, WORD bits) noexcept {
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = channels;
    wfx.nSamplesPerSec = rate;
    wfx.wBitsPerSample = bits;
    wfx.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    wfx.nAvgBytesPerSec = rate * wfx.nBlockAlign;
    return wfx;
}

MediaType::MediaType() noexcept : m_mt{} {}

MediaType::MediaType(const MediaType& o) noexcept : m_mt{} {
    Set(o.get());
}

MediaType& MediaType::operator=(const MediaType& o) noexcept {
    if (this != &o) {
        Set(o.get());
    }
    return *this;
}

MediaType::~MediaType() {
    FreeMediaType(m_mt);
}

HRESULT MediaType::Set(const AM_MEDIA_TYPE* src) noexcept {
    Clear();
    if (!src) {
        return S_OK;
    }
    HRESULT hr = CopyMediaType(&m_mt, src);
    if (FAILED(hr)) {
        m_mt = AM_MEDIA_TYPE{};
    }
    return hr;
}

void MediaType::Clear() noexcept {
    FreeMediaType(m_mt);
    m_mt = AM_MEDIA_TYPE{};
}

} // namespace kit
