#pragma once
#include "base/GdiObject.h"
#include "framework/Window.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

// A 32-bit top-down DIB section selected into a memory context, for painting tests.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas();

    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    COLORREF at(int x, int y) const;
    // Bounding box of the pixels of one colour; empty (all zero) when there are none.
    RECT BoxOf(COLORREF colour) const;

private:
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
    const DWORD* m_bits = nullptr;
};

struct PixelExpectation {
    int x, y;
    COLORREF expected;
    const char* what;
};
void ExpectPixels(const Canvas& canvas, const std::vector<PixelExpectation>& table,
                  const char* file, int line);
#define EXPECT_PIXELS(canvas, ...) ExpectPixels(canvas, __VA_ARGS__, __FILE__, __LINE__)
void ExpectBox(const RECT& got, const RECT& expected, const char* what, const char* file, int line);
#define EXPECT_BOX(got, expected, what) ExpectBox(got, expected, what, __FILE__, __LINE__)

#include <functional>

// A visible top-level window at a fixed screen place whose children are the widgets under test.
// Control notifications that no widget consumed go to onCommand.
class TestParent : public fw::Window {
public:
    explicit TestParent(DWORD style = WS_POPUP | WS_VISIBLE, RECT place = {100, 100, 500, 400});
    ~TestParent() override;
    HWND AddChild(const char* className, const char* text, DWORD style, RECT rect, int id);
    void DestroyChildren() const;
    std::function<void(int id, int code)> onCommand;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Wine without a window manager waits two seconds whenever a top-level window that owns popups
// goes away, so the tests share one parent and only create and destroy children.
TestParent& SharedParent();

class WidgetTest : public ::testing::Test {
protected:
    void TearDown() override {
        parent.DestroyChildren();
        parent.onCommand = nullptr;
    }
    TestParent& parent = SharedParent();
};

// The ink of a text drawn in the test font with TextOut at (0, 0) on white.
RECT ReferenceInk(const char* text);
SIZE TextExtent(const char* text);
RECT Shifted(RECT r, int dx, int dy);

// Runs the messages of this thread for a while, through the pre-translation chain.
void Pump(int milliseconds);
// A font without anti-aliasing, so that glyph pixels are exactly the text colour.
HFONT TestFont();
// An opaque square icon of one colour; caller owns it.
HICON SolidIcon(int size, COLORREF colour);
// Puts the pointer in the middle of a window.
void PointAt(HWND window);
