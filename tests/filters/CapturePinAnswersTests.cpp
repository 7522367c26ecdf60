// What the capture stand-in's pin answers a program that configures it as it would Windows'
// Audio Capture filter: the PCM types it takes (an inconsistent rate or block size is mended,
// a type wrong at its core refused), the format chosen with IAMStreamConfig, and the buffers
// asked for with IAMBufferNegotiation.
#include <gtest/gtest.h>

#include <dshow.h>

#include "base/ComApartment.h"
#include "base/ComPtr.h"
#include "filters/kit/MediaType.h"
#include "filters/wavdest/WavDestClassId.h"

using base::ComPtr;

namespace {

// The type of a format block as a program might fill it in, inconsistencies and all.
struct OwnedType {
    explicit OwnedType(const WAVEFORMATEX& wfx) {
        EXPECT_HRESULT_SUCCEEDED(kit::MakeAudioMediaType(wfx, type.get()));
    }
    kit::MediaType type;
};

WAVEFORMATEX Pcm(DWORD rate, WORD channels, WORD bits, WORD blockAlign, DWORD bytesPerSec) {
    WAVEFORMATEX wfx = kit::MakePcmFormat(rate, channels, bits);
    wfx.nBlockAlign = blockAlign;
    wfx.nAvgBytesPerSec = bytesPerSec;
    return wfx;
}

WAVEFORMATEX FormatOf(const AM_MEDIA_TYPE& mt) {
    return *reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
}

class CapturePin : public testing::Test {
protected:
    void SetUp() override {
        m_com.Enter();
        MakeFilter();
    }
    void TearDown() override { Disconnect(); }

    void MakeFilter() {
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_AudioRecord, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IBaseFilter, m_capture.put_void()));
        ASSERT_HRESULT_SUCCEEDED(m_capture->FindPin(L"Capture", m_pin.put()));
        ASSERT_HRESULT_SUCCEEDED(m_pin.As(m_config));
        ASSERT_HRESULT_SUCCEEDED(m_pin.As(m_buffers));
    }
    void Disconnect() {
        if (m_sinkPin) {
            m_sinkPin->Disconnect();
            m_pin->Disconnect();
        }
    }

    HRESULT ConnectToWavDest(const AM_MEDIA_TYPE* mt = nullptr) {
        EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_WavDest, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IBaseFilter, m_sink.put_void()));
        EXPECT_HRESULT_SUCCEEDED(m_sink->FindPin(L"In", m_sinkPin.put()));
        return m_pin->Connect(m_sinkPin.get(), mt);
    }
    WAVEFORMATEX ConnectedFormat() {
        kit::MediaType mt;
        EXPECT_EQ(m_pin->ConnectionMediaType(mt.get()), S_OK);
        return FormatOf(*mt.get());
    }
    WAVEFORMATEX CurrentFormat() {
        AM_MEDIA_TYPE* mt = nullptr;
        EXPECT_EQ(m_config->GetFormat(&mt), S_OK);
        WAVEFORMATEX wfx = mt ? FormatOf(*mt) : WAVEFORMATEX{};
        kit::DeleteMediaType(mt);
        return wfx;
    }

    base::ComApartment m_com;
    ComPtr<IBaseFilter> m_capture, m_sink;
    ComPtr<IPin> m_pin, m_sinkPin;
    ComPtr<IAMStreamConfig> m_config;
    ComPtr<IAMBufferNegotiation> m_buffers;
};

bool SameFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
    return memcmp(&a, &b, sizeof(PCMWAVEFORMAT)) == 0;
}

TEST_F(CapturePin, TakesAConsistentPcmTypeOrOneItCanMendAndRefusesOneWrongAtItsCore) {
    const struct {
        const char* what;
        WAVEFORMATEX wfx;
        HRESULT accepted;
        HRESULT set;
    } offers[] = {
        {"consistent", Pcm(22050, 1, 16, 2, 44100), S_OK, S_OK},
        {"wrong byte rate", Pcm(22050, 1, 16, 2, 1000), S_OK, S_OK},
        {"wrong block size", Pcm(22050, 1, 16, 1, 22050), S_OK, S_OK},
        {"no channels", Pcm(22050, 0, 16, 0, 0), S_FALSE, VFW_E_INVALIDMEDIATYPE},
        {"no rate", Pcm(0, 1, 16, 2, 0), S_FALSE, VFW_E_INVALIDMEDIATYPE},
        {"12 bits", Pcm(22050, 1, 12, 2, 44100), S_FALSE, VFW_E_INVALIDMEDIATYPE},
        {"six channels", Pcm(22050, 6, 16, 12, 264600), S_FALSE, VFW_E_INVALIDMEDIATYPE},
    };
    const WAVEFORMATEX mended = kit::MakePcmFormat(22050, 1, 16);
    for (const auto& offer : offers) {
        OwnedType offered(offer.wfx);
        offered.type.get()->lSampleSize = 1;
        EXPECT_EQ(m_pin->QueryAccept(offered.type.get()), offer.accepted) << offer.what;
        EXPECT_EQ(m_config->SetFormat(offered.type.get()), offer.set) << offer.what;
        if (offer.set == S_OK) {
            EXPECT_TRUE(SameFormat(CurrentFormat(), mended)) << offer.what;
        }
    }
}

TEST_F(CapturePin, ConnectsWithAMendedTypeAsTheConsistentOne) {
    OwnedType offered(Pcm(44100, 2, 16, 1, 1000));
    offered.type.get()->lSampleSize = 1;
    offered.type.get()->subtype = MEDIASUBTYPE_WAVE;
    ASSERT_EQ(ConnectToWavDest(offered.type.get()), S_OK);
    EXPECT_TRUE(SameFormat(ConnectedFormat(), kit::MakePcmFormat(44100, 2, 16)));
    kit::MediaType mt;
    ASSERT_EQ(m_sinkPin->ConnectionMediaType(mt.get()), S_OK);
    EXPECT_TRUE(IsEqualGUID(mt.get()->subtype, MEDIASUBTYPE_PCM));
    EXPECT_EQ(mt.get()->lSampleSize, 4u);
}

TEST_F(CapturePin, TellsEachTypeItOffersWithTheRangesItTakes) {
    int count = 0, size = 0;
    ASSERT_EQ(m_config->GetNumberOfCapabilities(&count, &size), S_OK);
    EXPECT_GT(count, 0);
    EXPECT_EQ(size, static_cast<int>(sizeof(AUDIO_STREAM_CONFIG_CAPS)));
    for (int i = 0; i < count; ++i) {
        AM_MEDIA_TYPE* mt = nullptr;
        AUDIO_STREAM_CONFIG_CAPS caps{};
        ASSERT_EQ(m_config->GetStreamCaps(i, &mt, reinterpret_cast<BYTE*>(&caps)), S_OK) << i;
        const WAVEFORMATEX* wfx = kit::PcmFormatOf(mt);
        ASSERT_TRUE(wfx) << i;
        EXPECT_TRUE(IsEqualGUID(caps.guid, MEDIATYPE_Audio));
        const ULONG channels = wfx->nChannels, bits = wfx->wBitsPerSample;
        EXPECT_GE(channels, caps.MinimumChannels);
        EXPECT_LE(channels, caps.MaximumChannels);
        EXPECT_GE(bits, caps.MinimumBitsPerSample);
        EXPECT_LE(bits, caps.MaximumBitsPerSample);
        EXPECT_GE(wfx->nSamplesPerSec, caps.MinimumSampleFrequency);
        EXPECT_LE(wfx->nSamplesPerSec, caps.MaximumSampleFrequency);
        EXPECT_GT(caps.ChannelsGranularity * caps.BitsPerSampleGranularity *
                      caps.SampleFrequencyGranularity,
                  0u);
        kit::DeleteMediaType(mt);
    }
    AM_MEDIA_TYPE* mt = nullptr;
    AUDIO_STREAM_CONFIG_CAPS caps{};
    EXPECT_EQ(m_config->GetStreamCaps(count, &mt, reinterpret_cast<BYTE*>(&caps)), S_FALSE);
}

TEST_F(CapturePin, TheFormatSetIsTheOneOfferedAndConnectedAndStaysWhileConnected) {
    EXPECT_TRUE(SameFormat(CurrentFormat(), kit::MakePcmFormat(44100, 2, 16)));
    OwnedType chosen(kit::MakePcmFormat(22050, 1, 16));
    ASSERT_EQ(m_config->SetFormat(chosen.type.get()), S_OK);
    ComPtr<IEnumMediaTypes> types;
    ASSERT_HRESULT_SUCCEEDED(m_pin->EnumMediaTypes(types.put()));
    AM_MEDIA_TYPE* offered[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(2, offered, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_TRUE(SameFormat(FormatOf(*offered[0]), kit::MakePcmFormat(22050, 1, 16)));
    kit::DeleteMediaType(offered[0]);

    ASSERT_EQ(ConnectToWavDest(), S_OK);
    EXPECT_TRUE(SameFormat(ConnectedFormat(), kit::MakePcmFormat(22050, 1, 16)));
    EXPECT_TRUE(SameFormat(CurrentFormat(), kit::MakePcmFormat(22050, 1, 16)));
    EXPECT_EQ(m_config->SetFormat(chosen.type.get()), S_OK);
    OwnedType other(kit::MakePcmFormat(44100, 2, 16));
    EXPECT_EQ(m_config->SetFormat(other.type.get()), VFW_E_WRONG_STATE);
}

TEST_F(CapturePin, AFilterThatIsNotStoppedKeepsItsFormat) {
    OwnedType chosen(kit::MakePcmFormat(22050, 1, 16));
    ASSERT_EQ(m_capture->Pause(), S_OK);
    EXPECT_EQ(m_config->SetFormat(chosen.type.get()), VFW_E_NOT_STOPPED);
    ASSERT_EQ(m_capture->Stop(), S_OK);
}

TEST_F(CapturePin, TheBuffersAskedForAreThoseOfTheNextConnection) {
    // 0.1 s of 44.1 kHz 16-bit stereo, the buffer the recorder's timing counts on.
    constexpr long kTenth = 17640;
    const struct {
        long buffers, bytes;       // suggested; 0: no suggestion
        long gotBuffers, gotBytes; // negotiated
    } cases[] = {
        {0, 0, 8, kTenth},        {4, 88200, 4, 88200}, {-1, 88200, 8, 88200},
        {3, -1, 3, kTenth},       {4, 88201, 4, 88204}, // whole frames
        {2, 400, 2, kTenth / 10},                       // no less than 10 ms
    };
    for (const auto& c : cases) {
        MakeFilter();
        ALLOCATOR_PROPERTIES props{};
        EXPECT_EQ(m_buffers->GetAllocatorProperties(&props), VFW_E_NOT_CONNECTED);
        ALLOCATOR_PROPERTIES asked{c.buffers, c.bytes, -1, -1};
        if (c.buffers) {
            EXPECT_EQ(m_buffers->SuggestAllocatorProperties(&asked), S_OK);
        }
        ASSERT_EQ(ConnectToWavDest(), S_OK);
        EXPECT_EQ(m_buffers->GetAllocatorProperties(&props), S_OK);
        EXPECT_EQ(props.cBuffers, c.gotBuffers) << c.buffers << " of " << c.bytes;
        EXPECT_EQ(props.cbBuffer, c.gotBytes) << c.buffers << " of " << c.bytes;
        EXPECT_EQ(m_buffers->SuggestAllocatorProperties(&asked), VFW_E_ALREADY_CONNECTED);
        Disconnect();
    }
}

} // namespace
