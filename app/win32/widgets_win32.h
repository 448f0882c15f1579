// The dialog's widgets as real Win32 controls, built by walking the dialog's design.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "app/win32/win32_base.h"
#include "tool/Widgets.h"

class ControlWin32;

class WindowWin32 final : public TWindow {
  public:
    // The window, hidden, with every control of the design; nullptr when Windows refuses any of them.
    static std::unique_ptr<WindowWin32> Create(HINSTANCE instance, HWND owner);
    ~WindowWin32() override;

    HWND Handle() const { return Hwnd; }
    // Runs OnShow, shows the window and puts the keyboard focus on the first tab stop.
    void Show();

    TControl* FindControl(std::string_view name) override;
    int Left() const override;
    int Top() const override;
    void MoveTo(int left, int top) override;
    void Close() override;
    void ShowConfirmation(const std::string& text, const std::string& caption) override;
    void FocusControl(TControl& control) override;
    std::filesystem::path ExecutableFolder() const override;

    // A handler failed unexpectedly: the run ends the way Cancel ends it.
    std::function<void()> OnFailure;

  private:
    WindowWin32() = default;
    bool Build(HINSTANCE instance, HWND owner);
    void ScaleControls(UINT dpi);
    SIZE FrameSize(UINT dpi) const;
    void FitClientArea();
    HFONT FontOfHeight(int height);
    ControlWin32* ControlOf(HWND hwnd) const;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code, HWND control);
    BOOL OnDrawItem(const DRAWITEMSTRUCT& item);
    HBRUSH OnCtlColor(HDC dc, HWND control);
    void OnShowWindow(bool shown);
    void OnCloseMessage();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void OnDestroy();
    bool OnSysCommand(WPARAM command);
    void Fail();

    HWND Hwnd = nullptr;
    HWND Owner = nullptr;
    std::vector<std::unique_ptr<ControlWin32>> Controls;
    std::vector<std::pair<int, ScopedFont>> Fonts; // by design height, at Scale
    DpiScale Scale;
    ScopedBrush Background;
    COLORREF BackgroundColor = RGB(255, 255, 255);
    bool Shown = false;
    bool Closing = false;
};
