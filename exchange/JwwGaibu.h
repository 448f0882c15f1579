// The exchange file JWC_TEMP.TXT: reader, entity store and command writer, with the
// module-level state of one run (host parameters, running attributes, store, command list).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "files/replace_file.h"

// ---------------------------------------------------------------- host parameters

struct TTextTypeSize {
    double Width = 3;   // paper mm
    double Height = 3;  // paper mm
    double Spacing = 0; // paper mm
    int32_t Color = 2;
};

// What a run starts with until the host names its own: the free text size and the font.
inline constexpr TTextTypeSize kDefaultFreeText{2, 2, 0, 1};
inline constexpr char kDefaultFontName[] = "<ＭＳ ゴシック>";

struct TIndicatedPoint {
    bool IsSet = false;
    double X = 0, Y = 0; // drawing mm
    int32_t Kind = 0;    // 0 none, 1 "-", 2 "ln", 3 "ci", 4 "ch"
};

struct THostParameters {
    double AxisAngle = 0;
    std::string DrawingFileName;
    std::array<double, 16> GroupScale{}; // reset to 1 each by InitExchangeData
    double PaperWidth = 1189, PaperHeight = 841;
    std::array<TTextTypeSize, 11> TextTypes{}; // entries 1..10 are used
    bool BzFlag = false;
    std::array<double, 4> HnValues{};
    int32_t HostLayerGroup = 0;
    int32_t HostLayer = 0;
    int32_t HostLineColor = 1;
    int32_t HostLineType = 1;
    int32_t HostLineWidth = 0;
    int32_t HostTextType = 1;
    TTextTypeSize HostFreeText = kDefaultFreeText;
    std::string HostFontName;
    bool LineWidthSeen = false;
    std::vector<int32_t> GroupValues;    // 16 entries
    std::vector<std::string> GroupNames; // 16 entries
    std::vector<int32_t> LayerValues;    // 256 entries, [group * 16 + layer]
    std::vector<std::string> LayerNames; // 256 entries, [group * 16 + layer]
    std::vector<TIndicatedPoint> Points; // 100 entries; 1..99 are filled by "hp"
    int32_t PointCount = 0;
};

// ---------------------------------------------------------------- running attribute state

// The attributes the command writer caches; the first six double as the reader's
// first-seen flags, so reading and writing share one set of force flags.
enum TAttributeKind : int {
    akLayerGroup,
    akLayer,
    akLineColor,
    akLineType,
    akLineWidth,
    akTextType,
    akCcCode,
    akTextFont,
    akPnColor,
    akCount
};

struct TAttributeState {
    int32_t HhpNumber = 0;
    int32_t LayerGroup = 0;
    int32_t Layer = 0;
    int32_t LineColor = 1;
    int32_t LineType = 1;
    int32_t LineWidth = 0;
    int32_t TextType = 1;
    TTextTypeSize FreeText = kDefaultFreeText;
    int32_t CcCode = 0;
    std::string FontName = kDefaultFontName;
    int32_t ZFlags = 0;
    int32_t PnColor = 1;
    int32_t SolidColor = 0;
    int32_t PolylineCount = 0;
    bool InPolyline = false;
    bool DimensionPending = false;
    std::array<bool, akCount> Force{}; // all set by InitExchangeData and ResetCommandCaches
};

// ---------------------------------------------------------------- entity records

constexpr int kMaxRecordText = 255;

struct TJwwEntHead {
    int32_t HhpNumber = 0;
    int32_t LayerGroup = 0;
    int32_t Layer = 0;
    int32_t Color = 0;
    int32_t LineType = 0;
    int32_t LineWidth = 0;
    int32_t ZFlags = 0;
};

// A text of at most 255 bytes. The bytes are kept in the store's text arena, which never moves
// them and frees them with the store; a record's font is the one copy its run of texts shares.
struct TRecordText {
    const char* Bytes = "";
    uint8_t Length = 0;
    std::string_view View() const { return {Bytes, Length}; }
};

struct TJwwEntLin {
    TJwwEntHead Head;
    int32_t PolylineNo = 0;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};
struct TJwwEntCir {
    TJwwEntHead Head;
    double X = 0, Y = 0, Radius = 0;
};
struct TJwwEntArc {
    TJwwEntHead Head;
    double X = 0, Y = 0, Radius = 0;
    std::array<double, 4> Values{};
};
struct TJwwEntTxt {
    TJwwEntHead Head;
    int32_t Kind = 0; // "ch" 0, "cv" 1, "cs" 2, "cr" 3, "co" 4, "cp" 5, "ct" 6, "ck" 7, "cz" 8, "c2" 9
    int32_t CcCode = 0;
    int32_t TextType = 0;
    double Width = 0, Height = 0, Spacing = 0; // paper mm
    double X = 0, Y = 0, Dx = 0, Dy = 0;
    TRecordText FontName;
    TRecordText Text;
};
struct TJwwEntPnt {
    TJwwEntHead Head;
    double X = 0, Y = 0;
};
struct TJwwEntMrk {
    TJwwEntHead Head;
    double X = 0, Y = 0, Scale = 0, Angle = 0;
    int32_t Code = 0;
};
struct TJwwEntDim {
    TJwwEntHead Head;
    TJwwEntLin Line;
    TJwwEntTxt Text;
};
struct TJwwEntBlk {
    TJwwEntHead Head;
    double X = 0, Y = 0;
    std::string Name;
};
struct TJwwEntSl2 {
    TJwwEntHead Head;
    int32_t SolidColor = 0;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};
struct TJwwEntSl3 {
    TJwwEntHead Head;
    int32_t SolidColor = 0;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, X3 = 0, Y3 = 0;
};
struct TJwwEntSl4 {
    TJwwEntHead Head;
    int32_t SolidColor = 0;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, X3 = 0, Y3 = 0, X4 = 0, Y4 = 0;
};
struct TJwwEntSc {
    TJwwEntHead Head;
    int32_t SolidColor = 0;
    std::array<double, 7> Values{};
    int32_t Code = 0;
};
struct TJwwEntSe {
    TJwwEntHead Head;
    int32_t SolidColor = 0;
    std::array<double, 7> Values{};
    int32_t Code = 0;
};
struct TJwwEntSo {
    TJwwEntHead Head;
    int32_t SolidColor = 0;
    std::array<double, 8> Values{};
};
struct TJwwEntSg {
    TJwwEntHead Head;
    int32_t SolidColor = 0;
    std::array<double, 8> Values{};
};

// Kind codes of the entity order list.
enum TEntityKind : int32_t {
    ekLin = 1,
    ekCir,
    ekArc,
    ekTxt,
    ekPnt,
    ekMrk,
    ekDim,
    ekBlk,
    ekSl2,
    ekSl3,
    ekSl4,
    ekSc,
    ekSe,
    ekSo,
    ekSg
};

struct TEntityOrder {
    int32_t Kind = 0;
    int32_t Index = 0;
};

// ---------------------------------------------------------------- module state of one run

THostParameters& HostParameters();
TAttributeState& AttributeState();

// ---------------------------------------------------------------- reader

void InitExchangeData();
bool ReadExchangeFile(const std::filesystem::path& path);
void ParseExchangeLine(std::string_view line);
void FreeExchangeData();

// ---------------------------------------------------------------- entity store

void AppendOrder(int32_t kind, int32_t index);
void FillEntityHead(TJwwEntHead& head);

// Read access: the count of a kind's records, and the records by number (from 0).
int32_t EntityCount(TEntityKind kind);
const TJwwEntLin& LineEntity(int32_t index);
const TJwwEntCir& CircleEntity(int32_t index);
const TJwwEntArc& ArcEntity(int32_t index);
TJwwEntTxt TextEntity(int32_t index); // texts are stored packed: a copy, unpacked on each call
const TJwwEntPnt& PointEntity(int32_t index);
const TJwwEntMrk& MarkerEntity(int32_t index);
const TJwwEntDim& DimensionEntity(int32_t index);
const TJwwEntBlk& BlockEntity(int32_t index);
const TJwwEntSl2& Solid2Entity(int32_t index);
const TJwwEntSl3& Solid3Entity(int32_t index);
const TJwwEntSl4& Solid4Entity(int32_t index);
const TJwwEntSc& ScEntity(int32_t index);
const TJwwEntSe& SeEntity(int32_t index);
const TJwwEntSo& SoEntity(int32_t index);
const TJwwEntSg& SgEntity(int32_t index);
int32_t EntityOrderCount();
TEntityOrder EntityOrderAt(int32_t position);
const TJwwEntLin& PendingDimensionLine();
// Capacity of a kind's storage in records (grows in blocks of 1000).
int32_t EntityCapacity(TEntityKind kind);

// ---------------------------------------------------------------- command writer

void AddCommand(std::string_view text);
void SetLayerGroup(int32_t group);
void SetLayer(int32_t layer);
void SetLineColor(int32_t color);
void SetLineType(int32_t lineType);
void SetLineWidth(int32_t width);
void SetTextType(int32_t type, int32_t color, double width, double height, double spacing);
void SetCcCode(int32_t code);
void SetTextFont(std::string_view fontName);
void SetPnColor(int32_t color);
void AddZFlags(uint8_t bits);
void AddLine(double x1, double y1, double x2, double y2);
void AddPoint(int32_t code, double x, double y, double scale, double angle);
void AddText(int32_t kind, std::string_view text, double x, double y, double dx, double dy);
void AddDimension(std::string_view text, double x1, double y1, double x2, double y2, double x, double y,
                  double dx, double dy);
void ResetCommandCaches();
// Fails when the list could not be written whole; the file is then gone, or holds "hq", or holds the
// host's own input (whose first line "hq" draws nothing). A failure always carries a system code.
TReplaceResult WriteCommandFile(const std::filesystem::path& path);

// The queued entries, in order (each at most 255 bytes).
const std::vector<std::string>& CommandList();
