// Program entry: the application window that owns the dialog, the dialog TForm1, and the message loop.
#include <windows.h>

#include <commctrl.h>

#include "app/win32/widgets_win32.h"
#include "tool/Unit1.h"

namespace {

//--------------------------------------------------------------------------- application window

// The taskbar shows the application's title while the dialog's caption reads "Tarvel": a hidden-size
// application window owns the dialog and carries the taskbar button, which an owned window never gets.
constexpr wchar_t kApplicationClass[] = L"TarvelApplication";
constexpr char kApplicationTitle[] = "Ventra_Tarvel";

// Activating the application from the taskbar hands the focus on to the dialog, or to its message box.
void OnApplicationSetFocus(HWND application) {
    HWND popup = GetLastActivePopup(application);
    if (popup && popup != application && IsWindowEnabled(popup)) SetFocus(popup);
}

// "Close window" on the taskbar button closes the dialog as its title-bar button would; while the
// message box is up, the dialog is disabled and the box must be answered first.
void OnApplicationClose(HWND application) {
    HWND dialog = GetWindow(application, GW_ENABLEDPOPUP);
    if (dialog && GetWindow(dialog, GW_OWNER) == application) PostMessageW(dialog, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS:
        OnApplicationSetFocus(hwnd);
        return 0;
    case WM_CLOSE:
        OnApplicationClose(hwnd);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateApplicationWindow(HINSTANCE instance) {
    if (!WndClassRegister(instance, kApplicationClass, ApplicationProc)) return nullptr;
    // Zero size: the window exists for its taskbar button only and never shows on the screen.
    HWND application = nullptr;
    WIN32_CHECK((application = CreateWindowExW(0, kApplicationClass, Widen(kApplicationTitle).c_str(),
                                               WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0,
                                               0, nullptr, nullptr, instance, nullptr)) != nullptr);
    return application;
}

//--------------------------------------------------------------------------- run

// The way Cancel ends a run, for when the dialog cannot be built or a handler fails: Jw_cad finds
// "hq" and draws nothing, and the program still ends with exit code 0.
void WriteCancelFile() noexcept {
    try {
        AnswerCancel(ExecutableFolderPath());
    } catch (...) {
        Win32Check(false, "writing the cancel file", __FILE__, __LINE__);
    }
}

// The dialog manager handles the keyboard: Tab and Shift+Tab, Enter, Esc and the Alt access keys.
void RunMessageLoop(HWND dialog) {
    MSG message;
    BOOL result;
    while ((result = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (result == -1) break;
        if (IsDialogMessageW(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Loads comctl32, so the manifest's version 6 of the standard controls is used.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    WIN32_CHECK(InitCommonControlsEx(&controls));

    HWND application = CreateApplicationWindow(instance);
    std::unique_ptr<WindowWin32> window = WindowWin32::Create(instance, application);
    if (!window) {
        WriteCancelFile();
        return 0;
    }
    try {
        TForm1 Form1(*window);
        window->OnFailure = WriteCancelFile;
        if (application) ShowWindow(application, SW_SHOWNA);
        window->Show();
        RunMessageLoop(window->Handle());
    } catch (...) {
        Win32Check(false, "the dialog failed to start", __FILE__, __LINE__);
        WriteCancelFile();
    }
    return 0;
}
