// vsthost editor: what the command line asks for, as a list of steps run in order while
// the plug-in's editor is open in a window of the tool's own. Parsing (editor.cpp) and the
// session that runs the steps (editor_session.cpp) are the same on Windows and X11; the
// window system, its real pointer and key input and its screenshots are reached through
// EditorWindows (editor_windows_win32.cpp, editor_windows_x11.cpp).
#pragma once

#include <string>
#include <vector>

namespace vsthost {

// The largest --scale factor: twice the largest artwork a panel is likely to carry.
constexpr double kMaxEditorScale = 4.0;

// Modifier and button bits of a click or drag.
enum : int { kInputControl = 1, kInputShift = 2, kInputRight = 4 };

struct EditorStep {
    enum class Kind {
        Wait,        // ms
        Click,       // x1, y1, mods
        Drag,        // x1, y1 -> x2, y2, mods
        Key,         // index = virtual key, value = character
        Automate,    // index = parameter, value
        Program,     // index
        Signal,      // text = signal name or "silence"
        Screenshot,  // text = path: PNG when it ends in .png (X11), a 24-bit BMP otherwise
        Params,      // print every parameter value
        Cycles,      // index = number of close/open cycles
        OpenSecond,  // a second instance of the plug-in with its editor
        CloseSecond,
        ClassState,  // the editor's window class (Windows) or its windows (X11)
        Counts,      // the counted window-system objects now
    };
    Kind kind = Kind::Wait;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int mods = 0;
    long index = 0;
    double value = 0.0;
    std::string text;
};

struct EditorOptions {
    std::string plugin;
    std::string signal = "silence";
    std::vector<EditorStep> steps;
    long settleMs = 300;  // after opening, before the first step
    double scale = 0.0;   // the editor's scale factor; 0 leaves the plug-in's own
    bool trace = false;
};

// Returns kExitOk, or kExitUsage after printing the reason.
int parseEditorOptions(const std::vector<std::string>& args, EditorOptions& options);

// Runs the session (editor_session.cpp, or a refusal where there is no window system).
int runEditorSession(const EditorOptions& options);

// A short description of a step for the output.
std::string describeStep(const EditorStep& step);

}  // namespace vsthost
