// What the dialog needs of the platform: small abstract controls and the window's services.
// No platform types: texts are Shift-JIS byte strings, positions and sizes are pixels.
#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

//--------------------------------------------------------------------------- control

class TControl {
  public:
    virtual ~TControl() = default;
    virtual const std::string& Name() const = 0;
};

//--------------------------------------------------------------------------- label

class TLabel : public TControl {
  public:
    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    // Paints the label now: handlers that run long do not return to the message loop.
    virtual void Repaint() = 0;
};

//--------------------------------------------------------------------------- drop-down list

class TComboBox : public TControl {
  public:
    virtual void Clear() = 0;
    virtual void AddItem(const std::string& item) = 0;
    virtual int ItemCount() const = 0;
    virtual std::string Item(int index) const = 0;
    virtual int ItemIndex() const = 0; // -1: nothing selected
    // An index outside 0..ItemCount()-1 leaves no selection.
    virtual void SetItemIndex(int index) = 0;
};

//--------------------------------------------------------------------------- text box

class TEdit : public TControl {
  public:
    virtual std::string Text() const = 0;
    // Shows the whole text, even when it is longer than the typing limit.
    virtual void SetText(const std::string& text) = 0;
    // Typing limit in bytes of code page 932 (0: none).
    virtual int MaxLength() const = 0;
};

//--------------------------------------------------------------------------- check box

class TCheckBox : public TControl {
  public:
    virtual bool Checked() const = 0;
    virtual void SetChecked(bool checked) = 0;
};

//--------------------------------------------------------------------------- radio group

class TRadioGroup : public TControl {
  public:
    virtual int ItemCount() const = 0;
    virtual int ItemIndex() const = 0; // -1: no button selected
    virtual void SetItemIndex(int index) = 0;
};

//--------------------------------------------------------------------------- memo

class TMemo : public TControl {
  public:
    virtual int LineCount() const = 0;
    virtual std::string Line(int index) const = 0;
};

//--------------------------------------------------------------------------- button

class TButton : public TControl {
  public:
    std::function<void()> OnClick;
};

//--------------------------------------------------------------------------- window

class TWindow {
  public:
    virtual ~TWindow() = default;

    // The control of that name from the dialog's design, or nullptr.
    virtual TControl* FindControl(std::string_view name) = 0;

    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual void MoveTo(int left, int top) = 0;
    // Closes the window; OnClose runs before it is gone.
    virtual void Close() = 0;
    // A modal box with the text, the caption, a question icon and one OK button.
    virtual void ShowConfirmation(const std::string& text, const std::string& caption) = 0;
    virtual void FocusControl(TControl& control) = 0;
    // Folder of the running executable, without any code-page conversion of its name.
    virtual std::filesystem::path ExecutableFolder() const = 0;

    std::function<void()> OnShow;
    std::function<void()> OnClose;
};

// The control of that name and kind; the dialog's design guarantees both.
template <class T> T& ControlNamed(TWindow& window, std::string_view name) {
    T* control = dynamic_cast<T*>(window.FindControl(name));
    if (!control) throw std::logic_error("no control of that kind named " + std::string(name));
    return *control;
}
