// The dialog's design table: tab order, unique names, typing limits and the Shift-JIS of its texts.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tool/dialog_design.h"
#include "tool/end_mark_shapes.h"

namespace {

std::string ItemOf(const char* name, size_t index) {
    return FindControlDesign(name)->Items[index];
}

} // namespace

TEST(DialogDesign, ListsTabStopsInTabOrderBeforeEverythingElse) {
    const std::vector<std::string> expected = {
        "ComboBox1", "ComboBox2", "Edit7",     "Edit8",     "Edit1",       "ComboBox3",
        "Edit2",     "Edit3",     "ComboBox4", "ComboBox5", "RadioGroup1", "RadioGroup2",
        "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "Edit4",       "Edit5",
        "Edit6",     "Edit9",     "Button1",   "Button2"};
    const auto controls = DialogControls();
    ASSERT_GT(controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(controls[i].Name, expected[i]) << "tab stop " << i;
    for (size_t i = expected.size(); i < controls.size(); ++i)
        EXPECT_EQ(controls[i].TabOrder, -1) << controls[i].Name;
    EXPECT_EQ(FindControlDesign("Memo1")->TabOrder, -1);
}

TEST(DialogDesign, NamesEachControlOnce) {
    std::set<std::string> names;
    for (const TControlDesign& control : DialogControls())
        EXPECT_TRUE(names.insert(control.Name).second) << control.Name;
    EXPECT_EQ(names.size(), 46u);
    EXPECT_EQ(FindControlDesign("Edit10"), nullptr);
    EXPECT_EQ(FindControlDesign(""), nullptr);
}

TEST(DialogDesign, LimitsTypingAndTheInputMethodPerTextBox) {
    struct Case {
        const char* Name;
        int MaxLength;
        bool ImeOff;
    };
    const Case cases[] = {
        {"Edit1", 16, true}, {"Edit2", 32, false}, {"Edit3", 32, false},
        {"Edit4", 16, true}, {"Edit5", 16, true},  {"Edit6", 16, true},
        {"Edit7", 8, true},  {"Edit8", 8, true},   {"Edit9", 16, true},
    };
    for (const Case& c : cases) {
        const TControlDesign* design = FindControlDesign(c.Name);
        ASSERT_NE(design, nullptr) << c.Name;
        EXPECT_EQ(design->MaxLength, c.MaxLength) << c.Name;
        EXPECT_EQ(design->ImeOff, c.ImeOff) << c.Name;
    }
}

TEST(DialogDesign, HoldsItsTextsAsShiftJisBytes) {
    EXPECT_EQ(std::string(DialogForm().FontName), "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e");
    EXPECT_EQ(std::string(FindControlDesign("Button1")->Caption), "\x82\x6e\x82\x6a(&Y)");
    EXPECT_EQ(std::string(FindControlDesign("Button2")->Caption),
              "\x83\x4c\x83\x83\x83\x93\x83\x5a\x83\x8b(&N)");
    EXPECT_EQ(std::string(FindControlDesign("LabelA1")->Caption), "\x81\x40");
    EXPECT_EQ(ItemOf("ComboBox1", 0), "\x90\xfc\x96\xee\x88\xf3");
    EXPECT_EQ(ItemOf("ComboBox1", 1), "\x81\xa2");
    EXPECT_EQ(ItemOf("ComboBox2", 11), "\x81\xa2");
    EXPECT_EQ(ItemOf("ComboBox2", 8), "\x81\x60");
    EXPECT_EQ(ItemOf("ComboBox4", 8), "0.00000001");
    EXPECT_EQ(ItemOf("RadioGroup2", 1), "\x82\x8d");
    EXPECT_EQ(ItemOf("Memo1", 8), "");
    EXPECT_EQ(ItemOf("Memo1", 14),
              "\x81\x40Jw_cad\x82\xcc\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5b\x83\x8b\x81\x45");
}

TEST(DialogDesign, GivesEveryListItsItems) {
    EXPECT_EQ(FindControlDesign("ComboBox1")->Items.size(), 12u);
    EXPECT_EQ(FindControlDesign("ComboBox2")->Items.size(), 12u);
    EXPECT_EQ(FindControlDesign("ComboBox3")->Items.size(), 0u);
    EXPECT_EQ(FindControlDesign("ComboBox4")->Items.size(), 9u);
    EXPECT_EQ(FindControlDesign("ComboBox5")->Items.size(), 3u);
    EXPECT_EQ(FindControlDesign("RadioGroup1")->Items.size(), 2u);
    EXPECT_EQ(FindControlDesign("RadioGroup2")->Items.size(), 2u);
    EXPECT_EQ(FindControlDesign("Memo1")->Items.size(), 18u);
}

// A picture stands for the index's end-mark kind, so only the two end-mark lists may show them, and
// each of their items must have a kind.
TEST(DialogDesign, ShowsEndMarkPicturesInTheEndMarkListsOnly) {
    std::set<std::string> withPictures;
    for (const TControlDesign& control : DialogControls())
        if (control.EndMarkPictures) {
            withPictures.insert(control.Name);
            EXPECT_EQ(control.Kind, TControlKind::ComboBox) << control.Name;
            EXPECT_EQ(control.Items.size(), static_cast<size_t>(kEndMarkKinds)) << control.Name;
        }
    EXPECT_EQ(withPictures, (std::set<std::string>{"ComboBox1", "ComboBox2"}));
}
