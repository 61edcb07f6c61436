#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "effect/parameter_table.h"
#include "gui/frame_owner.h"
#include "gui/offscreen_context.h"
#include "gui/param_display.h"
#include "gui/surface_cairo.h"
#include "host/plugin_main.h"
#include "reverb_rig.h"
#include "resources/embedded_images.h"

namespace {

// What the library's main does.
EffectBase* makePlugin(audioMasterCallback host) {
    auto* effect = new (std::nothrow) ReverbPlugin(host);
    if (effect && !effect->isValid()) {
        delete effect;
        return nullptr;
    }
    return effect;
}

TEST(ReverbPluginEntry, MainGivesARecordWithTheEditorFlag) {
    RecordingHost host;
    AEffect* record = createEffect(host.callback(), makePlugin);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->flags, 0x1F);
    ERect* size = nullptr;
    EXPECT_EQ(record->dispatcher(record, effEditGetRect, 0, 0, &size, 0.0f), 1);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->right, 448);
    EXPECT_EQ(record->dispatcher(record, effEditOpen, 0, 0, nullptr, 0.0f), 1);
    record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0.0f);
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);  // closes with the editor open
    EXPECT_FALSE(constructionFailed);
}

// The panel's gesture, as the plug-in hosts it: begin, the automated value, the host's idle
// from the drag's pump, end, in that order and all for the knob's parameter.
TEST(ReverbPluginAsPanelHost, AGestureReachesTheHostInOrder) {
    ReverbRig rig;
    rig.open();
    rig.host.clear();
    FrameOwner& owner = *rig.editor;
    Control* knob = rig.editor->controlFor(kT60);
    owner.beginEdit(kT60);
    knob->setValue(0.4f);
    rig.editor->controlChanged(nullptr, knob);
    owner.idlePump();
    owner.endEdit(kT60);
    std::vector<VstInt32> opcodes;
    for (const RecordedCall& call : rig.host.calls) {
        opcodes.push_back(call.opcode);
        if (call.opcode != audioMasterIdle) {
            EXPECT_EQ(call.index, kT60) << call.opcode;
        }
    }
    EXPECT_EQ(opcodes,
              (std::vector<VstInt32>{audioMasterBeginEdit, audioMasterAutomate, audioMasterIdle, audioMasterEndEdit}));
    EXPECT_FLOAT_EQ(rig.host.callsOf(audioMasterAutomate)[0].opt, 0.4f);
}

bool nearTextColour(std::uint32_t rgb) {
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return std::abs(r - 0) < 40 && std::abs(g - 183) < 40 && std::abs(b - 224) < 40;
}

TEST(ReverbPluginDrawing, TheOpenPanelDrawsWithTheRealBitmaps) {
    ReverbRig rig;
    rig.open();
    OffscreenContext context(rig.frame(), 448, 251);
    rig.frame()->draw(&context);
    auto* surface = static_cast<CairoSurface*>(context.surface());

    const EmbeddedImage* art = findEmbeddedImage(1024);
    ASSERT_NE(art, nullptr);
    // Outside every view the artwork shows unchanged.
    for (Point p : {Point(5, 5), Point(200, 30), Point(440, 248)})
        EXPECT_EQ(surface->pixel(p.h, p.v), art->pixels[p.v * art->width + p.h]) << p.h << "," << p.v;

    // The gate is open: the LED shows the top (green) image of its strip.
    const EmbeddedImage* led = findEmbeddedImage(1037);
    ASSERT_NE(led, nullptr);
    EXPECT_EQ(surface->pixel(262 + 6, 214 + 6), led->pixels[6 * led->width + 6]);

    // Every value field carries text in the display colour.
    for (int index = 0; index < kParameterCount; ++index) {
        if (index == kDryOut) continue;
        const Rect field = rig.editor->displayFor(index)->bounds();
        int lit = 0;
        for (int y = field.top; y < field.bottom; ++y)
            for (int x = field.left; x < field.right; ++x) lit += nearTextColour(surface->pixel(x, y));
        EXPECT_GT(lit, 3) << "parameter " << index;
    }
    // And nothing in the artwork itself is that colour, so the text is what lit them.
    int artLit = 0;
    for (int i = 0; i < art->width * art->height; ++i) artLit += nearTextColour(art->pixels[i]);
    EXPECT_EQ(artLit, 0);
}

}  // namespace
