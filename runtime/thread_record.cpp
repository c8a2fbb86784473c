// ThreadRecord creation and release, and the TLS slot that holds the records.
#include "runtime/thread_record.h"

#include "runtime/cleanup_table.h"
#include "runtime/memory.h"
#include "runtime/runtime_globals.h"
#include "runtime/tib_pointer.h"

#include <atomic>

namespace {
// Guards the main record while a new record copies its code page and while the main record
// is released: RuntimeExit may free it while another thread is still creating its own.
std::atomic_flag mainRecordLock = ATOMIC_FLAG_INIT;

void LockMainRecord() {
    while (mainRecordLock.test_and_set(std::memory_order_acquire)) {
    }
}

void UnlockMainRecord() {
    mainRecordLock.clear(std::memory_order_release);
}

void StoreRecord(ThreadRecord* record) {
    TlsSetValue(TheRuntime.tlsSlot, record);
    SetTibUserPointer(record);
}
}  // namespace

ThreadRecord* FindThreadRecord() {
    return static_cast<ThreadRecord*>(TlsGetValue(TheRuntime.tlsSlot));
}

ThreadRecord* GetThreadRecord() {
    if (ThreadRecord* record = FindThreadRecord()) return record;
    auto* record = static_cast<ThreadRecord*>(RuntimeGlobalAlloc(GPTR, sizeof(ThreadRecord)));
    if (!record) return nullptr;
    // A slot that cannot be written (freed by RuntimeExit meanwhile) would lose the record.
    if (!TlsSetValue(TheRuntime.tlsSlot, record)) {
        RuntimeGlobalFree(record);
        return nullptr;
    }
    SetTibUserPointer(record);
    TheRuntime.liveRecords.fetch_add(1);
    LockMainRecord();
    if (TheRuntime.mainRecord)
        record->codePage = std::atomic_ref<UINT>(TheRuntime.mainRecord->codePage).load();
    UnlockMainRecord();
    return record;
}

void ReleaseThreadRecord() {
    ThreadRecord* record = FindThreadRecord();
    if (!record) return;
    WalkCleanupTable(TheRuntime.tables.threadCleanup, record, EraseFailure::kIgnore);
    RuntimeFreeString(record->exceptionSource);
    RuntimeFreeString(record->exceptionDescription);
    RuntimeFreeString(record->exceptionHelpFile);
    // Later records must not copy from a freed main record.
    LockMainRecord();
    if (TheRuntime.mainRecord == record) TheRuntime.mainRecord = nullptr;
    UnlockMainRecord();
    RuntimeGlobalFree(record);  // a failure here is ignored
    StoreRecord(nullptr);
    TheRuntime.liveRecords.fetch_sub(1);
}

bool StartThreadRecords() {
    TheRuntime.tlsSlot = TlsAlloc();
    if (TheRuntime.tlsSlot == TLS_OUT_OF_INDEXES) return false;
    TheRuntime.liveRecords = 0;
    TheRuntime.activeThreads = 1;  // the calling thread: the first run-time thread
    ThreadRecord* record = GetThreadRecord();
    if (!record) return false;
    LockMainRecord();
    TheRuntime.mainRecord = record;
    UnlockMainRecord();
    record->codePage = 0;
    return true;
}

void EndThreadRecords() {
    ReleaseThreadRecord();
    TlsFree(TheRuntime.tlsSlot);
}
