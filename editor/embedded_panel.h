// The panel as a format embeds it in a host's window: the format's host class derives from
// this and supplies the PanelHost calls over its own plug-in; this holds the panel and, at
// each idle, moves the controls of the values stored elsewhere (host automation, presets)
// since the last one.
#pragma once

#include "editor/panel_host.h"
#include "editor/panel_pump.h"
#include "editor/reverb_editor.h"
#include "effect/parameter_table.h"

class EmbeddedPanel : public PanelHost, public PanelIdle {
public:
    // Builds the panel in the parent window; false when it cannot or is open already.
    bool open(void* parent);
    void close() { panel_.close(); }
    bool isOpen() const { return panel_.getFrame() != nullptr; }
    // The panel window's platform handle (HWND on Windows), null when closed or unknown.
    void* panelWindow() const;
    const Rect& panelSize() const { return panel_.size(); }
    // The host's scale factor (PanelBase::setScale): false when refused. The size in device
    // pixels follows it; an open panel resizes its window and redraws.
    bool setPanelScale(double scale) { return panel_.setScale(scale); }
    double panelScale() const { return panel_.scale(); }
    Rect scaledPanelSize() const { return panel_.scaledSize(); }

    // The window's thread: what changed elsewhere, then the panel's own idle work (its
    // window's events, redraws, meter and LED).
    void idle() override;

protected:
    EmbeddedPanel() = default;
    ~EmbeddedPanel() = default;
    // After an edit of the panel's own has been stored: the controls show the stored value.
    void showStored(int index);
    ReverbEditor& panel() { return panel_; }

private:
    // The values the controls last showed; what differs at an idle was stored elsewhere.
    float shown_[kParameterCount] = {};
    ReverbEditor panel_{*this};
};
