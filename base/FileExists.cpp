#include "base/FileExists.h"

#include "base/UniqueHandle.h"

bool FileExists(const std::string& path) {
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    base::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    SetErrorMode(oldMode);
    return file.valid();
}
