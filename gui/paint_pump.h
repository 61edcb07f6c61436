// Lets one pending repaint of the editor's windows happen while a control keeps the
// user-interface thread busy tracking the mouse. True when a repaint was handled.
#pragma once

bool dispatchPendingPaint();
