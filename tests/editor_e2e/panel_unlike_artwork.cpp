// Counts the pixels of a screenshot of the panel (a 24-bit BMP) unlike the artwork program's
// picture at a scale, outside the value texts and the parts a host's state decides: the
// Windows panel's test asks it about what vsthost.exe saw under wine.
//   panel_unlike_artwork SCALE SHOT.bmp     prints the count; -1 for a shot of another size
#include <cstdio>
#include <cstdlib>

#include "common/artwork_picture.h"

int main(int argc, char** argv) {
    const double scale = argc == 3 ? std::atof(argv[1]) : 0.0;
    artwork::Image shot;
    if (!(scale > 0) || !artwork::readBmp(argv[2], shot)) {
        std::fprintf(stderr, "usage: panel_unlike_artwork SCALE SHOT.bmp (a 24-bit BMP)\n");
        return 2;
    }
    const artwork::Image picture = artworkPicture(scale);
    if (shot.width != picture.width || shot.height != picture.height) {
        std::printf("-1\n");
        return 0;
    }
    std::printf("%d\n", pixelsUnlike(picture, scale, hostStateAreas(), [&](int x, int y) { return shot.at(x, y); }));
    return 0;
}
