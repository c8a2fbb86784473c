// Every unit test runs as the program does after start-up: a TLS slot for the run-time's
// thread records and a main record on the test program's first thread.
#include "runtime/thread_record.h"

#include <gtest/gtest.h>

namespace {
class RuntimeEnvironment : public ::testing::Environment {
   public:
    void SetUp() override { ASSERT_TRUE(StartThreadRecords()); }
    void TearDown() override { EndThreadRecords(); }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment);
}  // namespace
