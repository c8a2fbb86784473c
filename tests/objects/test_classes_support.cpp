// The test classes' tables and routines.
#include "tests/objects/test_classes_support.h"

#include "objects/builtin_unknown.h"
#include "objects/class_tables.h"

#include <cstddef>

namespace test_classes {
std::atomic<int> probeConstructions{0};
std::atomic<int> probeDestructions{0};
std::atomic<int> partDestructions{0};
void ResetCounters() {
    probeConstructions = 0;
    probeDestructions = 0;
    partDestructions = 0;
}
}  // namespace test_classes

namespace {

LONG STDMETHODCALLTYPE ConstructProbe(IUnknown* self) {
    ++test_classes::probeConstructions;
    ClassFieldsOf<ProbeFields>(self)->constructed = 1;
    return 0;
}
void STDMETHODCALLTYPE DestroyProbe(IUnknown*) {
    ++test_classes::probeDestructions;
}
void STDMETHODCALLTYPE DestroyPart(IUnknown*) {
    ++test_classes::partDestructions;
}

template <typename Function>
const void* Slot(Function function) {
    return reinterpret_cast<const void*>(function);
}
#define UNKNOWN_SLOTS \
    { Slot(&BuiltinQueryInterface), Slot(&BuiltinAddRef), Slot(&BuiltinRelease) }

constexpr DWORD FieldOffset(size_t field) {
    return static_cast<DWORD>(sizeof(ObjectHeader) + sizeof(ObjectCommonWords) + field);
}

struct Descriptors {
    ClassDescriptorHead probe;
    InterfaceEntry<3> probeOwn;
    InterfaceEntry<3> probeUnknown;
    InterfaceEntry<3> probePart;
    TableWord probePairCount;
    EventInterfacePair probePairs[1];
    CleanupEntry probeCleanup[4];
    ClassDescriptorHead part;
    InterfaceEntry<3> partUnknown;
    TableWord partPairCount;
    CleanupEntry partCleanup[1];
    ClassDescriptorHead sink;
    InterfaceEntry<3> sinkOwn;
    InterfaceEntry<3> sinkUnknown;
    TableWord sinkPairCount;
    CleanupEntry sinkCleanup[1];
    ClassDescriptorHead broken;
    InterfaceEntry<3> brokenUnknown;
    InterfaceEntry<3> brokenPart;
    TableWord brokenPairCount;
    CleanupEntry brokenCleanup[1];
    TableWord end;
};

constexpr TableWord kDataBlock = sizeof(ObjectHeader) + sizeof(ObjectCommonWords);
// A flags word of 0 would end the list: every test class has a non-zero one.
// Each distance counts from the start of its own class descriptor.
#define AT(head, member) (offsetof(Descriptors, member.table) - offsetof(Descriptors, head))

const Descriptors kDescriptors = {
    {0x0400, kProbeClass, &ConstructProbe, &DestroyProbe, kDataBlock + sizeof(ProbeFields), 11, 22,
     3},
    {{kProbeInterface, 0, 0, AT(probe, probeOwn)}, UNKNOWN_SLOTS, nullptr},
    {{1, 0, 0, AT(probe, probeUnknown)}, UNKNOWN_SLOTS, nullptr},
    {{kPartInterface, kPartClass, 1, AT(probe, probePart)}, UNKNOWN_SLOTS, nullptr},
    1,
    {{kSinkInterface, 0}},
    {MakeCleanupEntry(FieldOffset(offsetof(ProbeFields, held)), kCleanupObject),
     MakeCleanupEntry(FieldOffset(offsetof(ProbeFields, text)), kCleanupString),
     MakeCleanupEntry(FieldOffset(offsetof(ProbeFields, value)), kCleanupItemValue), 0},
    {0x0001, kPartClass, nullptr, &DestroyPart, kDataBlock, 0, 0, 1},
    {{1, 0, 0, AT(part, partUnknown)}, UNKNOWN_SLOTS, nullptr},
    0,
    {0},
    {0x0001, kSinkClass, nullptr, nullptr, kDataBlock, 0, 0, 2},
    {{kSinkInterface, 0, 0, AT(sink, sinkOwn)}, UNKNOWN_SLOTS, nullptr},
    {{1, 0, 0, AT(sink, sinkUnknown)}, UNKNOWN_SLOTS, nullptr},
    0,
    {0},
    {0x0001, kBrokenClass, nullptr, nullptr, kDataBlock, 0, 0, 2},
    {{1, 0, 0, AT(broken, brokenUnknown)}, UNKNOWN_SLOTS, nullptr},
    {{kPartInterface, 7, 1, AT(broken, brokenPart)}, UNKNOWN_SLOTS, nullptr},
    0,
    {0},
    0,
};

// clang-format off
const BYTE kClassNames[] = {
    18, 'L', 'I', 'N', 'K', 'L', 'I', 'S', 'T', 'C', 'O', 'L', 'L', 'E', 'C', 'T', 'I', 'O', 'N',
    2, 0, 0, 0,
    5, 'P', 'R', 'O', 'B', 'E', 3, 0, 0, 0,
    4, 'P', 'A', 'R', 'T', 4, 0, 0, 0,
    4, 'S', 'I', 'N', 'K', 5, 0, 0, 0,
    6, 'B', 'R', 'O', 'K', 'E', 'N', 6, 0, 0, 0,
    0,
};
// clang-format on

}  // namespace

IID RuntimeInterfaceId(ULONG index) {
    return IID{0x70000023,
               0x0023,
               0x0023,
               {0x00, 0x23, 0x70, 0x00, 0x00, 0x00, 0x00, static_cast<BYTE>(0x11 + index - 6)}};
}

CLSID RuntimeClassId(ULONG number) {
    return CLSID{0x70000023,
                 0x0023,
                 0x0023,
                 {0x00, 0x23, 0x70, 0x00, 0x00, 0x00, 0x00, static_cast<BYTE>(0x80 + number)}};
}

TestClassTables::TestClassTables() : saved_(TheRuntime.tables) {
    TheRuntime.tables.classDescriptors = &kDescriptors.probe;
    TheRuntime.tables.classNames = kClassNames;
    test_classes::ResetCounters();
}

TestClassTables::~TestClassTables() {
    TheRuntime.tables = saved_;
}
