#include "common/artwork_picture.h"

#include "canvas.h"
#include "gui/geometry.h"
#include "review_sheet.h"

artwork::Image artworkPicture(double scale) {
    artwork::setArtworkScale(scale);
    const artwork::Image picture = artwork::composeReview(artwork::renderBitmaps());
    artwork::setArtworkScale(1.0);
    return picture;
}

std::vector<panel::PixelRect> valueTextAreas() {
    std::vector<panel::PixelRect> areas = {panel::kPanDisplay, panel::kOutDisplay};
    for (const panel::KnobPlace& k : panel::kKnobs) {
        const int left = k.x + panel::kDisplayDx, top = k.y + panel::kDisplayDy;
        areas.push_back({left, top, left + panel::kDisplayWidth, top + panel::kDisplayHeight});
    }
    return areas;
}

std::vector<panel::PixelRect> hostStateAreas() {
    std::vector<panel::PixelRect> areas = valueTextAreas();
    areas.insert(areas.end(), {panel::kMeter, panel::kDryButton, panel::kGateLed});
    return areas;
}

int devicePixel(int units, double scale) { return toDevicePixel(units, scale); }

panel::PixelRect devicePixels(const panel::PixelRect& units, double scale) {
    return {toDevicePixel(units.left, scale), toDevicePixel(units.top, scale), toDevicePixel(units.right, scale),
            toDevicePixel(units.bottom, scale)};
}

bool inAnyArea(const std::vector<panel::PixelRect>& areas, int x, int y, double scale) {
    for (const panel::PixelRect& a : areas) {
        const panel::PixelRect d = devicePixels(a, scale);
        if (x >= d.left && x < d.right && y >= d.top && y < d.bottom) return true;
    }
    return false;
}

int pixelsUnlike(const artwork::Image& picture, double scale, const std::vector<panel::PixelRect>& skipped,
                 const std::function<std::uint32_t(int, int)>& pixelAt) {
    int n = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            n += !inAnyArea(skipped, x, y, scale) && (pixelAt(x, y) & 0xFFFFFF) != (picture.at(x, y) & 0xFFFFFF);
    return n;
}
