// Text conversion with code page 932, the one error check, and small window and process helpers.
#include "app/win32/win32_base.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

//--------------------------------------------------------------------------- text

namespace {
constexpr UINT kShiftJis = 932;
}

std::wstring Widen(std::string_view sjis) {
    if (sjis.empty()) return {};
    int length = 0;
    if (!WIN32_CHECK((length = MultiByteToWideChar(kShiftJis, 0, sjis.data(), static_cast<int>(sjis.size()),
                                                   nullptr, 0)) > 0))
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kShiftJis, 0, sjis.data(), static_cast<int>(sjis.size()), wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    int length = 0;
    if (!WIN32_CHECK((length = WideCharToMultiByte(kShiftJis, 0, wide.data(), static_cast<int>(wide.size()),
                                                   nullptr, 0, nullptr, nullptr)) > 0))
        return {};
    std::string sjis(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kShiftJis, 0, wide.data(), static_cast<int>(wide.size()), sjis.data(), length,
                        nullptr, nullptr);
    return sjis;
}

//--------------------------------------------------------------------------- checks

bool Win32Check(bool ok, const char* expression, const char* file, int line) {
    if (ok) return true;
    const DWORD error = GetLastError();
    char message[512];
    std::snprintf(message, sizeof message, "Tarvel: %s:%d: %s failed (error %lu)\n", file, line, expression,
                  static_cast<unsigned long>(error));
    OutputDebugStringA(message);
    return false;
}

//--------------------------------------------------------------------------- holders

SIZE TextMeasure::Extent(HFONT font, std::wstring_view text) {
    SIZE size{};
    if (!Dc) return size;
    const HGDIOBJ previous = SelectObject(Dc, font);
    if (!Original) Original = previous;
    if (text.empty()) {
        TEXTMETRICW metrics{};
        if (WIN32_CHECK(GetTextMetricsW(Dc, &metrics))) size.cy = metrics.tmHeight;
    } else
        WIN32_CHECK(GetTextExtentPoint32W(Dc, text.data(), static_cast<int>(text.size()), &size));
    return size;
}

//--------------------------------------------------------------------------- windows

bool WndClassRegister(HINSTANCE instance, const wchar_t* className, WNDPROC windowProc, int windowExtra) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.cbWndExtra = windowExtra;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    return WIN32_CHECK(RegisterClassExW(&windowClass) != 0);
}

std::wstring HwndTextW(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    wide.resize(static_cast<size_t>(GetWindowTextW(hwnd, wide.data(), length + 1)));
    return wide;
}

void HwndSetTextW(HWND hwnd, const std::wstring& text) {
    WIN32_CHECK(SetWindowTextW(hwnd, text.c_str()));
}

std::string HwndText(HWND hwnd) {
    return Narrow(HwndTextW(hwnd));
}

void HwndSetText(HWND hwnd, std::string_view sjis) {
    HwndSetTextW(hwnd, Widen(sjis));
}

RECT HwndScreenRect(HWND hwnd) {
    RECT rect{};
    WIN32_CHECK(GetWindowRect(hwnd, &rect));
    return rect;
}

void HwndMoveOnScreen(HWND hwnd, int left, int top) {
    const RECT now = HwndScreenRect(hwnd);
    const LONG width = now.right - now.left, height = now.bottom - now.top;
    // The position comes from the settings file and may lie anywhere in the 32-bit range: the far
    // edges are worked out in 64 bits and held at the range's end.
    const auto farEdge = [](LONG start, LONG size) {
        return static_cast<LONG>(std::min<int64_t>(int64_t{start} + size, std::numeric_limits<LONG>::max()));
    };
    const RECT wanted{left, top, farEdge(left, width), farEdge(top, height)};
    if (!MonitorFromRect(&wanted, MONITOR_DEFAULTTONULL)) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (WIN32_CHECK(GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor))) {
            const RECT& work = monitor.rcWork;
            left = std::max(work.left, std::min<LONG>(left, work.right - width));
            top = std::max(work.top, std::min<LONG>(top, work.bottom - height));
        }
    }
    WIN32_CHECK(SetWindowPos(hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
}

//--------------------------------------------------------------------------- display scale

namespace {

// Windows 7 and 8.1 lack the DPI functions of Windows 10: looked up at run time, so the program still
// starts there (system DPI only).
template <class Function> Function User32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

} // namespace

UINT HwndDpi(HWND hwnd) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(hwnd)) return dpi;
    }
    const ScopedWindowDc dc(nullptr, nullptr);
    const int dpi = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

int SystemMetricForDpi(int index, UINT dpi) {
    using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, dpi) : GetSystemMetrics(index);
}

SIZE WindowSizeForClient(int width, int height, DWORD style, DWORD exStyle, UINT dpi) {
    using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, width, height};
    if (adjustForDpi)
        WIN32_CHECK(adjustForDpi(&frame, style, FALSE, exStyle, dpi));
    else
        WIN32_CHECK(AdjustWindowRectEx(&frame, style, FALSE, exStyle));
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

//--------------------------------------------------------------------------- process

std::filesystem::path ExecutableFolderPath() {
    // Paths may be longer than MAX_PATH; GetModuleFileNameW cuts silently, so grow until it fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = 0;
        if (!WIN32_CHECK(
                (length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) != 0))
            return {};
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path).parent_path();
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}
