#include "editor/editor_platform.h"

namespace {

EditorPlatform& installed() {
    static EditorPlatform platform = systemEditorPlatform();
    return platform;
}

}  // namespace

const EditorPlatform& editorPlatform() { return installed(); }

void setEditorPlatform(const EditorPlatform& platform) { installed() = platform; }
