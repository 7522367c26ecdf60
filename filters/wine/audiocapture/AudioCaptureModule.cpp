// The DLL's class table: our capture source under CLSID_AudioRecord (registered only in the
// recorder's Wine prefix), the class Wine's device enumerator binds audio-input monikers to.
#include "filters/kit/ClassTable.h"
#include "filters/wine/audiocapture/AudioCaptureFilter.h"

namespace {

const kit::ClassEntry kClasses[] = {
    {&CLSID_AudioRecord, L"Audio Capture Filter",
     &kit::CreateAndQuery<audiocapture::AudioCaptureFilter>},
};

} // namespace

std::span<const kit::ClassEntry> kit::ModuleClasses() noexcept {
    return kClasses;
}
