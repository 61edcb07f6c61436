// The X11 frame window on a real (virtual) display: the child window inside a parent of
// ours, repaints of exposed areas, presses with their position, buttons and modifiers,
// presses held back during a drag's repaints, a parent that goes first, and parents that
// are not windows at all. Run under xvfb-run; XTest plays the user.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/frame_window.h"
#include "gui/frame_window_x11.h"

// Xlib names its key code type as the toolkit names its key record; Xlib's is renamed here.
#define KeyCode XlibKeyCode
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef KeyCode

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;
const Rect kViewRect(10, 8, 30, 20);

// Fills its rectangle red; records presses with what the context read of the pointer.
class PaintView : public View {
public:
    PaintView() : View(kViewRect) {}
    void draw(DrawContext* context) override {
        ++draws;
        context->setFillColor(kColorRed);
        context->fillRect(bounds());
    }
    void mouseDown(DrawContext* context, Point& where) override {
        ++presses;
        pressedAt = where;
        buttons = context->mouseButtons();
    }
    int draws = 0;
    int presses = 0;
    Point pressedAt;
    int buttons = 0;
};

// A server resets when its last client leaves, and refuses connections meanwhile; one
// connection held for the whole run keeps it up between the tests.
class KeepServerUp : public ::testing::Environment {
public:
    void SetUp() override { display_ = XOpenDisplay(nullptr); }
    void TearDown() override {
        if (display_) XCloseDisplay(display_);
        display_ = nullptr;
    }

private:
    Display* display_ = nullptr;
};
::testing::Environment* const keepServerUp = ::testing::AddGlobalTestEnvironment(new KeepServerUp);

class X11FrameWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "no X display: run under xvfb-run";
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor));
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        parent = XCreateWindow(display, DefaultRootWindow(display), 50, 40, 100, 80, 0, CopyFromParent, InputOutput,
                               CopyFromParent, CWOverrideRedirect, &attributes);
        XMapRaised(display, parent);
        XSync(display, False);
        setFrameWindowFactory(createX11FrameWindow);
    }
    void TearDown() override {
        frame.reset();
        if (display) {
            if (parent) XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
        setFrameWindowFactory(nullptr);
    }

    void openFrame() {
        frame = std::make_unique<Frame>(Rect(0, 0, kWidth, kHeight),
                                        reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent)), nullptr);
        view = new PaintView;
        frame->addView(view);
    }
    Window child() {
        Window root = 0, up = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, parent, &root, &up, &children, &count);
        Window first = count ? children[0] : 0;
        if (children) XFree(children);
        childCount = static_cast<int>(count);
        return first;
    }
    // Lets the server deliver what the test sent, then serves the frame as the editor's
    // idle does.
    void idle() {
        XSync(display, False);
        frame->updateDirtyViews();
    }
    std::uint32_t pixelAt(int x, int y) {
        XImage* image = XGetImage(display, child(), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0xFFFFFFFF;
        std::uint32_t value = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
        XDestroyImage(image);
        return value;
    }
    void movePointer(int x, int y) {
        XTestFakeMotionEvent(display, -1, 50 + x, 40 + y, CurrentTime);
        XSync(display, False);
    }

    Display* display = nullptr;
    Window parent = 0;
    std::unique_ptr<Frame> frame;
    PaintView* view = nullptr;
    int childCount = 0;
};

TEST_F(X11FrameWindowTest, ChildWindowOfTheFramesSizeLivesAsLongAsTheFrame) {
    openFrame();
    ASSERT_NE(frame->window(), nullptr);
    Window made = child();
    EXPECT_EQ(childCount, 1);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(frame->window()->nativeHandle()), made);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, made, &attributes);
    EXPECT_EQ(attributes.width, kWidth);
    EXPECT_EQ(attributes.height, kHeight);
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_EQ(x11FrameWindowCount(), 1);
    frame.reset();
    child();
    EXPECT_EQ(childCount, 0);
    EXPECT_EQ(x11FrameWindowCount(), 0);
}

TEST_F(X11FrameWindowTest, ExposureRepaintsThePanelAtTheNextIdle) {
    openFrame();
    EXPECT_TRUE(frame->isFirstDraw());
    idle();
    EXPECT_FALSE(frame->isFirstDraw());
    EXPECT_EQ(view->draws, 1);
    EXPECT_EQ(pixelAt(15, 10), 0xFF0000u);
    EXPECT_NE(pixelAt(2, 2), 0xFF0000u);
    // Damage from outside (here: cleared by the server) is painted again.
    XClearArea(display, child(), 0, 0, kWidth, kHeight, True);
    idle();
    EXPECT_EQ(view->draws, 2);
    EXPECT_EQ(pixelAt(15, 10), 0xFF0000u);
}

TEST_F(X11FrameWindowTest, PressArrivesWithItsPositionButtonsAndModifiers) {
    openFrame();
    idle();
    movePointer(17, 11);
    XlibKeyCode control = XKeysymToKeycode(display, XK_Control_L);
    XTestFakeKeyEvent(display, control, True, CurrentTime);
    XTestFakeButtonEvent(display, Button1, True, CurrentTime);
    idle();
    XTestFakeButtonEvent(display, Button1, False, CurrentTime);
    XTestFakeKeyEvent(display, control, False, CurrentTime);
    XSync(display, False);
    ASSERT_EQ(view->presses, 1);
    EXPECT_EQ(view->pressedAt, Point(17, 11));
    EXPECT_EQ(view->buttons, kButtonLeft | kModControl);
    Point where;
    frame->mouseLocation(where);
    EXPECT_EQ(where, Point(17, 11));
    EXPECT_EQ(frame->window()->origin(), Point(50, 40));
}

TEST_F(X11FrameWindowTest, RightButtonAndShiftAreReadAsSuch) {
    openFrame();
    idle();
    movePointer(12, 9);
    XlibKeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    XTestFakeKeyEvent(display, shift, True, CurrentTime);
    XTestFakeButtonEvent(display, Button3, True, CurrentTime);
    idle();
    XTestFakeButtonEvent(display, Button3, False, CurrentTime);
    XTestFakeKeyEvent(display, shift, False, CurrentTime);
    XSync(display, False);
    ASSERT_EQ(view->presses, 1);
    EXPECT_EQ(view->buttons, kButtonRight | kModShift);
    // Nothing pressed any more.
    DrawContext* context = frame->window()->createContext(frame.get());
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->mouseButtons(), 0);
    frame->window()->releaseContext(context);
}

TEST_F(X11FrameWindowTest, RepaintsDuringADragLeavePressesQueued) {
    openFrame();
    idle();
    XClearArea(display, child(), 0, 0, kWidth, kHeight, True);
    movePointer(20, 12);
    XTestFakeButtonEvent(display, Button1, True, CurrentTime);
    XTestFakeButtonEvent(display, Button1, False, CurrentTime);
    XSync(display, False);
    dispatchPendingFramePaints();
    EXPECT_EQ(view->draws, 2);
    EXPECT_EQ(view->presses, 0);
    idle();
    EXPECT_EQ(view->presses, 1);
}

TEST_F(X11FrameWindowTest, ParentDestroyedBeforeTheFrameEndsTheDrawing) {
    openFrame();
    idle();
    XDestroyWindow(display, parent);
    parent = 0;
    idle();
    EXPECT_FALSE(frame->isWindowOpen());
    frame->drawView(nullptr);  // nothing to draw into; must not reach the server
    frame.reset();             // and no error for the window that is gone
    EXPECT_EQ(x11FrameWindowCount(), 0);
}

TEST_F(X11FrameWindowTest, ParentThatIsNoWindowGivesNoWindow) {
    frame = std::make_unique<Frame>(Rect(0, 0, kWidth, kHeight), reinterpret_cast<void*>(std::uintptr_t(0x7ffffff)),
                                    nullptr);
    EXPECT_EQ(frame->window(), nullptr);
    EXPECT_EQ(x11FrameWindowCount(), 0);
    frame.reset();
    // The display still works for everyone else.
    openFrame();
    EXPECT_NE(frame->window(), nullptr);
}

TEST_F(X11FrameWindowTest, CursorsChangeWithoutErrors) {
    openFrame();
    for (int type = kCursorDefault; type <= kCursorSizeNWSE; ++type) frame->setCursor(type);
    frame->setCursor(99);
    frame->setCursor(kCursorDefault);
    idle();
    EXPECT_TRUE(frame->isWindowOpen());
}

}  // namespace
