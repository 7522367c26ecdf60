// screenshot-window, screenshot-screen: the window or the whole screen as it is, into a 24-bit
// BMP file; client-origin: where the client area starts inside a window's screenshot.
#include "CommandTable.h"
#include "DriverError.h"
#include "Paths.h"
#include "WindowLookup.h"
#include "framework/ClientDC.h"
#include "base/GdiObject.h"
#include "framework/MemoryDC.h"
#include "framework/SelectGuard.h"
#include "base/UniqueHandle.h"

#include <cstdio>

namespace driver {

namespace {

void WriteAll(const base::FileHandle& file, const void* data, DWORD size) {
    DWORD written = 0;
    if (!WriteFile(file.get(), data, size, &written, nullptr) || written != size) {
        throw DriverError("cannot write the image file");
    }
}

void SaveBmp(const std::string& path, const BITMAPINFOHEADER& info, const void* bits) {
    base::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw DriverError("cannot create " + path);
    }
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + info.biSizeImage;
    WriteAll(file, &header, sizeof header);
    WriteAll(file, &info, sizeof info);
    WriteAll(file, bits, info.biSizeImage);
}

// Copied from the screen rather than printed: WM_PRINT would need our device context inside
// the other process, and popups such as menus are windows of their own.
void SaveScreenRect(const RECT& r, const std::string& path) {
    BITMAPINFO bmi{};
    BITMAPINFOHEADER& info = bmi.bmiHeader;
    info.biSize = sizeof info;
    info.biWidth = r.right - r.left;
    info.biHeight = r.bottom - r.top;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>((info.biWidth * 3 + 3) / 4 * 4 * info.biHeight);
    void* bits = nullptr;
    base::Bitmap bitmap(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) {
        throw DriverError("cannot create a bitmap for the screenshot");
    }
    {
        fw::ClientDC screen(nullptr);
        fw::MemoryDC memory(screen.get());
        fw::SelectGuard select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, info.biWidth, info.biHeight, screen.get(), r.left, r.top,
               SRCCOPY);
    }
    GdiFlush();
    SaveBmp(WindowsPath(path), info, bits);
    std::printf("size %ld %ld\n", info.biWidth, info.biHeight);
}

void ScreenshotWindow(const Args& args) {
    HWND top = WaitTopWindow(args.at(0), kDefaultTimeoutMs);
    SyncWith(top);
    RECT r{};
    GetWindowRect(top, &r);
    SaveScreenRect(r, args.at(1));
}

void ScreenshotScreen(const Args& args) {
    SaveScreenRect({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
                   args.at(0));
}

// The frame's size depends on the system's metrics and fonts: measured, never estimated.
void ClientOrigin(const Args& args) {
    HWND top = WaitTopWindow(args.at(0), kDefaultTimeoutMs);
    RECT r{};
    GetWindowRect(top, &r);
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    std::printf("%ld %ld\n", origin.x - r.left, origin.y - r.top);
}

} // namespace

void AddImageCommands(CommandTable& table) {
    table.Add({"screenshot-window", "CAPTION FILE.bmp", 2, ScreenshotWindow});
    table.Add({"screenshot-screen", "FILE.bmp", 1, ScreenshotScreen});
    table.Add({"client-origin", "CAPTION", 1, ClientOrigin});
}

} // namespace driver
