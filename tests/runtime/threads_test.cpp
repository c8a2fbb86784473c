// Run-time threads: creation with the handle/identifier exchange, closing, exit codes, and
// the start and end wrappers (COM, ThreadRecord, error 7 in the thread function's frame).
#include "runtime/threads.h"

#include "runtime/error_numbers.h"
#include "runtime/memory.h"
#include "runtime/proc_frame.h"
#include "runtime/runtime_globals.h"
#include "runtime/thread_record.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {
// Waits for a condition with a deadline instead of sleeping a fixed time.
template <typename Condition>
bool WaitFor(Condition condition) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

DWORD WaitAndGetExitCode(HANDLE handle) {
    EXPECT_EQ(WaitForSingleObject(handle, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(handle, &code));
    return code;
}

DWORD WINAPI ReturnsParameter(LPVOID parameter) {
    ProcFrame frame;
    ThreadScope scope(static_cast<LONG>(reinterpret_cast<INT_PTR>(parameter)));
    return static_cast<DWORD>(reinterpret_cast<INT_PTR>(parameter));
}

std::atomic<bool> released{false};
std::atomic<bool> finished{false};
DWORD WINAPI WaitsForRelease(LPVOID) {
    ProcFrame frame;
    ThreadScope scope(0);
    while (!released.load()) std::this_thread::yield();
    finished = true;
    return 0;
}

// What the thread saw of its own run-time state, read after it has ended.
struct Observation {
    bool hadRecord = false;
    UINT codePage = 0;
    HRESULT secondCoInitialize = E_FAIL;
    bool recordGoneAfterEnd = false;
    BYTE error = 0;
    BYTE errorFlags = 0;
    bool ranOn = false;
};
Observation seen;

DWORD WINAPI Observes(LPVOID) {
    ProcFrame frame;
    {
        ThreadScope scope(0);
        ThreadRecord* record = FindThreadRecord();
        seen.hadRecord = record != nullptr;
        if (record) seen.codePage = record->codePage;
        seen.secondCoInitialize = CoInitialize(nullptr);
        if (seen.secondCoInitialize == S_FALSE || seen.secondCoInitialize == S_OK) CoUninitialize();
        seen.error = frame.LastError();
        seen.errorFlags = frame.ErrorFlags();
        seen.ranOn = true;
    }
    seen.recordGoneAfterEnd = FindThreadRecord() == nullptr;
    return 0;
}

HANDLE StartObserver() {
    seen = Observation{};
    HANDLE handle = nullptr;
    CreateRuntimeThread(0, 0, 0, Observes, &handle);
    return handle;
}
}  // namespace

TEST(RuntimeThreads, StackSizesBelow64KiBRiseTo64KiBAndZeroStaysDefault) {
    EXPECT_EQ(ThreadStackSize(0), 0u);
    EXPECT_EQ(ThreadStackSize(1), 0x10000u);
    EXPECT_EQ(ThreadStackSize(4096), 0x10000u);
    EXPECT_EQ(ThreadStackSize(0xFFFF), 0x10000u);
    EXPECT_EQ(ThreadStackSize(0x10000), 0x10000u);
    EXPECT_EQ(ThreadStackSize(0x10001), 0x10001u);
    EXPECT_EQ(ThreadStackSize(0x100000), 0x100000u);
}

TEST(RuntimeThreads, HandleVariableGetsTheHandleAndTheIdentifierIsReturned) {
    HANDLE handle = reinterpret_cast<HANDLE>(INT_PTR{0x55});
    DWORD identifier = CreateRuntimeThread(0, 0x100000, 5, ReturnsParameter, &handle);
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(identifier, 0u);
    EXPECT_NE(reinterpret_cast<UINT_PTR>(handle), UINT_PTR{identifier});
    EXPECT_EQ(WaitAndGetExitCode(handle), 5u);  // the handle really is the thread's
    LONG result = 0;
    CloseThreadHandle(handle, &result);
    EXPECT_EQ(result, -1);
}

TEST(RuntimeThreads, ClosingTheHandleOfARunningThreadLetsItRunToItsEnd) {
    released = false;
    finished = false;
    LONG before = ActiveRuntimeThreads();
    HANDLE handle = nullptr;
    CreateRuntimeThread(0, 4096, 0, WaitsForRelease, &handle);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(ActiveRuntimeThreads(), before + 1);
    LONG result = 0;
    CloseThreadHandle(handle, &result);
    EXPECT_EQ(result, -1);
    released = true;
    EXPECT_TRUE(WaitFor([] { return finished.load(); }));
    EXPECT_TRUE(WaitFor([&] { return ActiveRuntimeThreads() == before; }));
}

TEST(RuntimeThreads, ClosingAnInvalidHandleGivesZeroAndRaisesNothing) {
    ProcFrame frame;
    LONG result = -1;
    CloseThreadHandle(nullptr, &result);
    EXPECT_EQ(result, 0);
    result = -1;
    CloseThreadHandle(reinterpret_cast<HANDLE>(INT_PTR{0x7FF0}), &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(frame.LastError(), 0);
}

TEST(RuntimeThreads, WrappersGiveTheThreadComAndARecordWithTheMainCodePage) {
    UINT saved = TheRuntime.mainRecord->codePage;
    TheRuntime.mainRecord->codePage = 65001;
    HANDLE handle = StartObserver();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(WaitAndGetExitCode(handle), 0u);
    TheRuntime.mainRecord->codePage = saved;
    LONG result = 0;
    CloseThreadHandle(handle, &result);
    EXPECT_TRUE(seen.hadRecord);
    EXPECT_EQ(seen.codePage, 65001u);
    EXPECT_EQ(seen.secondCoInitialize, S_FALSE);  // the start wrapper initialised COM
    EXPECT_TRUE(seen.recordGoneAfterEnd);
    EXPECT_EQ(seen.error, 0);
}

TEST(RuntimeThreads, NoMemoryForTheRecordIsError7InTheThreadFunctionsFrame) {
    allocation_seam::FailAllocationNumber(1);  // the record is the thread's first allocation
    HANDLE handle = StartObserver();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(WaitAndGetExitCode(handle), 0u);
    allocation_seam::FailAllocationNumber(0);
    LONG result = 0;
    CloseThreadHandle(handle, &result);
    EXPECT_TRUE(seen.ranOn);  // the thread went on
    EXPECT_EQ(seen.error, kErrorOutOfMemory);
    EXPECT_EQ(seen.errorFlags, 0xB0);  // raised by a service the procedure called itself
    EXPECT_TRUE(seen.recordGoneAfterEnd);
}
