// End-to-end driver: plays one case folder's script against the real Tarvel.exe, the way a user
// would drive the dialog, and compares the files it leaves with the case's hand-made references.
//
//   tarvel_e2e_driver <Tarvel.exe> <case folder> <work folder>
//   tarvel_e2e_driver --machine
//
// The second form prints this machine's Windows version, display scale and code pages, for the
// self-test's report.
//
// Exit code 0: passed; 77: skipped, because the case needs something this machine cannot give (a verb
// says what); anything else: failed. The last line of output says which, with the case's name.
//
// The script (script.txt, UTF-8) holds one action per line; '#' starts a comment:
//   needs dpi <dpi>            the primary display is at that scale (96: 100 %), or the case is skipped
//   needs work-area <left> <top> [<right> <bottom>]   one monitor, its work area there, or skipped
//   folder <path>              tool folder below the work folder (default "tool"), before start
//   put <case file> [<name>]   copies a case file into the tool folder
//   readonly <name>            marks a tool-folder file read-only
//   start                      starts Tarvel.exe from the tool folder, the current folder elsewhere
//   select <control> <index>   picks a list item as the mouse does (CB_SETCURSEL + CBN_SELCHANGE)
//   drop-down <control>        opens a list, as its arrow button does (for screenshots)
//   type <control> <text>      replaces a text box's text, character by character (WM_CHAR)
//   append <control> <text>    types at the end of the text
//   click <control> [<item>]   clicks a check box, or a radio group's button
//   key <key>                  Tab, Enter, Escape or Alt+<letter>, to the focused control
//   ok | cancel | close        presses OK or Cancel, or the title-bar close button
//   expect <control> <value>   list or radio index, check 0/1, or text of a text box or label
//   expect-item <control> <index> <text>   a list item's text
//   expect-focus <control>     the control with the keyboard focus
//   expect-message <text> <caption>   the confirmation box; it is then closed with its OK button
//   expect-position <x> <y>    the window's top-left corner on the screen
//   expect-exit <code>         waits for the tool to end
//   expect-file <name> <case file>    compares a tool-folder file now
//   expect-absent <name>
//   hold <name> read-write|none   opens a tool-folder file for reading and keeps it open, sharing
//                              reading and writing (no deleting), or nothing, as other programs do
//   release <name>             closes it again (the end of the script releases every held file)
//   release-after <name> <ms>  closes it that many milliseconds later, while the script goes on
//   mkdir <name>               makes a folder in the tool folder
//   age <name> <minutes>       dates a tool-folder file's last write that many minutes before now
//   link <name> <target>       makes a symbolic link in the tool folder to a path relative to it (skipped
//                              where Windows lets only an administrator or developer mode make one)
//   fill-disk                  fills the work folder's volume, which must be a small one of its own
//   expect-folder <name>       a tool-folder entry that must still be a folder
//   expect-entries <name>...   the tool folder holds exactly these entries (no temporary file left)
//   expect-message-file <case file> <caption>   the confirmation box, its text as in the case file
//   signal <name>              creates an empty file <name> in the case folder (for scripts/demo)
//   await <name>               waits up to 120 s for the file <name> to appear in the case folder
//   tool-folder <Windows path> the tool folder itself (blanks allowed), e.g. where a package was unzipped
//   start-bat <name>           runs the tool folder's batch file with cmd /c from that folder, as Jw_cad does
//   expect-layout <dpi> <client width> <client height>
//                              the window's DPI and client size; every control of the design at its
//                              rectangle scaled by dpi/96 (±1 px, exact at 96; labels as wide as their
//                              captions), and no caption wider than its control, measured in the dialog's
//                              font
//   dpi-change <dpi> [<dx> <dy>]   what Windows sends when the window moves to a monitor of that DPI,
//                              with the suggested rectangle moved by dx, dy from where the window is;
//                              the window must end exactly there, and no move may go to a third place
//                              on the way (every move of the tool's window is seen by move_hook.dll);
//                              skipped before Windows 10 (1607), where no thread is per-monitor aware
// At the end every file of the case's expected/ folder is compared with the tool folder's file of the
// same name. Numbers in a line compare to 1e-9, all other bytes exactly; a mismatching file is kept
// beside its reference as <reference>.actual.
#include <windows.h>

#include <shellscalingapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/control_ids.h"
#include "tests/e2e/move_record.h"
#include "tool/dialog_design.h"

namespace fs = std::filesystem;

namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The case needs something this machine cannot give; what() says what.
struct Skipped : std::runtime_error {
    using std::runtime_error::runtime_error;
};
constexpr int kSkippedExitCode = 77;

//--------------------------------------------------------------------------- text and files

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(
        CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

// The design's texts are Shift-JIS.
std::wstring FromCodePage(const char* sjis, UINT codePage = 932) {
    const int length = static_cast<int>(std::strlen(sjis));
    if (length == 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(codePage, 0, sjis, length, wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

std::string ToUtf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    std::string text(wide.size() * 3, '\0');
    text.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(),
                                                        static_cast<int>(wide.size()), text.data(),
                                                        static_cast<int>(text.size()), nullptr, nullptr)));
    return text;
}

// ctest passes Unix paths; Wine's drive Z: is the Unix root.
fs::path ArgumentPath(const wchar_t* argument) {
    std::wstring path = argument;
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return fs::path(path);
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw Failure("cannot read " + ToUtf8(path.wstring()));
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// CopyFileW, not fs::copy_file: libstdc++'s overwrite_existing fails on mingw-w64 with "File exists".
void CopyInto(const fs::path& from, const fs::path& to) {
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE))
        throw Failure("cannot copy " + ToUtf8(from.wstring()) + " (error " + std::to_string(GetLastError()) +
                      ")");
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size())
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

bool ParseNumber(const std::string& token, double& value) {
    if (token.empty()) return false;
    char* end = nullptr;
    value = std::strtod(token.c_str(), &end);
    return end == token.c_str() + token.size() && std::isfinite(value);
}

// Lines split at CR LF only, so a stray LF or a missing line end is a difference; within a line,
// blank-separated tokens that are both numbers may differ by 1e-9.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    const auto expectedLines = Split(expected, "\r\n"), actualLines = Split(actual, "\r\n");
    for (size_t i = 0; i < std::max(expectedLines.size(), actualLines.size()); ++i) {
        const std::string want = i < expectedLines.size() ? expectedLines[i] : "<missing>";
        const std::string got = i < actualLines.size() ? actualLines[i] : "<missing>";
        const auto wantTokens = Split(want, " "), gotTokens = Split(got, " ");
        bool same = wantTokens.size() == gotTokens.size();
        for (size_t t = 0; same && t < wantTokens.size(); ++t) {
            double a, b;
            same =
                wantTokens[t] == gotTokens[t] ||
                (ParseNumber(wantTokens[t], a) && ParseNumber(gotTokens[t], b) && std::fabs(a - b) <= 1e-9);
        }
        if (!same) return "line " + std::to_string(i + 1) + ": expected [" + want + "] got [" + got + "]";
    }
    return {};
}

// <chrono> and <thread> cannot be built with the Shift-JIS execution character set (the "µs" suffix).
void Wait(int milliseconds) {
    Sleep(static_cast<DWORD>(milliseconds));
}

//--------------------------------------------------------------------------- this machine

// Functions newer than Windows 7 are looked up when first needed, so the driver starts on every
// Windows the tool runs on.
template <class Function> Function Lookup(const wchar_t* module, const char* name) {
    HMODULE handle = GetModuleHandleW(module);
    if (!handle) handle = LoadLibraryW(module);
    return handle ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name)))
                  : nullptr;
}

// The driver reads physical pixels, where the per-monitor aware tool puts its window: unaware, it would
// see every position and size scaled to 96 DPI. Windows before 10 (1607) has no per-thread awareness;
// aware of the system's DPI, the driver sees physical pixels there too. True where it is per monitor.
bool PerMonitorDpi() {
    static const bool perMonitor = [] {
        using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
        const auto setContext = Lookup<SetContext>(L"user32.dll", "SetThreadDpiAwarenessContext");
        // Windows 10 before 1703, and Wine 8, know only the first per-monitor awareness.
        if (setContext && (setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) ||
                           setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)))
            return true;
        SetProcessDPIAware();
        return false;
    }();
    return perMonitor;
}

// The version of the Wine the driver runs under; none on Windows.
const char* WineVersion() {
    using GetWineVersion = const char*(CDECL*)();
    const auto getVersion = Lookup<GetWineVersion>(L"ntdll.dll", "wine_get_version");
    return getVersion ? getVersion() : nullptr;
}

bool UnderWine() {
    return WineVersion() != nullptr;
}

struct TMonitor {
    RECT Area{}, WorkArea{};
    UINT Dpi = USER_DEFAULT_SCREEN_DPI;
    bool Primary = false;
};

// A monitor's own scale where Windows has one per monitor (8.1 and later), the system's before.
UINT MonitorDpi(HMONITOR monitor) {
    using GetDpi = HRESULT(WINAPI*)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);
    static const auto getDpi = Lookup<GetDpi>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (getDpi && getDpi(monitor, MDT_EFFECTIVE_DPI, &x, &y) == S_OK) return x;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM monitors) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<TMonitor>*>(monitors)->push_back(
            {info.rcMonitor, info.rcWork, MonitorDpi(monitor), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

// The primary monitor first.
std::vector<TMonitor> Monitors() {
    std::vector<TMonitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    std::stable_partition(monitors.begin(), monitors.end(), [](const TMonitor& m) { return m.Primary; });
    return monitors;
}

std::string ScaleText(UINT dpi) {
    return std::to_string(dpi) + " DPI (" + std::to_string(MulDiv(static_cast<int>(dpi), 100, 96)) + " %)";
}

std::string RectText(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) +
           "," + std::to_string(r.bottom) + ")";
}

// The self-test's report: Windows' own version (RtlGetVersion, which tells no program an older one),
// each monitor's scale, and the code pages that programs without Unicode, Jw_cad among them, work in.
std::string DescribeMachine() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    using GetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    if (const auto getVersion = Lookup<GetVersion>(L"ntdll.dll", "RtlGetVersion")) getVersion(&version);
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    std::string text = "Windows: " + std::to_string(version.dwMajorVersion) + "." +
                       std::to_string(version.dwMinorVersion) + "." + std::to_string(version.dwBuildNumber) +
                       (wow64 || sizeof(void*) == 8 ? " 64-bit" : " 32-bit");
    if (version.szCSDVersion[0]) text += " " + ToUtf8(version.szCSDVersion);
    if (const char* wine = WineVersion()) text += " (Wine " + std::string(wine) + ")";
    text += "\ndisplay scale:";
    const auto monitors = Monitors();
    if (monitors.empty()) text += " no monitor found";
    for (size_t i = 0; i < monitors.size(); ++i) {
        const RECT& area = monitors[i].Area;
        text += (i ? "; " : " ") + ScaleText(monitors[i].Dpi) + " on monitor " + std::to_string(i + 1) +
                " (" + std::to_string(area.right - area.left) + " x " +
                std::to_string(area.bottom - area.top) + (monitors[i].Primary ? ", primary)" : ")");
    }
    char locale[16];
    std::snprintf(locale, sizeof locale, "0x%04lx", static_cast<unsigned long>(GetUserDefaultLCID()));
    text += "\ncode pages: ANSI " + std::to_string(GetACP()) + ", OEM " + std::to_string(GetOEMCP()) +
            "; user locale " + locale + "\n";
    return text;
}

// needs dpi <dpi> | needs work-area <left> <top> [<right> <bottom>]
void Needs(const std::string& what, const std::string& rest) {
    const auto monitors = Monitors();
    if (monitors.empty()) throw Failure("needs: no monitor found");
    const TMonitor& primary = monitors.front();
    std::istringstream in(rest);
    if (what == "dpi") {
        UINT dpi = 0;
        if (!(in >> dpi)) throw Failure("needs dpi: no DPI given");
        if (primary.Dpi != dpi)
            throw Skipped("needs the display at " + ScaleText(dpi) + "; this one is at " +
                          ScaleText(primary.Dpi));
    } else if (what == "work-area") {
        RECT want{-1, -1, -1, -1};
        if (!(in >> want.left >> want.top)) throw Failure("needs work-area: no corner given");
        const bool whole = static_cast<bool>(in >> want.right >> want.bottom);
        const RECT& work = primary.WorkArea;
        if (monitors.size() != 1 || work.left != want.left || work.top != want.top ||
            (whole && (work.right != want.right || work.bottom != want.bottom)))
            throw Skipped(
                "needs one monitor with its work area " +
                (whole ? "at " + RectText(want)
                       : "from (" + std::to_string(want.left) + "," + std::to_string(want.top) + ")") +
                "; this machine has " + std::to_string(monitors.size()) +
                ", the primary one's work area at " + RectText(work));
    } else
        throw Failure("needs: unknown requirement " + what);
}

//--------------------------------------------------------------------------- the tool under test

class Session {
  public:
    Session(fs::path exe, fs::path caseFolder, fs::path work)
        : Exe(std::move(exe)), Case(std::move(caseFolder)), Work(std::move(work)), Tool(Work / L"tool"),
          Elsewhere(Work / L"elsewhere") {
        ClearReadOnly(Work);
        fs::remove_all(Work);
        fs::create_directories(Elsewhere);
        // A decoy in the current folder: the tool must neither read nor write it.
        WriteBytes(Elsewhere / L"JWC_TEMP.TXT", kDecoy);
    }
    ~Session() {
        Stop();
        ReleaseAll();
        RemoveLinks();
    }

    void Run(const std::string& line);
    void Finish();

  private:
    static constexpr const char* kDecoy = "hq\r\nhp1 5 5\r\nhp2 5 5\r\n";

    static void ClearReadOnly(const fs::path& folder) {
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::end(it); ++it)
            SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    void Start();
    void AwaitWindow();
    void StartBatch(const std::string& name);
    void ExpectLayout(UINT dpi, int clientWidth, int clientHeight);
    void ChangeDpi(UINT dpi, int dx, int dy);
    void Stop() {
        StopBatch();
        if (!Process.hProcess) return;
        if (WaitForSingleObject(Process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(Process.hProcess, 99);
        CloseHandle(Process.hProcess);
        if (Process.hThread) CloseHandle(Process.hThread);
        Process = {};
        Main = nullptr;
    }
    void StopBatch() {
        if (!Batch.hProcess) return;
        if (WaitForSingleObject(Batch.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(Batch.hProcess, 99);
        CloseHandle(Batch.hProcess);
        CloseHandle(Batch.hThread);
        Batch = {};
    }
    bool Running() const {
        return Process.hProcess && WaitForSingleObject(Process.hProcess, 0) == WAIT_TIMEOUT;
    }
    HWND Control(const std::string& name, int item = -1) const;
    const TControlDesign& Row(const std::string& name) const;
    LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const;
    std::string Value(const std::string& name) const;
    std::string FocusName() const;
    HWND MessageBox() const;
    void Barrier();
    void PostKey(const std::string& key);
    void TypeText(HWND edit, const std::wstring& text);
    void CompareFile(const fs::path& actual, const fs::path& expected);
    template <class Get> void Expect(const std::string& what, const std::string& want, Get get);
    bool RunFolderAction(const std::string& verb, const std::string& name, const std::string& rest);
    void ReleaseAll();
    void MakeLink(const fs::path& link, const fs::path& target);
    void RemoveLinks();
    void FillDisk();
    std::string CloseMessageBox(HWND& box);

    fs::path Exe, Case, Work, Tool, Elsewhere;
    PROCESS_INFORMATION Process{};
    PROCESS_INFORMATION Batch{}; // cmd.exe running the batch file, when start-bat started the tool
    HWND Main = nullptr;
    int Marker = 0;
    std::vector<std::pair<std::string, HANDLE>> Held;
    std::vector<std::thread> Releases;                        // release-after
    std::vector<std::pair<fs::path, std::wstring>> UnixLinks; // made by Wine's side, removed the same way
};

const TControlDesign& Session::Row(const std::string& name) const {
    const int position = ControlPosition(name);
    if (position < 0) throw Failure("no control named " + name);
    return DialogControls()[static_cast<size_t>(position)];
}

HWND Session::Control(const std::string& name, int item) const {
    const int position = ControlPosition(name);
    if (position < 0) throw Failure("no control named " + name);
    HWND hwnd = GetDlgItem(Main, item < 0 ? ControlId(position) : RadioButtonId(position, item));
    if (!hwnd) throw Failure("control " + name + " not found in the window");
    return hwnd;
}

LRESULT Session::Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        throw Failure("the tool did not answer message " + std::to_string(message));
    return static_cast<LRESULT>(result);
}

void Session::Start() {
    if (Running()) throw Failure("start: the tool is still running");
    Stop();
    fs::create_directories(Tool);
    CopyInto(Exe, Tool / L"Tarvel.exe");
    std::wstring commandLine = L"\"" + (Tool / L"Tarvel.exe").wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, Elsewhere.c_str(),
                        &startup, &Process))
        throw Failure("cannot start Tarvel.exe (error " + std::to_string(GetLastError()) + ")");
    AwaitWindow();
}

// FindWindow succeeds while the window is still creating its controls; ready means visible,
// answering, and holding the last control of the design.
void Session::AwaitWindow() {
    const int lastId = ControlId(static_cast<int>(DialogControls().size()) - 1);
    for (int i = 0; i < 500 && Running(); ++i, Wait(20)) {
        HWND hwnd = nullptr;
        while ((hwnd = FindWindowExW(nullptr, hwnd, nullptr, L"Tarvel")) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == Process.dwProcessId) break;
        }
        DWORD_PTR ignored;
        if (hwnd && IsWindowVisible(hwnd) &&
            SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored) &&
            GetDlgItem(hwnd, lastId)) {
            Main = hwnd;
            return;
        }
    }
    throw Failure("the window \"Tarvel\" did not appear");
}

// A sent message is no barrier for posted ones: post a marker behind them (a caret position in the
// memo, which no case looks at) and wait until the tool has reached it.
void Session::Barrier() {
    HWND memo = GetDlgItem(Main, ControlId(ControlPosition("Memo1")));
    if (!memo) return; // the window is gone: the tool is ending
    Marker = Marker % 100 + 1;
    PostMessageW(memo, EM_SETSEL, Marker, Marker);
    for (int i = 0; i < 250; ++i, Wait(20)) {
        if (!Running()) return;
        DWORD_PTR selection = 0;
        if (SendMessageTimeoutW(memo, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selection) &&
            LOWORD(selection) == Marker && HIWORD(selection) == Marker)
            return;
    }
    throw Failure("the tool did not work off its messages");
}

std::string Session::Value(const std::string& name) const {
    const TControlDesign& row = Row(name);
    switch (row.Kind) {
    case TControlKind::ComboBox:
        return std::to_string(Send(Control(name), CB_GETCURSEL, 0, 0));
    case TControlKind::CheckBox:
        return Send(Control(name), BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0";
    case TControlKind::RadioGroup:
        for (size_t i = 0; i < row.Items.size(); ++i)
            if (Send(Control(name, static_cast<int>(i)), BM_GETCHECK, 0, 0) == BST_CHECKED)
                return std::to_string(i);
        return "-1";
    default: {
        wchar_t text[1024] = {};
        Send(Control(name), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
        return ToUtf8(text);
    }
    }
}

std::string Session::FocusName() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(Process.dwThreadId, &info) || !info.hwndFocus) return "<none>";
    const int id = GetDlgCtrlID(info.hwndFocus);
    const auto rows = DialogControls();
    for (size_t i = 0; i < rows.size(); ++i) {
        const int first = ControlId(static_cast<int>(i));
        if (id == first || (rows[i].Kind == TControlKind::RadioGroup && id > first && id <= first + 9))
            return rows[i].Name;
    }
    wchar_t className[64] = {};
    GetClassNameW(info.hwndFocus, className, 64);
    return "<" + ToUtf8(className) + " " + std::to_string(id) + ">";
}

HWND Session::MessageBox() const {
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, L"#32770", nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == Process.dwProcessId && IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

// Keys go where a real key would: to the focused control, through the tool's message loop and its
// dialog manager. Alt+<letter> arrives as the WM_SYSCHAR that TranslateMessage would make.
void Session::PostKey(const std::string& key) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(Process.dwThreadId, &info);
    HWND target = info.hwndFocus ? info.hwndFocus : Main;
    if (key.rfind("Alt+", 0) == 0 && key.size() == 5) {
        const wchar_t letter = static_cast<wchar_t>(std::tolower(static_cast<unsigned char>(key[4])));
        PostMessageW(target, WM_SYSCHAR, letter, 1 | (1 << 29));
        return;
    }
    // Shift+Tab is left out: the dialog manager reads Shift from the tool thread's key state, which a
    // posted message does not set.
    const UINT vk = key == "Tab" ? VK_TAB : key == "Enter" ? VK_RETURN : key == "Escape" ? VK_ESCAPE : 0;
    if (!vk) throw Failure("unknown key " + key);
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, 1 | (1u << 30) | (1u << 31));
}

// WM_CHAR is sent, so each character has gone through the text box's own typing logic (limit,
// input checks, EN_UPDATE) when the call returns.
void Session::TypeText(HWND edit, const std::wstring& text) {
    for (wchar_t c : text) Send(edit, WM_CHAR, c, 1);
}

template <class Get> void Session::Expect(const std::string& what, const std::string& want, Get get) {
    std::string got;
    for (int i = 0; i < 150; ++i, Wait(20))
        if ((got = get()) == want) return;
    throw Failure(what + ": expected [" + want + "] got [" + got + "]");
}

void Session::CompareFile(const fs::path& actual, const fs::path& expected) {
    fs::path keep = expected;
    keep += L".actual";
    fs::remove(keep);
    if (!fs::exists(actual)) throw Failure(ToUtf8(actual.filename().wstring()) + " is missing");
    const std::string got = ReadBytes(actual);
    const std::string difference = FirstDifference(ReadBytes(expected), got);
    if (difference.empty()) return;
    WriteBytes(keep, got);
    throw Failure(ToUtf8(actual.filename().wstring()) + " differs from " + ToUtf8(expected.wstring()) + ", " +
                  difference + " (actual kept as " + ToUtf8(keep.filename().wstring()) + ")");
}

//--------------------------------------------------------------------------- package and display scale

// Jw_cad runs the batch file with cmd /c from the tool folder; the tool is then cmd's child Tarvel.exe.
void Session::StartBatch(const std::string& name) {
    if (Running()) throw Failure("start-bat: the tool is still running");
    Stop();
    std::wstring commandLine = L"cmd.exe /c \"" + FromUtf8(name) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, Tool.c_str(),
                        &startup, &Batch))
        throw Failure("cannot start cmd.exe (error " + std::to_string(GetLastError()) + ")");
    for (int i = 0; i < 500 && !Process.hProcess; ++i, Wait(20)) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
            if (entry.th32ParentProcessID == Batch.dwProcessId &&
                _wcsicmp(entry.szExeFile, L"Tarvel.exe") == 0) {
                Process.hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID);
                Process.dwProcessId = entry.th32ProcessID;
            }
        CloseHandle(snapshot);
        if (!Process.hProcess && WaitForSingleObject(Batch.hProcess, 0) == WAIT_OBJECT_0)
            throw Failure("the batch file ended without starting Tarvel.exe");
    }
    if (!Process.hProcess) throw Failure("the batch file did not start Tarvel.exe");
    AwaitWindow();
    Process.dwThreadId = GetWindowThreadProcessId(Main, nullptr);
}

void Session::ExpectLayout(UINT dpi, int clientWidth, int clientHeight) {
    const auto scale = [dpi](int pixels) { return MulDiv(pixels, static_cast<int>(dpi), 96); };
    std::vector<std::string> faults;
    const auto fault = [&](const std::string& what, long want, long got) {
        faults.push_back(what + ": expected " + std::to_string(want) + " got " + std::to_string(got));
    };
    RECT client{};
    GetClientRect(Main, &client);
    if (client.right != clientWidth) fault("client width", clientWidth, client.right);
    if (client.bottom != clientHeight) fault("client height", clientHeight, client.bottom);

    // Captions are measured in the dialog's own font at the scale, in this process: the same prefix
    // maps the face to the same font file.
    HDC dc = GetDC(nullptr);
    std::vector<HFONT> fonts;
    const auto extent = [&](const char* sjis, int fontHeight) {
        std::wstring text = FromCodePage(sjis);
        std::erase(text, L'&');
        fonts.push_back(CreateFontW(-scale(fontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                                    FromCodePage(DialogForm().FontName).c_str()));
        const HGDIOBJ old = SelectObject(dc, fonts.back());
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        return static_cast<long>(size.cx);
    };
    const auto placed = [&](HWND hwnd) {
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        MapWindowPoints(nullptr, Main, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    // At 96 DPI nothing is scaled and every pixel is as designed; scaling may round a pixel either way.
    const long slack = dpi == 96 ? 0 : 1;
    const auto fits = [slack](long want, long got) { return got >= want - slack && got <= want + slack; };
    // A check box or radio button needs room for its box and the gap before the caption.
    const long boxRoom = scale(16);
    for (const TControlDesign& row : DialogControls()) {
        const std::string name = row.Name;
        const int fontHeight = row.FontHeight > 0 ? row.FontHeight : DialogForm().FontHeight;
        const RECT rect = placed(Control(name));
        const long width = rect.right - rect.left, height = rect.bottom - rect.top;
        const long caption = extent(row.Caption, fontHeight);
        const bool sizedToCaption = row.Kind == TControlKind::Label && !row.CenterText;
        if (!fits(scale(row.X), rect.left)) fault(name + " left", scale(row.X), rect.left);
        if (!fits(scale(row.Y), rect.top)) fault(name + " top", scale(row.Y), rect.top);
        if (!fits(scale(row.Height), height)) fault(name + " height", scale(row.Height), height);
        if (sizedToCaption ? !fits(caption, width) : !fits(scale(row.Width), width))
            fault(name + " width", sizedToCaption ? caption : scale(row.Width), width);
        const long room = row.Kind == TControlKind::CheckBox || row.Kind == TControlKind::RadioGroup
                              ? width - boxRoom
                              : width;
        if (caption > room) fault(name + " caption wider than its room", room, caption);
        if (row.Kind == TControlKind::RadioGroup)
            for (size_t i = 0; i < row.Items.size(); ++i) {
                const RECT button = placed(Control(name, static_cast<int>(i)));
                const long itemRoom = button.right - button.left - boxRoom;
                const long item = extent(row.Items[i], fontHeight);
                if (item > itemRoom)
                    fault(name + " item " + std::to_string(i) + " wider than its room", itemRoom, item);
            }
    }
    ReleaseDC(nullptr, dc);
    for (HFONT font : fonts) DeleteObject(font);
    if (!faults.empty()) {
        std::string all = "layout at " + std::to_string(dpi) + " DPI:";
        for (const std::string& each : faults) all += "\n  " + each;
        throw Failure(all);
    }
}

// Every move of the tool's top-level windows while it is hooked: move_hook.dll, beside the driver,
// runs in the tool's thread after each message and notes the window's rectangle at WM_WINDOWPOSCHANGED.
class MoveRecording {
  public:
    explicit MoveRecording(DWORD toolThread) {
        Mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(TMoveRecord),
                                     kMoveRecordName);
        if (Mapping)
            Record =
                static_cast<TMoveRecord*>(MapViewOfFile(Mapping, FILE_MAP_WRITE, 0, 0, sizeof(TMoveRecord)));
        wchar_t driver[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, driver, MAX_PATH);
        Module = LoadLibraryW((fs::path(driver).parent_path() / L"tarvel_e2e_move_hook.dll").c_str());
        const auto hook =
            Module
                ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(Module, "RecordMoves")))
                : nullptr;
        if (!Record || !hook || !(Hook = SetWindowsHookExW(WH_CALLWNDPROCRET, hook, Module, toolThread)))
            throw Failure("cannot hook the tool's thread to record its moves (error " +
                          std::to_string(GetLastError()) + ")");
        Record->Count = 0;
    }
    ~MoveRecording() {
        if (Hook) UnhookWindowsHookEx(Hook);
        if (Module) FreeLibrary(Module);
        if (Record) UnmapViewOfFile(Record);
        if (Mapping) CloseHandle(Mapping);
    }
    MoveRecording(const MoveRecording&) = delete;
    MoveRecording& operator=(const MoveRecording&) = delete;

    std::vector<RECT> MovesOf(HWND window) const {
        if (Record->Count > kMoveRecordCapacity) throw Failure("more moves than the record holds");
        std::vector<RECT> moves;
        for (LONG i = 0; i < Record->Count; ++i)
            if (Record->Moves[i].Window == reinterpret_cast<ULONG64>(window))
                moves.push_back(Record->Moves[i].Rect);
        return moves;
    }

  private:
    HANDLE Mapping = nullptr;
    TMoveRecord* Record = nullptr;
    HMODULE Module = nullptr;
    HHOOK Hook = nullptr;
};

// What Windows sends when the window is dragged onto a monitor of another scale. Both messages carry
// pointers, which are not carried across processes: the SIZE and the RECT are put into the tool's memory.
// The suggested rectangle lies where Windows chose (here: moved by dx, dy) and is as large as the
// scaled client area in the window's frame. Windows sizes it by the tool's answer to
// WM_GETDPISCALEDSIZE, whose frame follows the DPI as Windows' own does; Wine draws the frame at its
// system scale whatever WM_DPICHANGED says, so the frame the window has is the one that fits here.
// The window must end exactly there, and on its way go nowhere but there: a resize at the old place
// first could put most of it back on the old monitor, which starts the change over again.
void Session::ChangeDpi(UINT dpi, int dx, int dy) {
    if (!PerMonitorDpi())
        throw Skipped(
            "dpi-change: needs Windows 10 (1607) or later, where a thread can be per-monitor DPI aware");
    void* remote =
        VirtualAllocEx(Process.hProcess, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) throw Failure("dpi-change: no memory in the tool");
    SIZE asked{};
    RECT now{}, client{};
    GetWindowRect(Main, &now);
    GetClientRect(Main, &client);
    WriteProcessMemory(Process.hProcess, remote, &asked, sizeof asked, nullptr);
    if (!Send(Main, WM_GETDPISCALEDSIZE, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote)))
        throw Failure("dpi-change: WM_GETDPISCALEDSIZE was not answered");
    const auto scale = [dpi](int pixels) { return MulDiv(pixels, static_cast<int>(dpi), 96); };
    const long width = scale(DialogForm().ClientWidth) + (now.right - now.left) - client.right;
    const long height = scale(DialogForm().ClientHeight) + (now.bottom - now.top) - client.bottom;
    const RECT suggested{now.left + dx, now.top + dy, now.left + dx + width, now.top + dy + height};
    WriteProcessMemory(Process.hProcess, remote, &suggested, sizeof suggested, nullptr);
    std::vector<RECT> moves;
    {
        const MoveRecording recording(Process.dwThreadId);
        Send(Main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
        moves = recording.MovesOf(Main);
    }
    VirtualFreeEx(Process.hProcess, remote, 0, MEM_RELEASE);

    if (!EqualRect(&now, &suggested) && moves.empty()) throw Failure("dpi-change: no move was seen");
    for (const RECT& move : moves)
        if (!EqualRect(&move, &now) && !EqualRect(&move, &suggested))
            throw Failure("dpi-change: the window went to " + RectText(move) + " between " + RectText(now) +
                          " and the suggested " + RectText(suggested));
    RECT end{};
    GetWindowRect(Main, &end);
    if (!EqualRect(&end, &suggested))
        throw Failure("dpi-change: the window ends at " + RectText(end) + ", not at the suggested " +
                      RectText(suggested));
}

void Session::Run(const std::string& line) {
    std::istringstream in(line);
    std::string verb, name;
    in >> verb;
    if (verb.empty() || verb[0] == '#') return;
    in >> name;
    std::string rest;
    std::getline(in >> std::ws, rest);
    const auto needWindow = [&] {
        if (!Main || !Running()) throw Failure(verb + ": the tool is not running");
    };

    if (verb == "needs")
        Needs(name, rest);
    else if (verb == "folder")
        Tool = Work / FromUtf8(name);
    else if (verb == "put") {
        fs::create_directories(Tool);
        CopyInto(Case / FromUtf8(name), Tool / FromUtf8(rest.empty() ? name : rest));
    } else if (verb == "readonly") {
        if (!SetFileAttributesW((Tool / FromUtf8(name)).c_str(), FILE_ATTRIBUTE_READONLY))
            throw Failure("cannot make " + name + " read-only");
    } else if (verb == "start")
        Start();
    else if (verb == "select") {
        needWindow();
        HWND combo = Control(name);
        Send(combo, CB_SETCURSEL, std::stoi(rest), 0);
        Send(Main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
             reinterpret_cast<LPARAM>(combo));
    } else if (verb == "drop-down") {
        needWindow();
        Send(Control(name), CB_SHOWDROPDOWN, TRUE, 0);
        Barrier();
        if (!Send(Control(name), CB_GETDROPPEDSTATE, 0, 0))
            throw Failure("drop-down: " + name + " did not open");
    } else if (verb == "type" || verb == "append") {
        needWindow();
        HWND edit = Control(name);
        const LRESULT length = Send(edit, WM_GETTEXTLENGTH, 0, 0);
        Send(edit, EM_SETSEL, verb == "type" ? 0 : length, length);
        if (verb == "type" && length > 0) Send(edit, WM_CHAR, VK_BACK, 1);
        TypeText(edit, FromUtf8(rest));
    } else if (verb == "click") {
        needWindow();
        Send(Control(name, rest.empty() ? -1 : std::stoi(rest)), BM_CLICK, 0, 0);
    } else if (verb == "key") {
        needWindow();
        PostKey(name);
        Barrier();
    } else if (verb == "ok" || verb == "cancel") {
        // Posted, never sent: OK may open a modal box, and a sent message would wait for it.
        needWindow();
        const int id = verb == "ok" ? IDOK : IDCANCEL;
        PostMessageW(Main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(Main, id)));
        Barrier();
    } else if (verb == "close") {
        needWindow();
        PostMessageW(Main, WM_SYSCOMMAND, SC_CLOSE, 0);
        Barrier();
    } else if (verb == "expect") {
        needWindow();
        Expect(name, rest, [&] { return Value(name); });
    } else if (verb == "expect-item") {
        needWindow();
        std::istringstream item(rest);
        int index = -1;
        std::string want;
        item >> index;
        std::getline(item >> std::ws, want);
        Expect(name + " item " + std::to_string(index), want, [&] {
            wchar_t text[256] = {};
            Send(Control(name), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
            return ToUtf8(text);
        });
    } else if (verb == "expect-focus") {
        needWindow();
        Expect("focus", name, [&] { return FocusName(); });
    } else if (verb == "expect-message") {
        needWindow();
        HWND box = nullptr;
        const std::string wanted = name + " / " + rest, shown = CloseMessageBox(box);
        if (shown != wanted) throw Failure("message box: expected [" + wanted + "] got [" + shown + "]");
        for (int i = 0; i < 250 && IsWindow(box); ++i) Wait(20);
        Barrier();
    } else if (verb == "expect-position") {
        needWindow();
        Expect("position", name + " " + rest, [&] {
            RECT rect{};
            GetWindowRect(Main, &rect);
            return std::to_string(rect.left) + " " + std::to_string(rect.top);
        });
    } else if (verb == "expect-exit") {
        if (!Process.hProcess) throw Failure("expect-exit: the tool was never started");
        if (WaitForSingleObject(Process.hProcess, 10000) != WAIT_OBJECT_0)
            throw Failure("the tool did not end");
        DWORD code = 0;
        GetExitCodeProcess(Process.hProcess, &code);
        if (std::to_string(code) != name)
            throw Failure("exit code " + std::to_string(code) + ", expected " + name);
        Stop();
    } else if (verb == "expect-file")
        CompareFile(Tool / FromUtf8(name), Case / FromUtf8(rest));
    else if (verb == "expect-absent") {
        if (fs::exists(Tool / FromUtf8(name))) throw Failure(name + " exists but should not");
    } else if (verb == "signal")
        WriteBytes(Case / FromUtf8(name), "");
    else if (verb == "tool-folder")
        Tool = ArgumentPath(FromUtf8(name + (rest.empty() ? "" : " " + rest)).c_str());
    else if (verb == "start-bat")
        StartBatch(name);
    else if (verb == "expect-layout") {
        needWindow();
        std::istringstream size(rest);
        int width = 0, height = 0;
        size >> width >> height;
        ExpectLayout(static_cast<UINT>(std::stoi(name)), width, height);
    } else if (verb == "dpi-change") {
        needWindow();
        std::istringstream offset(rest);
        int dx = 0, dy = 0;
        offset >> dx >> dy;
        ChangeDpi(static_cast<UINT>(std::stoi(name)), dx, dy);
        Barrier();
    } else if (verb == "await") {
        for (int i = 0; i < 6000 && !fs::exists(Case / FromUtf8(name)); ++i) Wait(20);
        if (!fs::exists(Case / FromUtf8(name))) throw Failure("gave up waiting for " + name);
    } else if (!RunFolderAction(verb, name, rest))
        throw Failure("unknown action " + verb);
}

// "<text> / <caption>" of the tool's confirmation box, which is then closed with its OK button.
std::string Session::CloseMessageBox(HWND& box) {
    for (int i = 0; i < 250 && !(box = MessageBox()); ++i) Wait(20);
    if (!box) throw Failure("no message box appeared");
    wchar_t text[1024] = {}, caption[128] = {};
    Send(GetDlgItem(box, 0xFFFF), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    Send(box, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(caption));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return ToUtf8(text) + " / " + ToUtf8(caption);
}

//--------------------------------------------------------------------------- other programs and odd folders

// What a user's machine puts around the tool: files held open by other programs, folders where files
// were expected. False for a verb that is not one of these.
bool Session::RunFolderAction(const std::string& verb, const std::string& name, const std::string& rest) {
    if (verb == "hold") {
        // Read access, as viewers, virus scanners and sync clients open a file; never delete sharing.
        const DWORD share = rest == "read-write" ? FILE_SHARE_READ | FILE_SHARE_WRITE
                            : rest == "none"     ? 0
                                                 : throw Failure("hold: sharing is read-write or none");
        HANDLE file = CreateFileW((Tool / FromUtf8(name)).c_str(), GENERIC_READ, share, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            throw Failure("cannot hold " + name + " (error " + std::to_string(GetLastError()) + ")");
        Held.emplace_back(name, file);
    } else if (verb == "release") {
        for (auto it = Held.begin(); it != Held.end(); ++it)
            if (it->first == name) {
                CloseHandle(it->second);
                Held.erase(it);
                return true;
            }
        throw Failure("release: " + name + " is not held");
    } else if (verb == "release-after") {
        const auto held =
            std::find_if(Held.begin(), Held.end(), [&](const auto& h) { return h.first == name; });
        if (held == Held.end()) throw Failure("release-after: " + name + " is not held");
        const DWORD milliseconds = static_cast<DWORD>(std::stoul(rest));
        Releases.emplace_back([file = held->second, milliseconds] {
            Sleep(milliseconds);
            CloseHandle(file);
        });
        Held.erase(held);
    } else if (verb == "link") {
        MakeLink(Tool / FromUtf8(name), Tool / FromUtf8(rest));
    } else if (verb == "fill-disk") {
        FillDisk();
    } else if (verb == "mkdir") {
        fs::create_directories(Tool / FromUtf8(name));
    } else if (verb == "age") {
        // Last written that many minutes ago (0: now), whenever the case's file was checked out.
        fs::last_write_time(Tool / FromUtf8(name),
                            fs::file_time_type::clock::now() - std::chrono::minutes(std::stoi(rest)));
    } else if (verb == "expect-folder") {
        if (!fs::is_directory(Tool / FromUtf8(name))) throw Failure(name + " is no longer a folder");
    } else if (verb == "expect-entries") {
        std::vector<std::string> wanted{name}, found;
        std::istringstream names(rest);
        for (std::string entry; names >> entry;) wanted.push_back(entry);
        for (const auto& entry : fs::directory_iterator(Tool))
            found.push_back(ToUtf8(entry.path().filename().wstring()));
        std::sort(wanted.begin(), wanted.end());
        std::sort(found.begin(), found.end());
        if (found != wanted) {
            std::string list;
            for (const std::string& entry : found) list += " " + entry;
            throw Failure("the tool folder holds" + list);
        }
    } else if (verb == "expect-message-file") {
        if (!Main || !Running()) throw Failure(verb + ": the tool is not running");
        std::string wanted = ReadBytes(Case / FromUtf8(name));
        while (!wanted.empty() && (wanted.back() == '\n' || wanted.back() == '\r')) wanted.pop_back();
        HWND box = nullptr;
        const std::string shown = CloseMessageBox(box);
        if (shown != wanted + " / " + rest)
            throw Failure("message box: expected [" + wanted + " / " + rest + "] got [" + shown + "]");
        for (int i = 0; i < 250 && IsWindow(box); ++i) Wait(20);
    } else
        return false;
    return true;
}

void Session::ReleaseAll() {
    for (const auto& [name, file] : Held) CloseHandle(file);
    Held.clear();
    for (std::thread& release : Releases) release.join();
    Releases.clear();
}

// Wine's side of the machine: a Unix program started from here runs as itself (Wine starts Unix
// programs), and takes the Unix path of a file on any of Wine's drives; empty if there is none.
std::wstring UnixPath(const fs::path& path) {
    using GetUnixName = char*(CDECL*)(const wchar_t*);
    static const auto getUnixName = Lookup<GetUnixName>(L"kernel32.dll", "wine_get_unix_file_name");
    char* unix = getUnixName ? getUnixName(path.c_str()) : nullptr;
    if (!unix) return {};
    const std::wstring text = FromUtf8(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return text;
}

// A Unix program runs on its own: Wine's handle to it does not wait for its end, so the caller says
// what shows that it is done.
template <class Done> bool RunUnix(const wchar_t* program, std::wstring commandLine, Done done) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    for (int i = 0; i < 250 && !done(); ++i) Sleep(20);
    return done();
}

// An entry of that name in its folder, whatever it is or leads to.
bool Listed(const fs::path& path) {
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW(path.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

// Windows makes a link for a user allowed to (developer mode, or an administrator). Wine answers
// CreateSymbolicLinkW with success and makes nothing; there the Unix ln makes a real one, which Wine
// then shows as the file it leads to in every attribute.
void Session::MakeLink(const fs::path& link, const fs::path& target) {
    const auto made = [&] { return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; };
    if (UnderWine()) {
        const std::wstring unixTarget = UnixPath(target), unixLink = UnixPath(link);
        if (unixTarget.empty() || unixLink.empty())
            throw Failure("link: Wine gives no Unix path for " + ToUtf8(link.wstring()));
        UnixLinks.emplace_back(link, unixLink);
        RunUnix(L"Z:\\bin\\ln", L"/bin/ln -s \"" + unixTarget + L"\" \"" + unixLink + L"\"", made);
    } else if (!CreateSymbolicLinkW(link.c_str(), target.c_str(),
                                    SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
        // Windows before 10 (1703) does not know the flag, and makes links for an administrator only.
        if (GetLastError() == ERROR_INVALID_PARAMETER) CreateSymbolicLinkW(link.c_str(), target.c_str(), 0);
        if (GetLastError() == ERROR_PRIVILEGE_NOT_HELD)
            throw Skipped(
                "link: Windows makes symbolic links here only for an administrator or in developer mode");
    }
    if (!made()) throw Failure("link: no link to " + ToUtf8(target.wstring()) + " could be made");
}

// Wine deletes the file a link leads to and keeps the link, which would then stand in the way of the
// next run's clean start: its links go by the Unix rm, which never follows one.
void Session::RemoveLinks() {
    for (const auto& [link, unixLink] : UnixLinks)
        RunUnix(L"Z:\\bin\\rm", L"/bin/rm -f \"" + unixLink + L"\"", [&] { return !Listed(link); });
    UnixLinks.clear();
}

// Fills the work folder's volume with a filler beside the tool folder, then checks that not one more
// byte fits. Only a volume of at most 64 MiB: never a disk anyone works on.
void Session::FillDisk() {
    ULARGE_INTEGER available{}, size{};
    if (!GetDiskFreeSpaceExW(Work.c_str(), &available, &size, nullptr) || size.QuadPart > 64ull << 20)
        throw Failure("fill-disk: the work folder's volume is not a small one of its own");
    const auto fill = [](const fs::path& path) {
        static const std::vector<char> zeros(65536);
        const HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        DWORD written = 0, total = 0;
        for (DWORD chunk = 65536; chunk > 0 && file != INVALID_HANDLE_VALUE; chunk /= 2)
            while (WriteFile(file, zeros.data(), chunk, &written, nullptr) && written > 0) total += written;
        CloseHandle(file);
        return total;
    };
    fill(Work / L"filler");
    if (fill(Tool / L"one-more-byte") > 0) throw Failure("fill-disk: the volume still takes bytes");
    DeleteFileW((Tool / L"one-more-byte").c_str());
}

void Session::Finish() {
    if (Running()) throw Failure("the script ended with the tool still running");
    ReleaseAll();
    const fs::path expected = Case / L"expected";
    if (fs::is_directory(expected))
        for (const auto& entry : fs::directory_iterator(expected))
            if (entry.path().extension() != L".actual")
                CompareFile(Tool / entry.path().filename(), entry.path());
    if (ReadBytes(Elsewhere / L"JWC_TEMP.TXT") != kDecoy || fs::exists(Elsewhere / L"sorvel.dat"))
        throw Failure("the tool touched the current folder instead of its own");
}

void Print(const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // A crash of the driver or the tool must fail the test, not wait at an error box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    PerMonitorDpi();
    if (argc == 2 && std::wstring(argv[1]) == L"--machine") {
        Print(DescribeMachine());
        return 0;
    }
    if (argc != 4) {
        Print("usage: tarvel_e2e_driver <Tarvel.exe> <case folder> <work folder>\n"
              "       tarvel_e2e_driver --machine\n");
        return 2;
    }
    const fs::path caseFolder = ArgumentPath(argv[2]);
    const std::string caseName = ToUtf8(caseFolder.filename().wstring());
    int lineNumber = 0;
    std::string line;
    try {
        Session session(ArgumentPath(argv[1]), caseFolder, ArgumentPath(argv[3]));
        std::istringstream script(ReadBytes(caseFolder / L"script.txt"));
        while (std::getline(script, line)) {
            ++lineNumber;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            session.Run(line);
        }
        line = "(end of script)";
        session.Finish();
    } catch (const Skipped& reason) {
        Print("skipped: " + caseName + ": " + reason.what() + "\n");
        return kSkippedExitCode;
    } catch (const std::exception& error) {
        Print("FAILED: " + caseName + " at script line " + std::to_string(lineNumber) + " [" + line +
              "]: " + error.what() + "\n");
        return 1;
    }
    Print("passed: " + caseName + "\n");
    return 0;
}
