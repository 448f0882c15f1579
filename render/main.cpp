// tarvel_render: draws a JWC_TEMP.TXT that Tarvel wrote as an SVG in paper millimetres.
#include <iostream>
#include <optional>
#include <string>

#include "render/Render.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: tarvel_render HOST_JWC_TEMP.TXT ANSWER_JWC_TEMP.TXT OUT.svg\n"
                     "  HOST: the file Jw_cad wrote before the run (scales, text sizes)\n"
                     "  ANSWER: the file Tarvel wrote back\n";
        return 2;
    }
    const std::optional<std::string> host = ReadFileBytes(argv[1]);
    const std::optional<std::string> answer = ReadFileBytes(argv[2]);
    if (!host || !answer) {
        std::cerr << "tarvel_render: cannot read " << (host ? argv[2] : argv[1]) << "\n";
        return 1;
    }
    TRenderReport report;
    const std::string svg = RenderCommandFile(*host, *answer, report);
    if (report.NotDrawn) std::cerr << "tarvel_render: the answer holds hq, so Jw_cad draws nothing\n";
    if (report.Skipped > 0)
        std::cerr << "tarvel_render: skipped " << report.Skipped << " line(s) not understood\n";
    if (!WriteFileBytes(argv[3], svg)) {
        std::cerr << "tarvel_render: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
