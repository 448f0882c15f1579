// The dialog TForm1: its handlers drive one run of the tool from show to close.
#pragma once

#include <filesystem>
#include <string>

#include "tool/Widgets.h"
#include "tool/dimension_options.h"

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
    int WindowLeft = 100;
    int WindowTop = 100;
};
