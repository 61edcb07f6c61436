// The module whose resources hold the bitmaps and whose handle names the window class.
// The plug-in's load-time entry sets it; until then the module containing this code is used.
#pragma once

void setGuiModuleInstance(void* instance);
void* guiModuleInstance();
