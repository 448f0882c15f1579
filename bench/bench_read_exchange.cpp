// Reading exchange files as the host writes them, timed against `wc -l` on the same file in the same run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "exchange/JwwGaibu.h"

extern char** environ;

namespace {

// A fixed linear congruential sequence, so every run reads the same file.
struct TRandom {
    uint64_t State = 0x2545F4914F6CDD1DULL;
    uint32_t Next() {
        State = State * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(State >> 33);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
    // A coordinate with the host's 15 significant digits, e.g. -40496.8595011236.
    double Coordinate() { return (static_cast<double>(Next()) / 4294967296.0 - 0.5) * 100000.0; }
};

// The host's number text: up to 15 significant digits, no trailing zeros.
void AppendNumber(std::string& out, double v) {
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    out.append(buf, r.ptr);
}

void AppendNumbers(std::string& out, std::initializer_list<double> values) {
    for (double v : values) {
        out += ' ';
        AppendNumber(out, v);
    }
}

const char* const kTexts[] = {"寸法", "平面図 1:100", "ＡＢＣ", "expansion joint", "外壁 t=150", "1,820"};

void WriteHeader(std::string& out) {
    out += "hq\r\nhk 0\r\nhs 100 100 50 50 1 1 1 1 1 1 1 1 1 1 1 1e+06\r\n";
    out += "hcw 2 2.5 3 4 5 6 7 8 9 10\r\nhch 2 2.5 3 4 5 6 7 8 9 10\r\nhcd 0 0 0 0 0 0 0 0 0 0\r\n";
    out += "hcc      1      1      2      2      3      3      4      4      5      6\r\nhn 0 0 0 0\r\n";
    out += "hp1-  34262.8515141222 19199.8914568925\r\nhp2   -40496.8595011236 19256.2733412202\r\n";
    out += "lg0\r\nly0\r\nlc1\r\nlt1\r\ncn1\r\ncn\"$<ＭＳ ゴシック>\r\n#\r\n";
}

void WriteEntity(std::string& out, TRandom& r, int& left) {
    const int pick = r.Below(100);
    if (pick < 4) { // attribute change
        out += "lg";
        out += "0123456789ABCDEF"[r.Below(16)];
        out += "\r\nly";
        out += "0123456789abcdef"[r.Below(16)];
        out += "\r\nlc" + std::to_string(1 + r.Below(9)) + "\r\n";
        if (r.Below(4) == 0) out += "z2\r\nhhp" + std::to_string(r.Below(500)) + "ln\r\n";
    }
    if (pick < 45) {
        out += ' ';
        AppendNumber(out, r.Coordinate());
        AppendNumbers(out, {r.Coordinate(), r.Coordinate(), r.Coordinate()});
        out += "\r\n";
        --left;
    } else if (pick < 55) { // a polyline run closed by "#"
        out += "pl\r\n";
        for (int i = 0; i < 5 && left > 0; ++i, --left) {
            out += ' ';
            AppendNumber(out, r.Coordinate());
            AppendNumbers(out, {r.Coordinate(), r.Coordinate(), r.Coordinate()});
            out += "\r\n";
        }
        out += "#\r\n";
    } else if (pick < 65) {
        out += "ch";
        AppendNumbers(out, {r.Coordinate(), r.Coordinate(), 1, 0});
        out += " \"";
        out += kTexts[r.Below(6)];
        out += "\r\n";
        --left;
    } else if (pick < 73) {
        out += "ci";
        AppendNumbers(out, {r.Coordinate(), r.Coordinate(), r.Coordinate() / 10 + 5001});
        out += "\r\n";
        --left;
    } else if (pick < 80) {
        out += "ci";
        AppendNumbers(out,
                      {r.Coordinate(), r.Coordinate(), 2500.5, 0.523598775598299, 1, 0, 1.5707963267949});
        out += "\r\n";
        --left;
    } else if (pick < 85) {
        out += "pt";
        AppendNumbers(out, {r.Coordinate(), r.Coordinate()});
        out += "\r\n";
        --left;
    } else if (pick < 88) {
        out += "pt";
        AppendNumbers(out, {r.Coordinate(), r.Coordinate(), 1, 45, 6});
        out += "\r\n";
        --left;
    } else if (pick < 92) {
        out += "lc10 " + std::to_string(r.Below(16)) + "\r\nsl";
        AppendNumbers(out, {0, 0, 5000, 0, 5000, 3000.25, 0, 3000.25});
        out += "\r\n";
        --left;
    } else if (pick < 96) {
        const double x = r.Coordinate(), y = r.Coordinate();
        out += "msg\r\n";
        AppendNumbers(out, {x, y, x + 1820, y});
        out += "\r\ncs";
        AppendNumbers(out, {x + 910, y + 200, 1, 0});
        out += " \"1,820\r\n";
        --left;
    } else {
        out += "BL";
        AppendNumbers(out, {r.Coordinate(), r.Coordinate()});
        out += " \"扉 W800\r\n";
        AppendNumbers(out, {0, 0, 800, 0});
        out += "\r\n#\r\n";
        left -= 2;
    }
}

// Writes the file in pieces of about a megabyte; next appends the next piece and says whether more follow.
// The process id in the name keeps two benchmarks on one machine out of each other's files.
template <class F> std::filesystem::path WriteFile(const std::string& name, F next) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("tarvel_bench_" + std::to_string(getpid()) + "_" + name + ".txt");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string block;
    bool more = true;
    while (more) {
        block.clear();
        more = next(block);
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    return path;
}

// The host-shaped drawing: segments, polylines, texts, circles, arcs, points, solids, dimensions, blocks.
std::filesystem::path MixedFile(int entities) {
    TRandom r;
    int left = entities;
    bool first = true;
    return WriteFile("mixed", [&](std::string& block) {
        if (first) WriteHeader(block);
        first = false;
        while (left > 0 && block.size() < (1 << 20)) WriteEntity(block, r, left);
        return left > 0;
    });
}

// The shortest text records the host can send, as many as fill the size.
std::filesystem::path TextRecordFile(uint64_t bytes) {
    constexpr std::string_view kRecord = "ch 0 0 1 0 a\r\n";
    uint64_t written = 0;
    return WriteFile("texts", [&](std::string& block) {
        while (written + kRecord.size() <= bytes && block.size() < (1 << 20)) {
            block += kRecord;
            written += kRecord.size();
        }
        return written + kRecord.size() <= bytes;
    });
}

// One text line of about the size, its text far beyond what a record keeps.
std::filesystem::path LongLineFile(uint64_t bytes) {
    uint64_t written = 0;
    return WriteFile("long_line", [&](std::string& block) {
        if (written == 0) block += "ch 0 0 1 0 \"";
        const uint64_t piece = std::min<uint64_t>(bytes - std::min(bytes, written + 2), 1 << 20);
        block.append(piece, 'x');
        written += block.size();
        if (written + 2 < bytes) return true;
        block += "\r\n";
        return false;
    });
}

// <chrono> cannot be compiled with the Shift-JIS execution character set (its "\u00b5s" suffix).
double Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct TProcessRun {
    double Seconds = 0;
    double PeakMegabytes = 0;
};

// Runs a program directly (no shell, whose own start-up would add to the floor) and waits for it.
TProcessRun RunProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const double start = Now();
    pid_t pid = 0;
    TProcessRun run;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        run.Seconds = Now() - start;
        run.PeakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) run.Seconds = -1;
    } else {
        run.Seconds = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

struct TCase {
    std::string Name;
    std::filesystem::path File;
    std::vector<double> ReadSeconds, WcSeconds;             // in process, and wc -l beside it
    std::vector<double> WholeSeconds, WholeWcSeconds, Peak; // whole processes, alternated
};

std::vector<TCase> gCases;

void ReadExchange(benchmark::State& state, TCase* c) {
    int32_t entities = 0;
    for (auto _ : state) {
        const double start = Now();
        InitExchangeData();
        if (!ReadExchangeFile(c->File)) state.SkipWithError("read failed");
        entities = EntityOrderCount();
        FreeExchangeData();
        c->ReadSeconds.push_back(Now() - start);
    }
    state.counters["entities"] = entities;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(c->File)));
}

void WcLines(benchmark::State& state, TCase* c) {
    for (auto _ : state) {
        const TProcessRun run = RunProcess({"wc", "-l", c->File.string()});
        if (run.Seconds < 0) state.SkipWithError("wc failed");
        c->WcSeconds.push_back(run.Seconds);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(c->File)));
}

// The whole-process mode: what the tool pays to read the file before its dialog appears, and to exit.
int ReadOnce(const char* file) {
    InitExchangeData();
    return ReadExchangeFile(file) ? 0 : 1;
}

double Load() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

// Whole processes run before anything is read in this one: a spawned child is charged the peak
// memory of the process it was spawned from (Linux carries it over at exec), so this one stays small.
double gSpawnerPeak = 0;

void RunWholeProcesses(const std::string& self, int rounds) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    gSpawnerPeak = static_cast<double>(usage.ru_maxrss) / 1024;
    for (TCase& c : gCases) {
        for (int i = 0; i < rounds; ++i) { // alternated, so both see the same load
            const TProcessRun w = RunProcess({"wc", "-l", c.File.string()});
            const TProcessRun r = RunProcess({self, "--read-once=" + c.File.string()});
            if (w.Seconds < 0 || r.Seconds < 0) {
                std::printf("%s: a run failed\n", c.Name.c_str());
                break;
            }
            c.WholeWcSeconds.push_back(w.Seconds);
            c.WholeSeconds.push_back(r.Seconds);
            c.Peak.push_back(r.PeakMegabytes);
        }
    }
}

void Report() {
    std::printf("\nload average %.2f\n", Load());
    std::printf("%-10s %8s | %12s %8s | %12s %8s | %9s %9s\n", "file", "MiB", "in process", "vs wc",
                "whole proc", "vs wc", "peak MiB", "peak/file");
    for (const TCase& c : gCases) {
        const double megabytes = static_cast<double>(std::filesystem::file_size(c.File)) / 1048576;
        const double read = Median(c.ReadSeconds), whole = Median(c.WholeSeconds), peak = Median(c.Peak);
        std::printf("%-10s %8.1f | %9.1f ms %7.1fx | %9.1f ms %7.1fx | %9.1f %8.2fx\n", c.Name.c_str(),
                    megabytes, read * 1e3, read / Median(c.WcSeconds), whole * 1e3,
                    whole / Median(c.WholeWcSeconds), peak, peak / megabytes);
    }
    std::printf(
        "(medians; wc -l and the whole process run through posix_spawn and wait4; peak is the reading\n"
        "process's ru_maxrss, at least the %.1f MiB this one had when it spawned them)\n",
        gSpawnerPeak);
}

} // namespace

int main(int argc, char** argv) {
    int mixedEntities = 1000000;
    uint64_t textBytes = 40ull << 20, longLineBytes = 256ull << 20;
    int rounds = 5;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--read-once=", 0) == 0) return ReadOnce(argv[i] + 12);
        if (arg.rfind("--entities=", 0) == 0) mixedEntities = std::atoi(argv[i] + 11);
        if (arg.rfind("--text-mib=", 0) == 0) textBytes = std::strtoull(argv[i] + 11, nullptr, 10) << 20;
        if (arg.rfind("--line-mib=", 0) == 0) longLineBytes = std::strtoull(argv[i] + 11, nullptr, 10) << 20;
        if (arg.rfind("--rounds=", 0) == 0) rounds = std::atoi(argv[i] + 9);
        if (arg == "--keep-files") keep = true;
    }
    benchmark::Initialize(&argc, argv);
    gCases.emplace_back();
    gCases.back().Name = "mixed";
    gCases.back().File = MixedFile(mixedEntities);
    gCases.emplace_back();
    gCases.back().Name = "texts";
    gCases.back().File = TextRecordFile(textBytes);
    gCases.emplace_back();
    gCases.back().Name = "long_line";
    gCases.back().File = LongLineFile(longLineBytes);
    for (TCase& c : gCases) {
        std::printf("%s: %s, %.1f MB\n", c.Name.c_str(), c.File.string().c_str(),
                    static_cast<double>(std::filesystem::file_size(c.File)) / 1e6);
        benchmark::RegisterBenchmark(("ReadExchangeFile/" + c.Name).c_str(), ReadExchange, &c)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("WcLines/" + c.Name).c_str(), WcLines, &c)
            ->Unit(benchmark::kMillisecond);
    }
    RunWholeProcesses(std::filesystem::canonical("/proc/self/exe").string(), rounds);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Report();
    if (!keep)
        for (const TCase& c : gCases) std::filesystem::remove(c.File);
    return 0;
}
