#include "RemoteBuffer.h"

#include "DriverError.h"

namespace driver {

RemoteBuffer::RemoteBuffer(HWND owner, size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    m_process.reset(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!m_process) {
        throw DriverError("cannot open process " + std::to_string(pid));
    }
    m_address =
        VirtualAllocEx(m_process.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!m_address) {
        throw DriverError("cannot allocate memory in process " + std::to_string(pid));
    }
}

RemoteBuffer::~RemoteBuffer() {
    if (m_address) {
        VirtualFreeEx(m_process.get(), m_address, 0, MEM_RELEASE);
    }
}

void RemoteBuffer::Write(const void* data, size_t size, size_t offset) const {
    if (!WriteProcessMemory(m_process.get(), static_cast<char*>(m_address) + offset, data, size,
                            nullptr)) {
        throw DriverError("cannot write the other process's memory");
    }
}

void RemoteBuffer::Read(void* data, size_t size, size_t offset) const {
    if (!ReadProcessMemory(m_process.get(), static_cast<char*>(m_address) + offset, data, size,
                           nullptr)) {
        throw DriverError("cannot read the other process's memory");
    }
}

} // namespace driver
