// The OK intake: what each control reads as, the bounds of each check, and the order of the checks.
#include <gtest/gtest.h>

#include <string>

#include "app/memory/widgets_in_memory.h"
#include "tool/option_intake.h"

namespace {

// The dialog as designed, with a text type chosen (the list is filled at show time).
struct TDialog {
    WindowInMemory Window{"."};
    TDialog() {
        auto& textTypes = Combo("ComboBox3");
        for (int i = 0; i <= 10; ++i) textTypes.AddItem("type");
        textTypes.SetItemIndex(0);
    }
    TComboBox& Combo(const char* name) { return ControlNamed<TComboBox>(Window, name); }
    TEdit& Edit(const char* name) { return ControlNamed<TEdit>(Window, name); }
    TRadioGroup& Radio(const char* name) { return ControlNamed<TRadioGroup>(Window, name); }
    TCheckBox& Check(const char* name) { return ControlNamed<TCheckBox>(Window, name); }

    // The name of the control that gets the focus, or "" when the options are accepted.
    std::string Refused() {
        const TOptionIntake intake = TakeDimensionOptions(Window);
        EXPECT_EQ(intake.Options.has_value(), intake.Refused == nullptr);
        return intake.Refused ? intake.Refused->Name() : std::string();
    }
    std::string RefusedWith(const char* edit, const char* text) {
        Edit(edit).SetText(text);
        return Refused();
    }
};

} // namespace

TEST(OptionIntake, ChecksEachNumberAgainstItsExactBounds) {
    EXPECT_EQ(TDialog().RefusedWith("Edit1", "0"), "Edit1");
    EXPECT_EQ(TDialog().RefusedWith("Edit1", "-1"), "Edit1");
    EXPECT_EQ(TDialog().RefusedWith("Edit1", ""), "Edit1");
    EXPECT_EQ(TDialog().RefusedWith("Edit1", "abc"), "Edit1");
    EXPECT_EQ(TDialog().RefusedWith("Edit1", "0.001"), "");
    EXPECT_EQ(TDialog().RefusedWith("Edit7", "1000"), "");
    EXPECT_EQ(TDialog().RefusedWith("Edit7", "1000.0001"), "Edit7");
    EXPECT_EQ(TDialog().RefusedWith("Edit7", "0"), "Edit7");
    EXPECT_EQ(TDialog().RefusedWith("Edit7", "0.01"), "");
    EXPECT_EQ(TDialog().RefusedWith("Edit8", "179.9"), "");
    EXPECT_EQ(TDialog().RefusedWith("Edit8", "180"), "Edit8");
    EXPECT_EQ(TDialog().RefusedWith("Edit8", "0"), "Edit8");
    EXPECT_EQ(TDialog().RefusedWith("Edit8", "-15"), "Edit8");
    EXPECT_EQ(TDialog().RefusedWith("Edit5", "abc"), "");
    EXPECT_EQ(TDialog().RefusedWith("Edit5", "0"), "");
    EXPECT_EQ(TDialog().RefusedWith("Edit5", "-0.1"), "Edit5");
    EXPECT_EQ(TDialog().RefusedWith("Edit6", ""), "");
    EXPECT_EQ(TDialog().RefusedWith("Edit6", "-2"), "Edit6");
    EXPECT_EQ(TDialog().RefusedWith("Edit9", "0"), "");
    EXPECT_EQ(TDialog().RefusedWith("Edit9", "-0.001"), "Edit9");
    EXPECT_EQ(TDialog().RefusedWith("Edit4", "-3"), "");
    EXPECT_EQ(TDialog().RefusedWith("Edit4", "abc"), "");
}

TEST(OptionIntake, FocusesOnlyTheFirstFailureInCheckingOrder) {
    TDialog d;
    d.Combo("ComboBox1").SetItemIndex(-1);
    d.Combo("ComboBox2").SetItemIndex(-1);
    d.Edit("Edit1").SetText("0");
    d.Edit("Edit7").SetText("0");
    d.Edit("Edit8").SetText("180");
    d.Combo("ComboBox3").SetItemIndex(-1);
    d.Combo("ComboBox4").SetItemIndex(-1);
    d.Combo("ComboBox5").SetItemIndex(-1);
    d.Radio("RadioGroup1").SetItemIndex(-1);
    d.Radio("RadioGroup2").SetItemIndex(-1);
    d.Edit("Edit5").SetText("-1");
    d.Edit("Edit6").SetText("-1");
    d.Edit("Edit9").SetText("-1");

    EXPECT_EQ(d.Refused(), "ComboBox1");
    d.Combo("ComboBox1").SetItemIndex(0);
    EXPECT_EQ(d.Refused(), "ComboBox2");
    d.Combo("ComboBox2").SetItemIndex(0);
    EXPECT_EQ(d.Refused(), "Edit1");
    d.Edit("Edit1").SetText("1");
    EXPECT_EQ(d.Refused(), "Edit7");
    d.Edit("Edit7").SetText("3");
    EXPECT_EQ(d.Refused(), "Edit8");
    d.Edit("Edit8").SetText("15");
    EXPECT_EQ(d.Refused(), "ComboBox3");
    d.Combo("ComboBox3").SetItemIndex(0);
    EXPECT_EQ(d.Refused(), "ComboBox4");
    d.Combo("ComboBox4").SetItemIndex(0);
    EXPECT_EQ(d.Refused(), "ComboBox5");
    d.Combo("ComboBox5").SetItemIndex(0);
    EXPECT_EQ(d.Refused(), "RadioGroup1");
    d.Radio("RadioGroup1").SetItemIndex(0);
    EXPECT_EQ(d.Refused(), "RadioGroup2");
    d.Radio("RadioGroup2").SetItemIndex(0);
    EXPECT_EQ(d.Refused(), "Edit5");
    d.Edit("Edit5").SetText("0");
    EXPECT_EQ(d.Refused(), "Edit6");
    d.Edit("Edit6").SetText("0");
    EXPECT_EQ(d.Refused(), "Edit9");
    d.Edit("Edit9").SetText("0");
    EXPECT_EQ(d.Refused(), "");
}

TEST(OptionIntake, ReadsEveryControlIntoItsField) {
    TDialog d;
    d.Combo("ComboBox1").SetItemIndex(11);
    d.Combo("ComboBox2").SetItemIndex(7);
    d.Edit("Edit1").SetText("1.5");
    d.Edit("Edit7").SetText("4");
    d.Edit("Edit8").SetText("30");
    d.Combo("ComboBox3").SetItemIndex(10);
    d.Edit("Edit2").SetText("L=");
    d.Edit("Edit3").SetText(" mm");
    d.Combo("ComboBox4").SetItemIndex(8);
    d.Combo("ComboBox5").SetItemIndex(1);
    d.Radio("RadioGroup1").SetItemIndex(1);
    d.Radio("RadioGroup2").SetItemIndex(1);
    d.Check("CheckBox1").SetChecked(true);
    d.Check("CheckBox3").SetChecked(true);
    d.Edit("Edit4").SetText("-3");
    d.Edit("Edit5").SetText("x");
    d.Edit("Edit6").SetText("2.25");
    d.Edit("Edit9").SetText("7");

    const TOptionIntake intake = TakeDimensionOptions(d.Window);
    ASSERT_TRUE(intake.Options);
    const TDimensionOptions& o = *intake.Options;
    EXPECT_EQ(o.StartMark, 11);
    EXPECT_EQ(o.EndMark, 7);
    EXPECT_EQ(o.MarkScale, 1.5);
    EXPECT_EQ(o.ArrowLength, 4);
    EXPECT_EQ(o.ArrowAngle, 30);
    EXPECT_EQ(o.TextTypeIndex, 10);
    EXPECT_EQ(o.Prefix, "L=");
    EXPECT_EQ(o.Suffix, " mm");
    EXPECT_EQ(o.PrecisionIndex, 8);
    EXPECT_EQ(o.RoundingMode, 1);
    EXPECT_EQ(o.ZeroDisplay, 1);
    EXPECT_EQ(o.UnitIndex, 1);
    EXPECT_TRUE(o.ThousandsCommas);
    EXPECT_FALSE(o.AppendUnit);
    EXPECT_TRUE(o.FullWidthDigits);
    EXPECT_FALSE(o.AsDimensionEntity);
    EXPECT_EQ(o.TextGap, -3);
    EXPECT_EQ(o.ExtensionGap, 0);
    EXPECT_EQ(o.ExtensionOvershoot, 2.25);
    EXPECT_EQ(o.ReverseArrowOvershoot, 7);
}

TEST(OptionIntake, TakesABlankOnlyPrefixOrSuffixAsNone) {
    auto prefixOf = [](const char* text) {
        TDialog d;
        d.Edit("Edit2").SetText(text);
        return TakeDimensionOptions(d.Window).Options->Prefix;
    };
    auto suffixOf = [](const char* text) {
        TDialog d;
        d.Edit("Edit3").SetText(text);
        return TakeDimensionOptions(d.Window).Options->Suffix;
    };
    EXPECT_EQ(prefixOf("\x81\x40\x81\x40"), "");
    EXPECT_EQ(prefixOf(" \t "), "");
    EXPECT_EQ(prefixOf(" A "), " A ");
    EXPECT_EQ(prefixOf("\x81\x40"
                       "A"),
              "\x81\x40"
              "A");
    EXPECT_EQ(suffixOf("   "), "");
    EXPECT_EQ(suffixOf("mm "), "mm ");
}
