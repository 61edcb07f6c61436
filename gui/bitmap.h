// A reference-counted image loaded from the library's bitmap resources by numeric id.
#pragma once

#include "gui/geometry.h"

class DrawContext;

class Bitmap {
public:
    // Only the low 16 bits of the id select the resource. A failed load gives 0 x 0.
    explicit Bitmap(int resourceId);
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    void retain() { ++refCount_; }
    // At 0 the bitmap frees itself; at 0 or below further calls do nothing.
    void release();
    int retainCount() const { return refCount_; }

    void setTransparentColor(Color color) { transparentColor_ = color; }
    Color transparentColor() const { return transparentColor_; }

    // Opaque copy of the part at offset into rect. Both are in panel units: at a scale the
    // image comes from the nearest set at least as large, drawn down smoothly if need be.
    void draw(DrawContext* context, const Rect& rect, Point offset = Point());
    // The same with pixels exactly equal to the transparent colour left out.
    void drawTransparent(DrawContext* context, const Rect& rect, Point offset = Point());

    int resourceId() const { return resourceId_; }
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    bool isLoaded() const { return image_ != nullptr; }
    void* platformImage() const { return image_; }

    // The set a scale draws from, by percent: 100 at 1, else the smallest set at least as
    // large that the binary has (the largest beyond 200 %).
    int setPercentFor(double scale);

    // The sets kept beside the 100 % image, by percent; decoded once for the process.
    static constexpr int kScaledSetCount = 2;
    static constexpr int kScaledSetPercents[kScaledSetCount] = {150, 200};

private:
    ~Bitmap();
    void drawAt(DrawContext* context, const Rect& rect, Point offset, bool keyed);
    // The set for a scale, loaded on first use; index -1 is the 100 % image.
    int setFor(double scale);
    bool hasSet(int set);

    int resourceId_;
    int refCount_ = 1;
    int width_ = 0;
    int height_ = 0;
    Color transparentColor_;
    void* image_ = nullptr;
    void* scaled_[kScaledSetCount] = {};
    bool scaledTried_[kScaledSetCount] = {};
};
