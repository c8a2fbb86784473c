// Test-only built-in classes in their own class tables, installed in place of the
// program's for the life of a TestClassTables object:
//   3 PROBE: own interface 8, IUnknown, interface 9 with sub-object class 4; flags 0x0400;
//            construction and destruction routines that count; member cleanup of an object
//            reference, a dynamic string and an item value in its fields.
//   4 PART:  IUnknown only; a destruction routine that counts (never run for a sub-object).
//   5 SINK:  the event sink: first interface 11 (an outgoing interface), IUnknown.
//   6 BROKEN: interface 9 names sub-object class 7, which does not exist.
// The collection (class 2) keeps its program tables' identifiers but has no descriptor here.
#pragma once

#include "objects/builtin_object.h"
#include "runtime/runtime_globals.h"

#include <atomic>

constexpr ULONG kProbeClass = 3, kPartClass = 4, kSinkClass = 5, kBrokenClass = 6;
constexpr ULONG kProbeInterface = 8, kPartInterface = 9, kSinkInterface = 11;

struct ProbeFields {
    IUnknown* held;  // released by the member cleanup table
    BSTR text;       // freed by the member cleanup table
    VARIANT value;   // cleared by the member cleanup table
    LONG constructed;
};

namespace test_classes {
extern std::atomic<int> probeConstructions;
extern std::atomic<int> probeDestructions;
extern std::atomic<int> partDestructions;
void ResetCounters();
}  // namespace test_classes

// The identifier of a run-time interface index (6 to 14) or class number (1 to 8).
IID RuntimeInterfaceId(ULONG index);
CLSID RuntimeClassId(ULONG number);

class TestClassTables {
   public:
    TestClassTables();
    ~TestClassTables();
    TestClassTables(const TestClassTables&) = delete;
    TestClassTables& operator=(const TestClassTables&) = delete;

   private:
    ModuleTables saved_;
};
