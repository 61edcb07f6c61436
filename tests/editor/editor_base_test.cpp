#include <gtest/gtest.h>

#include <stdexcept>

#include "editor/editor_base.h"
#include "editor/panel_base.h"
#include "editor_test_support.h"
#include "gui/frame_owner.h"
#include "gui/geometry.h"

namespace {

class CountingPanel : public PanelBase {
public:
    using PanelBase::PanelBase;
    void update() override { ++updates; }
    void idle() override {
        ++idles;
        PanelBase::idle();
    }
    int updates = 0;
    int idles = 0;
};

struct BaseRig {
    FakeClock clock;
    RecordingHost host;
    PlainEffect effect{host.callback()};
    CountingPanel* panel = new CountingPanel(effect);     // owned by the editor
    EditorBase* editor = new EditorBase(&effect, panel);  // owned by the effect

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
        return effect.record.dispatcher(&effect.record, opcode, index, value, ptr, 0.0f);
    }
    int hostIdles() const { return int(host.callsOf(audioMasterIdle).size()); }
};

TEST(EditorBaseSetup, RegistersWithTheEffectAndKeepsOtherFlags) {
    FakeClock clock;
    RecordingHost host;
    PlainEffect effect(host.callback());
    effect.record.flags = effFlagsCanReplacing | effFlagsHasVu;
    auto* panel = new CountingPanel(effect);
    auto* editor = new EditorBase(&effect, panel);
    EXPECT_EQ(effect.editor, editor);
    EXPECT_EQ(editor->panel(), panel);
    EXPECT_EQ(effect.record.flags, effFlagsCanReplacing | effFlagsHasVu | effFlagsHasEditor);
    EXPECT_EQ(panel->getFrame(), nullptr);
    EXPECT_EQ(panel->getParentWindow(), nullptr);
    EXPECT_FALSE(panel->isUpdateRequested());
    EXPECT_EQ(clock.oleStarts, 1);
    EXPECT_EQ(clock.oleStops, 0);
}

class ThrowingEditor : public EditorBase {
public:
    explicit ThrowingEditor(PlainEffect* effect) : EditorBase(effect, new CountingPanel(*effect)) {
        throw std::runtime_error("no");
    }
};

TEST(EditorBaseSetup, AFailedDerivedConstructionLeavesNoDanglingEditor) {
    FakeClock clock;
    RecordingHost host;
    PlainEffect effect(host.callback());
    EXPECT_THROW(new ThrowingEditor(&effect), std::runtime_error);
    EXPECT_EQ(effect.editor, nullptr);  // the effect's destructor must not delete it again
}

TEST(EditorBaseRequests, GetRectGivesTheSizeRecordAndAnswersOne) {
    BaseRig rig;
    ERect* where = nullptr;
    EXPECT_EQ(rig.dispatch(effEditGetRect, 0, 0, &where), 1);
    ERect* own = nullptr;
    rig.editor->getRect(&own);
    EXPECT_EQ(where, own);
    EXPECT_NE(where, nullptr);
    EXPECT_EQ(rig.editor->getRect(nullptr), 0);
}

TEST(EditorBaseRequests, KeysWheelAndDrawWhileClosed) {
    BaseRig rig;
    VstKeyCode key{0, kArrowUp, 0};
    EXPECT_EQ(rig.dispatch(effEditKeyDown, 'a', kArrowUp, nullptr), -1);
    EXPECT_EQ(rig.dispatch(effEditKeyUp, 'a', kArrowUp, nullptr), -1);
    EXPECT_EQ(rig.editor->keyDown(key), -1);
    EXPECT_EQ(rig.editor->keyUp(key), -1);
    EXPECT_FALSE(rig.editor->wheel(1.0f));
    rig.editor->draw(nullptr);  // nothing to draw, and no crash
}

TEST(EditorBaseRequests, KnobModeIsStoredProcessWide) {
    BaseRig rig;
    EXPECT_EQ(rig.dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(currentKnobMode(), 2);
    EXPECT_EQ(rig.editor->setKnobMode(-7), 1);
    EXPECT_EQ(currentKnobMode(), -7);
    rig.editor->setKnobMode(0);
}

TEST(EditorBaseRequests, OpenStoresTheParentAndRequestsAnUpdate) {
    BaseRig rig;
    int window = 0;
    EXPECT_EQ(rig.dispatch(effEditOpen, 0, 0, &window), 0);
    EXPECT_EQ(rig.panel->getParentWindow(), &window);
    EXPECT_EQ(rig.editor->lastParent(), &window);
    EXPECT_TRUE(rig.panel->isUpdateRequested());
    rig.dispatch(effEditClose);
    EXPECT_EQ(rig.panel->getParentWindow(), &window);
}

TEST(EditorBaseRequests, EditBracketsReachTheHostWithTheTag) {
    BaseRig rig;
    FrameOwner& owner = *rig.panel;
    owner.beginEdit(5);
    owner.endEdit(5);
    ASSERT_EQ(rig.host.callsOf(audioMasterBeginEdit).size(), 1u);
    ASSERT_EQ(rig.host.callsOf(audioMasterEndEdit).size(), 1u);
    EXPECT_EQ(rig.host.callsOf(audioMasterBeginEdit)[0].index, 5);
    EXPECT_EQ(rig.host.callsOf(audioMasterEndEdit)[0].index, 5);
}

TEST(EditorBaseUpdate, SetParameterOnlyMarksAndTheNextIdleUpdatesOnce) {
    BaseRig rig;
    rig.editor->setParameter(2, 0.5f);
    rig.editor->setParameter(3, 0.5f);
    EXPECT_TRUE(rig.panel->isUpdateRequested());
    EXPECT_EQ(rig.panel->updates, 0);
    rig.dispatch(effEditIdle);
    EXPECT_EQ(rig.panel->updates, 1);
    EXPECT_FALSE(rig.panel->isUpdateRequested());
    rig.dispatch(effEditIdle);
    EXPECT_EQ(rig.panel->updates, 1);
}

TEST(EditorBaseUpdate, IdleFromInsideTheHostIdleCallbackDoesNothing) {
    BaseRig rig;
    int updatesInside = -1;
    rig.host.onIdle = [&](AEffect* record) {
        rig.editor->requestUpdate();
        record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0.0f);
        updatesInside = rig.panel->updates;
    };
    rig.editor->requestUpdate();
    rig.panel->idlePump();  // its own idle runs the first update
    EXPECT_EQ(updatesInside, 1);
    EXPECT_TRUE(rig.panel->isUpdateRequested());  // left for the next idle outside
    EXPECT_FALSE(rig.panel->insideHostIdle());
    rig.dispatch(effEditIdle);
    EXPECT_EQ(rig.panel->updates, 2);
}

TEST(EditorBaseUpdate, ANestedPumpDoesNotEndTheOuterGuard) {
    BaseRig rig;
    int depth = 0;
    bool guardedAfterInner = false;
    rig.host.onIdle = [&](AEffect*) {
        if (++depth == 1) {
            rig.clock.advance(500);
            rig.panel->idlePump();  // a drag started by the host's own message loop
            guardedAfterInner = rig.panel->insideHostIdle();
        }
    };
    rig.panel->idlePump();
    EXPECT_EQ(depth, 2);
    EXPECT_TRUE(guardedAfterInner);
    EXPECT_FALSE(rig.panel->insideHostIdle());
}

TEST(EditorBasePump, EarlyCallsSleepFourAndReturn) {
    BaseRig rig;
    rig.panel->idlePump();
    rig.clock.advance(10);
    rig.panel->idlePump();
    EXPECT_EQ(rig.clock.sleeps, std::vector<std::uint32_t>{4});
    EXPECT_EQ(rig.panel->idles, 1);
    EXPECT_EQ(rig.clock.paints, 1);
    EXPECT_EQ(rig.hostIdles(), 1);
}

TEST(EditorBasePump, FiftyMillisecondsLaterRunsTheNextPass) {
    BaseRig rig;
    std::uint32_t start = rig.clock.now;
    rig.panel->idlePump();
    rig.clock.now = start + 50;
    rig.panel->idlePump();
    EXPECT_EQ(rig.clock.sleeps, std::vector<std::uint32_t>{4});
    EXPECT_EQ(rig.panel->idles, 2);
    EXPECT_EQ(rig.clock.paints, 2);
    EXPECT_EQ(rig.hostIdles(), 2);
}

TEST(EditorBasePump, PassesAreFortySixMillisecondsApart) {
    BaseRig rig;
    std::uint32_t start = rig.clock.now;
    rig.panel->idlePump();
    rig.clock.now = start + 45;
    rig.panel->idlePump();
    EXPECT_EQ(rig.panel->idles, 1);
    rig.clock.now = start + 46;
    rig.panel->idlePump();
    EXPECT_EQ(rig.panel->idles, 2);
    // The second pass counts from the tick after its sleep: 50 + 46 later.
    rig.clock.now = start + 50 + 45;
    rig.panel->idlePump();
    EXPECT_EQ(rig.panel->idles, 2);
    rig.clock.now = start + 50 + 46;
    rig.panel->idlePump();
    EXPECT_EQ(rig.panel->idles, 3);
}

}  // namespace
