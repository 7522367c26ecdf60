#include "widgets/meter/LevelMeter.h"

#include "framework/PaintDC.h"
#include "framework/SelectGuard.h"
#include "framework/OffScreenDC.h"
#include "widgets/paint/SolidPaint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
constexpr UINT_PTR kTipToolId = 1;
// The level of a channel that has had no sound: far below anything the scale shows.
constexpr double kNothingDb = -200.0;

struct Zone {
    double fromDb, toDb;
    COLORREF lit, unlit;
};
constexpr Zone kZones[] = {
    {LevelMeter::kFloorDb, LevelMeter::kYellowDb, LevelMeter::kGreen, LevelMeter::kUnlitGreen},
    {LevelMeter::kYellowDb, LevelMeter::kRedDb, LevelMeter::kYellow, LevelMeter::kUnlitYellow},
    {LevelMeter::kRedDb, 0.0, LevelMeter::kRed, LevelMeter::kUnlitRed},
};

double DbOf(float peak) {
    return peak > 0.0f ? 20.0 * std::log10(peak) : kNothingDb;
}

std::string DbText(double db) {
    if (db <= kNothingDb) {
        return "silent";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%ld dB", std::lround(db));
    return text;
}
} // namespace

COLORREF LevelMeter::Dimmed(COLORREF colour) {
    auto half = [](int a, int b) { return static_cast<BYTE>((a + b) / 2); };
    return RGB(half(GetRValue(colour), GetRValue(kPanel)),
               half(GetGValue(colour), GetGValue(kPanel)),
               half(GetBValue(colour), GetBValue(kPanel)));
}

LevelMeter::LevelMeter() {
    Reset();
    MapMessages();
}

LevelMeter::~LevelMeter() {
    if (hwnd()) {
        KillTimer(hwnd(), kTimerId);
    }
}

bool LevelMeter::Attach(HWND control) {
    if (!control || hwnd()) {
        return false;
    }
    // A static without SS_NOTIFY is transparent to the mouse, and so to its tooltip.
    SetWindowLongA(control, GWL_STYLE, GetWindowLongA(control, GWL_STYLE) | SS_NOTIFY);
    return Subclass(control);
}

void LevelMeter::Reset() {
    for (Channel& channel : m_channel) {
        channel = {kNothingDb, kNothingDb, 0, kNothingDb, kNothingDb};
    }
    m_warning = false;
    m_lastUpdate = 0;
    m_nextText = 0;
    m_frames = 0;
}

void LevelMeter::Start(Source source, ULONGLONG nowMs) {
    m_source = std::move(source);
    m_notice.clear();
    Reset();
    m_clip = false;
    m_channels = 2;
    m_mode = Mode::Live;
    m_liveSince = m_lastFresh = nowMs;
    SetWindowTextQuietly("");
    SetPeriod(kPeriodMs);
    Repaint();
}

void LevelMeter::ShowNotice(const std::string& text) {
    if (m_mode != Mode::Empty) {
        return;
    }
    m_notice = text;
    SetWindowTextQuietly(text);
    Repaint();
}

void LevelMeter::Pause() {
    if (m_mode != Mode::Live) {
        return;
    }
    KillTimer(hwnd(), kTimerId);
    m_mode = Mode::Paused;
    Repaint();
}

void LevelMeter::Resume(ULONGLONG nowMs) {
    if (m_mode != Mode::Paused) {
        return;
    }
    // Silence while paused is no sign of a dead input: the warning counts from here.
    m_mode = Mode::Live;
    m_liveSince = m_lastUpdate = m_lastFresh = nowMs;
    SetPeriod(kPeriodMs);
    Repaint();
}

void LevelMeter::Stop() {
    if (hwnd()) {
        KillTimer(hwnd(), kTimerId);
    }
    m_source = nullptr;
    m_mode = Mode::Empty;
    Reset();
    SetWindowTextQuietly(m_notice);
    Repaint();
}

void LevelMeter::SetPeriod(UINT periodMs) {
    m_period = periodMs;
    m_stillReadings = 0;
    if (hwnd()) {
        SetTimer(hwnd(), kTimerId, periodMs, nullptr);
    }
}

// Every wake-up costs Wine a round trip to its server: while the picture stays as it is (a
// steady tone, silence) the meter looks less often, and at full rate again once it moves.
void LevelMeter::OnTimer() {
    MeterReading reading{};
    if (!m_source || !m_source(reading)) {
        return;
    }
    const Picture before = m_painted;
    Update(reading, GetTickCount64());
    if (!(m_painted == before)) {
        if (m_period != kPeriodMs) {
            SetPeriod(kPeriodMs);
        }
        m_stillReadings = 0;
    } else if (++m_stillReadings >= kStillReadings && m_period != kStillPeriodMs) {
        SetPeriod(kStillPeriodMs);
    }
}

// Held, the tick then drops back to the bar at once: a tick gliding down would cost a repaint
// at every reading, and each repaint costs Wine about a third of a millisecond.
double LevelMeter::TickDb(const Channel& channel, ULONGLONG nowMs) const {
    const bool held = nowMs - channel.heldSince <= kHoldMs;
    return held ? std::max(channel.levelDb, channel.heldDb) : channel.levelDb;
}

void LevelMeter::Update(const MeterReading& reading, ULONGLONG nowMs) {
    if (m_mode != Mode::Live || reading.channels == 0) {
        return;
    }
    m_channels = reading.channels == 1 ? 1 : 2;
    const bool fresh = reading.frames != m_frames;
    if (fresh) {
        m_frames = reading.frames;
        m_lastFresh = nowMs;
    }
    // Capture buffers come a tenth of a second or more apart: between two the bars stay; when
    // none comes for longer, they fall as in silence.
    if (fresh || nowMs - m_lastFresh >= kDataGapMs) {
        UpdateLevels(reading, fresh, nowMs);
    }
    for (Channel& channel : m_channel) {
        channel.tickDb = TickDb(channel, nowMs);
    }
    m_clip = m_clip || reading.clippedSamples > 0;
    const ULONGLONG live = nowMs > m_liveSince ? nowMs - m_liveSince : 0;
    const bool warning = std::min<ULONGLONG>(reading.silentMs, live) >= kSilenceWarningMs;
    if (warning != m_warning) {
        // The warning's coming and going is said at once; the levels once a second.
        m_warning = warning;
        m_nextText = nowMs;
    }
    UpdateText(nowMs);
    Repaint();
}

void LevelMeter::UpdateLevels(const MeterReading& reading, bool fresh, ULONGLONG nowMs) {
    const double fall = nowMs > m_lastUpdate && m_lastUpdate != 0
                            ? (nowMs - m_lastUpdate) * kFallDbPerSecond / 1000.0
                            : 0.0;
    m_lastUpdate = nowMs;
    for (int i = 0; i < m_channels; ++i) {
        Channel& channel = m_channel[i];
        const double db = fresh ? DbOf(reading.peak[i]) : kNothingDb;
        channel.levelDb = std::max(db, channel.levelDb - fall);
        if (db >= TickDb(channel, nowMs)) {
            channel.heldDb = db;
            channel.heldSince = nowMs;
        }
        channel.loudestDb = std::max(channel.loudestDb, db);
    }
}

void LevelMeter::UpdateText(ULONGLONG nowMs) {
    if (nowMs < m_nextText) {
        return;
    }
    m_nextText = nowMs + kTextPeriodMs;
    SetWindowTextQuietly(m_warning ? std::string(kWarningText) : LevelText());
    for (Channel& channel : m_channel) {
        channel.loudestDb = kNothingDb;
    }
}

std::string LevelMeter::LevelText() const {
    if (m_channels == 1) {
        return "Level: " + DbText(m_channel[0].loudestDb);
    }
    return "Level: left " + DbText(m_channel[0].loudestDb) + ", right " +
           DbText(m_channel[1].loudestDb);
}

// The static's own handling of WM_SETTEXT would paint the text over the meter at once.
void LevelMeter::SetWindowTextQuietly(const std::string& words) {
    if (hwnd() && words != text()) {
        DefWindowProcA(hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(words.c_str()));
    }
}

void LevelMeter::Repaint() {
    if (!hwnd()) {
        return;
    }
    const Picture picture = PictureOf(LayoutOf(clientRect()));
    if (!(picture == m_painted)) {
        m_painted = picture;
        Invalidate(false);
    }
}

LevelMeter::Layout LevelMeter::LayoutOf(const RECT& client) const {
    const int w = client.right, h = client.bottom;
    const int side = std::max(h - 2, 0);
    Layout layout{};
    layout.lamp = {w - 1 - side, 1, w - 1, h - 1};
    layout.left = 1;
    layout.right = std::max(layout.left, static_cast<int>(layout.lamp.left) - 3);
    if (m_channels == 1) {
        layout.bars[0] = {layout.left, 1, layout.right, h - 2};
        layout.scaleRow = h - 2;
        return layout;
    }
    // Two bars with the scale's row between them.
    const int bar = std::max((h - 3) / 2, 1);
    layout.bars[0] = {layout.left, 1, layout.right, 1 + bar};
    layout.scaleRow = 1 + bar;
    layout.bars[1] = {layout.left, 2 + bar, layout.right, 2 + 2 * bar};
    return layout;
}

int LevelMeter::XOfDb(const Layout& layout, double db) {
    const double fraction = (std::clamp(db, kFloorDb, 0.0) - kFloorDb) / -kFloorDb;
    return layout.left + static_cast<int>(std::lround(fraction * (layout.right - layout.left)));
}

LevelMeter::Picture LevelMeter::PictureOf(const Layout& layout) const {
    Picture picture{m_mode,
                    m_channels,
                    {},
                    {-1, -1},
                    m_clip,
                    m_warning && m_mode == Mode::Live,
                    m_mode == Mode::Empty && !m_notice.empty()};
    for (int i = 0; i < m_channels && m_mode != Mode::Empty; ++i) {
        const Channel& channel = m_channel[i];
        picture.litTo[i] =
            channel.levelDb > kFloorDb ? XOfDb(layout, channel.levelDb) : layout.left;
        picture.tickAt[i] = channel.tickDb > kFloorDb ? XOfDb(layout, channel.tickDb) : -1;
    }
    for (int i = 0; i < 2; ++i) {
        picture.litTo[i] = std::max(picture.litTo[i], layout.left);
    }
    return picture;
}

COLORREF LevelMeter::Shade(COLORREF colour) const {
    return m_mode == Mode::Paused ? Dimmed(colour) : colour;
}

void LevelMeter::Paint(HDC dc) const {
    const RECT client = clientRect();
    const Layout layout = LayoutOf(client);
    const Picture picture = PictureOf(layout);
    paint::FillSolid(dc, client, kPanel);
    paint::FillSolid(dc, layout.lamp, Shade(m_clip ? kClipOn : kClipOff));
    if (picture.warning || picture.notice) {
        PaintText(dc, layout, picture.warning ? kWarningText : m_notice.c_str());
        return;
    }
    for (int i = 0; i < m_channels; ++i) {
        const RECT& bar = layout.bars[i];
        PaintBar(dc, layout, bar, picture.litTo[i]);
        if (picture.tickAt[i] >= 0) {
            const int left = std::max(picture.tickAt[i] - 2, layout.left);
            paint::FillSolid(dc, {left, bar.top, left + 2, bar.bottom}, Shade(kHold));
        }
    }
    PaintScale(dc, layout);
}

void LevelMeter::PaintBar(HDC dc, const Layout& layout, const RECT& bar, int litTo) const {
    for (const Zone& zone : kZones) {
        const int from = XOfDb(layout, zone.fromDb), to = XOfDb(layout, zone.toDb);
        const int lit = std::clamp(litTo, from, to);
        paint::FillSolid(dc, {from, bar.top, lit, bar.bottom}, Shade(zone.lit));
        paint::FillSolid(dc, {lit, bar.top, to, bar.bottom}, Shade(zone.unlit));
    }
}

void LevelMeter::PaintScale(HDC dc, const Layout& layout) const {
    for (double db = kFloorDb; db <= 0.0; db += kScaleStepDb) {
        const int x = std::min(XOfDb(layout, db), layout.right - 1);
        paint::FillSolid(dc, {x, layout.scaleRow, x + 1, layout.scaleRow + 1}, Shade(kScale));
    }
}

void LevelMeter::PaintText(HDC dc, const Layout& layout, const char* text) const {
    const int saved = SaveDC(dc);
    auto font = reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT));
    fw::SelectGuard select(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kWarningColour);
    RECT area{layout.left + 2, 0, layout.right, clientRect().bottom};
    DrawTextA(dc, text, -1, &area,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    RestoreDC(dc, saved);
}

void LevelMeter::OnPaint() {
    fw::PaintDC paint(hwnd());
    // Drawn off screen and copied at once: twenty repaints a second would flicker otherwise.
    fw::OffScreenDC buffer(paint.get(), clientRect());
    Paint(buffer.get());
}

void LevelMeter::SetTipText(const std::string& text) {
    m_tipText = text;
    if (m_tip.hwnd()) {
        m_tip.UpdateTipText(m_tipText, hwnd(), kTipToolId);
    }
}

// A tooltip costs Wine an X window: it is made when the pointer first comes over the meter.
void LevelMeter::EnsureTip() {
    if (m_tip.hwnd() || !hwnd() || !m_tip.Create(hwnd(), TTS_ALWAYSTIP)) {
        return;
    }
    m_tip.AddTool(hwnd(), m_tipText, clientRect(), kTipToolId);
}

bool LevelMeter::PreTranslateMessage(MSG& msg) {
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
        EnsureTip();
        if (m_tip.hwnd()) {
            m_tip.RelayEvent(msg);
        }
    }
    return Static::PreTranslateMessage(msg);
}

void LevelMeter::MapMessages() {
    auto& map = messages();
    map.OnPaint([this] { OnPaint(); });
    map.OnPrintClient([this](HDC dc) { Paint(dc); });
    map.OnEraseBackground([](HDC) { return TRUE; });
    map.OnTimer([this](UINT_PTR id) {
        if (id == kTimerId) {
            OnTimer();
        }
    });
    map.OnSetText([this](const char* words) {
        SetWindowTextQuietly(words ? words : "");
        return TRUE;
    });
}
