// How the reverb appears to a VST 3 host: its class id, names and parameter ids beyond the
// thirteen of the table. The module, its moduleinfo.json and the tests all read this.
// The ids are fixed for good: hosts store them in every project.
#pragma once

#include <cstdint>

#include "effect/parameter_table.h"
#include "effect/reverb_program.h"
#include "plugin/vst3/vst3_audio.h"

namespace vst3id {

// The audio effect's class id as four words (also its text in moduleinfo.json).
constexpr std::uint32_t kClassWords[4] = {0x1B2D2017, 0xE3C54730, 0x92A3AD2F, 0x6CE47B77};
constexpr vst3::Uid kClassId = vst3::makeUid(kClassWords[0], kClassWords[1], kClassWords[2], kClassWords[3]);

constexpr const char* kName = "Hallmere";
constexpr const char* kVendor = "Tovik";
constexpr const char* kSubCategories = "Fx|Reverb";
constexpr const char* kSdkVersion = "VST 3.7.14";

// Parameters 0..12 are the table's, with their indices as ids; these two follow them in the
// host's list and lie far enough above for the table to grow.
constexpr vst3::ParamID kProgramId = 100;
constexpr vst3::ParamID kBypassId = 101;
constexpr std::int32_t kParameterListSize = kParameterCount + 2;
constexpr std::int32_t kProgramSteps = kProgramCount - 1;

constexpr vst3::ProgramListID kProgramListId = 1;

}  // namespace vst3id
