// The editor session needs a window system the plug-in draws into; on this platform the
// host has none yet.
#include "tools/vsthost/commands.h"
#include "tools/vsthost/editor_script.h"

#include <cstdio>

namespace vsthost {

int runEditorSession(const EditorOptions&) {
    std::fprintf(stderr, "vsthost editor: not available in this build (Windows only)\n");
    return kExitFailed;
}

}  // namespace vsthost
