// The small Win32 helpers the dialog is built with: text conversion, the one error check, RAII holders.
#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

//--------------------------------------------------------------------------- text

// Every text of the tool is Shift-JIS; code page 932 is named explicitly, so the dialog reads and
// shows Japanese the same on every Windows display language.
std::wstring Widen(std::string_view sjis);
std::string Narrow(std::wstring_view wide);

//--------------------------------------------------------------------------- checks

// Records a failed Win32 call (expression, file, line, GetLastError) for a debugger or DebugView and
// returns the result, so the caller can take its way out; nothing is ever shown to the user.
bool Win32Check(bool ok, const char* expression, const char* file, int line);
// The last error is cleared first: a call that fails without setting one must not log a stale code.
#define WIN32_CHECK(expression) (SetLastError(0), Win32Check((expression), #expression, __FILE__, __LINE__))

//--------------------------------------------------------------------------- holders

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using ScopedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using ScopedBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using ScopedPen = std::unique_ptr<std::remove_pointer_t<HPEN>, GdiObjectDeleter>;

// An object selected into a DC for a scope; the one it replaced is selected again when it goes.
class ScopedSelection {
  public:
    ScopedSelection(HDC dc, HGDIOBJ object) : Dc(dc), Old(SelectObject(dc, object)) {}
    ~ScopedSelection() {
        if (Old) SelectObject(Dc, Old);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

  private:
    HDC Dc;
    HGDIOBJ Old;
};

// A window's DC with one GDI object selected into it; both are given back when it goes.
class ScopedWindowDc {
  public:
    ScopedWindowDc(HWND hwnd, HGDIOBJ object) : Hwnd(hwnd), Dc(GetDC(hwnd)) {
        if (Dc && object) Old = SelectObject(Dc, object);
    }
    ~ScopedWindowDc() {
        if (!Dc) return;
        if (Old) SelectObject(Dc, Old);
        ReleaseDC(Hwnd, Dc);
    }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    HDC Get() const { return Dc; }

  private:
    HWND Hwnd;
    HDC Dc;
    HGDIOBJ Old = nullptr;
};

// A memory DC for measuring texts: a window's DC is a round trip to the display each time it is
// taken, and the dialog measures every label's caption.
class TextMeasure {
  public:
    TextMeasure() : Dc(CreateCompatibleDC(nullptr)) {}
    ~TextMeasure() {
        if (!Dc) return;
        if (Original) SelectObject(Dc, Original);
        DeleteDC(Dc);
    }
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;
    // The text's extent in the font; for an empty text, cy is the font's line height.
    SIZE Extent(HFONT font, std::wstring_view text);

  private:
    HDC Dc;
    HGDIOBJ Original = nullptr;
};

//--------------------------------------------------------------------------- windows

// Registers a window class of the program's module with the program's icon (large and small) and
// the arrow cursor; false when Windows refuses it.
bool WndClassRegister(HINSTANCE instance, const wchar_t* className, WNDPROC windowProc, int windowExtra = 0);

std::string HwndText(HWND hwnd);
void HwndSetText(HWND hwnd, std::string_view sjis);
// The same in UTF-16, for text that must not pass through Shift-JIS on its way (an edit's undo copy).
std::wstring HwndTextW(HWND hwnd);
void HwndSetTextW(HWND hwnd, const std::wstring& text);
RECT HwndScreenRect(HWND hwnd);
// Moves a top-level window to the position, or onto the nearest monitor's work area when the
// position lies on no monitor at all (a settings file from a since removed second screen).
void HwndMoveOnScreen(HWND hwnd, int left, int top);

//--------------------------------------------------------------------------- display scale

// The dialog is designed in pixels at 96 DPI; on a screen of another scale every designed position,
// size and font height is scaled by DPI / 96, rounded (96 DPI keeps every pixel as designed).
struct DpiScale {
    UINT Dpi = USER_DEFAULT_SCREEN_DPI;
    int operator()(int designPixels) const {
        return MulDiv(designPixels, static_cast<int>(Dpi), USER_DEFAULT_SCREEN_DPI);
    }
};

// The window's DPI (GetDpiForWindow from Windows 10 1607; before it, the screen's DPI).
UINT HwndDpi(HWND hwnd);
// A system metric at that DPI (GetSystemMetricsForDpi; before Windows 10 1607, the system's).
int SystemMetricForDpi(int index, UINT dpi);
// The window size whose client area is width x height at that DPI (AdjustWindowRectExForDpi).
SIZE WindowSizeForClient(int width, int height, DWORD style, DWORD exStyle, UINT dpi);

//--------------------------------------------------------------------------- process

// Folder of the running executable as Windows names it (UTF-16), whatever the code page.
std::filesystem::path ExecutableFolderPath();
