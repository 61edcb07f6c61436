// A ReverbPlugin (or a test's subclass of it) with its editor, driven the way a host drives it.
#pragma once

#include "editor/reverb_editor.h"
#include "editor/reverb_plugin.h"
#include "editor_test_support.h"
#include "gui/frame.h"

template <typename Plugin>
struct PluginRig {
    RecordingHost host;
    Plugin plugin{host.callback()};
    ReverbEditor* editor = plugin.panel();

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return plugin.record.dispatcher(&plugin.record, opcode, index, value, ptr, opt);
    }
    // Opened the way a host does it; without a parent window the frame has no window.
    void open() { dispatch(effEditOpen); }
    void close() { dispatch(effEditClose); }
    void idle() { dispatch(effEditIdle); }
    void automate(VstInt32 index, float value) { plugin.record.setParameter(&plugin.record, index, value); }
    Frame* frame() const { return editor->getFrame(); }
};

using ReverbRig = PluginRig<ReverbPlugin>;
