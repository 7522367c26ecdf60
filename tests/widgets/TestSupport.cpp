#include "TestSupport.h"

#include <algorithm>

Canvas::Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<const DWORD*>(bits);
    m_previous = SelectObject(m_dc, m_bitmap);
    base::Brush brush(CreateSolidBrush(fill));
    RECT all{0, 0, width, height};
    FillRect(m_dc, &all, brush.get());
    GdiFlush();
}

Canvas::~Canvas() {
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

COLORREF Canvas::at(int x, int y) const {
    GdiFlush();
    const DWORD p = m_bits[y * m_width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

RECT Canvas::BoxOf(COLORREF colour) const {
    RECT box{m_width, m_height, -1, -1};
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            if (at(x, y) == colour) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
    }
    return box.right < 0 ? RECT{} : box;
}

void ExpectPixels(const Canvas& canvas, const std::vector<PixelExpectation>& table,
                  const char* file, int line) {
    for (const auto& row : table) {
        const COLORREF got = canvas.at(row.x, row.y);
        if (got != row.expected) {
            ADD_FAILURE_AT(file, line)
                << row.what << " at (" << row.x << ", " << row.y << "): got 0x" << std::hex << got
                << ", expected 0x" << row.expected << std::dec;
        }
    }
}

void ExpectBox(const RECT& got, const RECT& expected, const char* what, const char* file,
               int line) {
    if (!EqualRect(&got, &expected)) {
        ADD_FAILURE_AT(file, line)
            << what << ": got (" << got.left << ", " << got.top << ", " << got.right << ", "
            << got.bottom << "), expected (" << expected.left << ", " << expected.top << ", "
            << expected.right << ", " << expected.bottom << ")";
    }
}

namespace {
const char kParentClass[] = "CorvaleWidgetTestParent";

void RegisterParentClass() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kParentClass;
        return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
}
} // namespace

TestParent::TestParent(DWORD style, RECT place) {
    RegisterParentClass();
    Create(0, kParentClass, "Widget test", style, place, nullptr, 0);
    UpdateWindow(hwnd());
}

TestParent::~TestParent() {
    if (HWND window = hwnd()) {
        DestroyWindow(window);
    }
}

HWND TestParent::AddChild(const char* className, const char* text, DWORD style, RECT rect, int id) {
    HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left,
                                 rect.top, rect.right - rect.left, rect.bottom - rect.top, hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(TestFont()), FALSE);
    return child;
}

LRESULT TestParent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Route(message, wParam, lParam, result)) {
        return result;
    }
    if (message == WM_COMMAND && onCommand) {
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    }
    return Default();
}

void TestParent::DestroyChildren() const {
    while (HWND child = GetWindow(hwnd(), GW_CHILD)) {
        DestroyWindow(child);
    }
}

TestParent& SharedParent() {
    static TestParent parent;
    return parent;
}

SIZE TextExtent(const char* text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, TestFont());
    SIZE size{};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
}

RECT ReferenceInk(const char* text) {
    Canvas canvas(200, 60, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(canvas.dc(), TestFont());
    SetBkMode(canvas.dc(), TRANSPARENT);
    TextOutA(canvas.dc(), 0, 0, text, lstrlenA(text));
    SelectObject(canvas.dc(), old);
    return canvas.BoxOf(RGB(0, 0, 0));
}

RECT Shifted(RECT r, int dx, int dy) {
    OffsetRect(&r, dx, dy);
    return r;
}

void Pump(int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!fw::Window::PreTranslateChain(msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

HFONT TestFont() {
    static const base::Font font(CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                             ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                             NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma"));
    return font.get();
}

HICON SolidIcon(int size, COLORREF colour) {
    std::vector<DWORD> pixels(static_cast<size_t>(size * size), (GetRValue(colour) << 16) |
                                                                    (GetGValue(colour) << 8) |
                                                                    GetBValue(colour));
    std::vector<BYTE> mask(static_cast<size_t>(((size + 15) / 16) * 2 * size), 0);
    base::Bitmap colourBitmap(CreateBitmap(size, size, 1, 32, pixels.data()));
    base::Bitmap maskBitmap(CreateBitmap(size, size, 1, 1, mask.data()));
    ICONINFO info{TRUE, 0, 0, maskBitmap.get(), colourBitmap.get()};
    return CreateIconIndirect(&info);
}

void PointAt(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}
