// Build-time generator: turns the committed bitmap files into a C++ source holding their
// pixels, so that builds without a resource section carry the same images.
//
//   embed_bitmaps OUTPUT.cpp FILE.bmp...   (each file named after its resource id)

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bitmap_file.h"

namespace {

int idFromPath(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    return std::atoi(name.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: embed_bitmaps OUTPUT.cpp FILE.bmp...\n");
        return 2;
    }
    std::string text =
        "// Generated from the panel's bitmap files by embed_bitmaps; do not edit.\n"
        "#include \"resources/embedded_images.h\"\n\nnamespace {\n\n";
    std::string table;
    for (int i = 2; i < argc; ++i) {
        artwork::Image image;
        const int id = idFromPath(argv[i]);
        if (id <= 0 || !artwork::readBmp(argv[i], image)) {
            std::fprintf(stderr, "embed_bitmaps: cannot use %s\n", argv[i]);
            return 1;
        }
        char line[128];
        std::snprintf(line, sizeof line, "const std::uint32_t kPixels%d[] = {", id);
        text += line;
        for (size_t p = 0; p < image.pixels.size(); ++p) {
            std::snprintf(line, sizeof line, "%s0x%06x,", p % 12 == 0 ? "\n    " : " ", image.pixels[p]);
            text += line;
        }
        text += "\n};\n\n";
        std::snprintf(line, sizeof line, "    {%d, %d, %d, kPixels%d},\n", id, image.width, image.height, id);
        table += line;
    }
    text += "const EmbeddedImage kImages[] = {\n" + table + "};\n\n}  // namespace\n\n";
    text +=
        "const EmbeddedImage* findEmbeddedImage(int id) {\n"
        "    for (const EmbeddedImage& image : kImages)\n"
        "        if (image.id == id) return &image;\n"
        "    return nullptr;\n"
        "}\n";

    FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "embed_bitmaps: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (std::fclose(out) != 0 || !written) return 1;
    return 0;
}
