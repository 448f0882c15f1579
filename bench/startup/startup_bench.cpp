// Start-up benchmark under Wine: how long each program takes from its process start to a dialog with
// every control of the design in place and painted once, in alternating runs.
//
//   startup_bench [--rounds N] <work folder> <JWC_TEMP.TXT> <sorvel.dat> <name>=<program.exe>...
//
// Each round starts every program once, in turn (the order is reversed every other round, so a change
// of load on the machine falls on each side alike). Every program runs from a tool folder of its own
// under the work folder, with the exchange file and the settings file put there before each start.
// Ready means: the top-level window titled as the design's form is visible and answers a sent
// message, every control of the design (radio buttons included) is there, and neither the window nor
// any child has anything left to paint. Printed: each run, then each program's median, quartiles and
// range, and its median against the last program named (the yardstick).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/win32/control_ids.h"
#include "tool/dialog_design.h"

namespace fs = std::filesystem;

namespace {

struct Program {
    std::string Name;
    fs::path Exe, Folder;
    std::vector<double> Milliseconds;
};

fs::path ArgumentPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return fs::path(path);
}

std::string Narrow(const std::wstring& wide) {
    std::string text(wide.size() * 3 + 1, '\0');
    text.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(),
                                                        static_cast<int>(wide.size()), text.data(),
                                                        static_cast<int>(text.size()), nullptr, nullptr)));
    return text;
}

std::wstring FormCaption() {
    const char* caption = DialogForm().Caption;
    std::wstring wide(64, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(932, 0, caption, -1, wide.data(), 64) - 1));
    return wide;
}

double Now() {
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HWND FindMainWindow(DWORD processId, const std::wstring& caption) {
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, nullptr, caption.c_str())) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == processId) return hwnd;
    }
    return nullptr;
}

bool EveryControlThere(HWND main) {
    const auto rows = DialogControls();
    for (size_t i = 0; i < rows.size(); ++i) {
        const int position = static_cast<int>(i);
        if (!GetDlgItem(main, ControlId(position))) return false;
        if (rows[i].Kind == TControlKind::RadioGroup)
            for (size_t item = 0; item < rows[i].Items.size(); ++item)
                if (!GetDlgItem(main, RadioButtonId(position, static_cast<int>(item)))) return false;
    }
    return true;
}

BOOL CALLBACK FindUnpainted(HWND child, LPARAM found) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

bool Painted(HWND main) {
    if (GetUpdateRect(main, nullptr, FALSE)) return false;
    bool unpainted = false;
    EnumChildWindows(main, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

// The moments of one start, in milliseconds from CreateProcess: the window shown with every control,
// its thread first found waiting for messages, and everything painted (ready).
struct Stages {
    double Shown = -1, Answering = -1, Ready = -1;
};

// Answering a sent message means the program's thread is waiting for messages; a paint still due
// then shows as an update region.
void Advance(HWND main, double now, Stages& stages) {
    if (stages.Shown < 0) {
        if (!IsWindowVisible(main) || !EveryControlThere(main)) return;
        stages.Shown = now;
    }
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored)) return;
    if (stages.Answering < 0) stages.Answering = now;
    if (Painted(main)) stages.Ready = now;
}

void PutFile(const fs::path& from, const fs::path& to) {
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy %s\n", Narrow(from.wstring()).c_str());
        std::exit(1);
    }
}

// The moments of one start; the program is then closed as the title-bar button would close it.
Stages TimeOneStart(const Program& program, const fs::path& input, const fs::path& settings) {
    PutFile(input, program.Folder / L"JWC_TEMP.TXT");
    PutFile(settings, program.Folder / L"sorvel.dat");
    const fs::path exe = program.Folder / program.Exe.filename();
    std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    static const std::wstring caption = FormCaption();

    const double start = Now();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        program.Folder.c_str(), &startup, &process)) {
        std::fprintf(stderr, "cannot start %s\n", program.Name.c_str());
        std::exit(1);
    }
    Stages stages;
    HWND main = nullptr;
    for (int i = 0; i < 20000 && stages.Ready < 0; ++i) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
        if (!main) main = FindMainWindow(process.dwProcessId, caption);
        if (main) Advance(main, Now() - start, stages);
        if (stages.Ready < 0) Sleep(1);
    }
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (stages.Ready < 0) {
        std::fprintf(stderr, "%s never became ready\n", program.Name.c_str());
        std::exit(1);
    }
    return stages;
}

double Quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const size_t below = static_cast<size_t>(at);
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (at - static_cast<double>(below)) * (values[above] - values[below]);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    int rounds = 11, first = 1;
    if (argc > 2 && std::wstring(argv[1]) == L"--rounds") {
        rounds = std::max(1, _wtoi(argv[2]));
        first = 3;
    }
    if (argc - first < 5) {
        std::fprintf(stderr, "usage: startup_bench [--rounds N] <work folder> <JWC_TEMP.TXT> <sorvel.dat> "
                             "<name>=<program.exe>...\n");
        return 2;
    }
    const fs::path work = ArgumentPath(argv[first]), input = ArgumentPath(argv[first + 1]),
                   settings = ArgumentPath(argv[first + 2]);
    std::vector<Program> programs;
    for (int i = first + 3; i < argc; ++i) {
        const std::wstring argument = argv[i];
        const size_t equals = argument.find(L'=');
        if (equals == std::wstring::npos) {
            std::fprintf(stderr, "expected <name>=<program.exe>: %s\n", Narrow(argument).c_str());
            return 2;
        }
        Program program;
        program.Name = Narrow(argument.substr(0, equals));
        program.Exe = ArgumentPath(argument.substr(equals + 1));
        program.Folder = work / argument.substr(0, equals);
        fs::create_directories(program.Folder);
        PutFile(program.Exe, program.Folder / program.Exe.filename());
        programs.push_back(std::move(program));
    }

    // One start of each, not counted: the first start after a build reads the program from the disk.
    for (Program& program : programs) TimeOneStart(program, input, settings);
    for (int round = 0; round < rounds; ++round) {
        for (size_t k = 0; k < programs.size(); ++k) {
            Program& program = programs[round % 2 == 0 ? k : programs.size() - 1 - k];
            const Stages stages = TimeOneStart(program, input, settings);
            program.Milliseconds.push_back(stages.Ready);
            std::printf("round %2d  %-12s %8.1f ms  (shown %.1f, answering %.1f)\n", round + 1,
                        program.Name.c_str(), stages.Ready, stages.Shown, stages.Answering);
            std::fflush(stdout);
            Sleep(200);
        }
    }
    const std::vector<double>& yardstick = programs.back().Milliseconds;
    std::printf("\n%-12s %8s %8s %8s %8s %8s %7s %7s\n", "program", "median", "q1", "q3", "min", "max",
                "ratio", "paired");
    for (const Program& program : programs) {
        const std::vector<double>& ms = program.Milliseconds;
        std::vector<double> paired;
        for (size_t i = 0; i < ms.size(); ++i) paired.push_back(ms[i] / yardstick[i]);
        std::printf("%-12s %8.1f %8.1f %8.1f %8.1f %8.1f %7.3f %7.3f\n", program.Name.c_str(),
                    Quantile(ms, 0.5), Quantile(ms, 0.25), Quantile(ms, 0.75),
                    *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()),
                    Quantile(ms, 0.5) / Quantile(yardstick, 0.5), Quantile(paired, 0.5));
    }
    std::printf("(%d runs each, in milliseconds; ratio: median against the median of %s; paired: median of\n"
                " the ratios within one round)\n",
                rounds, programs.back().Name.c_str());
    return 0;
}
