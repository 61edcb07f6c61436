#include <windows.h>

#include "gui/dib_format_win32.h"
#include "gui/platform.h"
#include "gui/surface_win32.h"
#include "test_canvas.h"

struct TestCanvas::Impl {
    HDC dc;
    HBITMAP dib;
    HGDIOBJ previous;
    std::uint32_t* bits;
};

TestCanvas::TestCanvas(int width, int height, std::uint32_t paper) : impl_(new Impl{}), width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows top-down, as the pixels are read
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    impl_->dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    impl_->dib = CreateDIBSection(impl_->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    impl_->bits = static_cast<std::uint32_t*>(bits);
    impl_->previous = SelectObject(impl_->dc, impl_->dib);
    if (impl_->bits)
        for (int i = 0; i < width * height; ++i) impl_->bits[i] = paper;
}

TestCanvas::~TestCanvas() {
    SelectObject(impl_->dc, impl_->previous);
    DeleteObject(impl_->dib);
    DeleteDC(impl_->dc);
    delete impl_;
}

DrawContext* TestCanvas::makeContext() { return new DrawContext(nullptr, new GdiSurface(impl_->dc), nullptr); }

std::uint32_t TestCanvas::pixel(int x, int y) const {
    if (!impl_->bits || x < 0 || y < 0 || x >= width_ || y >= height_) return 0xFF000000u;
    GdiFlush();
    return impl_->bits[y * width_ + x] & 0xFFFFFF;
}

std::vector<std::uint32_t> TestCanvas::pixels() const {
    std::vector<std::uint32_t> all;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) all.push_back(pixel(x, y));
    return all;
}

void* TestCanvas::nativeDc() const { return impl_->dc; }

void* makeTestImage(int width, int height, const std::vector<std::uint32_t>& pixels) {
    // A device-dependent bitmap in the screen's format, as a bitmap resource loads.
    BITMAPINFO info = topDown32(width, height);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

namespace {
TransparentBltProc systemEntry() {
    // The frame platform finds the entry the same way every frame does.
    static TransparentBltProc entry = [] {
        void* platform = startFramePlatform();
        TransparentBltProc found = keyedBlitEntry();
        (void)platform;  // kept for the life of the test program: it holds msimg32 loaded
        return found;
    }();
    return entry;
}
}  // namespace

void useKeyedPath(KeyedPath path) { setKeyedBlitEntry(path == KeyedPath::System ? systemEntry() : nullptr); }

bool systemKeyedBlitAvailable() { return systemEntry() != nullptr; }

SelectedFont selectedFont(DrawContext& context) {
    SelectedFont result;
    HDC dc = static_cast<GdiSurface*>(context.surface())->dc();
    LOGFONTA font = {};
    if (GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font) != int(sizeof font)) return result;
    result.face = font.lfFaceName;
    char actual[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, actual);
    result.actualFace = actual;
    result.height = font.lfHeight;
    result.weight = font.lfWeight;
    result.italic = font.lfItalic != 0;
    result.underline = font.lfUnderline != 0;
    result.pitchAndFamily = font.lfPitchAndFamily;
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    result.cellHeight = metrics.tmHeight;
    return result;
}
