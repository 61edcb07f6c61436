// Draws the editor's panel as a PNG file at a scale, through the editor and its toolkit
// exactly as a host window shows it, with the first factory program's values.
//
//   hallmere_panel_picture SCALE OUTPUT.png

#include <cairo.h>

#include <cstdio>
#include <cstdlib>

#include "editor/program_panel_host.h"
#include "editor/reverb_editor.h"
#include "effect/reverb_program.h"
#include "gui/frame.h"
#include "gui/offscreen_context.h"
#include "gui/surface_cairo.h"

int main(int argc, char** argv) {
    const double scale = argc == 3 ? std::atof(argv[1]) : 0.0;
    if (!(scale > 0)) {
        std::fprintf(stderr, "usage: hallmere_panel_picture SCALE OUTPUT.png\n");
        return 2;
    }
    ProgramPanelHost host;
    ReverbEditor editor(host);
    editor.setScale(scale);
    if (!editor.open(nullptr)) {
        std::fprintf(stderr, "hallmere_panel_picture: the panel does not open\n");
        return 1;
    }
    const Rect& size = editor.size();
    OffscreenContext context(editor.getFrame(), size.width(), size.height());
    editor.getFrame()->draw(&context);
    const auto& surface = static_cast<const CairoSurface&>(*context.surface());
    const bool written = cairo_surface_write_to_png(surface.image(), argv[2]) == CAIRO_STATUS_SUCCESS;
    editor.close();
    if (!written) std::fprintf(stderr, "hallmere_panel_picture: cannot write %s\n", argv[2]);
    return written ? 0 : 1;
}
