// The dialog without a screen: controls built from the design table that remember what was done to them.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tool/Widgets.h"
#include "tool/dialog_design.h"

//--------------------------------------------------------------------------- label

class LabelInMemory final : public TLabel {
  public:
    explicit LabelInMemory(const TControlDesign& design);
    const std::string& Name() const override { return Name_; }
    std::string Caption() const override { return Caption_; }
    void SetCaption(const std::string& caption) override { Caption_ = caption; }
    void Repaint() override { Repaints.push_back(Caption_); }

    std::vector<std::string> Repaints; // the caption at each repaint

  private:
    std::string Name_, Caption_;
};

//--------------------------------------------------------------------------- drop-down list

class ComboBoxInMemory final : public TComboBox {
  public:
    explicit ComboBoxInMemory(const TControlDesign& design);
    const std::string& Name() const override { return Name_; }
    void Clear() override;
    void AddItem(const std::string& item) override { Items.push_back(item); }
    int ItemCount() const override { return static_cast<int>(Items.size()); }
    std::string Item(int index) const override;
    int ItemIndex() const override { return Index; }
    void SetItemIndex(int index) override;

  private:
    std::string Name_;
    std::vector<std::string> Items;
    int Index = -1;
};

//--------------------------------------------------------------------------- text box

class EditInMemory final : public TEdit {
  public:
    explicit EditInMemory(const TControlDesign& design);
    const std::string& Name() const override { return Name_; }
    std::string Text() const override { return Text_; }
    void SetText(const std::string& text) override { Text_ = text; }
    int MaxLength() const override { return MaxLength_; }

  private:
    std::string Name_, Text_;
    int MaxLength_ = 0;
};

//--------------------------------------------------------------------------- check box

class CheckBoxInMemory final : public TCheckBox {
  public:
    explicit CheckBoxInMemory(const TControlDesign& design) : Name_(design.Name) {}
    const std::string& Name() const override { return Name_; }
    bool Checked() const override { return Checked_; }
    void SetChecked(bool checked) override { Checked_ = checked; }

  private:
    std::string Name_;
    bool Checked_ = false;
};

//--------------------------------------------------------------------------- radio group

class RadioGroupInMemory final : public TRadioGroup {
  public:
    explicit RadioGroupInMemory(const TControlDesign& design);
    const std::string& Name() const override { return Name_; }
    int ItemCount() const override { return Count; }
    int ItemIndex() const override { return Index; }
    void SetItemIndex(int index) override { Index = index >= 0 && index < Count ? index : -1; }

  private:
    std::string Name_;
    int Count = 0;
    int Index = -1;
};

//--------------------------------------------------------------------------- memo

class MemoInMemory final : public TMemo {
  public:
    explicit MemoInMemory(const TControlDesign& design);
    const std::string& Name() const override { return Name_; }
    int LineCount() const override { return static_cast<int>(Lines.size()); }
    std::string Line(int index) const override;

  private:
    std::string Name_;
    std::vector<std::string> Lines;
};

//--------------------------------------------------------------------------- button

class ButtonInMemory final : public TButton {
  public:
    explicit ButtonInMemory(const TControlDesign& design) : Name_(design.Name) {}
    const std::string& Name() const override { return Name_; }

  private:
    std::string Name_;
};

//--------------------------------------------------------------------------- window

struct TMessageShown {
    std::string Text, Caption;
    bool operator==(const TMessageShown&) const = default;
};

class WindowInMemory final : public TWindow {
  public:
    explicit WindowInMemory(std::filesystem::path executableFolder);

    TControl* FindControl(std::string_view name) override;
    int Left() const override { return Left_; }
    int Top() const override { return Top_; }
    void MoveTo(int left, int top) override;
    void Close() override;
    void ShowConfirmation(const std::string& text, const std::string& caption) override;
    void FocusControl(TControl& control) override { Focused = control.Name(); }
    std::filesystem::path ExecutableFolder() const override { return Folder; }

    // What a user does: the window appears, a button is pressed.
    void Show();
    void Click(std::string_view buttonName);

    std::string Focused; // name of the control that has the keyboard focus
    std::vector<TMessageShown> Messages;
    int CloseCount = 0;
    bool IsOpen = false;

  private:
    std::filesystem::path Folder;
    std::vector<std::unique_ptr<TControl>> Controls;
    int Left_ = 0, Top_ = 0;
};
