// Cairo and fontconfig keep process-wide caches; test programs that draw text free them at
// the end so leak checks see only ours.
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

namespace {

class FontCacheCleanup : public ::testing::Environment {
public:
    void TearDown() override {
        cairo_debug_reset_static_data();
        FcFini();
    }
};

const auto* const cleanup = ::testing::AddGlobalTestEnvironment(new FontCacheCleanup);

}  // namespace
