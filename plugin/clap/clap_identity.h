// What hosts know Hallmere.clap by. The plug-in id is kept for good: hosts file projects,
// presets and automation under it.
#pragma once

namespace clapid {

constexpr char kPluginId[] = "com.tovik.hallmere";
constexpr char kPresetProviderId[] = "com.tovik.hallmere.factory-programs";
constexpr char kName[] = "Hallmere";
constexpr char kVendor[] = "Tovik";

}  // namespace clapid
