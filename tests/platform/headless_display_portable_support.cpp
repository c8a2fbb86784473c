// Portable only: every unit test that opens a window does so on the in-memory headless
// display, chosen here before the first test runs; tests read its frames and inject its
// events through platform/display/headless_backend.h.
#include "platform/display/headless_backend.h"

#include <gtest/gtest.h>

namespace {

class HeadlessDisplay : public testing::Environment {
   public:
    void SetUp() override { ASSERT_TRUE(display::UseHeadlessDisplay()); }
};

testing::Environment* const headless = testing::AddGlobalTestEnvironment(new HeadlessDisplay);

}  // namespace
