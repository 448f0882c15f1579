// The dialog's design as data, like a form file: the window and one row per control.
// The Win32 layer and the tests' in-memory widgets both build the dialog from it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

enum class TControlKind { Label, ComboBox, Edit, CheckBox, RadioGroup, Memo, Button };

struct TColor {
    uint8_t R = 0, G = 0, B = 0;
};

struct TFormDesign {
    const char* Caption = "";
    int ClientWidth = 0, ClientHeight = 0;
    int Left = 0, Top = 0; // designed position; the saved one replaces it at show time
    TColor Background;
    const char* FontName = "";
    int FontHeight = 0; // pixels
};

struct TControlDesign {
    const char* Name = "";
    TControlKind Kind = TControlKind::Label;
    int X = 0, Y = 0, Width = 0, Height = 0; // client pixels
    const char* Caption = "";                // label, check box, radio group, button; edit: default text
    std::span<const char* const> Items;      // list items, radio buttons, memo lines
    int DefaultIndex = -1;                   // list or radio selection; -1: none
    int TabOrder = -1;                       // -1: not a tab stop
    int MaxLength = 0;                       // edit typing limit in bytes; 0: none
    bool ImeOff = false;                     // input method switched off while focused
    int FontHeight = 0;                      // 0: the form's font
    int Columns = 1;                         // radio groups
    bool HasBackground = false;              // else transparent / the form's colour
    TColor Background;
    bool IsDefault = false;  // button pressed by Enter
    bool IsCancel = false;   // button pressed by Esc
    bool CenterText = false; // label text centred both ways
    bool ReadOnly = false;   // memo
    // List items show, left of their text, the end mark of their index (tool/end_mark_shapes.h).
    bool EndMarkPictures = false;
};

const TFormDesign& DialogForm();
// Every control, in tab order first (tab stops by TabOrder), then the rest in design order.
std::span<const TControlDesign> DialogControls();
const TControlDesign* FindControlDesign(std::string_view name);
