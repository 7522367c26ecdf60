// The DLL's class table: our File Writer under CLSID_FileWriter (registered only in the
// recorder's Wine prefix).
#include "filters/kit/ClassTable.h"
#include "filters/wine/filewriter/FileWriterFilter.h"

namespace {

const kit::ClassEntry kClasses[] = {
    {&CLSID_FileWriter, L"File writer", &kit::CreateAndQuery<filewriter::FileWriterFilter>},
};

} // namespace

std::span<const kit::ClassEntry> kit::ModuleClasses() noexcept {
    return kClasses;
}
