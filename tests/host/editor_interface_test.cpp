#include <gtest/gtest.h>

#include "host/editor_interface.h"

namespace {

class CountingEditor : public EditorInterface {
public:
    void update() override { ++updates; }
    int updates = 0;
};

TEST(EditorInterface, DefaultsAreInert) {
    CountingEditor editor;
    ERect dummy{};
    ERect* rect = &dummy;
    EXPECT_EQ(editor.getRect(&rect), 0);
    EXPECT_EQ(rect, nullptr);
    EXPECT_EQ(editor.getRect(nullptr), 0);

    int window = 0;
    EXPECT_EQ(editor.lastParent(), nullptr);
    EXPECT_EQ(editor.open(&window), 0);
    EXPECT_EQ(editor.lastParent(), &window);

    VstKeyCode key{'x', 0, 0};
    EXPECT_EQ(editor.keyDown(key), -1);
    EXPECT_EQ(editor.keyUp(key), -1);
    EXPECT_EQ(editor.setKnobMode(2), 0);
    EXPECT_FALSE(editor.wheel(1.0f));
}

TEST(EditorInterface, IdleUpdatesOnceAfterARequest) {
    CountingEditor editor;
    editor.idle();
    EXPECT_EQ(editor.updates, 0);
    editor.requestUpdate();
    editor.requestUpdate();
    editor.idle();
    editor.idle();
    EXPECT_EQ(editor.updates, 1);
}

}  // namespace
