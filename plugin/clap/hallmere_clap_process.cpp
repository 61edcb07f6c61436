// The plug-in object's audio, events and state. process and flush allocate nothing, take no
// lock and reach the host only through the lists and buffers it handed over.
#include <cmath>
#include <cstring>

#include "effect/state_stream.h"
#include "plugin/clap/hallmere_clap.h"

namespace clapplug {

using namespace clapabi;

namespace {

// A parameter value event we can take: its index and normalised value. Anything else (other
// spaces and types, short events, unknown ids, non-finite values) is passed over.
bool readEvent(const EventHeader* event, int& index, float& normalised) {
    if (event == nullptr || event->spaceId != kCoreEventSpace || event->type != kEventParamValue ||
        event->size < sizeof(ParamValueEvent))
        return false;
    const auto* e = reinterpret_cast<const ParamValueEvent*>(event);
    if (e->paramId >= static_cast<Id>(kParameterCount)) return false;
    index = static_cast<int>(e->paramId);
    return HallmereClap::plainToNormalised(index, e->value, normalised);
}

std::uint32_t eventCount(const InputEvents* in) { return in && in->size && in->get ? in->size(in) : 0; }

bool push(const OutputEvents* out, const EventHeader& event) { return out->tryPush(out, &event); }

}  // namespace

void HallmereClap::applyEvents(const InputEvents* in, std::uint32_t from, std::uint32_t count) {
    for (std::uint32_t i = from; i < count; ++i) {
        int index;
        float normalised;
        if (readEvent(in->get(in, i), index, normalised)) core_.setParameter(index, normalised);
    }
}

// The panel's edits in the order made, then the values and gesture ends the full queue held
// back. An event the host's list refuses waits for the next call.
void HallmereClap::sendEdits(const OutputEvents* out, std::uint32_t time) {
    if (out == nullptr || out->tryPush == nullptr) return;
    const auto header = [time](std::uint32_t size, std::uint16_t type) {
        return EventHeader{size, time, kCoreEventSpace, type, 0};
    };
    while (const Edit* edit = edits_.front()) {
        bool sent;
        if (edit->kind == Edit::kValue) {
            const ParamValueEvent e{
                header(sizeof e, kEventParamValue), edit->index, nullptr, -1, -1, -1, -1, edit->value};
            sent = push(out, e.header);
        } else {
            const ParamGestureEvent e{
                header(sizeof e, edit->kind == Edit::kBegin ? kEventParamGestureBegin : kEventParamGestureEnd),
                edit->index};
            sent = push(out, e.header);
        }
        if (!sent) return;
        edits_.pop();
    }
    // Most blocks owe nothing: a plain load spares them two locked exchanges.
    const auto take = [](std::atomic<std::uint32_t>& owed) {
        return owed.load(std::memory_order_relaxed) ? owed.exchange(0, std::memory_order_acquire) : 0u;
    };
    const std::uint32_t resend = take(resend_);
    const std::uint32_t ends = take(endsOwed_);
    if ((resend | ends) == 0) return;
    for (std::uint32_t i = 0; i < kParameterCount; ++i) {
        const std::uint32_t bit = 1u << i;
        double value;
        if ((resend & bit) && getValue(i, value)) {
            const ParamValueEvent e{header(sizeof e, kEventParamValue), i, nullptr, -1, -1, -1, -1, value};
            if (!push(out, e.header)) resend_.fetch_or(bit, std::memory_order_relaxed);
        }
        if (ends & bit) {
            const ParamGestureEvent e{header(sizeof e, kEventParamGestureEnd), i};
            if (!push(out, e.header)) endsOwed_.fetch_or(bit, std::memory_order_relaxed);
        }
    }
}

void HallmereClap::flush(const InputEvents* in, const OutputEvents* out) {
    applyEvents(in, 0, eventCount(in));
    sendEdits(out, 0);
}

void HallmereClap::silenceOutputs(const Process& p) {
    const std::size_t bytes = sizeof(float) * p.framesCount;
    for (std::uint32_t b = 0; p.audioOutputs && b < p.audioOutputsCount; ++b) {
        AudioBuffer& bus = p.audioOutputs[b];
        for (std::uint32_t c = 0; bus.data32 && c < bus.channelCount && c < 64; ++c) {
            if (bus.data32[c] == nullptr) continue;
            std::memset(bus.data32[c], 0, bytes);
            bus.constantMask |= std::uint64_t{1} << c;
        }
    }
}

// The block is rendered in pieces between the times of the host's events, all with the one
// noise offset the block draws: a block without events is the VST 2.x render exactly. An
// event earlier than one before it takes effect where that one did; events at or past the
// block's end count from the next block on.
std::int32_t HallmereClap::process(const Process& p) {
    const InputEvents* in = p.inEvents;
    const std::uint32_t count = eventCount(in);
    const std::uint32_t frames = p.framesCount;
    sendEdits(p.outEvents, 0);
    if (frames > maxFrames_) {
        // Longer than promised (or not active): no buffer of that length can be trusted.
        applyEvents(in, 0, count);
        return kProcessError;
    }

    Wiring w{};
    bool wired = p.audioInputs && p.audioOutputs && p.audioInputsCount > 0 && p.audioOutputsCount > 0 &&
                 p.audioInputs[0].data32 && p.audioOutputs[0].data32 && p.audioInputs[0].channelCount > 0 &&
                 p.audioOutputs[0].channelCount > 1;
    if (wired) {
        float* const* inputs = p.audioInputs[0].data32;
        w.in[0] = inputs[0];
        w.in[1] = p.audioInputs[0].channelCount > 1 ? inputs[1] : inputs[0];  // mono: both sides hear it
        w.out[0] = p.audioOutputs[0].data32[0];
        w.out[1] = p.audioOutputs[0].data32[1];
        wired = w.in[0] && w.in[1] && w.out[0] && w.out[1];
    }
    if (!wired) {
        // Nothing to render from: what outputs there are are silent, and the events still count.
        applyEvents(in, 0, count);
        silenceOutputs(p);
        return kProcessContinue;
    }

    const float offset = core_.beginBlock();
    std::uint32_t done = 0;
    bool changed = false;
    const auto renderTo = [&](std::uint32_t end) {
        if (end <= done) return;
        if (changed) core_.takeOverChanges();
        changed = false;
        const auto n = static_cast<int>(end - done);
        core_.renderFrames(w.in[0] + done, w.in[1] + done, w.out[0] + done, w.out[1] + done, n, offset, false);
        done = end;
    };
    for (std::uint32_t i = 0; i < count; ++i) {
        const EventHeader* event = in->get(in, i);
        int index;
        float normalised;
        if (!readEvent(event, index, normalised)) continue;
        renderTo(event->time < frames ? event->time : frames);
        core_.setParameter(index, normalised);
        changed = true;
    }
    renderTo(frames);
    p.audioOutputs[0].constantMask = 0;
    return kProcessContinue;
}

bool HallmereClap::saveState(const OutputStream* stream) const {
    if (stream == nullptr || stream->write == nullptr) return false;
    const auto write = [stream](const unsigned char* from, std::size_t wanted) {
        return stream->write(stream, from, wanted);
    };
    return writeStateRecord(write, core_);
}

bool HallmereClap::loadState(const InputStream* stream) {
    if (stream == nullptr || stream->read == nullptr) return false;
    const auto read = [stream](unsigned char* into, std::size_t wanted) { return stream->read(stream, into, wanted); };
    ReverbState state;
    if (!readStateRecord(read, state)) return false;
    applyState(core_, state);
    return true;
}

}  // namespace clapplug
