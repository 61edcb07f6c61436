// Draws the editor's fourteen bitmaps and writes them as ID.bmp into a folder.
//
//   hallmere_artwork OUTPUT_FOLDER [REVIEW.bmp]
//
// The same program on the same libraries always writes the same bytes.

#include <cstdio>
#include <map>
#include <string>

#include "artwork_layout.h"
#include "bitmap_file.h"
#include "control_art.h"
#include "panel_art.h"
#include "review_sheet.h"

using namespace artwork;

namespace {

std::map<int, Image> renderAll() {
    std::map<int, Image> images;
    images[1024] = renderPanel();
    images[1025] = renderAltKnobBody();
    images[1026] = renderPanHandle();
    images[1027] = renderPanTrack();
    images[1028] = renderFaderHandle();
    images[1029] = renderFaderTrack();
    images[1030] = renderMeter(false);
    images[1031] = renderMeter(true);
    images[1032] = renderKnobBody();
    images[1033] = renderKnobDot();
    images[1034] = renderDryButton();
    images[1035] = renderAboutCard();
    images[1036] = renderPushButton();
    images[1037] = renderGateLed();
    return images;
}

// The knob bodies are drawn opaque, so every knob place must hold the pixels the body
// was cut from.
bool knobPlacesMatch(const Image& panel) {
    const KnobPlace& first = kKnobs[0];
    bool same = true;
    for (const KnobPlace& k : kKnobs)
        for (int y = -1; y < kKnobSize; ++y)
            for (int x = 0; x < kKnobSize; ++x)
                if (panel.at(k.x + x, k.y + y) != panel.at(first.x + x, first.y + y)) {
                    std::fprintf(stderr, "hallmere_artwork: knob place %s differs at (%d, %d)\n", k.label, x, y);
                    same = false;
                    y = kKnobSize;
                    break;
                }
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: hallmere_artwork OUTPUT_FOLDER [REVIEW.bmp]\n");
        return 2;
    }
    const std::map<int, Image> images = renderAll();
    bool ok = knobPlacesMatch(images.at(1024));
    for (const BitmapSize& size : kBitmapSizes) {
        const Image& image = images.at(size.id);
        if (image.width != size.width || image.height != size.height) {
            std::fprintf(stderr, "hallmere_artwork: %d is %d x %d, not %d x %d\n", size.id, image.width, image.height,
                         size.width, size.height);
            ok = false;
        }
        const std::string path = std::string(argv[1]) + "/" + std::to_string(size.id) + ".bmp";
        if (!writeBmp(path, image)) {
            std::fprintf(stderr, "hallmere_artwork: cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    if (argc == 3 && !writeBmp(argv[2], composeReview(images))) {
        std::fprintf(stderr, "hallmere_artwork: cannot write %s\n", argv[2]);
        ok = false;
    }
    return ok ? 0 : 1;
}
