#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui_test_support.h"

namespace {

using Log = std::vector<std::string>;

class ProbeView : public View {
public:
    ProbeView(const char* name, const Rect& r, Log* log, bool* destroyed = nullptr)
        : View(r), name_(name), log_(log), destroyed_(destroyed) {}
    ~ProbeView() override {
        if (destroyed_) *destroyed_ = true;
    }
    void draw(DrawContext* context) override {
        note("draw");
        View::draw(context);
    }
    void drawInRect(DrawContext* context, const Rect& r) override {
        note("drawInRect");
        View::drawInRect(context, r);
    }
    void mouseDown(DrawContext*, Point& where) override {
        note("press " + std::to_string(where.h) + "," + std::to_string(where.v));
    }
    int keyDown(KeyCode*) override {
        note("key");
        return keyAnswer;
    }
    int keyUp(KeyCode*) override { return keyAnswer; }
    bool acceptDrop(void**, int, int, Point) override {
        note("drop");
        return dropAnswer;
    }
    bool wheel(DrawContext* context, const Point& where, float distance) override {
        note("wheel " + std::to_string(where.h) + "," + std::to_string(where.v) + " " + std::to_string(int(distance)));
        wheelContext = context;
        return true;
    }
    void focusLost(DrawContext*) override { note("focusLost"); }
    bool attached(View*) override {
        note("attached");
        return true;
    }
    bool detached(View*) override {
        note("detached");
        return true;
    }

    int keyAnswer = -1;
    bool dropAnswer = false;
    DrawContext* wheelContext = nullptr;

private:
    void note(const std::string& what) {
        if (log_) log_->push_back(name_ + " " + what);
    }
    std::string name_;
    Log* log_;
    bool* destroyed_;
};

// A frame on a test window, already painted once so idle redraws are allowed.
struct WindowedFrame {
    WindowedFrame() : frame(Rect(0, 0, 100, 80), nullptr, &editor) {
        window = new TestWindow(100, 80);
        frame.setWindow(window);
    }
    void paint(const Rect& r = Rect(0, 0, 100, 80)) {
        DrawContext* context = window->createContext(&frame);
        frame.drawInRect(context, r);
        window->releaseContext(context);
    }
    void press(int x, int y, int buttons = kButtonLeft) {
        window->script().play({{buttons, x, y}});
        DrawContext* context = window->createContext(&frame);
        Point where(x, y);
        frame.mouseDown(context, where);
        window->releaseContext(context);
    }
    RecordingEditor editor;
    Frame frame;
    TestWindow* window;
};

}  // namespace

TEST(FrameRouting, TopmostViewTakesThePressEvenIfItIgnoresIt) {
    Log log;
    WindowedFrame f;
    f.frame.addView(new ProbeView("low", Rect(10, 10, 50, 50), &log));
    f.frame.addView(new ProbeView("high", Rect(30, 30, 70, 70), &log));
    log.clear();
    f.press(40, 40);
    EXPECT_EQ(log, (Log{"high press 40,40"}));
    log.clear();
    f.press(20, 20);
    EXPECT_EQ(log, (Log{"low press 20,20"}));
    log.clear();
    f.press(90, 5);
    EXPECT_TRUE(log.empty());
}

TEST(FrameRouting, EdgesAreInside) {
    Log log;
    WindowedFrame f;
    f.frame.addView(new ProbeView("v", Rect(10, 10, 20, 20), &log));
    log.clear();
    f.press(20, 20);
    f.press(10, 10);
    f.press(21, 15);
    EXPECT_EQ(log, (Log{"v press 20,20", "v press 10,10"}));
}

TEST(FrameRouting, DisabledViewsAreSkippedButCanBeUnderTheMouse) {
    Log log;
    WindowedFrame f;
    auto* low = new ProbeView("low", Rect(0, 0, 50, 50), &log);
    auto* high = new ProbeView("high", Rect(0, 0, 50, 50), &log);
    f.frame.addView(low);
    f.frame.addView(high);
    high->setMouseEnabled(false);
    high->dropAnswer = true;
    log.clear();
    f.press(5, 5);
    EXPECT_EQ(log, (Log{"low press 5,5"}));

    f.window->script().play({{0, 5, 5}});
    EXPECT_EQ(f.frame.viewUnderMouse(), high);
    log.clear();
    EXPECT_FALSE(f.frame.acceptDrop(nullptr, 0, kDropText, Point(5, 5)));
    EXPECT_EQ(log, (Log{"low drop"}));  // the disabled view is never asked
}

TEST(FrameRouting, ModalViewBlocksPressesAndIsAlwaysDirty) {
    Log log;
    WindowedFrame f;
    f.frame.addView(new ProbeView("v", Rect(0, 0, 50, 50), &log));
    ProbeView modal("modal", Rect(60, 60, 80, 80), &log);
    modal.retain();  // owned by the test
    EXPECT_FALSE(f.frame.hasDirtyView());
    ASSERT_TRUE(f.frame.setModalView(&modal));
    EXPECT_TRUE(f.frame.hasDirtyView());
    ProbeView other("other", Rect(0, 0, 1, 1), &log);
    other.retain();
    EXPECT_FALSE(f.frame.setModalView(&other));
    EXPECT_EQ(f.frame.getModalView(), &modal);
    log.clear();
    f.press(10, 10);
    EXPECT_TRUE(log.empty());
    f.press(70, 70);
    EXPECT_EQ(log, (Log{"modal press 70,70"}));
    EXPECT_EQ(f.frame.viewUnderMouse(), &modal);
    log.clear();
    EXPECT_TRUE(f.frame.setModalView(nullptr));
    EXPECT_EQ(log, (Log{"modal detached"}));
}

TEST(FrameRouting, FocusIsLostAtTheNextPress) {
    Log log;
    WindowedFrame f;
    auto* v = new ProbeView("v", Rect(0, 0, 10, 10), &log);
    f.frame.addView(v);
    f.frame.setFocusView(v);
    log.clear();
    f.frame.setFocusView(v);  // the same view loses and keeps it
    EXPECT_EQ(log, (Log{"v focusLost"}));
    log.clear();
    f.press(50, 50);
    EXPECT_EQ(log, (Log{"v focusLost"}));
    EXPECT_EQ(f.frame.getFocusView(), nullptr);
}

TEST(FrameRouting, KeysGoToFocusThenModalThenTopDown) {
    Log log;
    Frame frame(Rect(0, 0, 10, 10), nullptr, nullptr);
    KeyCode key{0, kArrowRight, 0};
    EXPECT_EQ(frame.keyDown(&key), -1);
    EXPECT_EQ(frame.keyUp(&key), -1);
    auto* a = new ProbeView("a", Rect(), &log);
    auto* b = new ProbeView("b", Rect(), &log);
    frame.addView(a);
    frame.addView(b);
    a->keyAnswer = 1;
    log.clear();
    EXPECT_EQ(frame.keyDown(&key), 1);
    EXPECT_EQ(log, (Log{"b key", "a key"}));
    frame.setFocusView(b);
    b->keyAnswer = 7;
    log.clear();
    EXPECT_EQ(frame.keyDown(&key), 7);
    EXPECT_EQ(log, (Log{"b key"}));
    EXPECT_EQ(frame.keyUp(&key), 7);
}

TEST(FrameRouting, DropsAreRefusedWhileModalOrFocused) {
    Log log;
    Frame frame(Rect(0, 0, 100, 100), nullptr, nullptr);
    auto* low = new ProbeView("low", Rect(0, 0, 50, 50), &log);
    auto* high = new ProbeView("high", Rect(0, 0, 50, 50), &log);
    frame.addView(low);
    frame.addView(high);
    low->dropAnswer = true;
    log.clear();
    EXPECT_TRUE(frame.acceptDrop(nullptr, 1, kDropFiles, Point(50, 50)));
    EXPECT_EQ(log, (Log{"high drop", "low drop"}));  // a refusal lets the walk go on
    log.clear();
    EXPECT_FALSE(frame.acceptDrop(nullptr, 1, kDropFiles, Point(51, 50)));
    frame.setFocusView(high);
    EXPECT_FALSE(frame.acceptDrop(nullptr, 1, kDropFiles, Point(5, 5)));
    EXPECT_TRUE(log.empty());
}

TEST(FrameRouting, WheelGoesToTheViewUnderTheCursorWithItsPosition) {
    Log log;
    WindowedFrame f;
    auto* v = new ProbeView("v", Rect(10, 10, 30, 30), &log);
    f.frame.addView(v);
    f.window->script().play({{0, 12, 25}});
    log.clear();
    EXPECT_TRUE(f.frame.wheel(nullptr, Point(99, 99), 2.0f));
    EXPECT_EQ(log, (Log{"v wheel 12,25 2"}));
    EXPECT_NE(v->wheelContext, nullptr);
    EXPECT_EQ(f.window->contextsMade, f.window->contextsReleased);
    f.window->script().play({{0, 50, 50}});
    EXPECT_FALSE(f.frame.wheel(nullptr, Point(15, 15), 1.0f));
}

TEST(FrameList, GrowsByTwentyAndKeepsOrder) {
    Frame frame(Rect(0, 0, 10, 10), nullptr, nullptr);
    std::vector<View*> views;
    for (int i = 0; i < 21; ++i) {
        views.push_back(new ProbeView("v", Rect(), nullptr));
        ASSERT_TRUE(frame.addView(views.back()));
        EXPECT_EQ(frame.viewCapacity(), i < 20 ? 20 : 40);
    }
    ASSERT_EQ(frame.viewCount(), 21);
    for (int i = 0; i < 21; ++i) EXPECT_EQ(frame.viewAt(i), views[i]);
    EXPECT_EQ(frame.viewAt(-1), nullptr);
    EXPECT_EQ(frame.viewAt(21), nullptr);
    EXPECT_EQ(views[0]->getFrame(), &frame);
}

TEST(FrameList, RemovingKeepsOrderAndReleasesOnRequest) {
    Log log;
    bool destroyed = false;
    Frame frame(Rect(0, 0, 10, 10), nullptr, nullptr);
    auto* a = new ProbeView("a", Rect(), &log);
    auto* b = new ProbeView("b", Rect(), &log, &destroyed);
    auto* c = new ProbeView("c", Rect(), &log);
    frame.addView(a);
    frame.addView(b);
    frame.addView(c);
    EXPECT_EQ(log, (Log{"a attached", "b attached", "c attached"}));
    EXPECT_EQ(b->retainCount(), 1);  // the frame took over the creator's reference
    log.clear();
    EXPECT_TRUE(frame.removeView(b, true));
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(frame.viewCount(), 2);
    EXPECT_EQ(frame.viewAt(0), a);
    EXPECT_EQ(frame.viewAt(1), c);
    EXPECT_FALSE(frame.isChild(b));
    ProbeView stranger("s", Rect(), &log);
    EXPECT_TRUE(frame.removeView(&stranger, true));
    EXPECT_EQ(stranger.retainCount(), 1);
    EXPECT_EQ(log, (Log{"b detached"}));
}

TEST(FrameList, RemovedFocusViewIsForgotten) {
    Log log;
    WindowedFrame f;
    auto* v = new ProbeView("v", Rect(0, 0, 10, 10), &log);
    f.frame.addView(v);
    f.frame.setFocusView(v);
    f.frame.removeView(v, true);
    EXPECT_EQ(f.frame.getFocusView(), nullptr);
    f.press(5, 5);  // must not touch the freed view
}

TEST(FrameList, RemoveAllDropsFocusDetachesAndEmpties) {
    Log log;
    bool destroyed = false;
    Frame frame(Rect(0, 0, 10, 10), nullptr, nullptr);
    auto* a = new ProbeView("a", Rect(), &log, &destroyed);
    auto* b = new ProbeView("b", Rect(), &log);
    frame.addView(a);
    frame.addView(b);
    b->retain();
    frame.setFocusView(b);
    log.clear();
    frame.removeAll(true);
    EXPECT_EQ(log, (Log{"b focusLost", "a detached", "b detached"}));
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(b->retainCount(), 1);
    EXPECT_EQ(frame.viewCount(), 0);
    EXPECT_EQ(frame.viewCapacity(), 0);
    b->release();
}

TEST(FrameDrawing, OrderIsBackgroundViewsThenModal) {
    installTestImages();
    Log log;
    WindowedFrame f;
    Bitmap* background = new Bitmap(kTestGradient);
    f.frame.setBackground(background);
    EXPECT_EQ(background->retainCount(), 2);
    background->release();
    ProbeView modal("modal", Rect(0, 0, 5, 5), &log);
    modal.retain();
    f.frame.addView(new ProbeView("a", Rect(0, 0, 5, 5), &log));
    f.frame.addView(new ProbeView("b", Rect(0, 0, 5, 5), &log));
    f.frame.setModalView(&modal);
    log.clear();
    f.frame.drawView(nullptr);
    EXPECT_EQ(log, (Log{"a draw", "b draw", "modal draw"}));
    EXPECT_EQ(f.window->pixel(63, 63), gradientPixel(63, 63));
    EXPECT_EQ(f.window->pixel(64, 0), 0u);
    f.frame.setModalView(nullptr);
}

TEST(FrameDrawing, PaintRepairsOnlyTheDamagedRect) {
    installTestImages();
    Log log;
    WindowedFrame f;
    Bitmap* background = new Bitmap(kTestGradient);
    f.frame.setBackground(background);
    background->release();
    f.frame.addView(new ProbeView("inside", Rect(10, 10, 20, 20), &log));
    f.frame.addView(new ProbeView("touching", Rect(30, 30, 40, 40), &log));
    f.frame.addView(new ProbeView("outside", Rect(31, 31, 40, 40), &log));
    EXPECT_TRUE(f.frame.isFirstDraw());
    log.clear();
    f.paint(Rect(5, 5, 30, 30));
    EXPECT_FALSE(f.frame.isFirstDraw());
    EXPECT_EQ(log, (Log{"inside drawInRect", "inside draw", "touching drawInRect", "touching draw"}));
    EXPECT_EQ(f.window->pixel(5, 5), gradientPixel(5, 5));  // in place
    EXPECT_EQ(f.window->pixel(29, 29), gradientPixel(29, 29));
    EXPECT_EQ(f.window->pixel(30, 30), 0u);
    EXPECT_EQ(f.window->pixel(4, 5), 0u);
}

TEST(FrameDrawing, IdleRedrawWaitsForFirstPaintAndTouchesOnlyDirtyViews) {
    Log log;
    WindowedFrame f;
    auto* a = new ProbeView("a", Rect(0, 0, 5, 5), &log);
    auto* b = new ProbeView("b", Rect(0, 0, 5, 5), &log);
    f.frame.addView(a);
    f.frame.addView(b);
    b->setDirty(true);
    log.clear();
    f.frame.updateDirtyViews();
    EXPECT_TRUE(log.empty());  // nothing before the first paint
    EXPECT_EQ(f.window->contextsMade, 0);

    f.paint(Rect(90, 90, 99, 99));
    log.clear();
    f.frame.updateDirtyViews();
    EXPECT_EQ(log, (Log{"b draw"}));
    EXPECT_FALSE(b->isDirty());

    int made = f.window->contextsMade;
    f.frame.updateDirtyViews();  // nothing dirty: no context at all
    EXPECT_EQ(f.window->contextsMade, made);

    f.frame.setDirty(true);
    log.clear();
    f.frame.updateDirtyViews();
    EXPECT_EQ(log, (Log{"a draw", "b draw"}));
    EXPECT_FALSE(f.frame.hasDirtyView());

    a->setDirty(true);
    f.frame.windowDestroyed();
    log.clear();
    f.frame.updateDirtyViews();
    f.frame.redrawIfDirty(nullptr);
    EXPECT_TRUE(log.empty());
}

TEST(FrameDrawing, ImmediateRedrawOfOneView) {
    Log log;
    WindowedFrame f;
    auto* a = new ProbeView("a", Rect(0, 0, 5, 5), &log);
    auto* b = new ProbeView("b", Rect(0, 0, 5, 5), &log);
    f.frame.addView(a);
    f.frame.addView(b);
    log.clear();
    b->redraw();
    EXPECT_EQ(log, (Log{"b draw"}));
    ProbeView stray("stray", Rect(), &log);
    log.clear();
    f.frame.drawView(&stray);  // not listed: everything
    EXPECT_EQ(log, (Log{"a draw", "b draw"}));
    EXPECT_EQ(f.window->contextsMade, f.window->contextsReleased);

    Frame windowless(Rect(0, 0, 10, 10), nullptr, nullptr);
    auto* lone = new ProbeView("lone", Rect(), &log);
    windowless.addView(lone);
    log.clear();
    lone->redraw();
    windowless.updateDirtyViews();
    EXPECT_TRUE(log.empty());
}

TEST(FrameOwnerRequests, EditBracketsIdleAndKnobMode) {
    RecordingEditor editor;
    Frame frame(Rect(0, 0, 10, 10), nullptr, &editor);
    frame.beginEdit(3);
    frame.endEdit(3);
    frame.doIdle();
    EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 3", "end 3"}));
    EXPECT_EQ(editor.idleCalls, 1);
    EXPECT_EQ(frame.getEditor(), &editor);
    ProbeView* v = new ProbeView("v", Rect(), nullptr);
    EXPECT_EQ(v->getEditor(), nullptr);
    frame.addView(v);
    EXPECT_EQ(v->getEditor(), &editor);
    setKnobMode(2);
    EXPECT_EQ(frame.knobMode(), 2);
    setKnobMode(0);

    Frame lonely(Rect(0, 0, 10, 10), nullptr, nullptr);
    lonely.beginEdit(1);  // no editor: nothing happens
    lonely.doIdle();
    EXPECT_FALSE(lonely.setDropEnabled(true));
    EXPECT_TRUE(lonely.setDropEnabled(false));
}

TEST(FrameLifecycle, DestructionReleasesViewsAndTearsDownTheWindow) {
    installTestImages();
    bool viewGone = false, windowGone = false;
    Log events;
    Bitmap* background = new Bitmap(kTestGradient);
    background->retain();
    TestWindow* window;
    {
        RecordingEditor editor;
        Frame frame(Rect(0, 0, 10, 10), nullptr, &editor);
        window = new TestWindow(10, 10);
        window->destroyedFlag = &windowGone;
        window->events = &events;
        frame.setWindow(window);
        EXPECT_TRUE(frame.setDropEnabled(true));
        frame.setBackground(background);
        frame.addView(new ProbeView("v", Rect(), nullptr, &viewGone));
        EXPECT_EQ(background->retainCount(), 3);
        events.clear();
    }
    EXPECT_EQ(events, (Log{"cursor 0", "drops off", "detach", "destroyed"}));
    EXPECT_TRUE(viewGone);
    EXPECT_TRUE(windowGone);
    EXPECT_EQ(background->retainCount(), 2);
    background->release();
    background->release();
}

namespace {
TestWindow* lastMade = nullptr;
FrameWindow* makeTestWindow(Frame*, void*, const Rect& size) {
    lastMade = new TestWindow(size.width(), size.height());
    return lastMade;
}
}  // namespace

TEST(FrameLifecycle, ParentWindowGoesThroughTheInstalledFactory) {
    int parent = 0;
    {
        Frame none(Rect(0, 0, 10, 10), &parent, nullptr);
        EXPECT_EQ(none.window(), nullptr);  // no factory installed
    }
    setFrameWindowFactory(makeTestWindow);
    {
        Frame frame(Rect(0, 0, 30, 20), &parent, nullptr);
        ASSERT_EQ(frame.window(), lastMade);
        EXPECT_EQ(lastMade->dropCalls, (std::vector<bool>{true}));
        Frame windowless(Rect(0, 0, 30, 20), nullptr, nullptr);
        EXPECT_EQ(windowless.window(), nullptr);
    }
    setFrameWindowFactory(nullptr);
}

TEST(ViewBase, DefaultsAndReferenceCounting) {
    bool destroyed = false;
    auto* v = new ProbeView("v", Rect(10, 10, 20, 20), nullptr, &destroyed);
    EXPECT_FALSE(v->isDirty());
    EXPECT_TRUE(v->isMouseEnabled());
    EXPECT_FALSE(v->isTransparent());
    Rect area;
    EXPECT_EQ(v->getMouseArea(area), Rect(10, 10, 20, 20));
    v->setBounds(Rect(0, 0, 4, 4));
    EXPECT_TRUE(v->isDirty());
    EXPECT_TRUE(v->intersects(Rect(4, 4, 9, 9)));  // touching corners overlap
    EXPECT_FALSE(v->intersects(Rect(5, 0, 9, 9)));
    EXPECT_TRUE(v->hitTest(Point(4, 0)));
    EXPECT_FALSE(v->hitTest(Point(5, 0)));
    EXPECT_EQ(v->View::keyDown(nullptr), -1);
    EXPECT_EQ(v->notifyHook(nullptr, nullptr), 0);
    v->retain();
    v->release();
    EXPECT_FALSE(destroyed);
    v->release();
    EXPECT_TRUE(destroyed);
}
