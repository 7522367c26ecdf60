// "WAV Dest" in a real graph (Wine's filter graph manager and the File Writer stand-in): what a
// source hands it is in the file under a header that counts it, the odd data chunk padded,
// whether the header is written through samples only or, where the writer offers IStream as
// Windows' File Writer does, once more through the stream at Stop; and the levels it offers the
// program's meter. A source that delivers as fast as it is taken (a file, a converter) is held
// by "WAV Dest", never overtaken: its file holds every byte it sent, compared by regenerating
// them (CORVALE_FAST_SOURCE_MIB sets the size; bench/reliability.sh runs it beyond 4 GiB).
#include <gtest/gtest.h>

#include <dshow.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "base/AnsiText.h"
#include "base/ComApartment.h"
#include "base/ComPtr.h"
#include "filters/kit/MediaType.h"
#include "filters/wavdest/ILevelSource.h"
#include "filters/wavdest/WavDestClassId.h"
#include "tests/filters/PushSource.h"

using base::ComPtr;

namespace {

struct WriterPath {
    const char* name;
    const char* offerStream; // CORVALE_FILEWRITER_STREAM
};

class WavDestGraph : public testing::TestWithParam<WriterPath> {
protected:
    void SetUp() override {
        SetEnvironmentVariableA("CORVALE_FILEWRITER_STREAM", GetParam().offerStream);
        m_com.Enter();
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        m_path = std::string(folder) + "wavdest-" + GetParam().name + ".wav";
    }
    void TearDown() override {
        SetEnvironmentVariableA("CORVALE_FILEWRITER_STREAM", nullptr);
        DeleteFileA(m_path.c_str());
    }

    // Fills `bytes` bytes at offset `at` of what the source sends.
    using Fill = std::function<void(uint64_t at, uint8_t* out, size_t bytes)>;

    void Record(const WAVEFORMATEX& format, const std::vector<uint8_t>& data) {
        Record(format, data.size(), 4000,
               [&](uint64_t at, uint8_t* out, size_t bytes) { memcpy(out, &data[at], bytes); });
    }

    // Builds source -> "WAV Dest" -> File Writer, runs it, pushes `total` bytes in pieces of
    // `piece`, as fast as they are taken, stops it.
    void Record(const WAVEFORMATEX& format, uint64_t total, size_t piece, const Fill& fill) {
        ComPtr<IGraphBuilder> graph;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IGraphBuilder, graph.put_void()));
        ComPtr<PushSource> source(new PushSource(format, m_liveSource));
        ComPtr<IBaseFilter> wavDest, writer;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_WavDest, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IBaseFilter, wavDest.put_void()));
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_FileWriter, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IBaseFilter, writer.put_void()));
        ASSERT_HRESULT_SUCCEEDED(graph->AddFilter(source.get(), L"Source"));
        ASSERT_HRESULT_SUCCEEDED(graph->AddFilter(wavDest.get(), L"WAV Dest"));
        ASSERT_HRESULT_SUCCEEDED(graph->AddFilter(writer.get(), L"File Writer"));
        ComPtr<IFileSinkFilter2> sink;
        ASSERT_HRESULT_SUCCEEDED(writer.As(sink));
        sink->SetMode(AM_FILE_OVERWRITE);
        ASSERT_HRESULT_SUCCEEDED(sink->SetFileName(base::Widen(m_path).c_str(), nullptr));
        ComPtr<IPin> in, out, writerIn;
        ASSERT_HRESULT_SUCCEEDED(wavDest->FindPin(L"In", in.put()));
        ASSERT_HRESULT_SUCCEEDED(wavDest->FindPin(L"Out", out.put()));
        ASSERT_HRESULT_SUCCEEDED(graph->ConnectDirect(source->Output(), in.get(), nullptr));
        ASSERT_HRESULT_SUCCEEDED(graph->Render(out.get()));
        ASSERT_HRESULT_SUCCEEDED(writer->FindPin(L"in", writerIn.put()));
        ComPtr<IStream> stream;
        bool offered = SUCCEEDED(writerIn->QueryInterface(IID_IStream, stream.put_void()));
        EXPECT_EQ(offered, GetParam().offerStream[0] == '1');

        ComPtr<IMemInputPin> input;
        ASSERT_HRESULT_SUCCEEDED(in->QueryInterface(IID_IMemInputPin, input.put_void()));
        EXPECT_EQ(input->ReceiveCanBlock(), S_OK);

        ComPtr<IMediaControl> control;
        ASSERT_HRESULT_SUCCEEDED(graph.As(control));
        ASSERT_HRESULT_SUCCEEDED(control->Run());
        std::vector<uint8_t> buffer(piece);
        for (uint64_t at = 0; at < total; at += piece) {
            size_t bytes = static_cast<size_t>(std::min<uint64_t>(piece, total - at));
            fill(at, buffer.data(), bytes);
            ASSERT_EQ(source->Push(buffer.data(), static_cast<long>(bytes)), S_OK) << at;
        }
        ComPtr<ILevelSource> levels;
        ASSERT_HRESULT_SUCCEEDED(wavDest->QueryInterface(IID_ILevelSource, levels.put_void()));
        ASSERT_HRESULT_SUCCEEDED(levels->GetLevels(&m_levels));
        if (m_beforeStop) {
            m_beforeStop(*source.get());
        }
        ASSERT_HRESULT_SUCCEEDED(control->Stop());
    }

    std::vector<uint8_t> FileBytes() const {
        std::ifstream file(m_path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    base::ComApartment m_com;
    std::string m_path;
    bool m_liveSource = false;
    std::function<void(PushSource&)> m_beforeStop;
    LevelReading m_levels{}; // what the meter would have read just before Stop
};

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

std::string Tag(const std::vector<uint8_t>& b, size_t at) {
    return std::string(b.begin() + at, b.begin() + at + 4);
}

TEST_P(WavDestGraph, AnOddDataChunkIsWrittenWholePaddedAndCounted) {
    const WAVEFORMATEX format = kit::MakePcmFormat(11025, 1, 8);
    std::vector<uint8_t> data(11025);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 7);
    }
    Record(format, data);

    std::vector<uint8_t> file = FileBytes();
    constexpr size_t kDataAt = 80; // RIFF, WAVE, JUNK of 36, fmt of 24, data's own 8
    ASSERT_EQ(file.size(), kDataAt + data.size() + 1);
    EXPECT_EQ(Tag(file, 0) + Tag(file, 8) + Tag(file, 12), "RIFFWAVEJUNK");
    EXPECT_EQ(U32(file, 4), file.size() - 8) << "the RIFF size counts the pad byte";
    EXPECT_EQ(Tag(file, 48), "fmt ");
    EXPECT_EQ(U32(file, 60), 11025u);
    EXPECT_EQ(Tag(file, 72), "data");
    EXPECT_EQ(U32(file, 76), data.size()) << "the data size does not";
    EXPECT_TRUE(std::equal(data.begin(), data.end(), file.begin() + kDataAt));
    EXPECT_EQ(file.back(), 0) << "the pad byte";

    // The meter's view of the same bytes: 0 is the most negative 8-bit sample; 0, 1 and 255 are
    // as loud as the largest positive one, at full scale.
    EXPECT_EQ(m_levels.channels, 1u);
    EXPECT_EQ(m_levels.frames, data.size());
    EXPECT_EQ(m_levels.peak[0], 1.0f);
    EXPECT_EQ(m_levels.clippedSamples,
              static_cast<UINT64>(std::count_if(data.begin(), data.end(),
                                                [](uint8_t v) { return v <= 1 || v == 255; })));
}

// A live source's sound may come ahead of the graph's clock, all of it before the Stop: the take
// closes at the click with every byte in the file and counted.
TEST_P(WavDestGraph, ALiveSourcesSoundThatCameBeforeTheClickIsAllCounted) {
    m_liveSource = true;
    const std::vector<uint8_t> data(16000, 0x11); // stamped up to 1 s, pushed at once
    Record(kit::MakePcmFormat(8000, 1, 16), data);

    std::vector<uint8_t> file = FileBytes();
    ASSERT_EQ(file.size(), 80 + data.size());
    EXPECT_EQ(U32(file, 76), data.size());
}

// A capture filter is paused after the sink and sends the sound up to its own click then: a
// piece that ends just short of the sink's click is not the end of the take; the one after it is.
TEST_P(WavDestGraph, ALiveSourcesLastPieceAfterTheSinksPauseIsKept) {
    m_liveSource = true;
    long first = 0;
    m_beforeStop = [&first](PushSource& source) {
        Sleep(500); // Wine's graph starts its stream time 200 ms after Run
        source.onRunToPause = [&source, &first] {
            const REFERENCE_TIME click = source.StreamTime();
            std::vector<uint8_t> sound(16000, 0x22); // 8 kHz mono: 16 bytes a millisecond
            const auto bytesUntil = [&](REFERENCE_TIME t) {
                return static_cast<long>((t - source.PushedUntil()) / 10000 * 16);
            };
            first = bytesUntil(click - 5 * 10000);
            EXPECT_EQ(source.Push(sound.data(), first), S_OK);
            EXPECT_EQ(source.Push(sound.data(), bytesUntil(click + 10000)), S_OK);
        };
    };
    Record(kit::MakePcmFormat(8000, 1, 16), {});

    std::vector<uint8_t> file = FileBytes();
    ASSERT_GT(first, 100 * 16);
    EXPECT_GT(file.size(), 80u + first);
    EXPECT_EQ(U32(file, 76) + 80, file.size());
}

// A pattern that repeats only after 4 GiB: no stretch of it is zero, and none can pass for
// another.
void FillPattern(uint64_t at, uint8_t* out, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) {
        uint64_t n = at + i;
        uint32_t word = static_cast<uint32_t>(n / 4) * 2654435761u + 1;
        out[i] = static_cast<uint8_t>((word >> (8 * (n % 4))) | 1);
    }
}

TEST_P(WavDestGraph, AFastSourcesFileHoldsEveryByteItSent) {
    const char* mib = getenv("CORVALE_FAST_SOURCE_MIB");
    const uint64_t total = (mib ? strtoull(mib, nullptr, 10) : 100) << 20;
    Record(kit::MakePcmFormat(44100, 2, 16), total, PushSource::kSampleBytes, FillPattern);

    std::ifstream file(m_path, std::ios::binary);
    std::vector<uint8_t> header(80);
    ASSERT_TRUE(file.read(reinterpret_cast<char*>(header.data()), header.size()));
    const bool rf64 = total + 72 > UINT32_MAX;
    EXPECT_EQ(Tag(header, 0) + Tag(header, 12), rf64 ? "RF64ds64" : "RIFFJUNK");
    EXPECT_EQ(Tag(header, 72), "data");
    const uint64_t counted =
        rf64 ? U32(header, 28) | uint64_t{U32(header, 32)} << 32 : U32(header, 76);
    EXPECT_EQ(counted, total);
    std::vector<uint8_t> got(1 << 20), expected(got.size());
    uint64_t at = 0;
    while (file.read(reinterpret_cast<char*>(got.data()), got.size()) || file.gcount() > 0) {
        const size_t n = static_cast<size_t>(file.gcount());
        FillPattern(at, expected.data(), n);
        auto [mine, theirs] = std::mismatch(got.begin(), got.begin() + n, expected.begin());
        ASSERT_EQ(mine, got.begin() + n)
            << "first wrong data byte at " << at + (mine - got.begin());
        at += n;
    }
    EXPECT_EQ(at, total);
}

INSTANTIATE_TEST_SUITE_P(WriterPaths, WavDestGraph,
                         testing::Values(WriterPath{"Samples", "0"}, WriterPath{"Stream", "1"}),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
