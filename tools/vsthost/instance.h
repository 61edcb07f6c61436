// One plug-in instance as the commands see it, whatever its format: started at a rate and
// block size, fed float blocks, its parameters, programs, state and editor. Each format has
// a loader of its own (vst2_instance.cpp, vst3_instance.cpp, clap_instance.cpp); openInstance
// picks one by the path.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vsthost {

enum class ProcessMode { Replace, Accumulate };

// "key: value" lines of what a plug-in says about itself, already formatted.
using InfoLines = std::vector<std::pair<std::string, std::string>>;

struct EditorRect {
    int top = 0, left = 0, bottom = 0, right = 0;
};

// An edit the plug-in's panel reported to the host: "begin", "end", or a value ("automate"
// in VST 2.x words, "perform" in VST 3 ones).
struct EditEvent {
    const char* kind;
    int index;
    double value;
};

class Instance {
public:
    virtual ~Instance() = default;

    virtual const char* format() const = 0;
    // The identity lines info prints first, and the capability lines it prints last.
    virtual InfoLines identity() = 0;
    virtual InfoLines capabilities() = 0;
    virtual int inputs() const = 0;
    virtual int outputs() const = 0;

    // Ready to process at this rate with blocks of at most maxBlock frames, and back.
    virtual void activate(double rate, int maxBlock) = 0;
    virtual void deactivate() = 0;
    // Around a run of process calls; settings made before start reach the first block.
    virtual void startProcessing() = 0;
    virtual void stopProcessing() = 0;
    virtual bool canProcess(ProcessMode mode) const = 0;
    virtual void process(float** in, float** out, int frames, ProcessMode mode) = 0;

    virtual int parameterCount() const = 0;
    virtual std::string parameterName(int index) = 0;
    virtual std::string parameterLabel(int index) = 0;
    virtual std::string parameterDisplay(int index) = 0;
    // Normalised values from 0 to 1; NaN when the plug-in cannot tell.
    virtual double parameterValue(int index) = 0;
    // Between blocks, from the thread that processes, or before processing.
    virtual void setParameter(int index, double value) = 0;
    // The plug-in's own reading of a text for the parameter; false when it has none.
    virtual bool setParameterText(int index, const std::string& text) = 0;
    // An edit at the panel, on the window thread while another thread processes.
    virtual void editParameter(int index, double value) { setParameter(index, value); }

    virtual int programCount() = 0;
    virtual std::string programName(int index) = 0;
    virtual void setProgram(int index) = 0;
    // Whether setProgram may come from the thread that processes; where not (CLAP), it comes
    // from the thread that opened the instance only, and calls from elsewhere are ignored.
    virtual bool programsOnAudioThread() const { return true; }

    virtual bool saveState(std::vector<unsigned char>& bytes, std::string& error) = 0;
    virtual bool loadState(const std::vector<unsigned char>& bytes, std::string& error) = 0;

    // The editor in a parent window of the host's (null where there is no display).
    virtual bool openEditor(void* parent) = 0;
    virtual void idleEditor() = 0;
    virtual void closeEditor() = 0;
    // Device pixels per unit of the editor for the editor's rectangle and every open after
    // it: true when the plug-in takes the factor, false where the format has none (VST 2.x).
    virtual bool setEditorScale(double scale) { return (void)scale, false; }
    // The editor's rectangle, asked before it opens; false when there is no editor.
    virtual bool editorRect(EditorRect& rect) { return (void)rect, false; }
    // Every edit the panel reported so far, oldest first.
    virtual std::vector<EditEvent> edits() { return {}; }
    // A key sent to the open editor, down and up, with the two answers; false where the
    // format has no such request.
    virtual bool editorKey(int key, int character, long& down, long& up) {
        return (void)key, (void)character, (void)down, (void)up, false;
    }

    // On the audio thread, inside the counted window: a change due `offset` frames into the
    // next block, a program change and a bypass switch. Formats without sample-accurate
    // changes apply them at once; false where the format has no such control.
    virtual void automate(int index, int offset, double value) = 0;
    // Whether automate() is meant for the parameter (not a program or bypass switch).
    virtual bool automatable(int index) { return (void)index, true; }
    virtual void automateProgram(int program, int offset) = 0;
    virtual bool automateBypass(bool on, int offset) = 0;
    // The meter, where the format has one, between blocks or from the window thread.
    virtual void readMeter() {}
    // A new rate while processing, as careless hosts do.
    virtual void changeRateCarelessly(double rate, int maxBlock) = 0;
};

// The instance of the plug-in at `path`, loaded and opened; null with a one-line reason.
std::unique_ptr<Instance> openInstance(const std::string& path, std::string& error);
// The binary the loader will load for `path` (a bundle's inner module, or the path itself).
std::string moduleFile(const std::string& path);
// The format the path is loaded as: "vst2", "vst3" or "clap".
const char* moduleFormat(const std::string& path);

// What info, render and the harness commands share: the plug-in and the settings made
// before processing, in the order they are applied (state, program, values, texts).
struct InstanceOptions {
    std::string plugin;
    std::string loadState;
    std::string saveState;
    long program = -1;
    std::vector<std::pair<long, double>> params;
    std::vector<std::pair<long, std::string>> paramTexts;
    bool trace = false;
};

enum class OptionResult { Taken, NotMine, Bad };

// Takes args[i] (and its value) when it is a shared option; on Bad, `error` says why.
OptionResult parseInstanceOption(const std::vector<std::string>& args, std::size_t& i, InstanceOptions& options,
                                 std::string& error);

// The start-up sequence: open, then (when rate > 0) activate, then the settings, then
// start processing. Null with the reason, the trace already printed when asked for.
std::unique_ptr<Instance> startInstance(const InstanceOptions& options, double rate, int maxBlock, std::string& error);
// Writes the state to options.saveState when one was asked for.
bool saveStateFile(Instance& instance, const InstanceOptions& options, std::string& error);

}  // namespace vsthost
