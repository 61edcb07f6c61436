#include "editor/reverb_plugin.h"

#include <new>

#include "editor/editor_base.h"
#include "editor/reverb_editor.h"
#include "host/plugin_main.h"

ReverbPlugin::ReverbPlugin(audioMasterCallback host) : ReverbEffect(host) {
    // The editor registers itself and sets the has-editor flag while it is built.
    ReverbEditor* made = nullptr;
    try {
        made = new (std::nothrow) ReverbEditor(*this);
        shell = made ? new (std::nothrow) EditorBase(this, made) : nullptr;
    } catch (...) {
        shell = nullptr;  // a part of the editor could not be allocated
    }
    if (!shell) {
        delete made;
        made = nullptr;
    }
    editor = shell;
    panel_ = made;
    if (!shell) constructionFailed = true;
}

ReverbPlugin::~ReverbPlugin() = default;

void ReverbPlugin::parameterChanged(VstInt32 index, float value) {
    if (shell && editor == shell) shell->setParameter(index, value);  // not once the editor is gone
}
