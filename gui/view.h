// Base of everything shown in the editor window: a reference-counted rectangle that draws
// itself, can be marked dirty and receives presses, keys, wheel turns and drops.
#pragma once

#include "gui/geometry.h"

class DrawContext;
class Frame;
class FrameOwner;

class View {
public:
    explicit View(const Rect& size);

    // Declaration order of the virtual operations is fixed; keep it.
    virtual ~View();
    virtual void draw(DrawContext* context);
    virtual void drawInRect(DrawContext* context, const Rect& updateRect);
    virtual bool intersects(const Rect& rect);
    virtual void mouseDown(DrawContext* context, Point& where);
    virtual void redrawIfDirty(DrawContext* context);
    virtual int notifyHook(void* first, void* second);
    virtual int keyDown(KeyCode* key);
    virtual int keyUp(KeyCode* key);
    virtual bool acceptDrop(void** items, int count, int kind, Point where);
    virtual bool wheel(DrawContext* context, const Point& where, float distance);
    virtual void focusLost(DrawContext* context);
    virtual void focusGained(DrawContext* context);
    virtual bool isDirty();
    virtual void setDirty(bool flag = true);
    virtual void setMouseEnabled(bool flag = true);
    virtual bool isMouseEnabled();
    virtual void setMouseArea(const Rect& rect);
    virtual Rect& getMouseArea(Rect& rect);
    virtual bool hitTest(const Point& where, int buttons = -1);
    virtual void setTransparent(bool flag);
    virtual bool isTransparent();
    virtual void setBounds(const Rect& rect);
    virtual Rect& getBounds(Rect& rect);
    virtual void setParentView(View* parent);
    virtual void setFrame(Frame* frame);
    virtual FrameOwner* getEditor();
    virtual bool detached(View* parent);
    virtual bool attached(View* parent);
    virtual void release();
    virtual void retain();
    virtual int retainCount();

    // Draws the view at once through its frame; nothing without a frame.
    void redraw();

    const Rect& bounds() const { return size_; }
    Frame* getFrame() const { return frame_; }
    View* getParentView() const { return parentView_; }

protected:
    int refCount_ = 1;
    Rect size_;
    Rect mouseArea_;
    Frame* frame_ = nullptr;
    View* parentView_ = nullptr;
    bool dirty_ = false;
    bool mouseEnabled_ = true;
    bool transparent_ = false;
};
