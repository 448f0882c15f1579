// The dialog as Win32 controls: one class per widget of tool/Widgets.h, and the window that builds
// them from the dialog's design and runs them through the dialog manager.
#include "app/win32/widgets_win32.h"

#include <imm.h>

#include <algorithm>
#include <utility>

#include "app/win32/control_ids.h"
#include "app/win32/end_mark_pictures.h"
#include "tool/dialog_design.h"

namespace {

COLORREF ColorOf(const TColor& color) {
    return RGB(color.R, color.G, color.B);
}

// A control's rectangle in client pixels.
struct Box {
    int X = 0, Y = 0, Width = 0, Height = 0;
};

// What a control's place depends on besides its design: the window's scale, the row's font at that
// scale, and a DC to measure texts in it.
struct Placing {
    const DpiScale& Scale;
    HFONT Font;
    TextMeasure& Measure;
};

Box DesignBox(const TControlDesign& row, const DpiScale& scale) {
    return {scale(row.X), scale(row.Y), scale(row.Width), scale(row.Height)};
}

// Each child is made at its place for the window's scale, in its font, so that starting takes no
// second pass over the controls. Windows takes the tab order from the creation order; WS_GROUP on
// every row's first window ends the radio group before it, so the arrow keys stay inside one group.
HWND CreateChild(HWND parent, const wchar_t* className, std::string_view text, DWORD style, DWORD exStyle,
                 const Box& box, int id, HFONT font) {
    const std::wstring caption = Widen(text);
    const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    HWND hwnd = nullptr;
    if (!WIN32_CHECK((hwnd = CreateWindowExW(exStyle, className, caption.c_str(),
                                             WS_CHILD | WS_VISIBLE | style, box.X, box.Y, box.Width,
                                             box.Height, parent, menu, instance, nullptr)) != nullptr))
        return nullptr;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

HWND CreateChild(HWND parent, const wchar_t* className, const TControlDesign& row, DWORD style, DWORD exStyle,
                 const Box& box, int id, HFONT font) {
    const DWORD tabStop = row.TabOrder >= 0 ? WS_TABSTOP : 0;
    return CreateChild(parent, className, row.Caption, style | tabStop | WS_GROUP, exStyle, box, id, font);
}

// Gives a child its font, then its rectangle: a control may measure itself by its font.
void PlaceChild(HWND hwnd, HFONT font, const Box& box) {
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SetWindowPos(hwnd, nullptr, box.X, box.Y, box.Width, box.Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

//--------------------------------------------------------------------------- control

// What the window keeps of every control: its design row, its window and its background brush.
class ControlWin32 {
  public:
    ControlWin32(const TControlDesign& design, HWND hwnd) : Design(design), Hwnd(hwnd) {}
    virtual ~ControlWin32() = default;
    virtual TControl& Widget() = 0;
    virtual bool Created() const { return Hwnd != nullptr; }
    virtual bool Holds(HWND hwnd) const { return hwnd == Hwnd; }
    virtual HWND FocusTarget() const { return Hwnd; }
    virtual void OnNotify(int /*code*/) {}
    // WM_DRAWITEM of an owner-drawn control; false when the control draws itself.
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    // Places the control again after a change of DPI, in the font of the new scale.
    virtual void LayOut(const Placing& at) { PlaceChild(Hwnd, at.Font, DesignBox(Design, at.Scale)); }

    const TControlDesign& Design;
    const HWND Hwnd;
    ScopedBrush Background; // only for rows with a colour of their own
    COLORREF BackgroundColor = 0;
};

template <class Interface> class Win32Widget : public Interface, public ControlWin32 {
  public:
    Win32Widget(const TControlDesign& design, HWND hwnd)
        : ControlWin32(design, hwnd), WidgetName(design.Name) {
        if (design.HasBackground) {
            BackgroundColor = ColorOf(design.Background);
            Background.reset(CreateSolidBrush(BackgroundColor));
        }
    }
    const std::string& Name() const final { return WidgetName; }
    TControl& Widget() final { return *this; }

  private:
    std::string WidgetName;
};

//--------------------------------------------------------------------------- label

class LabelWin32 final : public Win32Widget<TLabel> {
  public:
    LabelWin32(HWND parent, const TControlDesign& row, int id, const Placing& at)
        : Win32Widget(row, CreateChild(parent, L"STATIC", row,
                                       SS_NOPREFIX |
                                           (row.CenterText ? SS_CENTER | SS_CENTERIMAGE : SS_LEFTNOWORDWRAP),
                                       0, BoxAt(row, at), id, at.Font)) {}
    void LayOut(const Placing& at) override { PlaceChild(Hwnd, at.Font, BoxAt(Design, at)); }
    // Labels size themselves to their captions in the real font; the status line keeps its size.
    static Box BoxAt(const TControlDesign& row, const Placing& at) {
        Box box = DesignBox(row, at.Scale);
        if (!row.CenterText) box.Width = at.Measure.Extent(at.Font, Widen(row.Caption)).cx;
        return box;
    }
    std::string Caption() const override { return HwndText(Hwnd); }
    void SetCaption(const std::string& caption) override { HwndSetText(Hwnd, caption); }
    void Repaint() override {
        RedrawWindow(Hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
};

//--------------------------------------------------------------------------- drop-down list

class ComboBoxWin32 final : public Win32Widget<TComboBox> {
  public:
    // The end-mark lists draw their items (a picture, then the text) and keep their strings, so the
    // texts, the indices and the keyboard's search by first letter stay as in any list.
    ComboBoxWin32(HWND parent, const TControlDesign& row, int id, const Placing& at)
        : Win32Widget(row, CreateChild(parent, L"COMBOBOX", "",
                                       CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP |
                                           (row.EndMarkPictures ? CBS_OWNERDRAWFIXED | CBS_HASSTRINGS : 0),
                                       0, BoxAt(row, at.Scale), id, at.Font)),
          Scale(at.Scale), Font(at.Font) {
        if (!Hwnd) return;
        SetHeights(at.Scale);
        for (const char* item : row.Items) AddItem(item);
        SetItemIndex(row.DefaultIndex);
        if (row.ImeOff) ImmAssociateContext(Hwnd, nullptr);
        FitDroppedWidth(at);
    }
    // As at creation: the rectangle, then the font, then the heights.
    void LayOut(const Placing& at) override {
        Scale = at.Scale;
        Font = at.Font;
        const Box box = BoxAt(Design, at.Scale);
        SetWindowPos(Hwnd, nullptr, box.X, box.Y, box.Width, box.Height, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(Hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(at.Font), TRUE);
        SetHeights(at.Scale);
        FitDroppedWidth(at);
    }
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    void Clear() override { SendMessageW(Hwnd, CB_RESETCONTENT, 0, 0); }
    void AddItem(const std::string& item) override {
        SendMessageW(Hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    }
    int ItemCount() const override { return static_cast<int>(SendMessageW(Hwnd, CB_GETCOUNT, 0, 0)); }
    std::string Item(int index) const override {
        const LRESULT length = SendMessageW(Hwnd, CB_GETLBTEXTLEN, index, 0);
        if (length == CB_ERR) return {};
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(
            SendMessageW(Hwnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()))));
        return Narrow(text);
    }
    int ItemIndex() const override { return static_cast<int>(SendMessageW(Hwnd, CB_GETCURSEL, 0, 0)); }
    void SetItemIndex(int index) override {
        SendMessageW(Hwnd, CB_SETCURSEL, index >= 0 && index < ItemCount() ? index : -1, 0);
    }

  private:
    static constexpr int kItemHeight = 13;
    static constexpr int kFrame = 6; // above and below the field, at 96 DPI
    // An end-mark item at 96 DPI: margin, picture, gap, text, margin.
    static constexpr int kMargin = 2, kPictureWidth = 32, kGap = 4;

    DpiScale Scale;
    HFONT Font;

    int PictureRoom() const { return Scale(kMargin + kPictureWidth + kGap); }
    // The opened list is as wide as its widest item needs, beside its scroll bar.
    void FitDroppedWidth(const Placing& at) {
        if (!Design.EndMarkPictures) return;
        int widest = 0;
        for (const char* item : Design.Items)
            widest = std::max<int>(widest, at.Measure.Extent(at.Font, Widen(item)).cx);
        const int list = PictureRoom() + widest + Scale(kMargin) +
                         SystemMetricForDpi(SM_CXVSCROLL, Scale.Dpi) +
                         2 * SystemMetricForDpi(SM_CXEDGE, Scale.Dpi);
        SendMessageW(Hwnd, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(list), 0);
    }

    // The height given to Windows includes the opened list: eight items.
    static Box BoxAt(const TControlDesign& row, const DpiScale& scale) {
        Box box = DesignBox(row, scale);
        box.Height += 8 * scale(kItemHeight) + 2;
        return box;
    }
    // The frame around the field need not grow with the scale, so the closed list is measured once
    // its heights are set and the field takes up any difference.
    void SetHeights(const DpiScale& scale) {
        const int height = scale(Design.Height), field = height - kFrame;
        SendMessageW(Hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        SendMessageW(Hwnd, CB_SETITEMHEIGHT, 0, scale(kItemHeight));
        const RECT shown = HwndScreenRect(Hwnd);
        if (const int off = height - (shown.bottom - shown.top); off != 0)
            SendMessageW(Hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + off);
    }
};

// An item in the system's colours, as a list draws its own: highlighted when selected, with the focus
// rectangle when focused. The closed box keeps its text whole and shows the picture only when both
// fit; the opened list, widened for it, always shows it.
bool ComboBoxWin32::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (!Design.EndMarkPictures) return false;
    const HDC dc = item.hDC;
    const RECT& room = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF paper = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    const COLORREF ink = GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                                     : selected                      ? COLOR_HIGHLIGHTTEXT
                                                                     : COLOR_WINDOWTEXT);
    const int saved = SaveDC(dc);
    SetBkColor(dc, paper);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &room, nullptr, 0, nullptr);
    if (item.itemID != static_cast<UINT>(-1)) {
        const int kind = static_cast<int>(item.itemID);
        const std::wstring text = Widen(Item(kind));
        SelectObject(dc, Font);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        int textLeft = room.left + Scale(kMargin);
        const bool closed = (item.itemState & ODS_COMBOBOXEDIT) != 0;
        if (!closed || PictureRoom() + extent.cx + Scale(kMargin) <= room.right - room.left) {
            const RECT cell{textLeft, room.top + Scale(1), textLeft + Scale(kPictureWidth),
                            room.bottom - Scale(1)};
            PaintEndMark(dc, kind, cell, ink, paper, Scale(1));
            textLeft = room.left + PictureRoom();
        }
        SetTextColor(dc, ink);
        SetBkMode(dc, TRANSPARENT);
        RECT textRoom{textLeft, room.top, room.right, room.bottom};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRoom,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    RestoreDC(dc, saved);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &room);
    return true;
}

//--------------------------------------------------------------------------- text box

class EditWin32 final : public Win32Widget<TEdit> {
  public:
    EditWin32(HWND parent, const TControlDesign& row, int id, const Placing& at)
        : Win32Widget(row, CreateChild(parent, L"EDIT", row, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                                       DesignBox(row, at.Scale), id, at.Font)),
          Accepted(Widen(row.Caption)) {
        if (!Hwnd) return;
        if (row.MaxLength > 0) SendMessageW(Hwnd, EM_LIMITTEXT, row.MaxLength, 0);
        if (row.ImeOff) ImmAssociateContext(Hwnd, nullptr);
    }
    std::string Text() const override { return HwndText(Hwnd); }
    void SetText(const std::string& text) override {
        Accepted = Widen(text);
        HwndSetText(Hwnd, text);
    }
    int MaxLength() const override { return Design.MaxLength; }

    // EM_LIMITTEXT counts UTF-16 units, but the limit is in Shift-JIS bytes, where a full-width
    // character takes two. EN_UPDATE comes before the new text is shown, for typing, pasting and
    // the input method alike: an edit that makes the text longer than the limit is taken back.
    // A longer text that SetText put there may still be shortened.
    void OnNotify(int code) override {
        if (code != EN_UPDATE || Reverting || Design.MaxLength <= 0) return;
        std::wstring now = HwndTextW(Hwnd);
        const size_t bytes = Narrow(now).size();
        if (bytes <= static_cast<size_t>(Design.MaxLength) || bytes <= Narrow(Accepted).size()) {
            Accepted = std::move(now);
            return;
        }
        DWORD start = 0, end = 0;
        SendMessageW(Hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const long grown = static_cast<long>(now.size()) - static_cast<long>(Accepted.size());
        const long caret = std::max(0L, static_cast<long>(end) - std::max(0L, grown));
        Reverting = true;
        HwndSetTextW(Hwnd, Accepted);
        SendMessageW(Hwnd, EM_SETSEL, caret, caret);
        Reverting = false;
    }

  private:
    std::wstring Accepted;
    bool Reverting = false;
};

//--------------------------------------------------------------------------- check box

class CheckBoxWin32 final : public Win32Widget<TCheckBox> {
  public:
    CheckBoxWin32(HWND parent, const TControlDesign& row, int id, const Placing& at)
        : Win32Widget(row, CreateChild(parent, L"BUTTON", row, BS_AUTOCHECKBOX, 0, DesignBox(row, at.Scale),
                                       id, at.Font)) {}
    bool Checked() const override { return SendMessageW(Hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void SetChecked(bool checked) override {
        SendMessageW(Hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
};

//--------------------------------------------------------------------------- radio group

// A group box with its buttons laid out in columns, each column filled top-down; the buttons are
// siblings of the box, so their clicks and the dialog manager's arrow keys reach the window.
class RadioGroupWin32 final : public Win32Widget<TRadioGroup> {
  public:
    RadioGroupWin32(HWND parent, const TControlDesign& row, int position, const Placing& at)
        : Win32Widget(row, CreateChild(parent, L"BUTTON", row.Caption, BS_GROUPBOX | WS_GROUP, 0,
                                       DesignBox(row, at.Scale), ControlId(position), at.Font)) {
        if (!Hwnd) return;
        for (size_t i = 0; i < row.Items.size(); ++i) {
            const DWORD first = i == 0 ? WS_GROUP | WS_TABSTOP : 0;
            const int item = static_cast<int>(i);
            Buttons.push_back(CreateChild(parent, L"BUTTON", row.Items[i], BS_AUTORADIOBUTTON | first, 0,
                                          ButtonBox(item, at), RadioButtonId(position, item), at.Font));
        }
        SetItemIndex(row.DefaultIndex);
    }
    void LayOut(const Placing& at) override {
        PlaceChild(Hwnd, at.Font, DesignBox(Design, at.Scale));
        for (size_t i = 0; i < Buttons.size(); ++i)
            PlaceChild(Buttons[i], at.Font, ButtonBox(static_cast<int>(i), at));
    }
    // The buttons share the room under the caption line, column by column.
    Box ButtonBox(int item, const Placing& at) const {
        const DpiScale& scale = at.Scale;
        const Box group = DesignBox(Design, scale);
        const int count = static_cast<int>(Design.Items.size());
        const int columns = std::max(1, Design.Columns);
        const int perColumn = std::max(1, (count + columns - 1) / columns);
        const int lineHeight = at.Measure.Extent(at.Font, L"").cy;
        const int buttonWidth = (group.Width - scale(10)) / columns;
        const int room = group.Height - lineHeight - scale(5);
        const int buttonHeight = room / perColumn;
        const int topMargin = lineHeight + scale(1) + (room % perColumn) / 2;
        return {group.X + scale(8) + item / perColumn * buttonWidth,
                group.Y + topMargin + item % perColumn * buttonHeight, buttonWidth, buttonHeight};
    }
    bool Created() const override {
        return Hwnd && std::find(Buttons.begin(), Buttons.end(), nullptr) == Buttons.end();
    }
    bool Holds(HWND hwnd) const override {
        return hwnd == Hwnd || std::find(Buttons.begin(), Buttons.end(), hwnd) != Buttons.end();
    }
    HWND FocusTarget() const override {
        const int index = ItemIndex();
        return Buttons.empty() ? Hwnd : Buttons[static_cast<size_t>(std::max(0, index))];
    }
    int ItemCount() const override { return static_cast<int>(Buttons.size()); }
    int ItemIndex() const override {
        for (size_t i = 0; i < Buttons.size(); ++i)
            if (SendMessageW(Buttons[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int>(i);
        return -1;
    }
    void SetItemIndex(int index) override {
        for (size_t i = 0; i < Buttons.size(); ++i)
            SendMessageW(Buttons[i], BM_SETCHECK, static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED,
                         0);
    }

  private:
    std::vector<HWND> Buttons;
};

//--------------------------------------------------------------------------- memo

class MemoWin32 final : public Win32Widget<TMemo> {
  public:
    // Read-only edits ask for their colours with WM_CTLCOLORSTATIC, which the window answers.
    MemoWin32(HWND parent, const TControlDesign& row, int id, const Placing& at)
        : Win32Widget(row,
                      CreateChild(parent, L"EDIT", row,
                                  ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL,
                                  WS_EX_CLIENTEDGE, DesignBox(row, at.Scale), id, at.Font)) {
        std::string text;
        for (size_t i = 0; i < row.Items.size(); ++i)
            text += (i == 0 ? "" : "\r\n") + std::string(row.Items[i]);
        if (Hwnd) HwndSetText(Hwnd, text);
    }
    int LineCount() const override { return static_cast<int>(SendMessageW(Hwnd, EM_GETLINECOUNT, 0, 0)); }
    std::string Line(int index) const override {
        const LRESULT start = SendMessageW(Hwnd, EM_LINEINDEX, index, 0);
        if (start < 0) return {};
        const LRESULT length = SendMessageW(Hwnd, EM_LINELENGTH, start, 0);
        std::wstring line(static_cast<size_t>(std::max<LRESULT>(length, 1)), L'\0');
        line[0] = static_cast<wchar_t>(line.size()); // EM_GETLINE reads its buffer size from the first unit
        line.resize(static_cast<size_t>(
            SendMessageW(Hwnd, EM_GETLINE, index, reinterpret_cast<LPARAM>(line.data()))));
        return Narrow(line);
    }
};

//--------------------------------------------------------------------------- button

class ButtonWin32 final : public Win32Widget<TButton> {
  public:
    ButtonWin32(HWND parent, const TControlDesign& row, int id, const Placing& at)
        : Win32Widget(row,
                      CreateChild(parent, L"BUTTON", row, row.IsDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 0,
                                  DesignBox(row, at.Scale), id, at.Font)) {}
    void OnNotify(int code) override {
        if (code == BN_CLICKED && OnClick) OnClick();
    }
};

//--------------------------------------------------------------------------- window

namespace {

constexpr wchar_t kWindowClass[] = L"TarvelForm";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

int DesignFontHeight(const TControlDesign& row) {
    return row.FontHeight > 0 ? row.FontHeight : DialogForm().FontHeight;
}

std::unique_ptr<ControlWin32> CreateControl(HWND parent, const TControlDesign& row, int position,
                                            const Placing& at) {
    const int id = ControlId(position);
    switch (row.Kind) {
    case TControlKind::Label:
        return std::make_unique<LabelWin32>(parent, row, id, at);
    case TControlKind::ComboBox:
        return std::make_unique<ComboBoxWin32>(parent, row, id, at);
    case TControlKind::Edit:
        return std::make_unique<EditWin32>(parent, row, id, at);
    case TControlKind::CheckBox:
        return std::make_unique<CheckBoxWin32>(parent, row, id, at);
    case TControlKind::RadioGroup:
        return std::make_unique<RadioGroupWin32>(parent, row, position, at);
    case TControlKind::Memo:
        return std::make_unique<MemoWin32>(parent, row, id, at);
    case TControlKind::Button:
        return std::make_unique<ButtonWin32>(parent, row, id, at);
    }
    return nullptr;
}

} // namespace

std::unique_ptr<WindowWin32> WindowWin32::Create(HINSTANCE instance, HWND owner) {
    std::unique_ptr<WindowWin32> window(new WindowWin32);
    if (!window->Build(instance, owner)) return nullptr;
    return window;
}

WindowWin32::~WindowWin32() {
    if (Hwnd) DestroyWindow(Hwnd);
}

// The window runs on the dialog manager (DefDlgProc and DLGWINDOWEXTRA, as in "Another different type
// of dialog procedure", The Old New Thing, 2003-11-13): WM_NEXTDLGCTL, the default button, and the
// focus that comes back after a message box or a switch to another program.
bool WindowWin32::Build(HINSTANCE instance, HWND owner) {
    const TFormDesign& form = DialogForm();
    if (!WndClassRegister(instance, kWindowClass, WindowProc, DLGWINDOWEXTRA)) return false;

    BackgroundColor = ColorOf(form.Background);
    Background.reset(CreateSolidBrush(BackgroundColor));
    Owner = owner;
    // Made at the design size; the DPI of the monitor it is on is known once it exists.
    const SIZE size =
        WindowSizeForClient(form.ClientWidth, form.ClientHeight, kWindowStyle, 0, USER_DEFAULT_SCREEN_DPI);
    if (!WIN32_CHECK(CreateWindowExW(0, kWindowClass, Widen(form.Caption).c_str(), kWindowStyle, form.Left,
                                     form.Top, size.cx, size.cy, owner, nullptr, instance, this) != nullptr))
        return false;
    Scale.Dpi = HwndDpi(Hwnd);

    TextMeasure measure;
    const auto rows = DialogControls();
    for (size_t i = 0; i < rows.size(); ++i) {
        const Placing at{Scale, FontOfHeight(DesignFontHeight(rows[i])), measure};
        Controls.push_back(CreateControl(Hwnd, rows[i], static_cast<int>(i), at));
        if (!Controls.back() || !Controls.back()->Created()) return false;
    }
    if (Scale.Dpi != USER_DEFAULT_SCREEN_DPI) {
        const SIZE scaled = FrameSize(Scale.Dpi);
        SetWindowPos(Hwnd, nullptr, 0, 0, scaled.cx, scaled.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FitClientArea();
    SendMessageW(Hwnd, DM_SETDEFID, IDOK, 0);
    return true;
}

// Every control and its font follow a new DPI; the window's own rectangle is left to the caller.
void WindowWin32::ScaleControls(UINT dpi) {
    // The controls take the new fonts before the old ones are deleted.
    std::vector<std::pair<int, ScopedFont>> previousFonts;
    if (dpi != Scale.Dpi) previousFonts = std::exchange(Fonts, {});
    Scale.Dpi = dpi;
    TextMeasure measure;
    for (const auto& control : Controls)
        control->LayOut(Placing{Scale, FontOfHeight(DesignFontHeight(control->Design)), measure});
}

// The frame's size for a DPI is the system's estimate; the client area must come out exactly as scaled,
// so any difference in the frame actually drawn is made up here.
void WindowWin32::FitClientArea() {
    RECT client{};
    if (!WIN32_CHECK(GetClientRect(Hwnd, &client))) return;
    const int dx = Scale(DialogForm().ClientWidth) - client.right;
    const int dy = Scale(DialogForm().ClientHeight) - client.bottom;
    if (dx == 0 && dy == 0) return;
    const RECT frame = HwndScreenRect(Hwnd);
    SetWindowPos(Hwnd, nullptr, 0, 0, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE WindowWin32::FrameSize(UINT dpi) const {
    const DpiScale scale{dpi};
    return WindowSizeForClient(scale(DialogForm().ClientWidth), scale(DialogForm().ClientHeight),
                               kWindowStyle, 0, dpi);
}

// The font of a design height, at the window's scale.
HFONT WindowWin32::FontOfHeight(int height) {
    for (const auto& [fontHeight, font] : Fonts)
        if (fontHeight == height) return font.get();
    HFONT created = nullptr;
    if (!WIN32_CHECK((created = CreateFontW(-Scale(height), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                            SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                            DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                                            Widen(DialogForm().FontName).c_str())) != nullptr))
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    ScopedFont font(created);
    Fonts.emplace_back(height, std::move(font));
    return Fonts.back().second.get();
}

ControlWin32* WindowWin32::ControlOf(HWND hwnd) const {
    for (const auto& control : Controls)
        if (control->Holds(hwnd)) return control.get();
    return nullptr;
}

void WindowWin32::Show() {
    ShowWindow(Hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(Hwnd);
    if (IsWindow(Hwnd) && !Controls.empty())
        SendMessageW(Hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Controls.front()->FocusTarget()), TRUE);
}

TControl* WindowWin32::FindControl(std::string_view name) {
    for (const auto& control : Controls)
        if (name == control->Design.Name) return &control->Widget();
    return nullptr;
}

int WindowWin32::Left() const {
    return HwndScreenRect(Hwnd).left;
}

int WindowWin32::Top() const {
    return HwndScreenRect(Hwnd).top;
}

void WindowWin32::MoveTo(int left, int top) {
    HwndMoveOnScreen(Hwnd, left, top);
}

void WindowWin32::Close() {
    if (Closing) return;
    Closing = true;
    if (OnClose) OnClose();
    DestroyWindow(Hwnd);
}

void WindowWin32::ShowConfirmation(const std::string& text, const std::string& caption) {
    MessageBoxW(Hwnd, Widen(text).c_str(), Widen(caption).c_str(), MB_OK | MB_ICONQUESTION);
}

void WindowWin32::FocusControl(TControl& control) {
    for (const auto& candidate : Controls)
        if (&candidate->Widget() == &control)
            SendMessageW(Hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(candidate->FocusTarget()), TRUE);
}

std::filesystem::path WindowWin32::ExecutableFolder() const {
    return ExecutableFolderPath();
}

LRESULT CALLBACK WindowWin32::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<WindowWin32*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->Hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY && self) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->Hwnd = nullptr;
        self = nullptr;
    }
    if (!self) return DefDlgProcW(hwnd, message, wParam, lParam);
    // No exception may unwind through Windows' own frames: a failing handler ends the run as Cancel does.
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        self->Fail();
        return 0;
    }
}

LRESULT WindowWin32::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_DRAWITEM:
        return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(
            OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_SHOWWINDOW:
        OnShowWindow(wParam != 0);
        break;
    case WM_SYSCOMMAND:
        if (OnSysCommand(wParam)) return 0;
        break;
    case WM_CLOSE:
        OnCloseMessage();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_GETDPISCALEDSIZE:
        *reinterpret_cast<SIZE*>(lParam) = FrameSize(LOWORD(wParam));
        return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return DefDlgProcW(Hwnd, message, wParam, lParam);
}

// Enter and Esc arrive from the dialog manager as IDOK and IDCANCEL, which OK and Cancel carry.
void WindowWin32::OnCommand(int id, int code, HWND control) {
    ControlWin32* target = control ? ControlOf(control) : nullptr;
    if (!target)
        for (const auto& candidate : Controls)
            if (GetDlgCtrlID(candidate->Hwnd) == id) target = candidate.get();
    if (target) target->OnNotify(control ? code : BN_CLICKED);
}

BOOL WindowWin32::OnDrawItem(const DRAWITEMSTRUCT& item) {
    ControlWin32* target = ControlOf(item.hwndItem);
    return target && target->OnDrawItem(item);
}

HBRUSH WindowWin32::OnCtlColor(HDC dc, HWND control) {
    const ControlWin32* target = ControlOf(control);
    const bool own = target && target->Background;
    SetBkColor(dc, own ? target->BackgroundColor : BackgroundColor);
    return own ? target->Background.get() : Background.get();
}

void WindowWin32::OnShowWindow(bool shown) {
    if (!shown || Shown) return;
    Shown = true;
    if (OnShow) OnShow();
}

void WindowWin32::OnCloseMessage() {
    if (Closing)
        DestroyWindow(Hwnd); // after a failure: the cancel file is written already
    else
        Close();
}

// Dragged onto a monitor of another scale, in the order Windows documents for WM_DPICHANGED: the
// controls and the fonts first, then one move to the rectangle Windows proposes (its size is the one
// WM_GETDPISCALEDSIZE gave), then the client area is made exact. A resize at the old place first could
// put most of the window back on the old monitor and start the change over again.
void WindowWin32::OnDpiChanged(UINT dpi, const RECT& suggested) {
    ScaleControls(dpi);
    SetWindowPos(Hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea();
}

void WindowWin32::OnDestroy() {
    PostQuitMessage(0);
}

// The application window owns the taskbar button, so it is the one that is minimised; Windows hides
// and restores the dialog with its owner.
bool WindowWin32::OnSysCommand(WPARAM command) {
    if ((command & 0xFFF0) != SC_MINIMIZE || !Owner) return false;
    ShowWindow(Owner, SW_MINIMIZE);
    return true;
}

void WindowWin32::Fail() {
    Win32Check(false, "a handler threw an exception", __FILE__, __LINE__);
    const bool first = !Closing;
    Closing = true;
    if (first && OnFailure) {
        try {
            OnFailure();
        } catch (...) {
        }
    }
    if (Hwnd) PostMessageW(Hwnd, WM_CLOSE, 0, 0);
}
