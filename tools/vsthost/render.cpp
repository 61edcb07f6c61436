// vsthost render: runs audio through the plug-in block by block, the way a sequencer
// would, and writes what comes out.
#include "tools/vsthost/audio_file.h"
#include "tools/vsthost/commands.h"
#include "tools/vsthost/host_callback.h"
#include "tools/vsthost/instance.h"
#include "tools/vsthost/signals.h"
#include "tools/vsthost/text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#define VSTHOST_ISATTY(fd) _isatty(fd)
#define VSTHOST_FILENO(f) _fileno(f)
#else
#include <unistd.h>
#define VSTHOST_ISATTY(fd) isatty(fd)
#define VSTHOST_FILENO(f) fileno(f)
#endif

namespace vsthost {
namespace {

constexpr long kMinRate = 1000;
constexpr long kMaxRate = 1536000;
constexpr long kMaxBlock = 1 << 16;
constexpr double kMaxSeconds = 3600.0;
constexpr long kMaxFrames = 200000000;
constexpr int kMaxChannels = 256;

struct RenderOptions {
    InstanceOptions instance;
    std::string out;
    std::string in;
    std::string signal;
    double seconds = 1.0;
    bool secondsGiven = false;
    double tail = 0.0;
    long rate = 44100;
    bool rateGiven = false;
    long block = 512;
    enum class Mode { Automatic, Accumulate, Replace } mode = Mode::Automatic;
    SampleFormat format = SampleFormat::Float;
    bool quiet = false;
};

// A line on standard error while a long render runs: only on a terminal, and only for a
// minute of audio or more, or once the render has taken a second; short renders and
// redirected runs stay silent.
class Progress {
public:
    explicit Progress(long totalFrames, int rate)
        : enabled_(VSTHOST_ISATTY(VSTHOST_FILENO(stderr)) != 0 && totalFrames > 0),
          totalFrames_(totalFrames),
          rate_(rate),
          start_(Clock::now()),
          next_(start_ + std::chrono::milliseconds(totalFrames >= 60L * rate ? 100 : 1000)),
          shown_(enabled_ && totalFrames >= 60L * rate) {}

    void update(long framesDone) {
        if (!enabled_) {
            return;
        }
        const Clock::time_point now = Clock::now();
        if (now < next_) {
            return;
        }
        next_ = now + std::chrono::milliseconds(250);
        print(framesDone, now);
        shown_ = true;
    }

    // Leaves the last figures standing on a line of their own.
    void finish() {
        if (shown_) {
            print(totalFrames_, Clock::now());
            std::fputc('\n', stderr);
        }
    }

private:
    using Clock = std::chrono::steady_clock;

    void print(long framesDone, Clock::time_point now) const {
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double speed = seconds > 0.0 ? framesDone / (seconds * rate_) : 0.0;
        std::fprintf(stderr, "\rrendering: %3d%%, %.1fx real time ",
                     static_cast<int>(100.0 * framesDone / totalFrames_), speed);
        std::fflush(stderr);
    }

    bool enabled_;
    long totalFrames_;
    int rate_;
    Clock::time_point start_;
    Clock::time_point next_;
    bool shown_;  // the closing line is due
};

int usageError(const std::string& message) {
    std::fprintf(stderr, "vsthost render: %s\n", message.c_str());
    return kExitUsage;
}

int failure(const std::string& message) {
    std::fprintf(stderr, "vsthost: %s\n", message.c_str());
    return kExitFailed;
}

// Returns kExitOk, or the exit code of a usage error already reported.
int parseOptions(const std::vector<std::string>& args, RenderOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                return false;
            }
            into = args[++i];
            return true;
        };
        std::string text;
        std::string error;
        const OptionResult shared = parseInstanceOption(args, i, options.instance, error);
        if (shared == OptionResult::Bad) {
            return usageError(error);
        }
        if (shared == OptionResult::Taken) {
            continue;
        }
        if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--accumulate") {
            options.mode = RenderOptions::Mode::Accumulate;
        } else if (arg == "--replace") {
            options.mode = RenderOptions::Mode::Replace;
        } else if (arg == "--format") {
            if (!value(text) || !parseSampleFormat(text, options.format)) {
                return usageError("--format needs float, pcm24 or pcm16");
            }
        } else if (arg == "--out" || arg == "--in" || arg == "--signal") {
            if (!value(text) || text.empty()) {
                return usageError(arg + " needs a value");
            }
            (arg == "--out" ? options.out : arg == "--in" ? options.in : options.signal) = text;
        } else if (arg == "--seconds" || arg == "--tail") {
            double seconds = 0.0;
            if (!value(text) || !parseDouble(text, seconds) || seconds < 0.0 || seconds > kMaxSeconds) {
                return usageError(arg + " needs a number of seconds from 0 to 3600");
            }
            (arg == "--seconds" ? options.seconds : options.tail) = seconds;
            options.secondsGiven = options.secondsGiven || arg == "--seconds";
        } else if (arg == "--rate") {
            if (!value(text) || !parseLong(text, options.rate) || options.rate < kMinRate || options.rate > kMaxRate) {
                return usageError("--rate needs a sample rate from 1000 to 1536000 Hz");
            }
            options.rateGiven = true;
        } else if (arg == "--block") {
            if (!value(text) || !parseLong(text, options.block) || options.block < 1 || options.block > kMaxBlock) {
                return usageError("--block needs a block size from 1 to 65536");
            }
        } else {
            return usageError("unexpected argument '" + arg + "'");
        }
    }
    if (options.instance.plugin.empty()) {
        return usageError("which plug-in?");
    }
    if (options.out.empty()) {
        return usageError("--out FILE is required");
    }
    if (!options.in.empty() && (!options.signal.empty() || options.secondsGiven)) {
        return usageError("--in takes its length from the file; it does not combine with --signal or --seconds");
    }
    if (options.in.empty() && options.signal.empty()) {
        options.signal = "impulse";
    }
    return kExitOk;
}

bool loadInput(const RenderOptions& options, AudioData& input, std::string& error) {
    if (!options.in.empty()) {
        if (!readAudio(options.in, input, error)) {
            return false;
        }
        if (options.rateGiven && input.sampleRate != options.rate) {
            error = options.in + " is at " + std::to_string(input.sampleRate) + " Hz, not " +
                    std::to_string(options.rate) + " Hz (vsthost does not resample)";
            return false;
        }
        if (input.sampleRate < kMinRate || input.sampleRate > kMaxRate) {
            error = options.in + " has an unusable sample rate of " + std::to_string(input.sampleRate) + " Hz";
            return false;
        }
        return true;
    }
    const long frames = static_cast<long>(options.seconds * options.rate + 0.5);
    if (!makeSignal(options.signal, static_cast<int>(options.rate), frames, input)) {
        error = "unknown signal '" + options.signal + "' (impulse, noise or drums)";
        return false;
    }
    return true;
}

}  // namespace

int runRender(const std::vector<std::string>& args) {
    RenderOptions options;
    if (int code = parseOptions(args, options); code != kExitOk) {
        return code;
    }
    AudioData input;
    std::string error;
    if (!loadInput(options, input, error)) {
        return failure(error);
    }
    const int rate = input.sampleRate;
    const long inputFrames = input.frames();
    const long tailFrames = static_cast<long>(options.tail * rate + 0.5);
    if (inputFrames + tailFrames > kMaxFrames) {
        return failure("too long to render at once");
    }
    const long totalFrames = inputFrames + tailFrames;
    const int block = static_cast<int>(options.block);

    std::unique_ptr<Instance> instance = startInstance(options.instance, rate, block, error);
    if (!instance) {
        return failure(error);
    }
    const int inputs = instance->inputs();
    const int outputs = instance->outputs();
    if (outputs < 1) {
        return failure("the plug-in has no outputs");
    }
    if (inputs > kMaxChannels || outputs > kMaxChannels) {
        return failure("the plug-in claims " + std::to_string(inputs) + " inputs and " + std::to_string(outputs) +
                       " outputs; at most 256 each are supported");
    }
    ProcessMode mode = options.mode == RenderOptions::Mode::Accumulate ? ProcessMode::Accumulate : ProcessMode::Replace;
    if (options.mode == RenderOptions::Mode::Automatic && !instance->canProcess(mode)) {
        mode = ProcessMode::Accumulate;
    }
    if (!instance->canProcess(mode)) {
        return failure(mode == ProcessMode::Accumulate ? "the plug-in has no accumulating process entry"
                                                       : "the plug-in has no replacing process entry");
    }
    const bool accumulate = mode == ProcessMode::Accumulate;

    // One buffer per channel; a plug-in without inputs still gets a valid pointer array.
    std::vector<std::vector<float>> inBuffers(inputs > 0 ? inputs : 1, std::vector<float>(block, 0.0f));
    std::vector<std::vector<float>> outBuffers(outputs, std::vector<float>(block, 0.0f));
    std::vector<float*> inPointers, outPointers;
    for (auto& buffer : inBuffers) {
        inPointers.push_back(buffer.data());
    }
    for (auto& buffer : outBuffers) {
        outPointers.push_back(buffer.data());
    }

    AudioData output;
    output.channels = outputs;
    output.sampleRate = rate;
    output.samples.assign(static_cast<std::size_t>(totalFrames) * outputs, 0.0f);

    Progress progress(totalFrames, rate);
    for (long start = 0; start < totalFrames; start += block) {
        progress.update(start);
        const int frames = static_cast<int>(std::min<long>(block, totalFrames - start));
        for (int c = 0; c < inputs; ++c) {
            // A mono file feeds every input; other files feed input c from channel c or not at all.
            const int source = input.channels == 1 ? 0 : c;
            for (int i = 0; i < frames; ++i) {
                const long frame = start + i;
                inBuffers[c][i] = frame < inputFrames && source < input.channels
                                      ? input.samples[static_cast<std::size_t>(frame) * input.channels + source]
                                      : 0.0f;
            }
        }
        for (auto& buffer : outBuffers) {
            std::fill(buffer.begin(), buffer.end(), 0.0f);
        }
        instance->process(inPointers.data(), outPointers.data(), frames, mode);
        for (int c = 0; c < outputs; ++c) {
            for (int i = 0; i < frames; ++i) {
                output.samples[static_cast<std::size_t>(start + i) * outputs + c] = outBuffers[c][i];
            }
        }
    }

    progress.finish();
    instance->stopProcessing();
    instance->deactivate();
    const bool saved = saveStateFile(*instance, options.instance, error);
    instance.reset();
    if (!saved) {
        return failure(error);
    }

    if (!writeAudio(options.out, output, options.format, error)) {
        return failure(error);
    }
    if (!options.quiet) {
        std::printf("out: %s\n", options.out.c_str());
        std::printf("rate: %d\n", rate);
        std::printf("channels: %d\n", outputs);
        std::printf("frames: %ld\n", totalFrames);
        std::printf("mode: %s\n", accumulate ? "accumulate" : "replace");
    }
    if (options.instance.trace) {
        HostState::instance().printTrace(stdout);
    }
    return kExitOk;
}

}  // namespace vsthost
