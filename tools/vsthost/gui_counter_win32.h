// Counts the window-system objects one plug-in module makes and frees, by routing its
// imported GDI and USER calls through counting wrappers (its import table is patched in
// place). Works where GetGuiResources does not, e.g. under wine, and needs no special
// build of the plug-in.
#pragma once

#include <windows.h>

namespace vsthost {

enum GuiObjectKind {
    kPenObject,
    kBrushObject,
    kFontObject,
    kBitmapObject,
    kMemoryDc,
    kWindowDc,  // GetDC / ReleaseDC
    kWindowObject,
    kGuiObjectKinds
};

struct GuiObjectCounts {
    long created[kGuiObjectKinds] = {};
    long deleted[kGuiObjectKinds] = {};
    long unknownDeletes = 0;  // DeleteObject of handles the module did not make through us

    long live(int kind) const { return created[kind] - deleted[kind]; }
    long liveGdi() const;   // pens, brushes, fonts, bitmaps, memory DCs
    long liveUser() const;  // windows and borrowed window DCs
};

// Patches the module's imports; returns the number of import slots redirected.
int installGuiCounters(HMODULE module);
GuiObjectCounts guiObjectCounts();
const char* guiObjectKindName(int kind);

}  // namespace vsthost
