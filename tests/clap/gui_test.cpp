// The gui extension's answers that need no window: the api, one gui at a time, one size at
// each scale, and nothing shown before it has a parent.
#include <gtest/gtest.h>

#include <limits>

#include "clap_host.h"
#include "editor/panel_layout.h"

using namespace testhost;

namespace {

struct Gui {
    Instance instance;
    const Plugin* p = instance.plugin;
    const PluginGui& gui = instance.extension<PluginGui>(kGuiExt);
};

}  // namespace

TEST(ClapGui, EmbeddedInItsPlatformsWindowsOnly) {
    Gui g;
    EXPECT_TRUE(g.gui.isApiSupported(g.p, kWindowApiX11, false));
    EXPECT_FALSE(g.gui.isApiSupported(g.p, kWindowApiX11, true));
    EXPECT_FALSE(g.gui.isApiSupported(g.p, kWindowApiWin32, false));
    EXPECT_FALSE(g.gui.isApiSupported(g.p, nullptr, false));
    EXPECT_FALSE(g.gui.create(g.p, kWindowApiX11, true));
    EXPECT_FALSE(g.gui.create(g.p, "wayland", false));
    const char* api = nullptr;
    bool floating = true;
    ASSERT_TRUE(g.gui.getPreferredApi(g.p, &api, &floating));
    EXPECT_STREQ(api, kWindowApiX11);
    EXPECT_FALSE(floating);
    EXPECT_FALSE(g.gui.setTransient(g.p, nullptr));
}

TEST(ClapGui, OneGuiAtATimeAndNoSizeWithoutOne) {
    Gui g;
    std::uint32_t width = 0, height = 0;
    EXPECT_FALSE(g.gui.getSize(g.p, &width, &height));
    EXPECT_FALSE(g.gui.show(g.p));
    ASSERT_TRUE(g.gui.create(g.p, kWindowApiX11, false));
    EXPECT_FALSE(g.gui.create(g.p, kWindowApiX11, false));
    g.gui.destroy(g.p);
    g.gui.destroy(g.p);  // twice is harmless
    EXPECT_TRUE(g.gui.create(g.p, kWindowApiX11, false));
    g.gui.destroy(g.p);
}

TEST(ClapGui, TheArtworksSizeAtScaleOne) {
    Gui g;
    ASSERT_TRUE(g.gui.create(g.p, kWindowApiX11, false));
    EXPECT_TRUE(g.gui.setScale(g.p, 1.0));
    EXPECT_FALSE(g.gui.canResize(g.p));
    GuiResizeHints hints{true, true, false, 0, 0};
    ASSERT_TRUE(g.gui.getResizeHints(g.p, &hints));
    EXPECT_FALSE(hints.canResizeHorizontally || hints.canResizeVertically);
    std::uint32_t width = 0, height = 0;
    ASSERT_TRUE(g.gui.getSize(g.p, &width, &height));
    EXPECT_EQ(width, std::uint32_t(panel::kWidth));
    EXPECT_EQ(height, std::uint32_t(panel::kHeight));
    EXPECT_TRUE(g.gui.setSize(g.p, width, height));
    EXPECT_FALSE(g.gui.setSize(g.p, width + 1, height));
    width = 1000, height = 20;
    ASSERT_TRUE(g.gui.adjustSize(g.p, &width, &height));
    EXPECT_EQ(width, std::uint32_t(panel::kWidth));
    EXPECT_EQ(height, std::uint32_t(panel::kHeight));
    g.gui.destroy(g.p);
}

// Each factor the host sets, and the size it then reads; refused factors keep the last one.
TEST(ClapGui, TheSizeAtTheHostsScale) {
    struct ScaleCase {
        double scale;
        bool taken;
        std::uint32_t width, height;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const ScaleCase cases[] = {{1.5, true, 672, 377},   {2.0, true, 896, 502},  {0.0, false, 896, 502},
                               {-1.0, false, 896, 502}, {nan, false, 896, 502}, {1e9, true, 1792, 1004},
                               {0.25, true, 448, 251}};
    Gui g;
    ASSERT_TRUE(g.gui.create(g.p, kWindowApiX11, false));
    for (const ScaleCase& c : cases) {
        SCOPED_TRACE(c.scale);
        EXPECT_EQ(g.gui.setScale(g.p, c.scale), c.taken);
        std::uint32_t width = 0, height = 0;
        ASSERT_TRUE(g.gui.getSize(g.p, &width, &height));
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        EXPECT_TRUE(g.gui.setSize(g.p, c.width, c.height));
        EXPECT_FALSE(g.gui.setSize(g.p, panel::kWidth + 1, panel::kHeight));
    }
    g.gui.destroy(g.p);
}

TEST(ClapGui, NothingShownWithoutAParentOfItsApi) {
    Gui g;
    ASSERT_TRUE(g.gui.create(g.p, kWindowApiX11, false));
    WindowRef other{kWindowApiWin32, {}};
    other.win32 = &other;
    EXPECT_FALSE(g.gui.setParent(g.p, &other));
    EXPECT_FALSE(g.gui.setParent(g.p, nullptr));
    EXPECT_FALSE(g.gui.show(g.p));
    EXPECT_TRUE(g.gui.hide(g.p));
    g.gui.destroy(g.p);
    EXPECT_FALSE(g.gui.hide(g.p));
}
