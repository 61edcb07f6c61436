// Build-time generator: turns the committed bitmap files into a C++ source holding their
// pixels, so that builds without a resource section carry the same images. The larger
// sets go in as their PNG bytes.
//
//   embed_bitmaps OUTPUT.cpp FILE.bmp... PERCENT/FILE.png...   (each named after its id)

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bitmap_file.h"

namespace {

int idFromPath(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    return std::atoi(name.c_str());
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The percent of a set from its folder's name: .../150/1024.png gives 150.
int percentFromPath(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos || slash == 0) return 0;
    const size_t before = path.find_last_of("/\\", slash - 1);
    return std::atoi(path.substr(before == std::string::npos ? 0 : before + 1).c_str());
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
    std::string table, scaledTable;
    for (int i = 2; i < argc; ++i) {
        if (endsWith(argv[i], ".png")) {
            std::ifstream file(argv[i], std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            const int id = idFromPath(argv[i]), percent = percentFromPath(argv[i]);
            if (!file || bytes.empty() || id <= 0 || percent <= 100) {
                std::fprintf(stderr, "embed_bitmaps: cannot use %s\n", argv[i]);
                return 1;
            }
            char line[128];
            std::snprintf(line, sizeof line, "const unsigned char kPng%d_%d[] = {", percent, id);
            text += line;
            for (size_t b = 0; b < bytes.size(); ++b) {
                std::snprintf(line, sizeof line, "%s%u,", b % 20 == 0 ? "\n    " : "", unsigned(bytes[b] & 0xFF));
                text += line;
            }
            text += "\n};\n\n";
            std::snprintf(line, sizeof line, "    {%d, %d, sizeof kPng%d_%d, kPng%d_%d},\n", id, percent, percent, id,
                          percent, id);
            scaledTable += line;
            continue;
        }
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
    text += "const EmbeddedImage kImages[] = {\n" + table + "};\n\n";
    text += "const EmbeddedScaledImage kScaledImages[] = {\n" + scaledTable + "    {0, 0, 0, nullptr},\n};\n\n";
    text += "}  // namespace\n\n";
    text +=
        "const EmbeddedImage* findEmbeddedImage(int id) {\n"
        "    for (const EmbeddedImage& image : kImages)\n"
        "        if (image.id == id) return &image;\n"
        "    return nullptr;\n"
        "}\n\n"
        "const EmbeddedScaledImage* findEmbeddedScaledImage(int id, int percent) {\n"
        "    for (const EmbeddedScaledImage& image : kScaledImages)\n"
        "        if (image.png && image.id == id && image.percent == percent) return &image;\n"
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
