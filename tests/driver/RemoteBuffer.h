#pragma once
#include "base/UniqueHandle.h"

#include <windows.h>

namespace driver {

// Memory in the process that owns a window, for the control messages whose pointer argument
// Wine does not carry across processes (TBM_GETTHUMBRECT, TTM_GETTEXT).
class RemoteBuffer {
public:
    RemoteBuffer(HWND owner, size_t size);
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer();

    LPARAM address() const { return reinterpret_cast<LPARAM>(m_address); }
    void Write(const void* data, size_t size, size_t offset = 0) const;
    void Read(void* data, size_t size, size_t offset = 0) const;

private:
    base::KernelHandle m_process;
    void* m_address = nullptr;
};

} // namespace driver
