// In-memory controls: each takes its name, texts and defaults from its row of the design table.
#include "app/memory/widgets_in_memory.h"

#include <utility>

namespace {

std::vector<std::string> ItemsOf(const TControlDesign& design) {
    return std::vector<std::string>(design.Items.begin(), design.Items.end());
}

std::unique_ptr<TControl> MakeControl(const TControlDesign& design) {
    switch (design.Kind) {
    case TControlKind::Label:
        return std::make_unique<LabelInMemory>(design);
    case TControlKind::ComboBox:
        return std::make_unique<ComboBoxInMemory>(design);
    case TControlKind::Edit:
        return std::make_unique<EditInMemory>(design);
    case TControlKind::CheckBox:
        return std::make_unique<CheckBoxInMemory>(design);
    case TControlKind::RadioGroup:
        return std::make_unique<RadioGroupInMemory>(design);
    case TControlKind::Memo:
        return std::make_unique<MemoInMemory>(design);
    case TControlKind::Button:
        return std::make_unique<ButtonInMemory>(design);
    }
    return nullptr;
}

} // namespace

//--------------------------------------------------------------------------- label

LabelInMemory::LabelInMemory(const TControlDesign& design) : Name_(design.Name), Caption_(design.Caption) {}

//--------------------------------------------------------------------------- drop-down list

ComboBoxInMemory::ComboBoxInMemory(const TControlDesign& design)
    : Name_(design.Name), Items(ItemsOf(design)) {
    SetItemIndex(design.DefaultIndex);
}

void ComboBoxInMemory::Clear() {
    Items.clear();
    Index = -1;
}

std::string ComboBoxInMemory::Item(int index) const {
    return index >= 0 && index < ItemCount() ? Items[index] : std::string();
}

void ComboBoxInMemory::SetItemIndex(int index) {
    Index = index >= 0 && index < ItemCount() ? index : -1;
}

//--------------------------------------------------------------------------- text box

EditInMemory::EditInMemory(const TControlDesign& design)
    : Name_(design.Name), Text_(design.Caption), MaxLength_(design.MaxLength) {}

//--------------------------------------------------------------------------- radio group

RadioGroupInMemory::RadioGroupInMemory(const TControlDesign& design)
    : Name_(design.Name), Count(static_cast<int>(design.Items.size())) {
    SetItemIndex(design.DefaultIndex);
}

//--------------------------------------------------------------------------- memo

MemoInMemory::MemoInMemory(const TControlDesign& design) : Name_(design.Name), Lines(ItemsOf(design)) {}

std::string MemoInMemory::Line(int index) const {
    return index >= 0 && index < LineCount() ? Lines[index] : std::string();
}

//--------------------------------------------------------------------------- window

WindowInMemory::WindowInMemory(std::filesystem::path executableFolder)
    : Folder(std::move(executableFolder)), Left_(DialogForm().Left), Top_(DialogForm().Top) {
    for (const TControlDesign& design : DialogControls()) Controls.push_back(MakeControl(design));
}

TControl* WindowInMemory::FindControl(std::string_view name) {
    for (const auto& control : Controls)
        if (control->Name() == name) return control.get();
    return nullptr;
}

void WindowInMemory::MoveTo(int left, int top) {
    Left_ = left;
    Top_ = top;
}

void WindowInMemory::Close() {
    ++CloseCount;
    if (!IsOpen) return;
    // Like the real window: the close handler runs once, before the window is gone.
    IsOpen = false;
    if (OnClose) OnClose();
}

void WindowInMemory::ShowConfirmation(const std::string& text, const std::string& caption) {
    Messages.push_back({text, caption});
}

void WindowInMemory::Show() {
    IsOpen = true;
    if (OnShow) OnShow();
}

void WindowInMemory::Click(std::string_view buttonName) {
    auto& button = ControlNamed<TButton>(*this, buttonName);
    if (button.OnClick) button.OnClick();
}
