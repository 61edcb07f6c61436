// Drives an engine the way its owner does: changes gather until the next block, and one
// configure call hands them over, with the lowest lengths the lines passed through on the way.
#pragma once

#include <algorithm>
#include <cstdint>

#include "dsp/reverb_engine.h"

class EngineDriver {
public:
    explicit EngineDriver(ReverbEngine& engine) : engine_(engine), wanted_(engine.settings()) { forgetChanges(); }

    template <class T>
    EngineDriver& set(T ReverbSettings::*field, T value) {
        if (!actsFrameByFrame(field)) reshape();
        wanted_.*field = value;
        pending_ = true;
        return *this;
    }

    EngineDriver& setSensitivity(float sensitivity) {
        gateReset_ = true;
        return set(&ReverbSettings::threshold, thresholdFor(sensitivity));
    }

    // The coefficients worked out again with no setting changed, as on a restart.
    EngineDriver& recompute() {
        reshape();
        pending_ = true;
        return *this;
    }

    void handOver() {
        if (pending_) engine_.configure(wanted_, reshape_, lengthsPassed_, gateReset_);
        forgetChanges();
    }

private:
    static bool actsFrameByFrame(float ReverbSettings::*field) {
        return field == &ReverbSettings::lateLevel || field == &ReverbSettings::pan ||
               field == &ReverbSettings::threshold;
    }
    static bool actsFrameByFrame(bool ReverbSettings::*) { return true; }      // dry
    static bool actsFrameByFrame(int32_t ReverbSettings::*) { return false; }  // the sample rate

    // A change sets every length again, clearing each line from the length in force.
    void reshape() {
        int32_t length[kLineCount];
        computeLengths(limitSettings(wanted_), length);
        for (int i = 0; i < kLineCount; ++i) lengthsPassed_[i] = std::min(lengthsPassed_[i], length[i]);
        reshape_ = true;
    }

    void forgetChanges() {
        for (int i = 0; i < kLineCount; ++i) lengthsPassed_[i] = lineCapacity(i);
        pending_ = reshape_ = gateReset_ = false;
    }

    ReverbEngine& engine_;
    ReverbSettings wanted_;
    int32_t lengthsPassed_[kLineCount];
    bool pending_, reshape_, gateReset_;
};
