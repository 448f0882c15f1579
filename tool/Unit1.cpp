// TForm1's handlers: load at show, options and construction on OK, write-back at close.
#include "tool/Unit1.h"

#include <optional>
#include <string>

#include "exchange/JwwGaibu.h"
#include "tool/construction.h"
#include "tool/option_intake.h"
#include "tool/settings_controls.h"
#include "tool/settings_file.h"
#include "util/MyFunc.h"

namespace {

// Jw_cad reads its answer from the same file it wrote, in the tool's own folder.
constexpr const char* kExchangeFileName = "JWC_TEMP.TXT";
constexpr const char* kSettingsFileName = "sorvel.dat";

} // namespace

TReplaceResult AnswerHost(const std::filesystem::path& toolFolder) {
    // With nothing queued the writer leaves "hq", which tells Jw_cad that the tool did nothing.
    const TReplaceResult written = WriteCommandFile(toolFolder / kExchangeFileName);
    FreeExchangeData();
    return written;
}

void AnswerCancel(const std::filesystem::path& toolFolder) {
    InitExchangeData();
    AnswerHost(toolFolder);
}

TForm1::TForm1(TWindow& window)
    : Window(window), ComboBox3(ControlNamed<TComboBox>(window, "ComboBox3")),
      LabelA1(ControlNamed<TLabel>(window, "LabelA1")), Button1(ControlNamed<TButton>(window, "Button1")),
      Button2(ControlNamed<TButton>(window, "Button2")) {
    Window.OnShow = [this] { FormShow(); };
    Window.OnClose = [this] { FormClose(); };
    Button1.OnClick = [this] { Button1Click(); };
    Button2.OnClick = [this] { Button2Click(); };
}

void TForm1::FormShow() {
    InitExchangeData();
    ToolFolder = Window.ExecutableFolder();
    // A missing or unreadable exchange file leaves the defaults; the dialog opens all the same.
    ReadExchangeFile(ToolFolder / kExchangeFileName);
    ResetCommandCaches();
    FillTextTypeList();
    ReadSettings(ToolFolder / kSettingsFileName);
    Window.MoveTo(WindowLeft, WindowTop);
}

void TForm1::FillTextTypeList() {
    const THostParameters& host = HostParameters();
    ComboBox3.Clear();
    ComboBox3.AddItem(host.HostTextType == 0 ? std::string("現在の文字種(Free)")
                                             : "現在の文字種(No" + std::to_string(host.HostTextType) + ")");
    for (int i = 1; i <= 10; ++i) {
        const TTextTypeSize& size = host.TextTypes[i];
        ComboBox3.AddItem("No" + std::to_string(i) + ": W" + FormatGeneral(size.Width) + " H" +
                          FormatGeneral(size.Height) + " D" + FormatGeneral(size.Spacing));
    }
}

void TForm1::Button1Click() {
    WindowLeft = Window.Left();
    WindowTop = Window.Top();
    const TOptionIntake intake = TakeDimensionOptions(Window);
    if (!intake.Options) {
        Window.FocusControl(*intake.Refused);
        return;
    }
    WriteSettings(ToolFolder / kSettingsFileName);

    // A dimension that would write numbers Jw_cad cannot read is refused like one of zero length.
    const std::optional<TDimensionDrawing> drawing = PlanDimension(*intake.Options, HostParameters());
    if (!drawing) {
        RefuseDimension();
        return;
    }
    // The handler does not return to the message loop until the window closes, so each status is
    // painted at once.
    LabelA1.SetCaption("処理中です");
    LabelA1.Repaint();
    QueueDimension(*drawing);
    LabelA1.SetCaption("ファイル生成中です");
    LabelA1.Repaint();
    Window.Close();
}

// The settings stay saved and the dialog stays open, so the user can point again or cancel.
void TForm1::RefuseDimension() {
    Window.ShowConfirmation("寸法が「0」になりますので作図出来ません", "確認");
}

void TForm1::Button2Click() {
    Window.Close();
}

void TForm1::FormClose() {
    // A Cancel that cannot be written still draws nothing, as asked; a dimension that cannot be
    // written must not end like one that was drawn.
    const bool drawn = !CommandList().empty();
    const TReplaceResult written = AnswerHost(ToolFolder);
    if (drawn && !written) {
        // The system's reason on a line of its own, when it gave one.
        std::string text = "作図データを書き込めませんでした（JWC_TEMP.TXT）。";
        if (written.SystemError != 0) {
            text += '\n';
            text += SystemErrorText(written.SystemError);
        }
        Window.ShowConfirmation(text, "確認");
    }
}

void TForm1::ReadSettings(const std::filesystem::path& path) {
    WindowLeft = kDefaultWindowLeft;
    WindowTop = kDefaultWindowTop;
    const std::optional<std::string> bytes = ReadSettingsFile(path);
    if (!bytes) return;
    const TSettings settings = ParseSettings(*bytes);
    WindowLeft = settings.WindowLeft;
    WindowTop = settings.WindowTop;
    ApplySettings(settings, Window);
}

void TForm1::WriteSettings(const std::filesystem::path& path) {
    // A failed write keeps the previous file and is not reported: OK goes on to the construction.
    WriteSettingsFile(path, CollectSettings(Window, WindowLeft, WindowTop), HostParameters());
}
