// The checked options of one OK: one field per dialog control, handed to the construction.
#pragma once

#include <cstdint>
#include <string>

struct TDimensionOptions {
    int32_t StartMark = 0;            // ComboBox1, end-mark kind 0..11
    int32_t EndMark = 0;              // ComboBox2
    double MarkScale = 1;             // Edit1, factor of the point markers
    double ArrowLength = 3;           // Edit7, paper mm
    double ArrowAngle = 15;           // Edit8, degrees
    int32_t TextTypeIndex = -1;       // ComboBox3: 0 host's current type, 1..10 type No1..No10
    std::string Prefix;               // Edit2
    std::string Suffix;               // Edit3
    int32_t PrecisionIndex = 3;       // ComboBox4, decimals
    int32_t RoundingMode = 2;         // ComboBox5: 0 truncate, 1 round up, 2 round half
    int32_t ZeroDisplay = 0;          // RadioGroup1: 0 cut trailing zeros, 1 keep them
    int32_t UnitIndex = 0;            // RadioGroup2: 0 mm, 1 m
    bool ThousandsCommas = false;     // CheckBox1
    bool AppendUnit = false;          // CheckBox2
    bool FullWidthDigits = false;     // CheckBox3
    bool AsDimensionEntity = false;   // CheckBox4
    double TextGap = 0.5;             // Edit4, paper mm
    double ExtensionGap = 2;          // Edit5, paper mm
    double ExtensionOvershoot = 2;    // Edit6, paper mm
    double ReverseArrowOvershoot = 2; // Edit9, paper mm
};
