// Portable only: reads the platform trace and the POSIX thread attributes, which only the
// portable host has, to see what the run-time handed to CreateThread and in which order the
// wrappers call the platform.
#include "runtime/threads.h"

#include "platform/kernel/thread_stack.h"
#include "platform/trace.h"
#include "runtime/proc_frame.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
size_t stackBytes = 0;

// Runs the run-time's wrappers as every thread function does: without the end wrapper the
// thread would stay counted as live, and later tests of the shutdown would see it.
DWORD WINAPI MeasuresItsStack(LPVOID) {
    ProcFrame frame;
    ThreadScope scope(0);
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
        pthread_attr_getstacksize(&attributes, &stackBytes);
        pthread_attr_destroy(&attributes);
    }
    return 0;
}

DWORD WINAPI WrappedOnly(LPVOID) {
    ProcFrame frame;
    ThreadScope scope(0);
    return 0;
}

size_t StackOfThreadCreatedWith(DWORD requested) {
    stackBytes = 0;
    HANDLE handle = nullptr;
    CreateRuntimeThread(0, requested, 0, MeasuresItsStack, &handle);
    EXPECT_NE(handle, nullptr);
    EXPECT_EQ(WaitForSingleObject(handle, 10000), WAIT_OBJECT_0);
    CloseHandle(handle);
    return stackBytes;
}

// The trace entries of the given calls, as "call detail".
std::vector<std::string> Calls(std::initializer_list<std::string> names) {
    std::vector<std::string> calls;
    for (const platform_trace::Event& event : platform_trace::Events())
        for (const std::string& name : names)
            if (event.call == name) calls.push_back(event.call + " " + event.detail);
    return calls;
}
}  // namespace

TEST(RuntimeThreadsPortable, CreateThreadReceivesTheRaisedStackSizeAndHonoursIt) {
    platform_trace::Clear();
    platform_trace::Enable(true);
    size_t small = StackOfThreadCreatedWith(4096);
    size_t solver = StackOfThreadCreatedWith(0x100000);
    size_t unchanged = StackOfThreadCreatedWith(0x30000);
    platform_trace::Enable(false);
    EXPECT_EQ(Calls({"CreateThread"}),
              (std::vector<std::string>{"CreateThread stack=65536 flags=0",
                                        "CreateThread stack=1048576 flags=0",
                                        "CreateThread stack=196608 flags=0"}));
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    // The sanitizers' run-times raise small thread stacks to a minimum of their own.
    EXPECT_GE(small, 0x10000u);
    EXPECT_GE(solver, 0x100000u);
    EXPECT_GE(unchanged, 0x30000u);
#else
    // A host whose least stack is larger (aarch64: 128 KiB) raises the small one to it.
    EXPECT_EQ(small, std::max<size_t>(0x10000u, HostMinimumThreadStack()));
    EXPECT_EQ(solver, 0x100000u);
    EXPECT_EQ(unchanged, 0x30000u);
#endif
}

TEST(RuntimeThreadsPortable, ComComesUpFirstAndGoesDownFirst) {
    platform_trace::Clear();
    platform_trace::Enable(true);
    HANDLE handle = nullptr;
    CreateRuntimeThread(0, 0, 0, WrappedOnly, &handle);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(WaitForSingleObject(handle, 10000), WAIT_OBJECT_0);
    platform_trace::Enable(false);
    CloseHandle(handle);
    EXPECT_EQ(Calls({"CoInitialize", "CoUninitialize", "TlsSetValue"}),
              (std::vector<std::string>{"CoInitialize ", "TlsSetValue set", "CoUninitialize ",
                                        "TlsSetValue clear"}));
}

TEST(RuntimeThreadsPortable, FailedCreationLeavesAZeroHandleAndCountsNoThread) {
    ProcFrame frame;
    LONG before = ActiveRuntimeThreads();
    HANDLE handle = reinterpret_cast<HANDLE>(INT_PTR{0x55});
    // A suspended start is not supported here, so this creation fails.
    EXPECT_EQ(CreateRuntimeThread(CREATE_SUSPENDED, 0, 0, WrappedOnly, &handle), 0u);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(ActiveRuntimeThreads(), before);
    EXPECT_EQ(frame.LastError(), 0);
}
