// The plug-in object's audio and state. process runs on the audio thread: it allocates
// nothing, takes no lock and calls into the host only through the buffers and change lists
// the host handed over.
#include <cmath>
#include <cstddef>
#include <cstring>

#include "effect/reverb_state.h"
#include "effect/state_stream.h"
#include "effect/tail_frames.h"
#include "plugin/vst3/hallmere_vst3.h"
#include "plugin/vst3/vst3_identity.h"

namespace vst3 {

namespace {

bool silent(const float* samples, std::int32_t frames) {
    for (std::int32_t i = 0; i < frames; ++i)
        if (samples[i] != 0.0f) return false;
    return true;
}

// A host's block of changes, read queue by queue in the order of their points' offsets.
// Queues beyond kMaxQueues, of unknown ids, or with points that cannot be read are skipped.
constexpr int kMaxQueues = 32;

}  // namespace

struct HallmereVst3::Changes {
    struct Queue {
        IParamValueQueue* queue;
        ParamID id;
        std::int32_t next, count, offset;
        ParamValue value;
    };
    Queue queues[kMaxQueues];
    int count = 0;

    static bool known(ParamID id) {
        return id < static_cast<ParamID>(kParameterCount) || id == vst3id::kProgramId || id == vst3id::kBypassId;
    }

    explicit Changes(IParameterChanges* changes) {
        const std::int32_t listed = changes ? changes->getParameterCount() : 0;
        for (std::int32_t i = 0; i < listed && count < kMaxQueues; ++i) {
            IParamValueQueue* queue = changes->getParameterData(i);
            if (queue == nullptr || !known(queue->getParameterId())) continue;
            queues[count] = {queue, queue->getParameterId(), 0, queue->getPointCount(), 0, 0.0};
            if (load(queues[count])) ++count;
        }
    }

    // The queue's next point; false when it has none left.
    static bool load(Queue& q) {
        while (q.next < q.count) {
            if (q.queue->getPoint(q.next, q.offset, q.value) == kResultOk) return true;
            ++q.next;
        }
        return false;
    }

    // Hands every point due at or before `at` to apply(id, value), each queue in its order.
    template <class Apply>
    void takeDue(std::int32_t at, Apply apply) {
        for (int i = 0; i < count; ++i) {
            Queue& q = queues[i];
            while (q.next < q.count && q.offset <= at) {
                apply(q.id, q.value);
                ++q.next;
                load(q);
            }
        }
    }

    // The first offset after `done` at which a change is due, or `end`.
    std::int32_t nextOffset(std::int32_t done, std::int32_t end) const {
        std::int32_t next = end;
        for (int i = 0; i < count; ++i)
            if (queues[i].next < queues[i].count && queues[i].offset > done && queues[i].offset < next)
                next = queues[i].offset;
        return next;
    }
};

void HallmereVst3::applyPoint(ParamID id, ParamValue value, std::int32_t offset, IParameterChanges* report) {
    const int programBefore = core_.program();
    setValue(id, value);
    if (report == nullptr || core_.program() == programBefore) return;
    // A new program changes the thirteen values; the host hears of them where it happened.
    for (int i = 0; i < kParameterCount; ++i) {
        std::int32_t index;
        const ParamID changed = static_cast<ParamID>(i);
        if (IParamValueQueue* queue = report->addParameterData(changed, index))
            queue->addPoint(offset, core_.getParameter(i), index);
    }
}

tresult HallmereVst3::setBusArrangements(SpeakerArrangement* inputs, std::int32_t inputCount,
                                         SpeakerArrangement* outputs, std::int32_t outputCount) {
    if (inputCount != 1 || outputCount != 1 || !inputs || !outputs || outputs[0] != kSpeakerStereo) return kResultFalse;
    if (inputs[0] != kSpeakerStereo && inputs[0] != kSpeakerMono) return kResultFalse;
    inputArrangement_ = inputs[0];
    return kResultTrue;
}

tresult HallmereVst3::getBusArrangement(BusDirection direction, std::int32_t index, SpeakerArrangement& arrangement) {
    if (index != 0 || (direction != kInput && direction != kOutput)) return kInvalidArgument;
    arrangement = direction == kInput ? inputArrangement_ : kSpeakerStereo;
    return kResultOk;
}

tresult HallmereVst3::canProcessSampleSize(std::int32_t size) { return size == kSample32 ? kResultTrue : kResultFalse; }

std::uint32_t HallmereVst3::getLatencySamples() { return 0; }

tresult HallmereVst3::setupProcessing(ProcessSetup& setup) {
    if (setup.symbolicSampleSize != kSample32 || !(setup.sampleRate > 0.0) || !std::isfinite(setup.sampleRate))
        return kResultFalse;
    sampleRate_ = setup.sampleRate;
    core_.setSampleRate(static_cast<float>(setup.sampleRate));
    return kResultOk;
}

tresult HallmereVst3::setProcessing(TBool) { return kResultOk; }

std::uint32_t HallmereVst3::getTailSamples() { return tailFrames(core_.tailSeconds(), sampleRate_); }

std::uint32_t HallmereVst3::getProcessContextRequirements() { return 0; }

void HallmereVst3::renderPiece(const Wiring& w, std::int32_t start, std::int32_t frames, float offset) {
    const float* inLeft = w.in[0] + start;
    const float* inRight = w.in[1] + start;
    float* outLeft = w.out[0] + start;
    float* outRight = w.out[1] + start;
    if (!bypassed_.load(std::memory_order_relaxed)) {
        core_.renderFrames(inLeft, inRight, outLeft, outRight, frames, offset, false);
        return;
    }
    // Bypassed, the reverb still hears the input, unheard, so that leaving bypass finds a
    // tail as if it had never stopped; the input passes through as it is.
    for (std::int32_t done = 0; done < frames; done += kScratchFrames) {
        const std::int32_t n = frames - done < kScratchFrames ? frames - done : kScratchFrames;
        core_.renderFrames(inLeft + done, inRight + done, scratch_[0], scratch_[1], n, offset, false);
    }
    if (outLeft != inLeft) std::memmove(outLeft, inLeft, sizeof(float) * static_cast<std::size_t>(frames));
    if (outRight != inRight) std::memmove(outRight, inRight, sizeof(float) * static_cast<std::size_t>(frames));
}

// The block is rendered in pieces between the offsets of the host's changes, all with the
// one noise offset the block draws: a block without changes is the VST 2.x render exactly.
tresult HallmereVst3::process(ProcessData& data) {
    if (data.symbolicSampleSize != kSample32) return kResultFalse;
    Changes changes(data.inputParameterChanges);
    IParameterChanges* report = data.outputParameterChanges;
    const std::int32_t frames = data.numSamples > 0 ? data.numSamples : 0;
    const auto applyAt = [&](std::int32_t offset) {
        return [this, offset, report](ParamID id, ParamValue value) { applyPoint(id, value, offset, report); };
    };
    constexpr std::int32_t kAfterAll = 0x7FFFFFFF;
    const std::int32_t lastFrame = frames > 0 ? frames - 1 : 0;  // where late changes are reported
    changes.takeDue(0, applyAt(0));

    Wiring w{};
    bool wired = frames > 0 && data.numInputs > 0 && data.numOutputs > 0 && data.inputs && data.outputs &&
                 data.inputs[0].numChannels > 0 && data.outputs[0].numChannels > 1 && data.inputs[0].channelBuffers32 &&
                 data.outputs[0].channelBuffers32;
    if (wired) {
        float* const* in = data.inputs[0].channelBuffers32;
        w.in[0] = in[0];
        w.in[1] = data.inputs[0].numChannels > 1 ? in[1] : in[0];  // mono: both sides hear the one channel
        w.out[0] = data.outputs[0].channelBuffers32[0];
        w.out[1] = data.outputs[0].channelBuffers32[1];
        wired = w.in[0] && w.in[1] && w.out[0] && w.out[1];
    }
    if (!wired) {
        // Nothing to render from: what outputs there are are silent, and the changes still count.
        changes.takeDue(kAfterAll, applyAt(lastFrame));
        for (std::int32_t b = 0; data.outputs && b < data.numOutputs; ++b) {
            AudioBusBuffers& bus = data.outputs[b];
            for (std::int32_t c = 0; bus.channelBuffers32 && c < bus.numChannels && c < 64; ++c) {
                if (bus.channelBuffers32[c] == nullptr) continue;
                std::memset(bus.channelBuffers32[c], 0, sizeof(float) * static_cast<std::size_t>(frames));
                bus.silenceFlags |= std::uint64_t{1} << c;
            }
        }
        return kResultOk;
    }

    const float offset = core_.beginBlock();
    for (std::int32_t done = 0; done < frames;) {
        const std::int32_t next = changes.nextOffset(done, frames);
        renderPiece(w, done, next - done, offset);
        done = next;
        if (done == frames) break;
        changes.takeDue(done, applyAt(done));
        core_.takeOverChanges();
    }
    // Points past the block's end count from the next block on.
    changes.takeDue(kAfterAll, applyAt(lastFrame));

    AudioBusBuffers& out = data.outputs[0];
    out.silenceFlags = 0;
    for (int c = 0; c < 2; ++c)
        if (silent(w.out[c], frames)) out.silenceFlags |= std::uint64_t{1} << c;
    return kResultOk;
}

namespace {

// The stream's count is taken as given; a count beyond the request is refused by the reader.
template <class Call>
std::int64_t moved(Call call) {
    std::int32_t n = 0;
    return call(&n) == kResultOk ? n : -1;
}

bool readRecord(IBStream* stream, ReverbState& state) {
    if (stream == nullptr) return false;
    const auto read = [stream](unsigned char* into, std::size_t wanted) {
        return moved([&](std::int32_t* n) { return stream->read(into, static_cast<std::int32_t>(wanted), n); });
    };
    return readStateRecord(read, state);
}

bool sameState(const ReverbState& a, const ReverbState& b) {
    if (a.program != b.program) return false;
    for (int p = 0; p < kProgramCount; ++p)
        for (int i = 0; i < kParameterCount; ++i)
            if (a.values[p][i] != b.values[p][i]) return false;
    return true;
}

}  // namespace

tresult HallmereVst3::saveState(IBStream* stream) {
    if (stream == nullptr) return kInvalidArgument;
    const auto write = [stream](unsigned char* from, std::size_t wanted) {
        return moved([&](std::int32_t* n) { return stream->write(from, static_cast<std::int32_t>(wanted), n); });
    };
    return writeStateRecord(write, core_) ? kResultOk : kResultFalse;
}

tresult HallmereVst3::loadState(IBStream* stream) {
    ReverbState state;
    if (!readRecord(stream, state)) return kResultFalse;
    applyState(core_, state);
    return kResultOk;
}

// The controller is the component, so after the component's setState there is nothing
// left to do; a host that restores only the controller's side still gets the state.
tresult HallmereVst3::setComponentState(IBStream* stream) {
    ReverbState state;
    if (!readRecord(stream, state)) return kResultFalse;
    if (!sameState(state, captureState(core_))) applyState(core_, state);
    return kResultOk;
}

tresult HallmereVst3::loadControllerState(IBStream*) { return kResultOk; }
tresult HallmereVst3::saveControllerState(IBStream*) { return kResultOk; }

}  // namespace vst3
