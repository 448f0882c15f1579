// tarvel_render: draws a JWC_TEMP.TXT that Tarvel wrote as an SVG in paper millimetres.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>

#include "render/Render.h"

namespace {

std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

// The SVG appears whole or not at all: written beside its place, then renamed over it.
bool WriteWhole(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::path scratch = path;
    scratch += ".part";
    {
        std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(scratch, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(scratch, path, ec);
    if (ec) std::filesystem::remove(scratch, ec);
    return !ec;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: tarvel_render HOST_JWC_TEMP.TXT ANSWER_JWC_TEMP.TXT OUT.svg\n"
                     "  HOST: the file Jw_cad wrote before the run (scales, text sizes)\n"
                     "  ANSWER: the file Tarvel wrote back\n";
        return 2;
    }
    const std::optional<std::string> host = ReadBytes(argv[1]);
    const std::optional<std::string> answer = ReadBytes(argv[2]);
    if (!host || !answer) {
        std::cerr << "tarvel_render: cannot read " << (host ? argv[2] : argv[1]) << "\n";
        return 1;
    }
    TRenderReport report;
    const std::string svg = RenderCommandFile(*host, *answer, report);
    if (report.NotDrawn) std::cerr << "tarvel_render: the answer holds hq, so Jw_cad draws nothing\n";
    if (report.Skipped > 0)
        std::cerr << "tarvel_render: skipped " << report.Skipped << " line(s) not understood\n";
    if (!WriteWhole(argv[3], svg)) {
        std::cerr << "tarvel_render: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
