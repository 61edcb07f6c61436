// The editor session needs a window system the plug-in draws into; a build without the X11,
// XTest and Cairo libraries has none.
#include "tools/vsthost/commands.h"
#include "tools/vsthost/editor_script.h"

#include <cstdio>

namespace vsthost {

int runEditorSession(const EditorOptions&) {
    std::fprintf(stderr, "vsthost editor: not available in this build (no window system)\n");
    return kExitFailed;
}

}  // namespace vsthost
