// Root of the editor's user interface: a flat list of views over a background bitmap, an
// optional modal and focus view, and the routing of paints, presses, keys, wheel and drops.
#pragma once

#include "gui/view.h"

class Bitmap;
class DrawContext;
class FrameOwner;
class FrameWindow;

class Frame : public View {
public:
    // With a parent window the installed window factory makes the child window; without
    // one (or without a factory) the frame manages its views but draws nothing.
    // size is in panel units; the window is made scale times as large.
    Frame(const Rect& size, void* parentWindow, FrameOwner* editor, double scale = 1.0);
    ~Frame() override;

    void draw(DrawContext* context) override;
    void drawInRect(DrawContext* context, const Rect& updateRect) override;
    void mouseDown(DrawContext* context, Point& where) override;
    void redrawIfDirty(DrawContext* context) override;
    int keyDown(KeyCode* key) override;
    int keyUp(KeyCode* key) override;
    bool acceptDrop(void** items, int count, int kind, Point where) override;
    bool wheel(DrawContext* context, const Point& where, float distance) override;
    FrameOwner* getEditor() override;

    virtual bool addView(View* view);
    virtual bool removeView(View* view, bool withRelease = false);
    virtual bool removeAll(bool withRelease = true);
    virtual bool isChild(View* view);
    virtual int viewCount();
    virtual View* viewAt(int index);

    void setBackground(Bitmap* bitmap);
    Bitmap* getBackground() const { return background_; }
    bool setModalView(View* view);
    View* getModalView() const { return modalView_; }
    void setFocusView(View* view);
    View* getFocusView() const { return focusView_; }
    void drawView(View* view);
    void updateDirtyViews();
    bool hasDirtyView();
    View* viewUnderMouse();

    void beginEdit(int index);
    void endEdit(int index);
    void doIdle();
    int knobMode() const;
    void setCursor(int type);
    bool setDropEnabled(bool enabled);
    bool mouseLocation(Point& where);

    // Device pixels per panel unit. Views, hit tests and the mouse all stay in units; a
    // change resizes the window and redraws everything.
    double scale() const { return scale_; }
    void setScale(double scale);
    // The window's size in device pixels.
    int deviceWidth() const;
    int deviceHeight() const;

    // Window layer hooks. setWindow hands over (and replaces) the window; the frame deletes
    // it at destruction. windowDestroyed stops all drawing for good.
    void setWindow(FrameWindow* window);
    FrameWindow* window() const { return window_; }
    void windowDestroyed();
    bool isWindowOpen() const { return windowOpen_; }
    bool isFirstDraw() const { return firstDraw_; }
    int viewCapacity() const { return capacity_; }
    void* parentWindow() const { return parentWindow_; }

private:
    DrawContext* makeContext();
    void dropContext(DrawContext* context);
    void forget(View* view);
    Point toUnits(Point device) const;
    Rect toUnits(const Rect& device) const;

    FrameOwner* editor_;
    void* parentWindow_;
    Bitmap* background_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
    View** views_ = nullptr;
    View* modalView_ = nullptr;
    View* focusView_ = nullptr;
    bool firstDraw_ = true;
    bool windowOpen_ = true;
    bool dropsRegistered_ = false;
    FrameWindow* window_ = nullptr;
    void* platform_ = nullptr;
    double scale_ = 1.0;
};
