#pragma once
#include "widgets/meter/MeterReading.h"
#include "framework/Static.h"
#include "framework/ToolTipCtrl.h"

#include <windows.h>
#include <functional>
#include <string>

// A live level meter painted over a static control: a bar per channel (two at most) on a dBFS
// scale from -60 to 0 with green, yellow and red zones, a peak-hold tick, a clip light that
// stays lit until the next recording starts, and a warning when only silence arrives. While
// live it reads its source from a timer of its own; its window text says the levels in words,
// for screen readers.
class LevelMeter : public fw::Static {
public:
    // Fills in the latest reading; false when there is none.
    using Source = std::function<bool(MeterReading& reading)>;

    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kPeriodMs = 50;
    // After this many readings that changed nothing on screen, it reads at the slower period.
    static constexpr int kStillReadings = 20;
    static constexpr UINT kStillPeriodMs = 250;
    static constexpr double kFloorDb = -60.0;
    static constexpr double kYellowDb = -12.0;
    static constexpr double kRedDb = -6.0;
    static constexpr double kScaleStepDb = 6.0;
    static constexpr ULONGLONG kHoldMs = 1500;
    // How fast a bar falls back from a louder peak.
    static constexpr double kFallDbPerSecond = 20.0;
    static constexpr ULONGLONG kSilenceWarningMs = 5000;
    static constexpr ULONGLONG kTextPeriodMs = 1000;
    // No new data for this long counts as silence.
    static constexpr ULONGLONG kDataGapMs = 600;
    static constexpr char kWarningText[] = "No sound is arriving from this input";

    static constexpr COLORREF kPanel = RGB(16, 16, 16);
    static constexpr COLORREF kGreen = RGB(40, 200, 60);
    static constexpr COLORREF kYellow = RGB(230, 200, 40);
    static constexpr COLORREF kRed = RGB(230, 50, 40);
    static constexpr COLORREF kUnlitGreen = RGB(24, 64, 30);
    static constexpr COLORREF kUnlitYellow = RGB(72, 64, 20);
    static constexpr COLORREF kUnlitRed = RGB(72, 24, 20);
    static constexpr COLORREF kScale = RGB(120, 120, 120);
    static constexpr COLORREF kHold = RGB(240, 240, 240);
    static constexpr COLORREF kClipOff = RGB(70, 16, 16);
    static constexpr COLORREF kClipOn = RGB(255, 40, 40);
    static constexpr COLORREF kWarningColour = RGB(255, 190, 60);
    // A paused meter shows every colour halfway to the panel.
    static COLORREF Dimmed(COLORREF colour);

    enum class Mode { Empty, Live, Paused };

    LevelMeter();
    ~LevelMeter() override;

    bool Attach(HWND control) override;

    // A new recording: the readings, the hold and the clip light start afresh.
    void Start(Source source, ULONGLONG nowMs);
    // Keeps the last reading, dimmed, and stops reading.
    void Pause();
    void Resume(ULONGLONG nowMs);
    // Empty, with the clip light as it was.
    void Stop();
    // Shown (and made the window text) in place of the empty bars until the next Start; an
    // empty text shows nothing.
    void ShowNotice(const std::string& text);
    void SetTipText(const std::string& text);

    // One reading taken at nowMs: what the timer does with its source's reading.
    void Update(const MeterReading& reading, ULONGLONG nowMs);
    // The whole meter into dc, in client coordinates.
    void Paint(HDC dc) const;

protected:
    bool PreTranslateMessage(MSG& msg) override;

private:
    // The tests' inside view: the state a paint shows only as pixels.
    friend class LevelMeterProbe;

    struct Channel {
        double levelDb; // the bar: the latest peak, or a slower fall from a louder one
        double heldDb;  // the loudest peak since heldSince
        ULONGLONG heldSince;
        double tickDb;    // the peak-hold tick: held, then back at the bar
        double loudestDb; // since the window text was last written
    };
    // Where things are, in pixels of a client area.
    struct Layout {
        RECT lamp;
        int left, right; // of the bars' scale
        RECT bars[2];
        int scaleRow;
    };
    // What a paint shows: a reading that changes none of it is not repainted.
    struct Picture {
        Mode mode;
        int channels;
        int litTo[2];
        int tickAt[2];
        bool clip;
        bool warning;
        bool notice;
        bool operator==(const Picture&) const = default;
    };

    void MapMessages();
    void OnTimer();
    void SetPeriod(UINT periodMs);
    void OnPaint();
    void Reset();
    void Repaint();
    void UpdateLevels(const MeterReading& reading, bool fresh, ULONGLONG nowMs);
    double TickDb(const Channel& channel, ULONGLONG nowMs) const;
    void UpdateText(ULONGLONG nowMs);
    std::string LevelText() const;
    void SetWindowTextQuietly(const std::string& words);
    void EnsureTip();

    Layout LayoutOf(const RECT& client) const;
    static int XOfDb(const Layout& layout, double db);
    Picture PictureOf(const Layout& layout) const;
    COLORREF Shade(COLORREF colour) const;
    void PaintBar(HDC dc, const Layout& layout, const RECT& bar, int litTo) const;
    void PaintScale(HDC dc, const Layout& layout) const;
    void PaintText(HDC dc, const Layout& layout, const char* text) const;

    Source m_source;
    Mode m_mode = Mode::Empty;
    Channel m_channel[2];
    int m_channels = 2;
    bool m_clip = false;
    bool m_warning = false;
    UINT m_period = kPeriodMs;
    int m_stillReadings = 0;
    ULONGLONG m_liveSince = 0;
    ULONGLONG m_lastUpdate = 0;
    UINT64 m_frames = 0; // the source's count at its last new data
    ULONGLONG m_lastFresh = 0;
    ULONGLONG m_nextText = 0;
    Picture m_painted{};
    std::string m_tipText;
    std::string m_notice;
    fw::ToolTipCtrl m_tip;
};
