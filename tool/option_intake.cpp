// The OK button's intake: every control read once, then thirteen checks in a fixed order.
#include "tool/option_intake.h"

#include <string>
#include <utility>

#include "util/MyFunc.h"

namespace {

double NumberIn(const TEdit& edit) {
    return TextToFloat(edit.Text());
}

// A prefix or suffix of nothing but blanks would reach the value text as padding; it counts as none.
std::string AffixIn(const TEdit& edit) {
    std::string text = edit.Text();
    return StripBlanks(text).empty() ? std::string() : text;
}

} // namespace

TOptionIntake TakeDimensionOptions(TWindow& window) {
    auto& comboBox1 = ControlNamed<TComboBox>(window, "ComboBox1");
    auto& comboBox2 = ControlNamed<TComboBox>(window, "ComboBox2");
    auto& comboBox3 = ControlNamed<TComboBox>(window, "ComboBox3");
    auto& comboBox4 = ControlNamed<TComboBox>(window, "ComboBox4");
    auto& comboBox5 = ControlNamed<TComboBox>(window, "ComboBox5");
    auto& edit1 = ControlNamed<TEdit>(window, "Edit1");
    auto& edit5 = ControlNamed<TEdit>(window, "Edit5");
    auto& edit6 = ControlNamed<TEdit>(window, "Edit6");
    auto& edit7 = ControlNamed<TEdit>(window, "Edit7");
    auto& edit8 = ControlNamed<TEdit>(window, "Edit8");
    auto& edit9 = ControlNamed<TEdit>(window, "Edit9");
    auto& radioGroup1 = ControlNamed<TRadioGroup>(window, "RadioGroup1");
    auto& radioGroup2 = ControlNamed<TRadioGroup>(window, "RadioGroup2");

    TDimensionOptions o;
    o.StartMark = comboBox1.ItemIndex();
    o.EndMark = comboBox2.ItemIndex();
    o.MarkScale = NumberIn(edit1);
    o.ArrowLength = NumberIn(edit7);
    o.ArrowAngle = NumberIn(edit8);
    o.TextTypeIndex = comboBox3.ItemIndex();
    o.Prefix = AffixIn(ControlNamed<TEdit>(window, "Edit2"));
    o.Suffix = AffixIn(ControlNamed<TEdit>(window, "Edit3"));
    o.PrecisionIndex = comboBox4.ItemIndex();
    o.RoundingMode = comboBox5.ItemIndex();
    o.ZeroDisplay = radioGroup1.ItemIndex();
    o.UnitIndex = radioGroup2.ItemIndex();
    o.ThousandsCommas = ControlNamed<TCheckBox>(window, "CheckBox1").Checked();
    o.AppendUnit = ControlNamed<TCheckBox>(window, "CheckBox2").Checked();
    o.FullWidthDigits = ControlNamed<TCheckBox>(window, "CheckBox3").Checked();
    o.AsDimensionEntity = ControlNamed<TCheckBox>(window, "CheckBox4").Checked();
    o.TextGap = NumberIn(ControlNamed<TEdit>(window, "Edit4"));
    o.ExtensionGap = NumberIn(edit5);
    o.ExtensionOvershoot = NumberIn(edit6);
    o.ReverseArrowOvershoot = NumberIn(edit9);

    // With several bad values only the first in this order gets the focus; users know the order.
    const std::pair<TControl*, bool> checks[] = {
        {&comboBox1, o.StartMark >= 0},
        {&comboBox2, o.EndMark >= 0},
        {&edit1, o.MarkScale > 0},
        {&edit7, o.ArrowLength > 0 && o.ArrowLength <= 1000},
        {&edit8, o.ArrowAngle > 0 && o.ArrowAngle < 180},
        {&comboBox3, o.TextTypeIndex >= 0},
        {&comboBox4, o.PrecisionIndex >= 0},
        {&comboBox5, o.RoundingMode >= 0},
        {&radioGroup1, o.ZeroDisplay >= 0},
        {&radioGroup2, o.UnitIndex >= 0},
        {&edit5, o.ExtensionGap >= 0},
        {&edit6, o.ExtensionOvershoot >= 0},
        {&edit9, o.ReverseArrowOvershoot >= 0},
    };
    for (const auto& [control, passed] : checks)
        if (!passed) return {std::nullopt, control};
    return {std::move(o), nullptr};
}
