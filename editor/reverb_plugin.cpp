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
    panel = made;
    if (!made) constructionFailed = true;
}

ReverbPlugin::~ReverbPlugin() = default;

void ReverbPlugin::parameterChanged(VstInt32 index, float value) {
    if (panel && editor == panel) panel->setParameter(index, value);  // not once the panel is gone
}
