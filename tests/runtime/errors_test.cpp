// Run-time errors: where RaiseError records a number and with which flags, the fatal
// numbers, the system error translation and CheckObjectResult.
#include "runtime/errors.h"

#include "runtime/fpu_control.h"
#include "runtime/memory.h"
#include "runtime/object_result.h"
#include "runtime/proc_frame.h"
#include "runtime/string_handle.h"
#include "runtime/thread_record.h"

#include <gtest/gtest.h>

#include <thread>

// The names stand for the published numbers; program code and tests use only the names.
static_assert(kErrorInvalidArgument == 5 && kErrorOutOfMemory == 7 && kErrorBadArrayBounds == 9 &&
              kErrorInternal == 51 && kErrorFileNotFound == 53 && kErrorDiskFull == 61 &&
              kErrorEndOfFile == 62 && kErrorTooManyFiles == 67 && kErrorDeviceUnavailable == 68 &&
              kErrorAccessDenied == 70 && kErrorDiskNotReady == 71 && kErrorDeviceFault == 72 &&
              kErrorNotSameDevice == 74 && kErrorSystemCallFailed == 75 &&
              kErrorPathNotFound == 76 && kErrorObjectCallFailed == 99 &&
              kErrorMemoryDamaged == 241 && kFirstFatalError == 241 && kFatalExitCode == 255);

TEST(RaiseError, RecordsNumberInTheCallingProceduresFrame) {
    ProcFrame outer;
    {
        ProcFrame inner;
        RaiseError(kFirstFatalError - 1);  // not fatal: returns
        EXPECT_EQ(inner.LastError(), kFirstFatalError - 1);
        EXPECT_EQ(inner.ErrorFlags(), kErrorFromProcedure);
        EXPECT_EQ(outer.errorState, 0);
        RaiseError(0);
        EXPECT_EQ(inner.LastError(), kErrorInternal);  // 0 stands for it
    }
    EXPECT_EQ(&CurrentProcFrame(), &outer);
    RaiseError(kErrorInvalidArgument);
    EXPECT_EQ(outer.errorState, 0xB000 | kErrorInvalidArgument);
}

TEST(RaiseError, FlagsTellTheProceduresOwnCallFromANestedOne) {
    ProcFrame frame;
    allocation_seam::FailAllocationNumber(1);
    EXPECT_EQ(AllocByteString(4), nullptr);  // the procedure called the failing service
    EXPECT_EQ(frame.errorState, 0xB000 | kErrorOutOfMemory);
    allocation_seam::FailAllocationNumber(1);
    // CopyString reaches the failing allocation through another service.
    BSTR literal = SysAllocStringByteLen("abc", 3);
    EXPECT_EQ(CopyString(BorrowedHandle(literal)), nullptr);
    EXPECT_EQ(frame.errorState, 0x3000 | kErrorOutOfMemory);
    allocation_seam::FailAllocationNumber(0);
    SysFreeString(literal);
    RaiseError(kErrorBadArrayBounds);  // raised by program code directly
    EXPECT_EQ(frame.errorState, 0xB000 | kErrorBadArrayBounds);
}

TEST(RaiseError, ProcedureCalledFromInsideAServiceStartsAtItsOwnDepth) {
    ProcFrame frame;
    RuntimeService wrapper;  // a thread start wrapper calling the thread function, say
    RuntimeService inner;
    {
        ProcFrame threadFunction;
        EXPECT_EQ(RuntimeServiceDepth(), 0);
        RuntimeService call;
        RaiseError(kErrorOutOfMemory);
        EXPECT_EQ(threadFunction.errorState, 0xB000 | kErrorOutOfMemory);
    }
    EXPECT_EQ(RuntimeServiceDepth(), 2);
}

TEST(RaiseError, WithoutAProcedureLandsInTheThreadsRootFrame) {
    BYTE rootError = 0;
    bool distinct = false;
    std::thread([&] {
        ProcFrame* root = &CurrentProcFrame();
        RaiseError(kErrorEndOfFile);
        rootError = root->LastError();
        ProcFrame procedure;
        distinct = &CurrentProcFrame() == &procedure && root != &procedure;
        ReleaseThreadRecord();  // RaiseError made sure the thread has one
    }).join();
    EXPECT_EQ(rootError, kErrorEndOfFile);
    EXPECT_TRUE(distinct);
}

TEST(RaiseErrorDeathTest, FatalNumbersEndTheProcessWith255) {
    EXPECT_EXIT(RaiseError(kFirstFatalError), ::testing::ExitedWithCode(kFatalExitCode), "");
    EXPECT_EXIT(RaiseError(0xFF), ::testing::ExitedWithCode(kFatalExitCode), "");  // the highest
    EXPECT_EXIT(
        {
            ProcFrame frame;
            RaiseError(kFirstFatalError - 1);
            ExitProcess(frame.LastError() == kFirstFatalError - 1 ? 3 : 4);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST(SystemErrorMap, EveryCodeOfTheTableAndTheRest) {
    // Win32 codes 0 to 40 and their run-time numbers.
    const BYTE expected[41] = {0,  75, 53, 76, 67, 70, 51, 241, 7,  241, 241, 51, 51, 51,
                               7,  68, 75, 74, 53, 70, 68, 71,  51, 72,  51,  72, 72, 72,
                               72, 72, 72, 72, 70, 70, 72, 72,  70, 75,  62,  61, 75};
    for (DWORD code = 0; code <= 40; ++code) {
        EXPECT_EQ(SystemErrorMap[code], expected[code]) << "code " << code;
        EXPECT_EQ(TranslateSystemError(code), expected[code]) << "code " << code;
    }
    EXPECT_EQ(TranslateSystemError(ERROR_DISK_FULL), kErrorDiskFull);
    EXPECT_EQ(TranslateSystemError(ERROR_INVALID_PARAMETER), kErrorInvalidArgument);
    EXPECT_EQ(TranslateSystemError(41), kErrorSystemCallFailed);
    EXPECT_EQ(TranslateSystemError(1450), kErrorSystemCallFailed);
    EXPECT_EQ(TranslateSystemError(0x10002),
              kErrorSystemCallFailed);  // not reduced to its low word first
}

TEST(CheckObjectResult, RecordsEveryResultAndRaises99OnlyForNegative) {
    ProcFrame frame;
    EXPECT_EQ(CheckObjectResult(S_FALSE), S_FALSE);
    EXPECT_EQ(LastObjectResult(), S_FALSE);
    EXPECT_EQ(frame.errorState, 0);
    EXPECT_EQ(CheckObjectResult(E_FAIL), E_FAIL);
    EXPECT_EQ(LastObjectResult(), E_FAIL);
    EXPECT_EQ(frame.errorState, 0xB000 | kErrorObjectCallFailed);
    EXPECT_EQ(CheckObjectResult(S_OK), S_OK);
    EXPECT_EQ(LastObjectResult(), S_OK);
    EXPECT_EQ(frame.LastError(), kErrorObjectCallFailed);  // stays until the next error
}

TEST(CheckObjectResult, ReloadsTheRuntimeControlWord) {
    const uint16_t saved = ReadFpuControlWord();
    LoadFpuControlWord(kRuntimeFpuControlWord);
    const uint16_t expected = ReadFpuControlWord();  // reserved bit 6 always reads as 1
    LoadFpuControlWord(0x027F);  // 53-bit precision, as a system call might leave it
    CheckObjectResult(S_OK);
    const uint16_t after = ReadFpuControlWord();
    LoadFpuControlWord(saved);
    EXPECT_EQ(after, expected);
    EXPECT_EQ(after & 0x0F3F, 0x033F);  // all masked, 64-bit precision, round to nearest
}

TEST(CheckObjectResult, KeepsOneResultPerThread) {
    CheckObjectResult(S_FALSE);
    HRESULT seenByOther = 0;
    std::thread([&] {
        ProcFrame frame;
        seenByOther = LastObjectResult();  // a new thread has no record yet
        CheckObjectResult(E_FAIL);
        ReleaseThreadRecord();
    }).join();
    EXPECT_EQ(seenByOther, S_OK);
    EXPECT_EQ(LastObjectResult(), S_FALSE);
}
