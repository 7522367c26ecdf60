// What our three filters answer to the calls whose answers other programs rely on, as the
// platform's own filters answer them: each filter aggregates, its enumerators skip as Windows'
// do, a connection that no type fits says so, a live source pauses with S_OK, an input whose
// Receive waits says it can block, the capture filter loads its device after InitNew, and the
// File Writer takes any type until it is given a file name.
#include <gtest/gtest.h>

#include <dshow.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/AnsiText.h"
#include "base/ComApartment.h"
#include "base/ComPtr.h"
#include "filters/kit/MediaType.h"
#include "filters/wavdest/WavDestClassId.h"
#include "tests/filters/PushSource.h"

using base::ComPtr;

namespace {

struct FilterClass {
    const char* name;
    const CLSID* clsid;
};

const FilterClass kFilters[] = {
    {"WavDest", &CLSID_WavDest},
    {"AudioCapture", &CLSID_AudioRecord},
    {"FileWriter", &CLSID_FileWriter},
};

template <typename T> HRESULT Create(const CLSID& clsid, REFIID iid, ComPtr<T>& object) {
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.put_void());
}

// An outer object that aggregates one inner object and counts the references it is given.
class Outer final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override {
        if (IsEqualIID(riid, IID_IUnknown)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(riid, ppv) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() noexcept override { return --refs; }

    ULONG refs = 1;
    IUnknown* inner = nullptr;
};

class PlatformAnswers : public testing::TestWithParam<FilterClass> {
protected:
    void SetUp() override { m_com.Enter(); }
    base::ComApartment m_com;
};

TEST_P(PlatformAnswers, TheFilterAggregatesAndDelegatesToItsOuterObject) {
    Outer outer;
    ComPtr<IUnknown> refused;
    EXPECT_EQ(CoCreateInstance(*GetParam().clsid, &outer, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               refused.put_void()),
              CLASS_E_NOAGGREGATION);
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(*GetParam().clsid, &outer, CLSCTX_INPROC_SERVER,
                                              IID_IUnknown,
                                              reinterpret_cast<void**>(&outer.inner)));
    {
        ComPtr<IBaseFilter> filter;
        ASSERT_HRESULT_SUCCEEDED(outer.QueryInterface(IID_IBaseFilter, filter.put_void()));
        EXPECT_EQ(outer.refs, 2u) << "the interface counts on the outer object";
        ComPtr<IUnknown> identity;
        ASSERT_HRESULT_SUCCEEDED(filter->QueryInterface(IID_IUnknown, identity.put_void()));
        EXPECT_EQ(identity.get(), static_cast<IUnknown*>(&outer));
        ComPtr<IUnknown> inner;
        ASSERT_HRESULT_SUCCEEDED(outer.inner->QueryInterface(IID_IUnknown, inner.put_void()));
        EXPECT_EQ(inner.get(), outer.inner) << "the inner IUnknown does not delegate";
    }
    EXPECT_EQ(outer.refs, 1u);
    EXPECT_EQ(outer.inner->Release(), 0u);
}

TEST_P(PlatformAnswers, SkippingPastTheEndLeavesThePinEnumeratorWhereItWas) {
    ComPtr<IBaseFilter> filter;
    ASSERT_HRESULT_SUCCEEDED(Create(*GetParam().clsid, IID_IBaseFilter, filter));
    ComPtr<IEnumPins> pins;
    ASSERT_HRESULT_SUCCEEDED(filter->EnumPins(pins.put()));
    EXPECT_EQ(pins->Skip(100), S_FALSE);
    EXPECT_EQ(pins->Skip(1), S_OK);
}

INSTANTIATE_TEST_SUITE_P(Filters, PlatformAnswers, testing::ValuesIn(kFilters),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(PlatformAnswersConnect, APeerThatTakesNoTypeIsNoAcceptableType) {
    base::ComApartment com;
    com.Enter();
    ComPtr<IBaseFilter> first, second;
    ASSERT_HRESULT_SUCCEEDED(Create(CLSID_WavDest, IID_IBaseFilter, first));
    ASSERT_HRESULT_SUCCEEDED(Create(CLSID_WavDest, IID_IBaseFilter, second));
    ComPtr<IPin> out, in;
    ASSERT_HRESULT_SUCCEEDED(first->FindPin(L"Out", out.put()));
    ASSERT_HRESULT_SUCCEEDED(second->FindPin(L"In", in.put()));
    EXPECT_EQ(out->Connect(in.get(), nullptr), VFW_E_NO_ACCEPTABLE_TYPES)
        << "a WAV stream is no PCM input";
}

// ICaptureGraphBuilder2 finds the pin by it, and "WAV Dest" tells a live source by it.
TEST(PlatformAnswersCapturePin, TellsItsCategoryAndNothingElse) {
    base::ComApartment com;
    com.Enter();
    ComPtr<IBaseFilter> capture;
    ASSERT_HRESULT_SUCCEEDED(Create(CLSID_AudioRecord, IID_IBaseFilter, capture));
    ComPtr<IPin> pin;
    ASSERT_HRESULT_SUCCEEDED(capture->FindPin(L"Capture", pin.put()));
    ComPtr<IKsPropertySet> properties;
    ASSERT_HRESULT_SUCCEEDED(pin->QueryInterface(IID_IKsPropertySet, properties.put_void()));
    GUID category{};
    DWORD returned = 0, support = 0;
    EXPECT_EQ(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category,
                              sizeof(category), &returned),
              S_OK);
    EXPECT_TRUE(IsEqualGUID(category, PIN_CATEGORY_CAPTURE));
    EXPECT_EQ(returned, sizeof(category));
    EXPECT_EQ(properties->QuerySupported(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, &support), S_OK);
    EXPECT_EQ(support, static_cast<DWORD>(KSPROPERTY_SUPPORT_GET));
    EXPECT_EQ(properties->Set(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category,
                              sizeof(category)),
              E_PROP_ID_UNSUPPORTED);
    EXPECT_EQ(properties->Get(IID_IUnknown, 0, nullptr, 0, &category, sizeof(category), &returned),
              E_PROP_SET_UNSUPPORTED);
}

// "WAV Dest" ends a live take at the click's time on the graph's clock: one added for the next
// recording, to a graph that ran before, runs on that clock too.
TEST(PlatformAnswersClock, AFilterAddedAfterTheGraphRanRunsOnItsClock) {
    base::ComApartment com;
    com.Enter();
    ComPtr<IGraphBuilder> graph;
    ComPtr<IBaseFilter> first, later;
    ASSERT_HRESULT_SUCCEEDED(Create(CLSID_FilterGraph, IID_IGraphBuilder, graph));
    ASSERT_HRESULT_SUCCEEDED(Create(CLSID_WavDest, IID_IBaseFilter, first));
    ASSERT_HRESULT_SUCCEEDED(Create(CLSID_WavDest, IID_IBaseFilter, later));
    ComPtr<IMediaControl> control;
    ComPtr<IMediaFilter> graphFilter;
    ASSERT_HRESULT_SUCCEEDED(graph.As(control));
    ASSERT_HRESULT_SUCCEEDED(graph.As(graphFilter));
    ASSERT_HRESULT_SUCCEEDED(graph->AddFilter(first.get(), L"first"));
    ASSERT_HRESULT_SUCCEEDED(control->Run());
    ASSERT_HRESULT_SUCCEEDED(control->Stop());
    ASSERT_HRESULT_SUCCEEDED(graph->AddFilter(later.get(), L"later"));
    ASSERT_HRESULT_SUCCEEDED(control->Run());
    ComPtr<IReferenceClock> graphClock, laterClock;
    ASSERT_HRESULT_SUCCEEDED(graphFilter->GetSyncSource(graphClock.put()));
    ASSERT_HRESULT_SUCCEEDED(later->GetSyncSource(laterClock.put()));
    EXPECT_TRUE(graphClock);
    EXPECT_EQ(laterClock.get(), graphClock.get());
    ASSERT_HRESULT_SUCCEEDED(control->Stop());
}

// A graph hands what a filter's Pause returns to its caller's Pause, Run and Stop: a live source
// tells that it cannot cue by GetState alone.
TEST(PlatformAnswersStates, ALiveSourcePausesWithOkAndTellsItCannotCueByItsState) {
    base::ComApartment com;
    com.Enter();
    ComPtr<IBaseFilter> capture;
    ASSERT_HRESULT_SUCCEEDED(Create(CLSID_AudioRecord, IID_IBaseFilter, capture));
    FILTER_STATE state;
    EXPECT_EQ(capture->Pause(), S_OK);
    EXPECT_EQ(capture->GetState(0, &state), VFW_S_CANT_CUE);
    EXPECT_EQ(capture->Run(0), S_OK);
    EXPECT_EQ(capture->GetState(0, &state), S_OK);
    EXPECT_EQ(capture->Pause(), S_OK);
    EXPECT_EQ(capture->Stop(), S_OK);
}

// A source that can wait delivers from a thread of its own when the input says it may block.
TEST(PlatformAnswersReceive, AnInputWhoseReceiveWaitsSaysItCanBlock) {
    base::ComApartment com;
    com.Enter();
    const struct {
        const CLSID* clsid;
        const wchar_t* pin;
    } inputs[] = {{&CLSID_WavDest, L"In"}, {&CLSID_FileWriter, L"in"}};
    for (const auto& input : inputs) {
        ComPtr<IBaseFilter> filter;
        ASSERT_HRESULT_SUCCEEDED(Create(*input.clsid, IID_IBaseFilter, filter));
        ComPtr<IPin> pin;
        ASSERT_HRESULT_SUCCEEDED(filter->FindPin(input.pin, pin.put()));
        ComPtr<IMemInputPin> memInput;
        ASSERT_HRESULT_SUCCEEDED(pin.As(memInput));
        EXPECT_EQ(memInput->ReceiveCanBlock(), S_OK) << base::Narrow(input.pin);
    }
}

// The bag of device 0's moniker.
class DeviceBag final : public IPropertyBag {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override {
        *ppv =
            IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPropertyBag) ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return 2; }
    STDMETHODIMP_(ULONG) Release() noexcept override { return 1; }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) noexcept override {
        ++reads;
        if (_wcsicmp(name, L"WaveInID") != 0) {
            return E_INVALIDARG;
        }
        value->vt = VT_I4;
        value->lVal = 0;
        return S_OK;
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) noexcept override { return E_NOTIMPL; }

    int reads = 0;
};

int PinCountOf(IBaseFilter* filter) {
    ComPtr<IEnumPins> pins;
    EXPECT_HRESULT_SUCCEEDED(filter->EnumPins(pins.put()));
    int count = 0;
    for (ComPtr<IPin> pin; pins->Next(1, pin.put(), nullptr) == S_OK;) {
        ++count;
    }
    return count;
}

TEST(PlatformAnswersPersist, LoadAfterInitNewReadsTheBagAndKeepsOneSetOfLines) {
    base::ComApartment com;
    com.Enter();
    ComPtr<IBaseFilter> capture;
    ASSERT_HRESULT_SUCCEEDED(Create(CLSID_AudioRecord, IID_IBaseFilter, capture));
    ComPtr<IPersistPropertyBag> persist;
    ASSERT_HRESULT_SUCCEEDED(capture.As(persist));
    ASSERT_EQ(persist->InitNew(), S_OK);
    const int pins = PinCountOf(capture.get());
    DeviceBag bag;
    EXPECT_EQ(persist->Load(&bag, nullptr), S_OK);
    EXPECT_GT(bag.reads, 0);
    EXPECT_EQ(PinCountOf(capture.get()), pins);
}

// Windows' File Writer takes any type until it has a file name, then the type named with it: a
// byte stream when none was, so that rendering a capture reaches the file through "WAV Dest".
TEST(PlatformAnswersFileWriter, TakesAnyTypeUntilNamedAndThenTheNamedOne) {
    base::ComApartment com;
    com.Enter();
    kit::MediaType audio, stream;
    ASSERT_HRESULT_SUCCEEDED(
        kit::MakeAudioMediaType(kit::MakePcmFormat(44100, 2, 16), audio.get()));
    stream.get()->majortype = MEDIATYPE_Stream;
    const struct {
        const char* when;
        bool named;
        const AM_MEDIA_TYPE* namedType;
        HRESULT audio, stream;
    } cases[] = {
        {"unnamed", false, nullptr, S_OK, S_OK},
        {"named without a type", true, nullptr, S_FALSE, S_OK},
        {"named with audio", true, audio.get(), S_OK, S_FALSE},
    };
    for (const auto& c : cases) {
        ComPtr<IBaseFilter> writer;
        ASSERT_HRESULT_SUCCEEDED(Create(CLSID_FileWriter, IID_IBaseFilter, writer));
        ComPtr<IFileSinkFilter> sink;
        ASSERT_HRESULT_SUCCEEDED(writer.As(sink));
        if (c.named) {
            ASSERT_EQ(sink->SetFileName(L"C:\\unused.wav", c.namedType), S_OK);
        }
        ComPtr<IPin> in;
        ASSERT_HRESULT_SUCCEEDED(writer->FindPin(L"in", in.put()));
        EXPECT_EQ(in->QueryAccept(audio.get()), c.audio) << c.when;
        EXPECT_EQ(in->QueryAccept(stream.get()), c.stream) << c.when;
    }
}

// Only a byte stream's times are file offsets: the samples of any other type follow each other.
TEST(PlatformAnswersFileWriter, WritesTheSamplesOfAnotherTypeInOrder) {
    base::ComApartment com;
    com.Enter();
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "filewriter-audio.raw";
    const WAVEFORMATEX format = kit::MakePcmFormat(44100, 2, 16);
    kit::MediaType audio;
    ASSERT_HRESULT_SUCCEEDED(kit::MakeAudioMediaType(format, audio.get()));
    {
        ComPtr<IGraphBuilder> graph;
        ComPtr<IBaseFilter> writer;
        ASSERT_HRESULT_SUCCEEDED(Create(CLSID_FilterGraph, IID_IGraphBuilder, graph));
        ASSERT_HRESULT_SUCCEEDED(Create(CLSID_FileWriter, IID_IBaseFilter, writer));
        ComPtr<PushSource> source(new PushSource(format));
        ASSERT_HRESULT_SUCCEEDED(graph->AddFilter(source.get(), L"Source"));
        ASSERT_HRESULT_SUCCEEDED(graph->AddFilter(writer.get(), L"File Writer"));
        ComPtr<IFileSinkFilter2> sink;
        ASSERT_HRESULT_SUCCEEDED(writer.As(sink));
        ASSERT_HRESULT_SUCCEEDED(sink->SetMode(AM_FILE_OVERWRITE));
        ASSERT_HRESULT_SUCCEEDED(sink->SetFileName(base::Widen(path).c_str(), audio.get()));
        ComPtr<IPin> in;
        ASSERT_HRESULT_SUCCEEDED(writer->FindPin(L"in", in.put()));
        ASSERT_EQ(graph->ConnectDirect(source->Output(), in.get(), nullptr), S_OK);
        ComPtr<IMediaControl> control;
        ASSERT_HRESULT_SUCCEEDED(graph.As(control));
        ASSERT_HRESULT_SUCCEEDED(control->Run());
        const uint8_t first[] = {1, 2, 3, 4}, second[] = {5, 6, 7, 8};
        EXPECT_EQ(source->Push(first, sizeof(first)), S_OK);
        EXPECT_EQ(source->Push(second, sizeof(second)), S_OK);
        ASSERT_HRESULT_SUCCEEDED(control->Stop());
    }
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file),
                                  std::istreambuf_iterator<char>()};
    file.close();
    DeleteFileA(path.c_str());
    EXPECT_EQ(bytes, (std::vector<char>{1, 2, 3, 4, 5, 6, 7, 8}));
}

} // namespace
