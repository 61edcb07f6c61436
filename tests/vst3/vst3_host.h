// A small VST 3 host of our own for the tests: loads the built bundle's module, creates
// instances through its factory, and supplies the streams and change lists a host hands over.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "plugin/vst3/vst3_audio.h"

namespace testhost {

using namespace vst3;

// The module, loaded once for the whole test program.
IPluginFactory* factory();
void* moduleSymbol(const char* name);

// One instance with the interfaces a host uses, set up for 48 kHz stereo.
class Instance {
public:
    Instance();
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    IComponent* component = nullptr;
    IAudioProcessor* processor = nullptr;
    IEditController* controller = nullptr;
    IUnitInfo* units = nullptr;

    // Renders one block; in and out hold two channels of `frames` each (out may alias in).
    tresult process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, std::int32_t frames,
                    IParameterChanges* changes = nullptr, std::int32_t inputChannels = 2,
                    std::uint64_t* silenceFlags = nullptr);
};

// A byte stream over memory; `limit` caps what one read hands over, to test partial reads.
class MemoryStream final : public IBStream {
public:
    explicit MemoryStream(std::vector<unsigned char> bytes = {}) : bytes(std::move(bytes)) {}
    tresult VST3_CALL queryInterface(const TUID, void** object) override;
    std::uint32_t VST3_CALL addRef() override { return 1; }
    std::uint32_t VST3_CALL release() override { return 1; }
    tresult VST3_CALL read(void* buffer, std::int32_t count, std::int32_t* done) override;
    tresult VST3_CALL write(void* buffer, std::int32_t count, std::int32_t* done) override;
    tresult VST3_CALL seek(std::int64_t position, std::int32_t mode, std::int64_t* result) override;
    tresult VST3_CALL tell(std::int64_t* position) override;

    std::vector<unsigned char> bytes;
    std::size_t position = 0;
    std::int32_t limit = 1 << 30;
    std::int32_t claimExtra = 0;  // a lying stream reports this many bytes more than it gave
};

// Parameter changes as a host sends them: a queue per id, points in offset order.
class ChangeList final : public IParameterChanges {
public:
    void add(ParamID id, std::int32_t offset, ParamValue value);

    tresult VST3_CALL queryInterface(const TUID, void** object) override;
    std::uint32_t VST3_CALL addRef() override { return 1; }
    std::uint32_t VST3_CALL release() override { return 1; }
    std::int32_t VST3_CALL getParameterCount() override { return static_cast<std::int32_t>(queues.size()); }
    IParamValueQueue* VST3_CALL getParameterData(std::int32_t index) override;
    IParamValueQueue* VST3_CALL addParameterData(const ParamID& id, std::int32_t& index) override;

    class Queue final : public IParamValueQueue {
    public:
        explicit Queue(ParamID id) : id(id) {}
        tresult VST3_CALL queryInterface(const TUID, void** object) override;
        std::uint32_t VST3_CALL addRef() override { return 1; }
        std::uint32_t VST3_CALL release() override { return 1; }
        ParamID VST3_CALL getParameterId() override { return id; }
        std::int32_t VST3_CALL getPointCount() override { return static_cast<std::int32_t>(points.size()); }
        tresult VST3_CALL getPoint(std::int32_t index, std::int32_t& offset, ParamValue& value) override;
        tresult VST3_CALL addPoint(std::int32_t offset, ParamValue value, std::int32_t& index) override;

        ParamID id;
        std::vector<std::pair<std::int32_t, ParamValue>> points;
    };
    std::vector<Queue> queues;
};

std::string utf8(const char16* text);

}  // namespace testhost
