// The engine's block loop and its hand-over of settings against the plain reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "dsp/denormal_noise.h"
#include "dsp/engine_driver.h"
#include "dsp/reverb_engine.h"
#include "dsp/reference_reverb.h"

namespace {

uint32_t bitsOf(float x) {
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

// One setting: where the engine's settings hold it, and the reference's setter for it.
template <class T>
struct Knob {
    T ReverbSettings::*field;
    void (ReferenceReverb::*setReference)(T);
};

const Knob<float> kT60{&ReverbSettings::t60, &ReferenceReverb::setT60};
const Knob<float> kDamping{&ReverbSettings::damping, &ReferenceReverb::setDamping};
const Knob<float> kDensity{&ReverbSettings::density, &ReferenceReverb::setDensity};
const Knob<float> kRoomSize{&ReverbSettings::roomSize, &ReferenceReverb::setRoomSize};
const Knob<float> kLateLevel{&ReverbSettings::lateLevel, &ReferenceReverb::setLateLevel};
const Knob<float> kHighCut{&ReverbSettings::highCut, &ReferenceReverb::setHighCut};
const Knob<float> kLowCut{&ReverbSettings::lowCut, &ReferenceReverb::setLowCut};
const Knob<bool> kDry{&ReverbSettings::dry, &ReferenceReverb::setDry};
const Knob<float> kPan{&ReverbSettings::pan, &ReferenceReverb::setPan};
const Knob<float> kHold{&ReverbSettings::holdTime, &ReferenceReverb::setHold};
const Knob<float> kEarlyDelay{&ReverbSettings::earlyDelay, &ReferenceReverb::setEarlyDelay};
const Knob<float> kEarlyLevel{&ReverbSettings::earlyLevel, &ReferenceReverb::setEarlyLevel};
const Knob<int32_t> kSampleRate{&ReverbSettings::sampleRate, &ReferenceReverb::setSampleRate};

// Runs the engine block by block and the reference frame by frame on the same input. The
// reference takes each change on the spot; the engine gets the changes since the last block
// in one hand-over at the start of the next, or one per change with handOverEach.
class Twin {
public:
    Twin() : engine(std::make_unique<ReverbEngine>()), driver(*engine) {}

    template <class T>
    void set(const Knob<T>& knob, T value) {
        driver.set(knob.field, value);
        (reference.*knob.setReference)(value);
        changed();
    }
    void setSensitivity(float sensitivity) {
        driver.setSensitivity(sensitivity);
        reference.setSensitivity(sensitivity);
        changed();
    }
    void recompute() {
        driver.recompute();
        reference.updateCoefficients();
        changed();
    }
    void changed() {
        if (handOverEach) driver.handOver();
    }

    // Fails the test at the first frame whose output bits differ.
    void block(const float* left, const float* right, int frames, float offset, bool accumulate,
               const float* previous = nullptr) {
        driver.handOver();
        std::vector<float> outLeft(frames), outRight(frames), wantLeft(frames), wantRight(frames);
        for (int i = 0; i < frames; ++i) {
            outLeft[i] = wantLeft[i] = previous ? previous[i] : 0.5f;
            outRight[i] = wantRight[i] = previous ? -previous[i] : -0.5f;
        }
        engine->processBlock(left, right, outLeft.data(), outRight.data(), frames, offset, accumulate, enginePeak);
        for (int i = 0; i < frames; ++i) {
            reference.process(left[i] + offset, right[i] + offset);
            const float l = reference.outLeft, r = reference.outRight;
            wantLeft[i] = accumulate ? wantLeft[i] + l : l;
            wantRight[i] = accumulate ? wantRight[i] + r : r;
            if (std::fabs(l) > referencePeak) referencePeak = std::fabs(l);
            if (std::fabs(r) > referencePeak) referencePeak = std::fabs(r);
        }
        for (int i = 0; i < frames; ++i) {
            ASSERT_EQ(bitsOf(outLeft[i]), bitsOf(wantLeft[i]))
                << "frame " << framesRun + i << ": " << outLeft[i] << " vs " << wantLeft[i];
            ASSERT_EQ(bitsOf(outRight[i]), bitsOf(wantRight[i]))
                << "frame " << framesRun + i << ": " << outRight[i] << " vs " << wantRight[i];
        }
        ASSERT_EQ(enginePeak, referencePeak);
        if (frames > 0) {
            ASSERT_EQ(bitsOf(engine->outLeft), bitsOf(reference.outLeft));
            ASSERT_EQ(bitsOf(engine->outRight), bitsOf(reference.outRight));
        }
        ASSERT_EQ(engine->gateState(), reference.gateState);
        framesRun += frames;
    }

    void block(const std::vector<float>& left, const std::vector<float>& right) {
        block(left.data(), right.data(), static_cast<int>(left.size()), 0.0f, false);
    }

    std::unique_ptr<ReverbEngine> engine;
    EngineDriver driver;
    ReferenceReverb reference;
    bool handOverEach = false;
    float enginePeak = 0.0f, referencePeak = 0.0f;
    long framesRun = 0;
};

// Noise with loud and quiet stretches and some exact silence, so the gate acts.
std::vector<float> signal(std::mt19937& random, int frames) {
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    std::uniform_int_distribution<int> kind(0, 3);
    std::vector<float> out(frames);
    const int k = kind(random);
    const float level = k == 0 ? 0.0f : k == 1 ? 0.002f : k == 2 ? 0.3f : 1.0f;
    for (float& x : out) x = sample(random) * level;
    return out;
}

// One random setting change, the same for both sides.
void randomChange(Twin& twin, std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int which = std::uniform_int_distribution<int>(0, 14)(random);
    const float v = unit(random);
    const float wide = unit(random) * 1.4f - 0.2f;  // sometimes outside the limits
    switch (which) {
    case 0: twin.set(kT60, 0.1f + 6.9f * v); break;
    case 1: twin.set(kDamping, 1000.0f + 9000.0f * v); break;
    case 2: twin.set(kDensity, wide); break;
    case 3: twin.set(kRoomSize, wide); break;
    case 4: twin.set(kLateLevel, 2.0f * v); break;
    case 5: twin.set(kHighCut, 20000.0f * wide); break;
    case 6: twin.set(kLowCut, 1000.0f * wide); break;
    case 7: twin.set(kDry, v > 0.5f); break;
    case 8: twin.set(kPan, wide); break;
    case 9: twin.setSensitivity(v < 0.3f ? 1.0f : wide); break;
    case 10: twin.set(kHold, 0.5f * wide); break;
    case 11: twin.set(kEarlyDelay, wide); break;
    case 12: twin.set(kEarlyLevel, v); break;
    case 13: {
        const int32_t rates[] = {4000, 22050, 44100, 48000, 96000, 192000};
        twin.set(kSampleRate, rates[std::uniform_int_distribution<int>(0, 5)(random)]);
        break;
    }
    default: twin.recompute(); break;
    }
}

}  // namespace

TEST(EngineAgainstReference, RandomBlocksAndSettingsGiveTheSameBits) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        std::mt19937 random(seed);
        Twin twin;
        DenormalNoise noise;
        std::uniform_int_distribution<int> blockSize(0, 1200), changes(0, 3);
        for (int b = 0; b < 250; ++b) {
            for (int c = changes(random); c > 0; --c) randomChange(twin, random);
            const int frames = b % 10 == 0 ? b % 3 : blockSize(random);
            const std::vector<float> left = signal(random, frames), right = signal(random, frames);
            const std::vector<float> previous = signal(random, frames);
            twin.block(left.data(), right.data(), frames, noise.next(), random() % 2 == 0, previous.data());
            ASSERT_FALSE(HasFatalFailure()) << "seed " << seed << " block " << b;
        }
    }
}

TEST(EngineAgainstReference, FrameByFrameProcessGivesTheSameBits) {
    std::mt19937 random(7);
    Twin twin;
    twin.handOverEach = true;  // process runs without block, which would hand the changes over
    twin.setSensitivity(0.5f);
    for (int n = 0; n < 60000; ++n) {
        if (n % 997 == 0) randomChange(twin, random);
        const float left = std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
        const float right = n % 5000 < 2500 ? left : 0.0f;
        twin.engine->process(left, right);
        twin.reference.process(left, right);
        ASSERT_EQ(bitsOf(twin.engine->outLeft), bitsOf(twin.reference.outLeft)) << n;
        ASSERT_EQ(bitsOf(twin.engine->outRight), bitsOf(twin.reference.outRight)) << n;
        ASSERT_EQ(twin.engine->gateState(), twin.reference.gateState) << n;
    }
}

// Several length changes between two blocks clear from the lowest length passed through,
// not just from the length before the first change: whether the lengths passed arrive in
// one hand-over or the engine gathers them over several.
TEST(EngineAgainstReference, SeveralLengthChangesBetweenBlocksClearAsEachInTurn) {
    for (const bool handOverEach : {false, true}) {
        std::mt19937 random(11);
        Twin twin;
        twin.handOverEach = handOverEach;
        twin.set(kRoomSize, 1.0f);
        twin.block(signal(random, 20000), signal(random, 20000));
        std::vector<float> loud(20000);
        for (float& x : loud) x = std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
        twin.block(loud, loud);
        twin.set(kRoomSize, 0.3f);
        twin.set(kEarlyDelay, 0.1f);
        twin.set(kRoomSize, 0.9f);
        twin.set(kEarlyDelay, 0.6f);
        twin.block(loud, loud);
        ASSERT_FALSE(HasFatalFailure()) << handOverEach;
        twin.set(kSampleRate, 22050);
        twin.set(kSampleRate, 96000);
        twin.set(kRoomSize, 0.05f);
        twin.set(kRoomSize, 0.5f);
        twin.block(loud, loud);
        ASSERT_FALSE(HasFatalFailure()) << handOverEach;
    }
}

// A line shrunk below its position still plays that one slot; only settings that recompute
// the lines clear it.
TEST(EngineAgainstReference, OnlyRecomputingSettingsClearBeyondTheLength) {
    std::mt19937 random(5);
    std::vector<float> loud(15000);
    for (float& x : loud) x = std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
    auto shrunk = [&](Twin& twin) {
        twin.set(kRoomSize, 1.0f);
        twin.block(loud, loud);  // every slot of line 0 (8820 long) written, position 6180
        twin.set(kRoomSize, 0.5f);
        twin.driver.handOver();
    };

    Twin quiet;
    shrunk(quiet);
    quiet.set(kLateLevel, 0.7f);
    quiet.set(kPan, 0.2f);
    quiet.set(kDry, true);
    quiet.setSensitivity(0.2f);
    quiet.block(loud, loud);
    ASSERT_FALSE(HasFatalFailure());

    Twin cleared;
    shrunk(cleared);
    cleared.recompute();
    cleared.block(loud, loud);
    ASSERT_FALSE(HasFatalFailure());

    // The clear is real: skipping it on the reference side changes the very next frame.
    Twin skipped;
    shrunk(skipped);
    skipped.driver.recompute().handOver();
    std::vector<float> left(1), right(1);
    float peak = 0.0f;
    skipped.engine->processBlock(loud.data(), loud.data(), left.data(), right.data(), 1, 0.0f, false, peak);
    skipped.reference.process(loud[0], loud[0]);
    EXPECT_NE(left[0], skipped.reference.outLeft);
}

// The gate through every kind of stretch: loud with the gain climbing and then held at unity,
// loud and quiet frames mixed, holding, releasing for a long time, and loud frames landing on
// every frame of a group of four, each start and length at odd offsets.
TEST(EngineAgainstReference, GateHoldsReleasesAndClimbsLikeTheReference) {
    std::mt19937 random(13);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    for (const float hold : {0.01f, 0.1f}) {
        Twin twin;
        twin.setSensitivity(0.5f);
        twin.set(kHold, hold);
        twin.set(kDry, hold > 0.05f);
        std::vector<float> left, right;
        for (int segment = 0; segment < 40; ++segment) {
            const int length = 1 + static_cast<int>(random() % 9000);
            const int kind = segment % 4;  // silent, quiet, mixed, loud
            for (int i = 0; i < length; ++i) {
                const float level = kind == 0 ? 0.0f : kind == 1 ? 0.01f : kind == 2 ? 0.5f : 1.0f;
                const float x = kind == 3 ? (sample(random) < 0 ? -0.9f : 0.9f) : sample(random) * level;
                left.push_back(x);
                right.push_back(kind == 2 ? sample(random) * level : x);
            }
        }
        const int total = static_cast<int>(left.size());
        for (int start = 0; start < total;) {
            const int frames = std::min(total - start, 1 + static_cast<int>(random() % 2000));
            twin.block(left.data() + start, right.data() + start, frames, 3e-8f, false);
            ASSERT_FALSE(HasFatalFailure()) << "hold " << hold << " frame " << start;
            start += frames;
        }
    }
}
