#include "tests/unit/FakeServices.h"

#include "filters/wavdest/WavDestClassId.h"
#include "tests/unit/FakeDeviceEnum.h"

namespace {

// Hands the fake out through the asked interface; the list keeps the fake's first reference.
template <typename Fake>
HRESULT HandOut(std::vector<base::ComPtr<Fake>>& made, Fake* fake, REFIID interfaceId,
                void** object) {
    made.emplace_back(fake);
    return fake->QueryInterface(interfaceId, object);
}
} // namespace

FakeCaptureFilter& FakeServices::AddDevice(const std::string& name) {
    devices.emplace_back(new FakeMoniker(m_log, name));
    return devices.back()->filter();
}

HRESULT FakeServices::CreateInstance(REFCLSID classId, REFIID interfaceId, void** object) {
    *object = nullptr;
    if (IsEqualCLSID(classId, CLSID_FilterGraph)) {
        m_log.Add("create FilterGraph");
        std::string name = std::to_string(graphs.size() + 1);
        name.insert(0, 1, 'g');
        auto* graph = new FakeFilterGraph(m_log, name);
        return HandOut(graphs, graph, interfaceId, object);
    }
    if (IsEqualCLSID(classId, CLSID_CaptureGraphBuilder2)) {
        m_log.Add("create CaptureGraphBuilder2");
        return HandOut(builders, new FakeCaptureGraphBuilder, interfaceId, object);
    }
    if (IsEqualCLSID(classId, CLSID_WavDest)) {
        m_log.Add("create WavDest");
        if (FAILED(wavDestResult)) {
            return wavDestResult;
        }
        auto* wavDest = new FakeWavDest;
        if (!wavDestHasLevels) {
            wavDest->Hide(IID_ILevelSource);
        }
        return HandOut(wavDests, wavDest, interfaceId, object);
    }
    if (IsEqualCLSID(classId, CLSID_FileWriter)) {
        m_log.Add("create FileWriter");
        if (FAILED(fileWriterResult)) {
            return fileWriterResult;
        }
        auto* writer = new FakeFileWriter(m_log);
        writer->fileNameResult = fileNameResult;
        if (!fileWriterHasBaseFilter) {
            writer->Hide(IID_IBaseFilter);
        }
        return HandOut(fileWriters, writer, interfaceId, object);
    }
    if (IsEqualCLSID(classId, CLSID_SystemDeviceEnum)) {
        m_log.Add("create SystemDeviceEnum");
        std::vector<IMoniker*> present;
        for (const auto& device : devices) {
            present.push_back(device.get());
        }
        base::ComPtr<FakeDeviceEnum> enumerator(new FakeDeviceEnum(std::move(present)));
        return enumerator->QueryInterface(interfaceId, object);
    }
    return REGDB_E_CLASSNOTREG;
}
