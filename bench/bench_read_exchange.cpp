// Reading a large exchange file as the host writes it, timed against `wc -l` on the same file.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "exchange/JwwGaibu.h"

namespace {

std::filesystem::path gFile;
double gBestReadSeconds = 1e30;
double gBestWcSeconds = 1e30;

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

std::filesystem::path GenerateFile(int entities) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "tarvel_bench_JWC_TEMP.TXT";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    TRandom r;
    std::string block;
    WriteHeader(block);
    int left = entities;
    while (left > 0) {
        WriteEntity(block, r, left);
        if (block.size() > (1 << 20)) {
            out << block;
            block.clear();
        }
    }
    out << block;
    return path;
}

// <chrono> cannot be compiled with the Shift-JIS execution character set (its "\u00b5s" suffix).
double Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void ReadExchange(benchmark::State& state) {
    int32_t entities = 0;
    for (auto _ : state) {
        const double start = Now();
        InitExchangeData();
        if (!ReadExchangeFile(gFile)) state.SkipWithError("read failed");
        entities = EntityOrderCount();
        gBestReadSeconds = std::min(gBestReadSeconds, Now() - start);
    }
    state.counters["entities"] = entities;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(gFile)));
    FreeExchangeData();
}

void WcLines(benchmark::State& state) {
    const std::string command = "wc -l '" + gFile.string() + "' > /dev/null";
    for (auto _ : state) {
        const double start = Now();
        if (std::system(command.c_str()) != 0) state.SkipWithError("wc failed");
        gBestWcSeconds = std::min(gBestWcSeconds, Now() - start);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(gFile)));
}

} // namespace

int main(int argc, char** argv) {
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--file=", 0) == 0) file = arg.substr(7);
    }
    benchmark::Initialize(&argc, argv);
    gFile = file.empty() ? GenerateFile(1000000) : std::filesystem::path(file);
    std::printf("file %s, %.1f MB\n", gFile.string().c_str(),
                static_cast<double>(std::filesystem::file_size(gFile)) / 1e6);
    benchmark::RegisterBenchmark("ReadExchangeFile", ReadExchange)->Unit(benchmark::kMillisecond)->MinTime(2);
    benchmark::RegisterBenchmark("WcLines", WcLines)->Unit(benchmark::kMillisecond)->MinTime(2);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("best read %.1f ms, best wc -l %.1f ms, ratio %.1f, peak memory %.1f MB\n",
                gBestReadSeconds * 1e3, gBestWcSeconds * 1e3, gBestReadSeconds / gBestWcSeconds,
                static_cast<double>(usage.ru_maxrss) / 1024);
    if (file.empty()) std::filesystem::remove(gFile);
    return 0;
}
