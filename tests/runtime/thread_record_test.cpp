// ThreadRecord: creation, the TLS slot and its mirror, code-page inheritance, release.
#include "runtime/thread_record.h"

#include "runtime/memory.h"
#include "runtime/runtime_globals.h"
#include "runtime/tib_pointer.h"

#include <gtest/gtest.h>

#include <thread>

TEST(ThreadRecord, CreatedZeroFilledAndMirroredOnFirstUse) {
    ThreadRecord* found = nullptr;
    ThreadRecord* created = nullptr;
    ThreadRecord* again = nullptr;
    void* mirror = nullptr;
    std::thread([&] {
        found = FindThreadRecord();
        created = GetThreadRecord();
        again = GetThreadRecord();
        mirror = TibUserPointer();
        ASSERT_NE(created, nullptr);
        EXPECT_EQ(created->lastObjectResult, 0);
        EXPECT_EQ(created->exceptionSource, nullptr);
        EXPECT_EQ(created->exceptionHelpContext, 0u);
        ReleaseThreadRecord();
        EXPECT_EQ(FindThreadRecord(), nullptr);
        EXPECT_EQ(TibUserPointer(), nullptr);
    }).join();
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(again, created);
    EXPECT_EQ(mirror, created);
}

TEST(ThreadRecord, NewRecordCopiesTheMainRecordsCodePage) {
    ASSERT_NE(TheRuntime.mainRecord, nullptr);
    UINT saved = TheRuntime.mainRecord->codePage;
    TheRuntime.mainRecord->codePage = 1252;
    UINT inherited = 0;
    std::thread([&] {
        inherited = GetThreadRecord()->codePage;
        ReleaseThreadRecord();
    }).join();
    TheRuntime.mainRecord->codePage = saved;
    EXPECT_EQ(inherited, 1252u);
}

TEST(ThreadRecord, ReleaseFreesOwnedStringsOnceAndTwiceIsHarmless) {
    std::thread([] {
        ThreadRecord* record = GetThreadRecord();
        ASSERT_NE(record, nullptr);
        LONG live = TheRuntime.liveRecords.load();
        record->exceptionSource = RuntimeAllocWideString(WSTR("src"), 3);
        record->exceptionHelpFile = RuntimeAllocWideString(WSTR("help"), 4);
        allocation_seam::Counters before = allocation_seam::Read();
        ReleaseThreadRecord();
        allocation_seam::Counters after = allocation_seam::Read();
        EXPECT_EQ(after.frees - before.frees, 3);  // two strings and the record itself
        EXPECT_EQ(TheRuntime.liveRecords.load(), live - 1);
        ReleaseThreadRecord();
        EXPECT_EQ(allocation_seam::Read().frees, after.frees);
        EXPECT_EQ(TheRuntime.liveRecords.load(), live - 1);
    }).join();
}

TEST(ThreadRecord, AllocationFailureGivesNullAndLeavesTheSlotEmpty) {
    std::thread([] {
        allocation_seam::FailAllocationNumber(1);
        ThreadRecord* record = GetThreadRecord();
        allocation_seam::FailAllocationNumber(0);
        EXPECT_EQ(record, nullptr);
        EXPECT_EQ(FindThreadRecord(), nullptr);
        ThreadRecord* retried = GetThreadRecord();
        EXPECT_NE(retried, nullptr);
        ReleaseThreadRecord();
    }).join();
}

TEST(ThreadRecord, ReleasingTheMainRecordStopsLaterRecordsFromCopyingIt) {
    ThreadRecord* realMain = TheRuntime.mainRecord;
    UINT inherited = 77;
    std::thread([] {
        // This thread's record stands in for a main record released by RuntimeExit.
        ThreadRecord* record = GetThreadRecord();
        ASSERT_NE(record, nullptr);
        record->codePage = 1252;
        TheRuntime.mainRecord = record;
        ReleaseThreadRecord();
    }).join();
    ThreadRecord* mainAfterRelease = TheRuntime.mainRecord;
    std::thread([&] {
        inherited = GetThreadRecord()->codePage;  // must not read the freed record
        ReleaseThreadRecord();
    }).join();
    TheRuntime.mainRecord = realMain;
    EXPECT_EQ(mainAfterRelease, nullptr);
    EXPECT_EQ(inherited, 0u);
}
