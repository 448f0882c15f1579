// One run of the tool through TForm1's handlers: show, OK or Cancel, close, and the files left behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/memory/widgets_in_memory.h"
#include "test_support.h"
#include "tool/Unit1.h"

namespace {

struct TDialogRun {
    TScratchFolder Folder;
    WindowInMemory Window{Folder.Path};
    TForm1 Form{Window};

    TComboBox& Combo(const char* name) { return ControlNamed<TComboBox>(Window, name); }
    TEdit& Edit(const char* name) { return ControlNamed<TEdit>(Window, name); }
    TRadioGroup& Radio(const char* name) { return ControlNamed<TRadioGroup>(Window, name); }
    TCheckBox& Check(const char* name) { return ControlNamed<TCheckBox>(Window, name); }
    LabelInMemory& Status() { return dynamic_cast<LabelInMemory&>(*Window.FindControl("LabelA1")); }
};

// The host's file of the worked example: scale 1, text type 1 of 3 x 3, the four indicated points.
const char kExampleExchange[] = "hk 0\r\n"
                                "hs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n"
                                "hcw 3 3 3 3 3 3 3 3 3 3\r\n"
                                "hch 3 3 3 3 3 3 3 3 3 3\r\n"
                                "hcd 0 0 0 0 0 0 0 0 0 0\r\n"
                                "hcc 2 2 2 2 2 2 2 2 2 2\r\n"
                                "hp1 0 0\r\n"
                                "hp2 100 0\r\n"
                                "hp3 50 20\r\n"
                                "hp4 60 40\r\n"
                                "lg0\r\n"
                                "ly0\r\n"
                                "lc1\r\n"
                                "lt1\r\n"
                                "cn1\r\n";

const char kDefaultSettingsLines[] = "0\r\n0\r\n0\r\n3\r\n2\r\n1\r\n\r\n\r\n0.5\r\n2\r\n2\r\n3\r\n15\r\n2\r\n"
                                     "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";

} // namespace

TEST(DialogRun, OpensWithTheDesignWhenThereIsNoSettingsFile) {
    TDialogRun run;
    run.Window.Show();
    EXPECT_EQ(run.Window.Left(), 100);
    EXPECT_EQ(run.Window.Top(), 100);
    EXPECT_EQ(run.Combo("ComboBox1").ItemIndex(), 0);
    EXPECT_EQ(run.Combo("ComboBox3").ItemCount(), 11);
    EXPECT_EQ(run.Combo("ComboBox3").ItemIndex(), -1);
    EXPECT_EQ(run.Combo("ComboBox4").ItemIndex(), 3);
    EXPECT_EQ(run.Combo("ComboBox5").ItemIndex(), 2);
    EXPECT_EQ(run.Edit("Edit7").Text(), "3");
    EXPECT_EQ(run.Edit("Edit8").Text(), "15");

    run.Window.Click("Button1");
    EXPECT_EQ(run.Window.Focused, "ComboBox3");
    EXPECT_TRUE(run.Window.IsOpen);
    EXPECT_FALSE(run.Folder.Has("sorvel.dat"));
    EXPECT_TRUE(run.Window.Messages.empty());
}

TEST(DialogRun, FillsTheTextTypeListFromTheHost) {
    auto itemsAfter = [](const char* exchange) {
        TDialogRun run;
        if (exchange) run.Folder.Write("JWC_TEMP.TXT", exchange);
        run.Window.Show();
        std::vector<std::string> items;
        for (int i = 0; i < run.Combo("ComboBox3").ItemCount(); ++i)
            items.push_back(run.Combo("ComboBox3").Item(i));
        return items;
    };
    const std::vector<std::string> noFile = itemsAfter(nullptr);
    ASSERT_EQ(noFile.size(), 11u);
    EXPECT_EQ(noFile[0], "\x8c\xbb\x8d\xdd\x82\xcc\x95\xb6\x8e\x9a\x8e\xed(No1)");
    EXPECT_EQ(noFile[1], "No1: W3 H3 D0");
    EXPECT_EQ(noFile[10], "No10: W3 H3 D0");
    EXPECT_EQ(itemsAfter("cn0\r\n")[0], "現在の文字種(Free)");
    EXPECT_EQ(itemsAfter("cn10\r\n")[0], "現在の文字種(No10)");
    EXPECT_EQ(itemsAfter("cn5\r\n")[0], "現在の文字種(No5)");
    const std::vector<std::string> sized = itemsAfter("hcw 1 1 1 1 1 1 2.5 1 1 1\r\n"
                                                      "hch 1 1 1 1 1 1 3 1 1 1\r\n"
                                                      "hcd 0 0 0 0 0 0 0.5 0 0 0.25\r\n");
    EXPECT_EQ(sized[7], "No7: W2.5 H3 D0.5");
    EXPECT_EQ(sized[10], "No10: W1 H1 D0.25");
}

TEST(DialogRun, CancelOrCloseLeavesOnlyHq) {
    for (bool byButton : {true, false}) {
        TDialogRun run;
        run.Folder.Write("JWC_TEMP.TXT", kExampleExchange);
        run.Window.Show();
        if (byButton)
            run.Window.Click("Button2");
        else
            run.Window.Close();
        EXPECT_FALSE(run.Window.IsOpen);
        EXPECT_EQ(run.Folder.Read("JWC_TEMP.TXT"), "hq\r\n");
        EXPECT_FALSE(run.Folder.Has("sorvel.dat"));
    }
}

TEST(DialogRun, OkWithTheDesignedValuesStoresThemInTheSettingsFile) {
    TDialogRun run;
    run.Folder.Write("JWC_TEMP.TXT", kExampleExchange);
    run.Window.Show();
    run.Combo("ComboBox3").SetItemIndex(0);
    run.Window.Click("Button1");
    EXPECT_EQ(run.Folder.Read("sorvel.dat"), std::string("100\r\n100\r\n") + kDefaultSettingsLines +
                                                 "0\r\n1\r\n0\r\n0\r\n0\r\n100\r\n0\r\n50\r\n20\r\n");
}

TEST(DialogRun, RefusesAZeroLengthDimensionWithTheWindowOpen) {
    TDialogRun run;
    run.Folder.Write("JWC_TEMP.TXT", "hp1 5 0\r\nhp2 5 70\r\nhp3 0 10\r\n");
    run.Window.Show();
    run.Window.MoveTo(250, -20);
    run.Combo("ComboBox3").SetItemIndex(0);
    run.Window.Click("Button1");

    ASSERT_EQ(run.Window.Messages.size(), 1u);
    EXPECT_EQ(run.Window.Messages[0].Text, "寸法が「0」になりますので作図出来ません");
    EXPECT_EQ(run.Window.Messages[0].Caption, "\x8a\x6d\x94\x46");
    EXPECT_TRUE(run.Window.IsOpen);
    EXPECT_EQ(run.Window.CloseCount, 0);
    EXPECT_TRUE(run.Status().Repaints.empty());
    EXPECT_EQ(run.Folder.Read("JWC_TEMP.TXT"), "hp1 5 0\r\nhp2 5 70\r\nhp3 0 10\r\n");
    EXPECT_EQ(run.Folder.Read("sorvel.dat"), std::string("250\r\n-20\r\n") + kDefaultSettingsLines +
                                                 "0\r\n1\r\n0\r\n5\r\n0\r\n5\r\n70\r\n0\r\n10\r\n");

    run.Window.Click("Button2");
    EXPECT_EQ(run.Folder.Read("JWC_TEMP.TXT"), "hq\r\n");
}

TEST(DialogRun, RefusesADimensionWhoseNumbersWouldOverflow) {
    TDialogRun run;
    run.Folder.Write("JWC_TEMP.TXT",
                     "hs 1e300 1e300 1e300 1e300 1e300 1e300 1e300 1e300 1e300 1e300 1e300 1e300 "
                     "1e300 1e300 1e300 1e300\r\nhp1 0 0\r\nhp2 100 0\r\nhp3 50 20\r\n");
    run.Window.Show();
    run.Combo("ComboBox3").SetItemIndex(0);
    run.Edit("Edit4").SetText("1e10");
    run.Window.Click("Button1");

    ASSERT_EQ(run.Window.Messages.size(), 1u);
    EXPECT_EQ(run.Window.Messages[0].Text, "寸法が「0」になりますので作図出来ません");
    EXPECT_TRUE(run.Window.IsOpen);
    EXPECT_TRUE(run.Status().Repaints.empty());
    run.Window.Click("Button2");
    EXPECT_EQ(run.Folder.Read("JWC_TEMP.TXT"), "hq\r\n");
}

TEST(DialogRun, RefusedOkLeavesTheSettingsFileAlone) {
    TDialogRun run;
    const std::string saved = std::string("1\r\n2\r\n") + kDefaultSettingsLines;
    run.Folder.Write("sorvel.dat", saved);
    run.Window.Show();
    run.Edit("Edit8").SetText("180");
    run.Window.Click("Button1");
    EXPECT_EQ(run.Window.Focused, "Edit8");
    EXPECT_EQ(run.Folder.Read("sorvel.dat"), saved);
    EXPECT_TRUE(run.Window.IsOpen);
}

TEST(DialogRun, ASecondRunRestoresEveryControl) {
    TScratchFolder folder;
    {
        WindowInMemory window(folder.Path);
        TForm1 form(window);
        window.Show();
        window.MoveTo(321, 45);
        ControlNamed<TComboBox>(window, "ComboBox1").SetItemIndex(11);
        ControlNamed<TComboBox>(window, "ComboBox2").SetItemIndex(5);
        ControlNamed<TComboBox>(window, "ComboBox3").SetItemIndex(10);
        ControlNamed<TComboBox>(window, "ComboBox4").SetItemIndex(0);
        ControlNamed<TComboBox>(window, "ComboBox5").SetItemIndex(1);
        ControlNamed<TEdit>(window, "Edit1").SetText("1.5");
        ControlNamed<TEdit>(window, "Edit2").SetText(" L=");
        ControlNamed<TEdit>(window, "Edit3").SetText("(参考)");
        ControlNamed<TEdit>(window, "Edit4").SetText("-3");
        ControlNamed<TEdit>(window, "Edit5").SetText("abc");
        ControlNamed<TEdit>(window, "Edit6").SetText("0");
        ControlNamed<TEdit>(window, "Edit7").SetText("1000");
        ControlNamed<TEdit>(window, "Edit8").SetText("179.9");
        ControlNamed<TEdit>(window, "Edit9").SetText("4");
        ControlNamed<TRadioGroup>(window, "RadioGroup1").SetItemIndex(1);
        ControlNamed<TRadioGroup>(window, "RadioGroup2").SetItemIndex(1);
        ControlNamed<TCheckBox>(window, "CheckBox1").SetChecked(true);
        ControlNamed<TCheckBox>(window, "CheckBox4").SetChecked(true);
        window.Click("Button1"); // no exchange file: refused as zero length, after the settings are saved
        window.Click("Button2");
    }
    WindowInMemory window(folder.Path);
    TForm1 form(window);
    window.Show();
    EXPECT_EQ(window.Left(), 321);
    EXPECT_EQ(window.Top(), 45);
    EXPECT_EQ(ControlNamed<TComboBox>(window, "ComboBox1").ItemIndex(), 11);
    EXPECT_EQ(ControlNamed<TComboBox>(window, "ComboBox2").ItemIndex(), 5);
    EXPECT_EQ(ControlNamed<TComboBox>(window, "ComboBox3").ItemIndex(), 10);
    EXPECT_EQ(ControlNamed<TComboBox>(window, "ComboBox4").ItemIndex(), 0);
    EXPECT_EQ(ControlNamed<TComboBox>(window, "ComboBox5").ItemIndex(), 1);
    EXPECT_EQ(ControlNamed<TEdit>(window, "Edit1").Text(), "1.5");
    EXPECT_EQ(ControlNamed<TEdit>(window, "Edit2").Text(), " L=");
    EXPECT_EQ(ControlNamed<TEdit>(window, "Edit3").Text(), "(参考)");
    EXPECT_EQ(ControlNamed<TEdit>(window, "Edit4").Text(), "-3");
    EXPECT_EQ(ControlNamed<TEdit>(window, "Edit5").Text(), "abc");
    EXPECT_EQ(ControlNamed<TEdit>(window, "Edit6").Text(), "0");
    EXPECT_EQ(ControlNamed<TEdit>(window, "Edit7").Text(), "1000");
    EXPECT_EQ(ControlNamed<TEdit>(window, "Edit8").Text(), "179.9");
    EXPECT_EQ(ControlNamed<TEdit>(window, "Edit9").Text(), "4");
    EXPECT_EQ(ControlNamed<TRadioGroup>(window, "RadioGroup1").ItemIndex(), 1);
    EXPECT_EQ(ControlNamed<TRadioGroup>(window, "RadioGroup2").ItemIndex(), 1);
    EXPECT_TRUE(ControlNamed<TCheckBox>(window, "CheckBox1").Checked());
    EXPECT_FALSE(ControlNamed<TCheckBox>(window, "CheckBox2").Checked());
    EXPECT_FALSE(ControlNamed<TCheckBox>(window, "CheckBox3").Checked());
    EXPECT_TRUE(ControlNamed<TCheckBox>(window, "CheckBox4").Checked());
    window.Close();
}

TEST(DialogRun, RestoresOddSettingsTheWayTheFileSays) {
    auto shownWith = [](TDialogRun& run, const std::string& settings) {
        run.Folder.Write("sorvel.dat", settings);
        run.Window.Show();
    };
    {
        TDialogRun run; // line 4 past the twelve end marks
        shownWith(run,
                  "100\r\n100\r\n0\r\n12\r\n0\r\n3\r\n2\r\n1\r\n\r\n\r\n0.5\r\n2\r\n2\r\n3\r\n15\r\n2\r\n");
        EXPECT_EQ(run.Combo("ComboBox2").ItemIndex(), -1);
        run.Window.Click("Button1");
        EXPECT_EQ(run.Window.Focused, "ComboBox2");
    }
    {
        TDialogRun run; // line 18 past the two units, line 5 negative
        shownWith(run, "1\r\n2\r\n0\r\n0\r\n-3\r\n0\r\n0\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n0\r\n5\r\n");
        EXPECT_EQ(run.Radio("RadioGroup2").ItemIndex(), 1);
        EXPECT_EQ(run.Combo("ComboBox3").ItemIndex(), 0);
    }
    {
        TDialogRun run; // a prefix longer than its typing limit
        shownWith(run,
                  "1\r\n2\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n0123456789012345678901234567890123456789\r\n");
        EXPECT_EQ(run.Edit("Edit2").Text(), "0123456789012345678901234567890123456789");
    }
    {
        TDialogRun run; // an empty file
        run.Window.MoveTo(500, 500);
        shownWith(run, "");
        EXPECT_EQ(run.Window.Left(), 0);
        EXPECT_EQ(run.Window.Top(), 0);
        for (const char* name : {"ComboBox1", "ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"})
            EXPECT_EQ(run.Combo(name).ItemIndex(), 0) << name;
        for (const char* name :
             {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit9"})
            EXPECT_EQ(run.Edit(name).Text(), "") << name;
        EXPECT_EQ(run.Radio("RadioGroup1").ItemIndex(), 0);
        EXPECT_EQ(run.Radio("RadioGroup2").ItemIndex(), 0);
        for (const char* name : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"})
            EXPECT_FALSE(run.Check(name).Checked()) << name;
    }
}

TEST(DialogRun, BuildsTheWorkedExampleIntoTheExchangeFile) {
    TDialogRun run;
    run.Folder.Write("JWC_TEMP.TXT", kExampleExchange);
    run.Window.Show();
    run.Combo("ComboBox1").SetItemIndex(7);
    run.Combo("ComboBox2").SetItemIndex(7);
    run.Combo("ComboBox3").SetItemIndex(1);
    run.Window.Click("Button1");

    EXPECT_TRUE(run.Window.Messages.empty());
    EXPECT_FALSE(run.Window.IsOpen);
    EXPECT_EQ(run.Window.CloseCount, 1);
    EXPECT_EQ(run.Status().Repaints,
              (std::vector<std::string>{
                  "\x8f\x88\x97\x9d\x92\x86\x82\xc5\x82\xb7",
                  "\x83\x74\x83\x40\x83\x43\x83\x8b\x90\xb6\x90\xac\x92\x86\x82\xc5\x82\xb7"}));
    EXPECT_EQ(run.Folder.Read("JWC_TEMP.TXT"), "lg0\r\n"
                                               "ly0\r\n"
                                               "lc1\r\n"
                                               "pn1\r\n"
                                               "lt1\r\n"
                                               "cn\"$\r\n"
                                               "z3\r\n"
                                               "0 2 0 22\r\n"
                                               "z3\r\n"
                                               "100 2 100 22\r\n"
                                               "z3\r\n"
                                               "0 20 100 20\r\n"
                                               "cn1\r\n"
                                               "cc0\r\n"
                                               "z3\r\n"
                                               "cs 60 40 10 0 \"100\r\n"
                                               "z3\r\n"
                                               "50 20 59.5 39.5\r\n"
                                               "z3\r\n"
                                               "59.5 39.5 65 39.5\r\n"
                                               "z3\r\n"
                                               "pt 0 20 1 180 7\r\n"
                                               "z3\r\n"
                                               "z3\r\n"
                                               "pt 100 20 1 0 7\r\n");
    EXPECT_EQ(run.Folder.Read("sorvel.dat"),
              "100\r\n100\r\n7\r\n7\r\n1\r\n3\r\n2\r\n1\r\n\r\n\r\n0.5\r\n2\r\n2\r\n3\r\n15\r\n"
              "2\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
              "0\r\n1\r\n0\r\n0\r\n0\r\n100\r\n0\r\n50\r\n20\r\n");
}

// A folder where Jw_cad's file was: the drawing cannot be written at all, and the run says so once
// before it ends; a Cancel that cannot be written draws nothing anyway and says nothing.
TEST(DialogRun, SaysSoWhenTheDrawingCannotBeWritten) {
    for (bool ok : {true, false}) {
        TDialogRun run;
        run.Folder.Write("JWC_TEMP.TXT", kExampleExchange);
        run.Window.Show();
        run.Combo("ComboBox3").SetItemIndex(0);
        std::filesystem::remove(run.Folder.Path / "JWC_TEMP.TXT");
        std::filesystem::create_directory(run.Folder.Path / "JWC_TEMP.TXT");
        run.Window.Click(ok ? "Button1" : "Button2");

        EXPECT_FALSE(run.Window.IsOpen);
        EXPECT_TRUE(std::filesystem::is_directory(run.Folder.Path / "JWC_TEMP.TXT"));
        if (!ok) {
            EXPECT_TRUE(run.Window.Messages.empty());
            continue;
        }
        ASSERT_EQ(run.Window.Messages.size(), 1u);
        const std::string& text = run.Window.Messages[0].Text;
        const std::string head = "作図データを書き込めませんでした（JWC_TEMP.TXT）。\n";
        EXPECT_EQ(text.substr(0, head.size()), head);
#ifndef _WIN32
        EXPECT_EQ(text.substr(head.size()), "Is a directory");
#else
        EXPECT_GT(text.size(), head.size()); // Windows' own words, in the language of the system
#endif
        EXPECT_EQ(run.Window.Messages[0].Caption, "確認");
        EXPECT_EQ(run.Folder.Read("sorvel.dat").substr(0, 10), "100\r\n100\r\n");
    }
}
