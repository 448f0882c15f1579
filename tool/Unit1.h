// The dialog TForm1: its handlers drive one run of the tool from show to close.
#pragma once

#include <filesystem>
#include <string>

#include "files/replace_file.h"
#include "tool/Widgets.h"
#include "tool/dimension_options.h"

// Where the window opens when no settings file says otherwise.
constexpr int kDefaultWindowLeft = 100;
constexpr int kDefaultWindowTop = 100;

// Writes the queued commands ("hq" when none) into the tool folder's exchange file for Jw_cad and
// releases the exchange data: the end of every run.
TReplaceResult AnswerHost(const std::filesystem::path& toolFolder);
// Ends a run as Cancel does, whatever was read or queued: Jw_cad finds "hq" and draws nothing. For
// the entry point when the dialog cannot be built or a handler fails.
void AnswerCancel(const std::filesystem::path& toolFolder);

class TForm1 {
  public:
    // Takes the window built from the dialog's design and wires its events to the handlers.
    explicit TForm1(TWindow& window);

    void FormShow();
    void Button1Click();
    void Button2Click();
    void FormClose();

  private:
    void ReadSettings(const std::filesystem::path& path);
    void WriteSettings(const std::filesystem::path& path);
    void FillTextTypeList();
    void RefuseDimension();

    TWindow& Window;
    TComboBox& ComboBox3;
    TLabel& LabelA1;
    TButton& Button1;
    TButton& Button2;
    std::filesystem::path ToolFolder;
    int WindowLeft = kDefaultWindowLeft;
    int WindowTop = kDefaultWindowTop;
};
