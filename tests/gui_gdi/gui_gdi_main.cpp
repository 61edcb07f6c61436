// Runs the surface tests; with --dump DIR it first writes every drawing case's pixels to
// DIR/<case>.ppm, for comparing one surface's output with the other's.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "drawing_cases.h"

namespace {

bool dumpCases(const std::string& folder) {
    bool ok = true;
    for (const DrawingCase& c : drawingCases()) {
        RenderedCase rendered(c);
        std::string path = folder + "/" + c.name + ".ppm";
        if (!writePpm(path, c.width, c.height, rendered.canvas.pixels())) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    return ok;
}

void reportFonts() {
    TestCanvas canvas(4, 4, kPaper);
    std::unique_ptr<DrawContext> context(canvas.makeContext());
    for (int id = 0; id < kFontCount; ++id) {
        context->selectFont(id);
        SelectedFont f = selectedFont(*context);
        std::printf("font %d: \"%s\" realised as \"%s\", height %d, cell %d\n", id, f.face.c_str(),
                    f.actualFace.c_str(), f.height, f.cellHeight);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dump") == 0 && i + 1 < argc) {
            if (!dumpCases(argv[i + 1])) return 1;
            ++i;
        } else if (std::strcmp(argv[i], "--fonts") == 0) {
            reportFonts();
        }
    }
    return RUN_ALL_TESTS();
}
