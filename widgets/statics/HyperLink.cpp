#include "widgets/statics/HyperLink.h"

#include "framework/Application.h"
#include "framework/ClientDC.h"
#include "base/RegistryKey.h"
#include "framework/SelectGuard.h"

#include <shellapi.h>

namespace {
constexpr int kTipToolId = 1;
constexpr int kShellSuccess = 32;
} // namespace

HyperLink::HyperLink() {
    MapMessages();
}

HyperLink::~HyperLink() {
    if (hwnd()) {
        KillTimer(hwnd(), kHoverTimerId);
    }
}

bool HyperLink::Attach(HWND label) {
    if (!label || hwnd()) {
        return false;
    }
    SetWindowLongA(label, GWL_STYLE, GetWindowLongA(label, GWL_STYLE) | SS_NOTIFY);
    if (!Subclass(label)) {
        return false;
    }
    const std::string caption = text();
    if (m_target.empty()) {
        m_target = caption;
    }
    if (caption.empty()) {
        SetText(m_target);
    }
    CreateFonts();
    FitToText();
    LoadLinkCursor();
    if (m_underlineMode != UnderlineOnHover) {
        SetFont(m_plainFont.get());
        Invalidate(true);
        m_underlineMode = UnderlineOnHover;
    }
    if (m_tip.Create(hwnd(), 0)) {
        m_tip.AddTool(hwnd(), m_target, clientRect(), kTipToolId);
    }
    return true;
}

void HyperLink::CreateFonts() {
    auto font = reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT));
    if (!font) {
        font = GetStockObject(DEFAULT_GUI_FONT);
    }
    if (!font) {
        font = GetStockObject(ANSI_VAR_FONT);
    }
    LOGFONTA description{};
    if (!GetObjectA(font, sizeof description, &description)) {
        return;
    }
    m_plainFont.reset(CreateFontIndirectA(&description));
    description.lfUnderline = TRUE;
    m_underlineFont.reset(CreateFontIndirectA(&description));
}

void HyperLink::SetFont(HFONT font) const {
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void HyperLink::FitToText() {
    if (!m_adjustToFit || !hwnd()) {
        return;
    }
    HWND owner = parent();
    RECT window = windowRect();
    RECT client = clientRect();
    MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    MapWindowPoints(nullptr, owner, reinterpret_cast<POINT*>(&window), 2);
    MapWindowPoints(nullptr, owner, reinterpret_cast<POINT*>(&client), 2);

    SIZE extent{};
    {
        fw::ClientDC dc(hwnd());
        fw::SelectGuard font(dc.get(), m_underlineFont.get());
        const std::string caption = text();
        GetTextExtentPoint32A(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
    }
    const LONG width = extent.cx + (window.right - window.left) - (client.right - client.left);
    const LONG height = extent.cy + (window.bottom - window.top) - (client.bottom - client.top);
    const LONG style = GetWindowLongA(hwnd(), GWL_STYLE);
    if (style & SS_CENTERIMAGE) {
        window.top += ((window.bottom - window.top) - height) / 2;
    }
    window.bottom = window.top + height;
    if (style & SS_CENTER) {
        window.left += ((window.right - window.left) - width) / 2;
        window.right = window.left + width;
    } else if (style & SS_RIGHT) {
        window.left = window.right - width;
    } else {
        window.right = window.left + width;
    }
    SetWindowPos(hwnd(), nullptr, window.left, window.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void HyperLink::LoadLinkCursor() {
    if (m_linkCursor) {
        return;
    }
    char folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const std::string path = std::string(folder) + "\\winhlp32.exe";
        // As a data file: only its cursor resource is wanted, none of its code runs.
        base::OwnedModule module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        if (module) {
            if (HCURSOR hand = LoadCursorA(module.get(), MAKEINTRESOURCEA(106))) {
                m_linkCursor.reset(CopyCursor(hand));
            }
        }
    }
    if (!m_linkCursor) {
        // The platform's own pointing hand stands in where the help viewer has none.
        if (HCURSOR hand = LoadCursorA(nullptr, IDC_HAND)) {
            m_linkCursor.reset(CopyCursor(hand));
        }
    }
}

void HyperLink::SetLink(const std::string& target) {
    m_target = target;
    if (hwnd()) {
        FitToText();
        if (m_tip.hwnd()) {
            m_tip.UpdateTipText(m_target, hwnd(), kTipToolId);
        }
    }
}

void HyperLink::SetUnderlineMode(int mode) {
    if (mode == m_underlineMode) {
        return;
    }
    if (hwnd()) {
        SetFont(mode == UnderlineAlways ? m_underlineFont.get() : m_plainFont.get());
        Invalidate(true);
    }
    m_underlineMode = mode;
}

void HyperLink::SetColours(COLORREF link, COLORREF visited, COLORREF hover) {
    m_linkColour = link;
    m_visitedColour = visited;
    m_hoverColour = hover;
    if (hwnd()) {
        Invalidate(true);
    }
}

std::string HyperLink::tipText() const {
    return m_tip.hwnd() ? m_tip.GetText(hwnd(), kTipToolId) : std::string();
}

bool HyperLink::PreTranslateMessage(MSG& msg) {
    if (m_tip.hwnd()) {
        m_tip.RelayEvent(msg);
    }
    return Static::PreTranslateMessage(msg);
}

void HyperLink::OnMouseMove() {
    if (m_overControl) {
        return;
    }
    m_overControl = true;
    if (m_underlineMode == UnderlineOnHover) {
        SetFont(m_underlineFont.get());
    }
    Invalidate(true);
    SetTimer(hwnd(), kHoverTimerId, kHoverPeriod, nullptr);
}

void HyperLink::OnHoverTimer() {
    const DWORD position = GetMessagePos();
    POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ScreenToClient(hwnd(), &point);
    RECT client = clientRect();
    if (PtInRect(&client, point)) {
        return;
    }
    m_overControl = false;
    KillTimer(hwnd(), kHoverTimerId);
    if (m_underlineMode != UnderlineAlways) {
        SetFont(m_plainFont.get());
    }
    // Underlines of some fonts reach below the client area.
    client.bottom += 10;
    InvalidateRect(hwnd(), &client, TRUE);
}

void HyperLink::OnClicked() {
    m_overControl = false;
    const int result = OpenTarget(m_target, SW_SHOW);
    m_visited = result > kShellSuccess;
    if (m_visited) {
        if (hwnd()) {
            Invalidate(true);
        }
        return;
    }
    MessageBeep(MB_ICONEXCLAMATION);
    ReportError(result);
}

int HyperLink::OpenTarget(const std::string& target, int show) {
    const auto shell = static_cast<int>(reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, show)));
    if (shell > kShellSuccess) {
        return shell;
    }
    return OpenWithBrowser(target, show, shell);
}

int HyperLink::OpenWithBrowser(const std::string& target, int show, int shellResult) {
    // A quote inside the target could end the quoted argument and add arguments of its own.
    if (target.find('"') != std::string::npos) {
        return shellResult;
    }
    base::RegistryKey type = base::RegistryKey::Open(HKEY_CLASSES_ROOT, ".htm");
    const auto typeName = type.valid() ? type.ReadString("") : std::nullopt;
    if (!typeName || typeName->empty()) {
        return shellResult;
    }
    base::RegistryKey command =
        base::RegistryKey::Open(HKEY_CLASSES_ROOT, *typeName + "\\shell\\open\\command");
    const auto line = command.valid() ? command.ReadString("") : std::nullopt;
    if (!line) {
        return shellResult;
    }
    return static_cast<int>(WinExec(BrowserCommandLine(*line, target).c_str(), show));
}

std::string HyperLink::BrowserCommandLine(const std::string& command, const std::string& target) {
    std::string line = command;
    if (size_t quoted = line.find("\"%1\""); quoted != std::string::npos) {
        line.resize(quoted);
    } else if (size_t bare = line.find("%1"); bare != std::string::npos) {
        line.resize(bare);
    }
    return line + " \"" + target + "\"";
}

std::string HyperLink::ErrorText(int code) {
    const char* message = nullptr;
    switch (code) {
    case 0:
        message = "The operating system is out\nof memory or resources.";
        break;
    case SE_ERR_FNF:
        message = "The specified file was not found.";
        break;
    case SE_ERR_PNF:
        message = "The specified path was not found.";
        break;
    case SE_ERR_ACCESSDENIED:
        message = "The operating system denied\naccess to the specified file.";
        break;
    case SE_ERR_OOM:
        message = "There was not enough memory to complete the operation.";
        break;
    case ERROR_BAD_FORMAT:
        message = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        break;
    case SE_ERR_SHARE:
        message = "A sharing violation occurred. ";
        break;
    case SE_ERR_ASSOCINCOMPLETE:
        message = "The filename association is\nincomplete or invalid.";
        break;
    case SE_ERR_DDETIMEOUT:
        message = "The DDE transaction could not\nbe completed because the request timed out.";
        break;
    case SE_ERR_DDEFAIL:
        message = "The DDE transaction failed.";
        break;
    case SE_ERR_DDEBUSY:
        message = "The DDE transaction could not\nbe completed because other DDE transactions\n"
                  "were being processed.";
        break;
    case SE_ERR_NOASSOC:
        message = "There is no application associated\nwith the given filename extension.";
        break;
    case SE_ERR_DLLNOTFOUND:
        message = "The specified dynamic-link library was not found.";
        break;
    default:
        break;
    }
    std::string text = "Unable to open hyperlink:\n\n";
    if (message) {
        return text + message;
    }
    char unknown[64];
    wsprintfA(unknown, "Unknown Error (%d) occurred.", code);
    return text + unknown;
}

void HyperLink::ReportError(int code) {
    fw::Application* app = fw::Application::Current();
    const std::string caption = app ? app->appName() : std::string();
    MessageBoxA(GetAncestor(hwnd(), GA_ROOT), ErrorText(code).c_str(),
                caption.empty() ? nullptr : caption.c_str(), MB_ICONEXCLAMATION | MB_OK);
}

bool HyperLink::OnReflectedCtlColor(HDC dc, HBRUSH& brush) {
    SetTextColor(dc, m_overControl ? m_hoverColour : m_visited ? m_visitedColour : m_linkColour);
    SetBkMode(dc, TRANSPARENT);
    brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    return true;
}

bool HyperLink::OnReflectedCommand(UINT code) {
    if (code != STN_CLICKED) {
        return false;
    }
    OnClicked();
    return true;
}

void HyperLink::MapMessages() {
    auto& map = messages();
    map.OnSetCursor([this](HWND, UINT, UINT) {
        if (m_linkCursor) {
            SetCursor(m_linkCursor.get());
            return TRUE;
        }
        return FALSE;
    });
    map.OnMouseMove([this](POINT, UINT) {
        OnMouseMove();
        Default();
    });
    map.OnTimer([this](UINT_PTR id) {
        if (id == kHoverTimerId) {
            OnHoverTimer();
        }
        Default();
    });
    map.OnEraseBackground([this](HDC dc) {
        const RECT client = clientRect();
        FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
        return TRUE;
    });
    map.OnDestroy([this] {
        KillTimer(hwnd(), kHoverTimerId);
        Default();
    });
}
