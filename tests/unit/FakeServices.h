#pragma once
#include "tests/unit/CallLog.h"
#include "tests/unit/FakeCaptureGraphBuilder.h"
#include "tests/unit/FakeFileWriter.h"
#include "tests/unit/FakeFilterGraph.h"
#include "tests/unit/FakeMoniker.h"
#include "tests/unit/FakeWavDest.h"

#include "capture/MediaGraphServices.h"
#include "base/ComPtr.h"

#include <string>
#include <vector>

// The media graph service of the tests: makes fake graphs, builders, "WAV Dest", file writers
// and a device enumerator over the devices a test adds, keeps each for inspection and logs
// every creation ("create FilterGraph").
class FakeServices : public MediaGraphServices {
public:
    explicit FakeServices(CallLog& log) : m_log(log) {}

    FakeCaptureFilter& AddDevice(const std::string& name);
    FakeMoniker& device(size_t index) const { return *devices.at(index).get(); }
    // The newest graph.
    FakeFilterGraph& graph() const { return *graphs.back().get(); }

    HRESULT CreateInstance(REFCLSID classId, REFIID interfaceId, void** object) override;

    // Scripts for the objects made from now on.
    HRESULT wavDestResult = S_OK;
    bool wavDestHasLevels = true;
    HRESULT fileWriterResult = S_OK;
    bool fileWriterHasBaseFilter = true;
    HRESULT fileNameResult = S_OK;

    std::vector<base::ComPtr<FakeMoniker>> devices;
    std::vector<base::ComPtr<FakeFilterGraph>> graphs;
    std::vector<base::ComPtr<FakeCaptureGraphBuilder>> builders;
    std::vector<base::ComPtr<FakeWavDest>> wavDests;
    std::vector<base::ComPtr<FakeFileWriter>> fileWriters;

private:
    CallLog& m_log;
};
