// The dialog's design as one table: the window, then every control with its place, texts and roles.
#include <algorithm>
#include <array>
#include <climits>
#include <iterator>

#include "tool/dialog_design.h"

namespace {

using enum TControlKind;

constexpr const char* kEndMarks[] = {"線矢印", "△", "□", "Ｏ", "○", "■", "▲", "●", "～", "＞", "／", "△"};
constexpr const char* kPrecisions[] = {"1",       "0.1",      "0.01",      "0.001",     "0.0001",
                                       "0.00001", "0.000001", "0.0000001", "0.00000001"};
constexpr const char* kRoundings[] = {"切り捨て", "切り上げ", "四捨五入"};
constexpr const char* kZeroDisplays[] = {"無", "有"};
constexpr const char* kUnits[] = {"mm", "ｍ"};
constexpr const char* kGuidance[] = {
    "◇寸法値が離れた",        "　水平寸法線を作図します", "　寸法値への引出線が",
    "　作図されます",         "◇寸法値の前後には",        "　寸法値と水平線との距離",
    "　と同じ長さの余白を",   "　取るものとします",       "",
    "◆ブロック図形内のもの",  "　は処理出来ませんので",   "　御注意下さい。",
    "　ブロック編集内で行う", "　場合には、本ソフトを",   "　Jw_cadのインストール・",
    "　フォルダに配置して",   "　実行を行う必要がある",   "　場合があります。",
};

constexpr TFormDesign kForm{
    .Caption = "Tarvel",
    .ClientWidth = 508,
    .ClientHeight = 374,
    .Left = 194,
    .Top = 107,
    .Background = {255, 255, 255},
    .FontName = "ＭＳ ゴシック",
    .FontHeight = 13,
};

// Rows in the order of the dialog's layout, top to bottom, then the right column and the status line.
// Labels are as wide as their captions (13 px per full-width character, 7 px per half-width one).
// index: the list or radio selection of the design; tab: -1 for controls that are no tab stop;
// max: typing limit in bytes.
// clang-format off
constexpr TControlDesign kDesign[] = {
    // name         kind        x    y    w    h    caption                       items          index tab max ime off font cols has bg background       default cancel centre read only pictures
    {"Label6",      Label,      8,   8,   26,  13,  "始点",                       {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"ComboBox1",   ComboBox,   48,  4,   81,  21,  "",                           kEndMarks,     0,    0,  0,  true,   0,   1,   false, {},              false,  false, false, false,    true},
    {"Label2",      Label,      136, 8,   91,  13,  "寸法値の文字種",             {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Label7",      Label,      8,   32,  26,  13,  "終点",                       {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"ComboBox2",   ComboBox,   48,  28,  81,  21,  "",                           kEndMarks,     0,    1,  0,  true,   0,   1,   false, {},              false,  false, false, false,    true},
    {"ComboBox3",   ComboBox,   136, 28,  169, 21,  "",                           {},            -1,   5,  0,  true,   0,   1,   false, {},              false,  false, false, false,    false},
    {"Label15",     Label,      8,   52,  55,  11,  "（線矢印）",                 {},            -1,   -1, 0,  false,  11,  1,   false, {},              false,  false, false, false,    false},
    {"Label11",     Label,      136, 60,  52,  13,  "接頭文字",                   {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Edit2",       Edit,       200, 56,  105, 21,  "",                           {},            -1,   6,  32, false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Label17",     Label,      8,   68,  26,  13,  "長さ",                       {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Edit7",       Edit,       48,  64,  33,  21,  "3",                          {},            -1,   2,  8,  true,   0,   1,   false, {},              false,  false, false, false,    false},
    {"Label18",     Label,      88,  68,  40,  13,  "図寸mm",                     {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Label12",     Label,      136, 84,  52,  13,  "接尾文字",                   {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Edit3",       Edit,       200, 80,  105, 21,  "",                           {},            -1,   7,  32, false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Label16",     Label,      8,   92,  26,  13,  "角度",                       {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Edit8",       Edit,       48,  88,  33,  21,  "15",                         {},            -1,   3,  8,  true,   0,   1,   false, {},              false,  false, false, false,    false},
    {"Label19",     Label,      88,  92,  13,  13,  "°",                          {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Label1",      Label,      8,   116, 52,  13,  "端点倍率",                   {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Edit1",       Edit,       72,  112, 57,  21,  "1",                          {},            -1,   4,  16, true,   0,   1,   false, {},              false,  false, false, false,    false},
    {"Label20",     Label,      128, 116, 169, 13,  "（点マーカ　線矢印を除く）", {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Label13",     Label,      8,   140, 78,  13,  "寸法値の精度",               {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"ComboBox4",   ComboBox,   200, 136, 105, 21,  "",                           kPrecisions,   3,    8,  0,  true,   0,   1,   false, {},              false,  false, false, false,    false},
    {"Label21",     Label,      8,   164, 78,  13,  "寸法値の丸め",               {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"ComboBox5",   ComboBox,   200, 160, 105, 21,  "",                           kRoundings,    2,    9,  0,  true,   0,   1,   false, {},              false,  false, false, false,    false},
    {"RadioGroup1", RadioGroup, 8,   184, 145, 41,  "小数点以下の０表示",         kZeroDisplays, 0,    10, 0,  false,  0,   2,   false, {},              false,  false, false, false,    false},
    {"RadioGroup2", RadioGroup, 160, 184, 145, 41,  "寸法値の単位",               kUnits,        0,    11, 0,  false,  0,   2,   false, {},              false,  false, false, false,    false},
    {"CheckBox1",   CheckBox,   8,   232, 145, 17,  "３桁毎カンマ付加",           {},            -1,   12, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"CheckBox2",   CheckBox,   152, 232, 105, 17,  "単位の付加",                 {},            -1,   13, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"CheckBox3",   CheckBox,   256, 232, 129, 17,  "寸法値を全角化",             {},            -1,   14, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"CheckBox4",   CheckBox,   384, 232, 105, 17,  "寸法図形化",                 {},            -1,   15, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Label3",      Label,      8,   256, 143, 13,  "寸法値と水平線との距離",     {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Edit4",       Edit,       200, 252, 57,  21,  "0.5",                        {},            -1,   16, 16, true,   0,   1,   false, {},              false,  false, false, false,    false},
    {"Label4",      Label,      264, 256, 40,  13,  "図寸mm",                     {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Label5",      Label,      8,   280, 156, 13,  "計測点と寸法補助線の距離",   {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Edit5",       Edit,       200, 276, 57,  21,  "2",                          {},            -1,   17, 16, true,   0,   1,   false, {},              false,  false, false, false,    false},
    {"Label8",      Label,      264, 280, 40,  13,  "図寸mm",                     {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Label9",      Label,      8,   304, 156, 13,  "寸法補助線のはみ出し距離",   {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Edit6",       Edit,       200, 300, 57,  21,  "2",                          {},            -1,   18, 16, true,   0,   1,   false, {},              false,  false, false, false,    false},
    {"Label10",     Label,      264, 304, 40,  13,  "図寸mm",                     {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Label14",     Label,      8,   328, 156, 13,  "逆矢印の寸法はみだし距離",   {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Edit9",       Edit,       200, 324, 57,  21,  "2",                          {},            -1,   19, 16, true,   0,   1,   false, {},              false,  false, false, false,    false},
    {"Label22",     Label,      264, 328, 40,  13,  "図寸mm",                     {},            -1,   -1, 0,  false,  0,   1,   false, {},              false,  false, false, false,    false},
    {"Memo1",       Memo,       312, 0,   193, 225, "",                           kGuidance,     -1,   -1, 0,  false,  0,   1,   true,  {187, 235, 244}, false,  false, false, true,     false},
    {"Button1",     Button,     360, 264, 137, 33,  "ＯＫ(&Y)",                   {},            -1,   20, 0,  false,  0,   1,   false, {},              true,   false, false, false,    false},
    {"Button2",     Button,     360, 312, 137, 33,  "キャンセル(&N)",             {},            -1,   21, 0,  false,  0,   1,   false, {},              false,  true,  false, false,    false},
    {"LabelA1",     Label,      0,   350, 508, 24,  "　",                         {},            -1,   -1, 0,  false,  0,   1,   true,  {231, 231, 231}, false,  false, true,  false,    false},
};
// clang-format on

int TabRank(const TControlDesign& row) {
    return row.TabOrder >= 0 ? row.TabOrder : INT_MAX;
}

} // namespace

const TFormDesign& DialogForm() {
    return kForm;
}

std::span<const TControlDesign> DialogControls() {
    static const auto ordered = [] {
        std::array<TControlDesign, std::size(kDesign)> rows;
        std::copy(std::begin(kDesign), std::end(kDesign), rows.begin());
        std::stable_sort(rows.begin(), rows.end(), [](const TControlDesign& a, const TControlDesign& b) {
            return TabRank(a) < TabRank(b);
        });
        return rows;
    }();
    return ordered;
}

const TControlDesign* FindControlDesign(std::string_view name) {
    for (const TControlDesign& row : kDesign)
        if (name == row.Name) return &row;
    return nullptr;
}
