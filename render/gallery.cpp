// tarvel_gallery: runs the dialog in memory on the standard example, once per picture, and draws
// each answer as docs/gallery/<name>.svg. The same handlers and construction as Tarvel.exe.
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/memory/widgets_in_memory.h"
#include "render/Render.h"
#include "tool/Unit1.h"

namespace {

// The host's file (as examples/JWC_TEMP.TXT) for a dimension at 1:100 between measuring points at the
// given x, 1000 mm up; the dimension line 10 mm of paper above them, the value 8 mm above the line.
std::string HostFile(const char* x1, const char* x2, const char* x3, const char* x4) {
    return std::string("hq\r\n"
                       "hk 0\r\n"
                       "hs 100 50 100 100 100 100 100 100 100 100 100 100 100 100 100 100\r\n"
                       "hcw 2 2.5 3 4 5 6 7 8 9 10\r\n"
                       "hch 2 2.5 3 4 5 6 7 8 9 10\r\n"
                       "hcd 0 0 0.5 0.5 0.5 0.5 1 1 1 1\r\n"
                       "hcc      1      1      2      2      2      2      2      2      2      2\r\n"
                       "hn 0 0 0 0\r\n") +
           "hp1   " + x1 + " 1000\r\nhp2   " + x2 + " 1000\r\nhp3   " + x3 + " 2000\r\nhp4   " + x4 +
           " 2800\r\n"
           "lg0\r\nly0\r\nlc1\r\nlt1\r\ncn1\r\n"
           "cn\"$<ＭＳ ゴシック>\r\n"
           "#\r\n";
}

// 3,600 mm with the value to the right of the middle.
const std::string kStandardHost = HostFile("-1500", "2100", "300", "1200");
// Only 500 mm between the measuring points: 5 mm of paper, less than two line arrows need, so both
// are turned outward.
const std::string kShortHost = HostFile("-1500", "-1000", "-1250", "-600");

struct TDialog {
    WindowInMemory& Window;
    void Select(const char* name, int index) { ControlNamed<TComboBox>(Window, name).SetItemIndex(index); }
    void Type(const char* name, const char* text) { ControlNamed<TEdit>(Window, name).SetText(text); }
    void Check(const char* name) { ControlNamed<TCheckBox>(Window, name).SetChecked(true); }
    void Choose(const char* name, int index) { ControlNamed<TRadioGroup>(Window, name).SetItemIndex(index); }
};

struct TPicture {
    std::string Name;
    std::string Host;
    std::function<void(TDialog&)> Options;
};

std::vector<TPicture> Pictures() {
    const char* markNames[] = {"line-arrow", "blanked-arrow", "blanked-box",  "blanked-dot",
                               "origin",     "filled-box",    "filled-arrow", "filled-dot",
                               "integral",   "open-arrow",    "slash",        "unfilled-arrow"};
    std::vector<TPicture> pictures;
    pictures.push_back({"result", kStandardHost, [](TDialog&) {}});
    for (int mark = 0; mark < 12; ++mark) {
        std::string name =
            std::string("mark-") + (mark < 10 ? "0" : "") + std::to_string(mark) + "-" + markNames[mark];
        pictures.push_back({name, kStandardHost, [mark](TDialog& dialog) {
                                dialog.Select("ComboBox1", mark);
                                dialog.Select("ComboBox2", mark);
                            }});
    }
    pictures.push_back({"turned-out", kShortHost, [](TDialog&) {}});
    pictures.push_back(
        {"dimension-entity", kStandardHost, [](TDialog& dialog) { dialog.Check("CheckBox4"); }});
    pictures.push_back({"value-mm-unit", kStandardHost, [](TDialog& dialog) { dialog.Check("CheckBox2"); }});
    pictures.push_back({"value-m-unit", kStandardHost, [](TDialog& dialog) {
                            dialog.Choose("RadioGroup2", 1);
                            dialog.Check("CheckBox2");
                        }});
    pictures.push_back({"value-commas", kStandardHost, [](TDialog& dialog) { dialog.Check("CheckBox1"); }});
    pictures.push_back(
        {"value-full-width", kStandardHost, [](TDialog& dialog) { dialog.Check("CheckBox3"); }});
    pictures.push_back({"value-prefix-suffix", kStandardHost, [](TDialog& dialog) {
                            dialog.Type("Edit2", "L=");
                            dialog.Type("Edit3", "(内法)");
                        }});
    pictures.push_back({"value-m", kStandardHost, [](TDialog& dialog) { dialog.Choose("RadioGroup2", 1); }});
    pictures.push_back({"value-m-zeros", kStandardHost, [](TDialog& dialog) {
                            dialog.Choose("RadioGroup2", 1);
                            dialog.Choose("RadioGroup1", 1);
                        }});
    return pictures;
}

// The tool folder of one run: a fresh folder of its own in the temporary folder, removed with what the
// run left in it.
struct TToolFolder {
    std::filesystem::path Path;
    bool Made = false;
    TToolFolder() {
        std::error_code ec;
        Path = std::filesystem::temp_directory_path(ec) /
               ("tarvel-gallery-" + std::to_string(std::random_device{}()));
        Made = !ec && std::filesystem::create_directory(Path, ec);
    }
    ~TToolFolder() {
        std::error_code ignored;
        if (Made) std::filesystem::remove_all(Path, ignored);
    }
    TToolFolder(const TToolFolder&) = delete;
    TToolFolder& operator=(const TToolFolder&) = delete;
};

// One run as a user makes it: the dialog opens on the host's file, the options are set, OK is
// pressed and the window closes, leaving the answer in JWC_TEMP.TXT.
bool DrawPicture(const TPicture& picture, const std::filesystem::path& folder) {
    const TToolFolder tool;
    if (!tool.Made || !WriteFileBytes(tool.Path / "JWC_TEMP.TXT", picture.Host)) {
        std::cerr << "tarvel_gallery: cannot make a tool folder in " << tool.Path.parent_path().string()
                  << "\n";
        return false;
    }
    WindowInMemory window(tool.Path);
    TForm1 form(window);
    window.Show();
    TDialog dialog{window};
    dialog.Select("ComboBox3", 0); // the host's current text type
    picture.Options(dialog);
    window.Click("Button1");
    if (window.IsOpen) {
        std::cerr << "tarvel_gallery: " << picture.Name << ": the dialog refused OK\n";
        return false;
    }
    const std::optional<std::string> answer = ReadFileBytes(tool.Path / "JWC_TEMP.TXT");
    TRenderReport report;
    const std::string svg = RenderCommandFile(picture.Host, answer.value_or(""), report);
    if (report.NotDrawn || report.Skipped > 0) {
        std::cerr << "tarvel_gallery: " << picture.Name << ": the renderer skipped " << report.Skipped
                  << " line(s)\n";
        return false;
    }
    if (!WriteFileBytes(folder / (picture.Name + ".svg"), svg)) {
        std::cerr << "tarvel_gallery: cannot write " << (folder / (picture.Name + ".svg")).string() << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tarvel_gallery FOLDER   (writes one SVG per picture into FOLDER)\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    int failed = 0;
    for (const TPicture& picture : Pictures())
        if (!DrawPicture(picture, folder)) ++failed;
    return failed == 0 ? 0 : 1;
}
