// The settings file's lines are bound to the controls by name, in the file's order.
#include "tool/settings_controls.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace {

constexpr std::string_view kListNames[] = {"ComboBox1", "ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"};
constexpr std::string_view kEditNames[] = {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5",
                                           "Edit6", "Edit7", "Edit8", "Edit9"};
constexpr std::string_view kRadioNames[] = {"RadioGroup1", "RadioGroup2"};
constexpr std::string_view kCheckNames[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"};

static_assert(std::size(kListNames) == std::tuple_size_v<decltype(TSettings::ListIndex)>);
static_assert(std::size(kEditNames) == std::tuple_size_v<decltype(TSettings::EditText)>);
static_assert(std::size(kRadioNames) == std::tuple_size_v<decltype(TSettings::RadioIndex)>);
static_assert(std::size(kCheckNames) == std::tuple_size_v<decltype(TSettings::Checked)>);

} // namespace

void ApplySettings(const TSettings& settings, TWindow& window) {
    for (size_t i = 0; i < std::size(kListNames); ++i)
        ControlNamed<TComboBox>(window, kListNames[i]).SetItemIndex(settings.ListIndex[i]);
    for (size_t i = 0; i < std::size(kEditNames); ++i)
        ControlNamed<TEdit>(window, kEditNames[i]).SetText(settings.EditText[i]);
    for (size_t i = 0; i < std::size(kRadioNames); ++i) {
        auto& radio = ControlNamed<TRadioGroup>(window, kRadioNames[i]);
        radio.SetItemIndex(std::min(settings.RadioIndex[i], radio.ItemCount() - 1));
    }
    for (size_t i = 0; i < std::size(kCheckNames); ++i)
        ControlNamed<TCheckBox>(window, kCheckNames[i]).SetChecked(settings.Checked[i]);
}

TSettings CollectSettings(TWindow& window, int32_t windowLeft, int32_t windowTop) {
    TSettings s;
    s.WindowLeft = windowLeft;
    s.WindowTop = windowTop;
    for (size_t i = 0; i < std::size(kListNames); ++i)
        s.ListIndex[i] = ControlNamed<TComboBox>(window, kListNames[i]).ItemIndex();
    for (size_t i = 0; i < std::size(kEditNames); ++i)
        s.EditText[i] = ControlNamed<TEdit>(window, kEditNames[i]).Text();
    for (size_t i = 0; i < std::size(kRadioNames); ++i)
        s.RadioIndex[i] = ControlNamed<TRadioGroup>(window, kRadioNames[i]).ItemIndex();
    for (size_t i = 0; i < std::size(kCheckNames); ++i)
        s.Checked[i] = ControlNamed<TCheckBox>(window, kCheckNames[i]).Checked();
    return s;
}
