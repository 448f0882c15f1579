// The yardstick of the start-up benchmark: a window with the dialog's controls, made from the same
// design table and in the same fonts, and nothing else (no handlers, no files, no layout pass). Not
// shipped; startup_bench times Tarvel.exe against it.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/win32/control_ids.h"
#include "app/win32/win32_base.h"
#include "tool/dialog_design.h"

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

HFONT Font(int height) {
    static std::vector<std::pair<int, HFONT>> fonts;
    for (const auto& [fontHeight, font] : fonts)
        if (fontHeight == height) return font;
    HFONT font = CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             FIXED_PITCH | FF_MODERN, Widen(DialogForm().FontName).c_str());
    fonts.emplace_back(height, font);
    return font;
}

HWND Child(HWND parent, const wchar_t* className, const char* text, DWORD style, DWORD exStyle,
           const TControlDesign& row, int x, int y, int width, int height, int id) {
    HWND hwnd = CreateWindowExW(exStyle, className, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y,
                                width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(
        hwnd, WM_SETFONT,
        reinterpret_cast<WPARAM>(Font(row.FontHeight > 0 ? row.FontHeight : DialogForm().FontHeight)), FALSE);
    return hwnd;
}

// The same window classes, styles, texts and items as Tarvel.exe gives each row.
void CreateControls(HWND window) {
    const auto rows = DialogControls();
    for (size_t i = 0; i < rows.size(); ++i) {
        const TControlDesign& row = rows[i];
        const int position = static_cast<int>(i), id = ControlId(position);
        const DWORD tab = (row.TabOrder >= 0 ? WS_TABSTOP : 0) | WS_GROUP;
        switch (row.Kind) {
        case TControlKind::Label:
            Child(window, L"STATIC", row.Caption,
                  SS_NOPREFIX | (row.CenterText ? SS_CENTER | SS_CENTERIMAGE : SS_LEFTNOWORDWRAP) | tab, 0,
                  row, row.X, row.Y, row.Width, row.Height, id);
            break;
        case TControlKind::ComboBox: {
            HWND combo = Child(window, L"COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                               0, row, row.X, row.Y, row.Width, row.Height + 8 * 13 + 2, id);
            for (const char* item : row.Items)
                SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(row.DefaultIndex), 0);
            break;
        }
        case TControlKind::Edit:
            Child(window, L"EDIT", row.Caption, ES_AUTOHSCROLL | tab, WS_EX_CLIENTEDGE, row, row.X, row.Y,
                  row.Width, row.Height, id);
            break;
        case TControlKind::CheckBox:
            Child(window, L"BUTTON", row.Caption, BS_AUTOCHECKBOX | tab, 0, row, row.X, row.Y, row.Width,
                  row.Height, id);
            break;
        case TControlKind::RadioGroup: {
            Child(window, L"BUTTON", row.Caption, BS_GROUPBOX | WS_GROUP, 0, row, row.X, row.Y, row.Width,
                  row.Height, id);
            const int count = static_cast<int>(row.Items.size()), width = (row.Width - 10) / row.Columns;
            for (int item = 0; item < count; ++item) {
                HWND button =
                    Child(window, L"BUTTON", row.Items[static_cast<size_t>(item)],
                          BS_AUTORADIOBUTTON | (item == 0 ? WS_GROUP | WS_TABSTOP : 0), 0, row,
                          row.X + 8 + item * width, row.Y + 15, width, 22, RadioButtonId(position, item));
                if (item == row.DefaultIndex) SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0);
            }
            break;
        }
        case TControlKind::Memo: {
            std::string text;
            for (size_t line = 0; line < row.Items.size(); ++line)
                text += (line == 0 ? "" : "\r\n") + std::string(row.Items[line]);
            Child(window, L"EDIT", text.c_str(),
                  ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | tab,
                  WS_EX_CLIENTEDGE, row, row.X, row.Y, row.Width, row.Height, id);
            break;
        }
        case TControlKind::Button:
            Child(window, L"BUTTON", row.Caption, (row.IsDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | tab, 0,
                  row, row.X, row.Y, row.Width, row.Height, id);
            break;
        }
    }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"TarvelBareDialog";
    RegisterClassExW(&windowClass);

    const TFormDesign& form = DialogForm();
    RECT frame{0, 0, form.ClientWidth, form.ClientHeight};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    HWND window = CreateWindowExW(0, L"TarvelBareDialog", Widen(form.Caption).c_str(), kWindowStyle, 100, 100,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  instance, nullptr);
    CreateControls(window);
    ShowWindow(window, SW_SHOWNORMAL);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
