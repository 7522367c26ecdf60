// The DLL's class table: "WAV Dest", also listed with the filter mapper.
#include "filters/kit/ClassTable.h"
#include "filters/wavdest/WavDestClassId.h"
#include "filters/wavdest/WavDestFilter.h"

namespace {

const kit::MapperPin kPins[] = {
    {L"In", false, &MEDIATYPE_Audio, &MEDIASUBTYPE_PCM},
    {L"Out", true, &MEDIATYPE_Stream, &MEDIASUBTYPE_WAVE},
};

const kit::ClassEntry kClasses[] = {
    {&CLSID_WavDest, L"WAV Dest", &kit::CreateAndQuery<wavdest::WavDestFilter>, kPins},
};

} // namespace

std::span<const kit::ClassEntry> kit::ModuleClasses() noexcept {
    return kClasses;
}
