#include "editor/reverb_plugin.h"

#include <new>

#include "editor/reverb_editor.h"
#include "host/plugin_main.h"

ReverbPlugin::ReverbPlugin(audioMasterCallback host) : ReverbEffect(host) {
    // The editor registers itself and sets the has-editor flag while it is built.
    ReverbEditor* made = nullptr;
    try {
        made = new (std::nothrow) ReverbEditor(this);
    } catch (...) {
        made = nullptr;  // a part of the editor could not be allocated
    }
    editor = made;
    if (!made) constructionFailed = true;
}

ReverbPlugin::~ReverbPlugin() = default;

void ReverbPlugin::parameterChanged(VstInt32 index, float value) {
    // Only EditorBase ever registers here; the cast guards against anything else.
    if (auto* panel = dynamic_cast<EditorBase*>(editor)) panel->setParameter(index, value);
}
