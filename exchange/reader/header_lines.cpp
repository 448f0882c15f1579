// The drawing-wide lines the host writes before the selection: file name, axis, scales, paper, text types.
#include "exchange/reader/line_rules.h"

#include "util/MyFunc.h"

namespace {

enum TTextTypeField { tfWidth, tfHeight, tfSpacing, tfColor };

void ReadTextTypes(const TLineTokens& t, TTextTypeField field) {
    auto& types = HostParameters().TextTypes;
    for (int i = 1; i <= 10; ++i) {
        switch (field) {
        case tfWidth:
            types[i].Width = TextToFloat(t[i]);
            break;
        case tfHeight:
            types[i].Height = TextToFloat(t[i]);
            break;
        case tfSpacing:
            types[i].Spacing = TextToFloat(t[i]);
            break;
        case tfColor:
            types[i].Color = TextToInt(t[i]);
            break;
        }
    }
}

} // namespace

bool ApplyHeaderLine(const TLineTokens& t) {
    THostParameters& host = HostParameters();
    const std::string_view key = t[0];
    if (key.find("file=") != std::string_view::npos) {
        host.DrawingFileName.assign(key.substr(5));
    } else if (key == "hk" && t.Count >= 2) {
        host.AxisAngle = TextToFloat(t[1]);
    } else if (key == "hs" && t.Count >= 17) {
        for (int i = 0; i < 16; ++i) host.GroupScale[i] = TextToFloat(t[i + 1]);
    } else if (key == "hzs" && t.Count >= 3) {
        host.PaperWidth = TextToFloat(t[1]);
        host.PaperHeight = TextToFloat(t[2]);
    } else if (key == "hcw" && t.Count >= 11) {
        ReadTextTypes(t, tfWidth);
    } else if (key == "hch" && t.Count >= 11) {
        ReadTextTypes(t, tfHeight);
    } else if (key == "hcd" && t.Count >= 11) {
        ReadTextTypes(t, tfSpacing);
    } else if (key == "hcc" && t.Count >= 11) {
        ReadTextTypes(t, tfColor);
    } else if (key == "bz") {
        host.BzFlag = true;
    } else if (key == "hn" && t.Count >= 5) {
        for (int i = 0; i < 4; ++i) host.HnValues[i] = TextToFloat(t[i + 1]);
    } else {
        return false;
    }
    return true;
}
