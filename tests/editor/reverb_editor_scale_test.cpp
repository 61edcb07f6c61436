#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "common/artwork_picture.h"
#include "editor/panel_layout.h"
#include "gui/bitmap.h"
#include "gui/movie_bitmap.h"
#include "gui/offscreen_context.h"
#include "gui/surface_cairo.h"
#include "gui/vu_meter.h"
#include "reverb_rig.h"

namespace {

struct ScaleCase {
    double scale;
    int width, height;  // the panel in device pixels
};

constexpr ScaleCase kCases[] = {{1.0, 448, 251}, {1.5, 672, 377}, {2.0, 896, 502}};

int device(int units, double scale) { return toDevicePixel(units, scale); }

// The ink of a display's text: how much there is and where its middle lies, in device pixels.
struct Ink {
    int count = 0;
    double x = 0, y = 0;
};

template <typename PixelAt>
Ink inkIn(const panel::PixelRect& a, double scale, PixelAt pixelAt) {
    Ink ink;
    for (int y = device(a.top, scale); y < device(a.bottom, scale); ++y)
        for (int x = device(a.left, scale); x < device(a.right, scale); ++x) {
            const std::uint32_t p = pixelAt(x, y);
            if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 64) continue;
            ++ink.count;
            ink.x += x;
            ink.y += y;
        }
    if (ink.count) ink.x /= ink.count, ink.y /= ink.count;
    return ink;
}

}  // namespace

// The editor at each scale draws the panel the artwork program pictures at that scale, to
// the pixel but for the antialiasing of the display texts.
TEST(ReverbEditorScale, PanelMatchesTheArtworkPictureAtEveryScale) {
    for (const ScaleCase& c : kCases) {
        SCOPED_TRACE(c.scale);
        ReverbRig rig;
        rig.editor->setScale(c.scale);
        EXPECT_EQ(rig.editor->scaledSize(), Rect(0, 0, c.width, c.height));
        EXPECT_EQ(rig.editor->size(), Rect(0, 0, 448, 251));  // the layout stays in units
        rig.open();
        ASSERT_NE(rig.frame(), nullptr);
        EXPECT_EQ(rig.frame()->deviceWidth(), c.width);
        // The states the picture shows: meter half lit, "Dry out" on, the LED yellow.
        rig.editor->levelMeter()->setValue(36.0f / 73);
        rig.editor->levelMeter()->setLastDrawnValue(36.0f / 73);
        rig.editor->controlFor(kDryOut)->setValue(1.0f);
        rig.editor->gateLight()->setValue(0.5f);

        OffscreenContext context(rig.frame(), 448, 251);
        rig.frame()->draw(&context);
        const auto& drawn = static_cast<const CairoSurface&>(*context.surface());
        ASSERT_EQ(drawn.width(), c.width);
        ASSERT_EQ(drawn.height(), c.height);

        const artwork::Image expected = artworkPicture(c.scale);
        ASSERT_EQ(expected.width, c.width);
        EXPECT_EQ(pixelsUnlike(expected, c.scale, valueTextAreas(), [&](int x, int y) { return drawn.pixel(x, y); }),
                  0);
        // The editor's texts are not smoothed and the picture's are: each display carries
        // about as much ink, centred within two units of the same place.
        for (const panel::PixelRect& a : valueTextAreas()) {
            SCOPED_TRACE(a.left);
            const Ink got = inkIn(a, c.scale, [&](int x, int y) { return drawn.pixel(x, y); });
            const Ink want = inkIn(a, c.scale, [&](int x, int y) { return expected.at(x, y); });
            EXPECT_GT(want.count, 0);
            EXPECT_NEAR(got.count, want.count, want.count * 0.35);
            EXPECT_NEAR(got.x, want.x, 2 * c.scale);
            EXPECT_NEAR(got.y, want.y, 2 * c.scale);
        }
    }
}

TEST(ReverbEditorScale, ChangingTheScaleWhileOpenResizesAndRedraws) {
    ReverbRig rig;
    rig.open();
    ASSERT_NE(rig.frame(), nullptr);
    rig.editor->setScale(2.0);
    EXPECT_EQ(rig.frame()->scale(), 2.0);
    EXPECT_EQ(rig.frame()->deviceHeight(), 502);
    EXPECT_EQ(rig.editor->scaledSize(), Rect(0, 0, 896, 502));
    rig.close();
    rig.open();  // a panel opened again keeps its scale
    EXPECT_EQ(rig.frame()->scale(), 2.0);
}

// A host's factor: nonsense is refused and leaves the scale alone, the rest is clamped.
TEST(ReverbEditorScale, AHostsFactorIsRefusedOrClamped) {
    struct FactorCase {
        double requested;
        bool taken;
        double scale;  // after the call, from 1.5
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const FactorCase cases[] = {{0.0, false, 1.5},  {-2.0, false, 1.5}, {nan, false, 1.5},  {inf, false, 1.5},
                                {-inf, false, 1.5}, {0.5, true, 1.0},   {1.25, true, 1.25}, {2.0, true, 2.0},
                                {4.0, true, 4.0},   {1e9, true, 4.0}};
    for (const FactorCase& c : cases) {
        SCOPED_TRACE(c.requested);
        ReverbRig rig;
        ASSERT_TRUE(rig.editor->setScale(1.5));
        EXPECT_EQ(rig.editor->setScale(c.requested), c.taken);
        EXPECT_EQ(rig.editor->scale(), c.scale);
    }
}

// A factor between two sets draws from the larger one, drawn down: never a smaller set
// enlarged, which would blur the picture.
TEST(ReverbEditorScale, FactorsBetweenSetsDrawFromTheNextLargerSet) {
    const struct {
        double scale;
        int percent;
    } cases[] = {{1.0, 100}, {1.1, 150}, {1.25, 150}, {1.5, 150}, {1.75, 200}, {2.0, 200}, {3.0, 200}};
    ReverbRig rig;
    for (const auto& c : cases) EXPECT_EQ(rig.editor->panel()->setPercentFor(c.scale), c.percent) << c.scale;
}
