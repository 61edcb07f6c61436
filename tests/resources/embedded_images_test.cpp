#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "resources/embedded_images.h"

namespace {

constexpr std::uint32_t kKey = 0xFFFFFF;  // the default colour key of every bitmap

struct Size {
    int id, width, height;
};

constexpr Size kSizes[] = {
    {1024, 448, 251}, {1025, 24, 25}, {1026, 4, 15}, {1027, 72, 15}, {1028, 21, 38},   {1029, 22, 155}, {1030, 15, 147},
    {1031, 15, 147},  {1032, 24, 25}, {1033, 7, 7},  {1034, 21, 34}, {1035, 332, 173}, {1036, 30, 40},  {1037, 13, 36},
};

struct Place {
    int x, y;
};

constexpr Place kKnobs[] = {{36, 76},  {94, 76},  {165, 76},  {235, 76},  {305, 76},
                            {36, 161}, {94, 161}, {165, 161}, {235, 161}, {305, 161}};

const EmbeddedImage& image(int id) {
    const EmbeddedImage* found = findEmbeddedImage(id);
    if (!found) {
        ADD_FAILURE() << "no image " << id;
        static const std::uint32_t none[1] = {0};
        static const EmbeddedImage empty{0, 1, 1, none};
        return empty;
    }
    return *found;
}

std::uint32_t pixel(const EmbeddedImage& im, int x, int y) { return im.pixels[y * im.width + x]; }

int red(std::uint32_t p) { return (p >> 16) & 0xFF; }
int green(std::uint32_t p) { return (p >> 8) & 0xFF; }
int blue(std::uint32_t p) { return p & 0xFF; }

int countKey(const EmbeddedImage& im, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) n += pixel(im, x, y) == kKey;
    return n;
}

TEST(EmbeddedImages, EveryIdHasItsSize) {
    for (const Size& s : kSizes) {
        const EmbeddedImage* im = findEmbeddedImage(s.id);
        ASSERT_NE(im, nullptr) << s.id;
        EXPECT_EQ(im->id, s.id);
        EXPECT_EQ(im->width, s.width) << s.id;
        EXPECT_EQ(im->height, s.height) << s.id;
        ASSERT_NE(im->pixels, nullptr);
        for (int i = 0; i < im->width * im->height; ++i) ASSERT_EQ(im->pixels[i] >> 24, 0u) << s.id;
    }
}

TEST(EmbeddedImages, UnknownIdsAreAbsent) {
    EXPECT_EQ(findEmbeddedImage(1023), nullptr);
    EXPECT_EQ(findEmbeddedImage(1038), nullptr);
    EXPECT_EQ(findEmbeddedImage(0), nullptr);
}

TEST(EmbeddedImages, StripsDivideIntoEqualImages) {
    EXPECT_EQ(image(1034).height % 2, 0);
    EXPECT_EQ(image(1034).height / 2, 17);  // Dry out button: 21 x 17, off above on
    EXPECT_EQ(image(1036).height / 2, 20);
    EXPECT_EQ(image(1037).height % 3, 0);
    EXPECT_EQ(image(1037).height / 3, 12);  // gate LED: 13 x 12 each
    EXPECT_EQ(image(1031).height / 2, 73);  // meter: 73 steps of two rows
}

// Only the images drawn colour-keyed may hold the key, and only outside their shapes.
TEST(EmbeddedImages, OpaqueImagesHoldNoKeyColour) {
    for (int id : {1024, 1025, 1027, 1029, 1030, 1031, 1032, 1034, 1035, 1036, 1037}) {
        const EmbeddedImage& im = image(id);
        EXPECT_EQ(countKey(im, 0, 0, im.width, im.height), 0) << id;
    }
}

TEST(EmbeddedImages, HandleDotIsRoundOnTheKey) {
    const EmbeddedImage& dot = image(1033);
    for (int corner = 0; corner < 4; ++corner) {
        const int x = corner % 2 ? dot.width - 1 : 0, y = corner / 2 ? dot.height - 1 : 0;
        EXPECT_EQ(pixel(dot, x, y), kKey) << x << "," << y;
    }
    // Nothing within the dot's disc may be keyed out.
    for (int y = 0; y < dot.height; ++y)
        for (int x = 0; x < dot.width; ++x) {
            const int dx = 2 * x + 1 - dot.width, dy = 2 * y + 1 - dot.height;  // doubled offsets
            if (dx * dx + dy * dy <= 16) {
                EXPECT_NE(pixel(dot, x, y), kKey) << x << "," << y;
            }
        }
}

TEST(EmbeddedImages, SliderHandlesAreSolid) {
    const EmbeddedImage& pan = image(1026);
    EXPECT_EQ(countKey(pan, 0, 0, pan.width, pan.height), 0);
    const EmbeddedImage& cap = image(1028);
    // Rounded corners on the key, the cap itself solid.
    EXPECT_EQ(pixel(cap, 0, 0), kKey);
    EXPECT_EQ(pixel(cap, cap.width - 1, 0), kKey);
    EXPECT_EQ(pixel(cap, 0, cap.height - 1), kKey);
    EXPECT_EQ(pixel(cap, cap.width - 1, cap.height - 1), kKey);
    EXPECT_EQ(countKey(cap, 2, 0, cap.width - 2, cap.height), 0);
    EXPECT_EQ(countKey(cap, 0, 2, cap.width, cap.height - 2), 0);
}

// Knob bodies are drawn opaque, so their corners must be the panel beneath every knob.
// The body's first row is not shown: body row r lands on panel row y + r - 1.
TEST(EmbeddedImages, KnobBodiesBlendIntoThePanel) {
    const EmbeddedImage& panel = image(1024);
    for (int id : {1032, 1025}) {
        const EmbeddedImage& body = image(id);
        for (const Place& k : kKnobs)
            for (int r = 1; r < body.height; ++r)
                for (int c = 0; c < body.width; ++c) {
                    const bool corner = (c < 3 || c >= body.width - 3) && (r < 4 || r >= body.height - 2);
                    if (corner) {
                        EXPECT_EQ(pixel(body, c, r), pixel(panel, k.x + c, k.y + r - 1))
                            << id << " at knob " << k.x << "," << k.y << " pixel " << c << "," << r;
                    }
                }
    }
}

TEST(EmbeddedImages, PanelHasBlackFieldsUnderTheDisplays) {
    const EmbeddedImage& panel = image(1024);
    struct Field {
        int left, top, right, bottom;
    };
    std::vector<Field> fields = {{359, 39, 387, 49}, {395, 199, 423, 209}};
    for (const Place& k : kKnobs) fields.push_back({k.x - 11, k.y + 37, k.x + 37, k.y + 47});
    for (const Field& f : fields)
        for (int y = f.top; y < f.bottom; ++y)
            for (int x = f.left; x < f.right; ++x) ASSERT_EQ(pixel(panel, x, y), 0u) << x << "," << y;
}

// The lit part of the meter starts on an even row; the rows between lamps and the scale
// look the same lit and unlit, so the boundary always falls between two lamps.
TEST(EmbeddedImages, MeterLaddersLineUpWithTwoPixelSteps) {
    const EmbeddedImage& unlit = image(1030);
    const EmbeddedImage& lit = image(1031);
    int litRows = 0;
    for (int y = 0; y < lit.height; ++y) {
        bool differs = false;
        for (int x = 0; x < lit.width; ++x) differs |= pixel(lit, x, y) != pixel(unlit, x, y);
        if (y % 2 == 1) {
            EXPECT_FALSE(differs) << "row " << y;
        }
        litRows += differs;
    }
    EXPECT_EQ(litRows, 73);
    // Cyan at the bottom, amber at the top.
    const std::uint32_t low = pixel(lit, 4, 140), high = pixel(lit, 4, 0);
    EXPECT_GT(blue(low), red(low));
    EXPECT_GT(red(high), blue(high));
}

TEST(EmbeddedImages, GateLedIsGreenYellowRedFromTheTop) {
    const EmbeddedImage& led = image(1037);
    auto sample = [&](int frame) {
        // The lamp's lower half, below its glint.
        return pixel(led, led.width / 2 + 1, frame * 12 + 8);
    };
    const std::uint32_t g = sample(0), y = sample(1), r = sample(2);
    EXPECT_GT(green(g), red(g) + 60);
    EXPECT_GT(green(g), blue(g) + 60);
    EXPECT_GT(red(y), blue(y) + 60);
    EXPECT_GT(green(y), blue(y) + 60);
    EXPECT_GT(red(r), green(r) + 60);
    EXPECT_GT(red(r), blue(r) + 60);
}

TEST(EmbeddedImages, DryButtonStatesDiffer) {
    const EmbeddedImage& button = image(1034);
    int different = 0;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < button.width; ++x) different += pixel(button, x, y) != pixel(button, x, y + 17);
    EXPECT_GT(different, 20);
}

}  // namespace
