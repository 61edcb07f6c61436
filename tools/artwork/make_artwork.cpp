// Draws the editor's fourteen bitmaps at every scale: ID.bmp into a folder at 100 %, and
// ID.png into its subfolders 150/ and 200/ for the larger sets.
//
//   hallmere_artwork OUTPUT_FOLDER [REVIEW.bmp]
//   hallmere_artwork --check FOLDER     exit status 1 when any set there is out of date
//
// The same program on the same libraries always writes the same bytes.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "artwork_layout.h"
#include "bitmap_file.h"
#include "canvas.h"
#include "review_sheet.h"

using namespace artwork;

namespace {

// The knob bodies are drawn opaque, so every knob place must hold the pixels the body
// was cut from.
// At 150 % odd panel coordinates fall between image pixels, so only whole scales can hold
// to it.
bool knobPlacesMatch(const Image& panel) {
    const KnobPlace& first = kKnobs[0];
    bool same = true;
    const int size = scaledPixel(kKnobSize);
    for (const KnobPlace& k : kKnobs)
        for (int y = -scaledPixel(1); y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (panel.at(scaledPixel(k.x) + x, scaledPixel(k.y) + y) !=
                    panel.at(scaledPixel(first.x) + x, scaledPixel(first.y) + y)) {
                    std::fprintf(stderr, "hallmere_artwork: knob place %s differs at (%d, %d)\n", k.label, x, y);
                    same = false;
                    y = size;
                    break;
                }
    return same;
}

std::string pathOf(const std::string& folder, const ArtworkScale& scale, int id) {
    if (scale.percent == 100) return folder + "/" + std::to_string(id) + ".bmp";
    return folder + "/" + std::to_string(scale.percent) + "/" + std::to_string(id) + ".png";
}

bool sameFile(const std::string& a, const std::string& b) {
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    return fa && fb &&
           std::string(std::istreambuf_iterator<char>(fa), {}) == std::string(std::istreambuf_iterator<char>(fb), {});
}

// The 100 % set must match to the byte; the compressed sets by their pixels, since another
// zlib may pack the same pixels differently.
bool isCurrent(const std::string& path, const Image& image, const ArtworkScale& scale) {
    Image stored;
    if (scale.percent != 100) return readPng(path, stored) && stored.width == image.width && stored.pixels == image.pixels;
    const std::string fresh = path + ".new";
    const bool same = writeBmp(fresh, image) && sameFile(path, fresh);
    std::remove(fresh.c_str());
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    const bool check = argc == 3 && std::string(argv[1]) == "--check";
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: hallmere_artwork OUTPUT_FOLDER [REVIEW.bmp] | --check FOLDER\n");
        return 2;
    }
    const std::string folder = argv[check ? 2 : 1];
    bool ok = true;
    for (const ArtworkScale& scale : kArtworkScales) {
        setArtworkScale(scale.percent / 100.0);
        const std::map<int, Image> images = renderBitmaps();
        if (scale.percent % 100 == 0) ok &= knobPlacesMatch(images.at(1024));
        for (const BitmapSize& size : kBitmapSizes) {
            const Image& image = images.at(size.id);
            const std::string path = pathOf(folder, scale, size.id);
            // A strip of images whose height falls between pixels gets a row more.
            if (image.width != scaledPixel(size.width) || image.height < scaledPixel(size.height) ||
                image.height > scaledPixel(size.height) + 1) {
                std::fprintf(stderr, "hallmere_artwork: %s is %d x %d, not %d x %d\n", path.c_str(), image.width,
                             image.height, scaledPixel(size.width), scaledPixel(size.height));
                ok = false;
            }
            if (check) {
                if (!isCurrent(path, image, scale)) {
                    std::fprintf(stderr, "hallmere_artwork: %s is out of date\n", path.c_str());
                    ok = false;
                }
                continue;
            }
            const bool written = scale.percent == 100 ? writeBmp(path, image) : writePng(path, image);
            if (!written) {
                std::fprintf(stderr, "hallmere_artwork: cannot write %s\n", path.c_str());
                ok = false;
            }
        }
        if (!check && argc == 3 && scale.percent == 100 && !writeBmp(argv[2], composeReview(images))) {
            std::fprintf(stderr, "hallmere_artwork: cannot write %s\n", argv[2]);
            ok = false;
        }
    }
    setArtworkScale(1.0);
    return ok ? 0 : 1;
}
