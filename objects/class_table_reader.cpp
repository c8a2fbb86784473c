// Walking the class tables. Descriptor words are TableWords; the member CleanupTable is
// 32-bit entries, and the next descriptor starts at the following word boundary.
#include "objects/class_table_reader.h"

#include "objects/builtin_object.h"

namespace {

const BYTE* Bytes(const void* p) {
    return static_cast<const BYTE*>(p);
}

ULONG ReadUlong(const BYTE* p) {
    ULONG value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

BYTE UpperCase(BYTE c) {
    return (c >= 'a' && c <= 'z') ? static_cast<BYTE>(c - 'a' + 'A') : c;
}

// The word after the last interface entry: the pair count.
const TableWord* PairCountOf(const ClassDescriptorHead* descriptor) {
    const InterfaceEntryHead* entry = InterfaceEntryAt(descriptor, 0);
    for (TableWord i = 0; i < descriptor->interfaceCount; ++i) {
        const void* const* slot = VirtualTableOf(entry);
        while (*slot) ++slot;
        entry = reinterpret_cast<const InterfaceEntryHead*>(slot + 1);
    }
    return reinterpret_cast<const TableWord*>(entry);
}

}  // namespace

const GUID* IdentifierAt(const void* table, ULONG index) {
    const ULONG count = ReadUlong(Bytes(table));
    if (index == 0 || index > count) return nullptr;
    return reinterpret_cast<const GUID*>(Bytes(table) + sizeof(ULONG)) + (index - 1);
}

ULONG IdentifierIndex(const void* table, REFGUID identifier) {
    const ULONG count = ReadUlong(Bytes(table));
    const auto* identifiers = reinterpret_cast<const GUID*>(Bytes(table) + sizeof(ULONG));
    for (ULONG i = 0; i < count; ++i)
        if (std::memcmp(&identifiers[i], &identifier, sizeof(GUID)) == 0) return i + 1;
    return 0;
}

ULONG ClassNumberOfName(const BYTE* classNames, const BYTE* name, size_t length) {
    for (const BYTE* entry = classNames; *entry != 0; entry += 1 + *entry + sizeof(ULONG)) {
        if (*entry != length) continue;
        size_t i = 0;
        while (i < length && UpperCase(name[i]) == entry[1 + i]) ++i;
        if (i == length) return ReadUlong(entry + 1 + length);
    }
    return 0;
}

const BYTE* StoredClassName(const BYTE* classNames, ULONG classNumber, BYTE* length) {
    for (const BYTE* entry = classNames; *entry != 0; entry += 1 + *entry + sizeof(ULONG)) {
        if (ReadUlong(entry + 1 + *entry) != classNumber) continue;
        *length = *entry;
        return entry + 1;
    }
    return nullptr;
}

const ClassDescriptorHead* NextClassDescriptor(const ClassDescriptorHead* descriptor) {
    const TableWord* pairCount = PairCountOf(descriptor);
    const BYTE* cleanup =
        reinterpret_cast<const BYTE*>(pairCount + 1) + *pairCount * sizeof(EventInterfacePair);
    const auto* entry = reinterpret_cast<const CleanupEntry*>(cleanup);
    while (*entry) ++entry;
    ++entry;
    // Round up to the next word: nothing to do on the 32-bit build.
    auto address = reinterpret_cast<ULONG_PTR>(entry);
    address = (address + sizeof(TableWord) - 1) & ~(ULONG_PTR{sizeof(TableWord)} - 1);
    const auto* next = reinterpret_cast<const ClassDescriptorHead*>(address);
    return next->flags == 0 ? nullptr : next;
}

const ClassDescriptorHead* FindClassDescriptor(const ClassDescriptorHead* list, ULONG classNumber) {
    for (const ClassDescriptorHead* d = list->flags ? list : nullptr; d; d = NextClassDescriptor(d))
        if (d->classNumber == classNumber) return d;
    return nullptr;
}

const InterfaceEntryHead* InterfaceEntryAt(const ClassDescriptorHead* descriptor, ULONG position) {
    if (position >= descriptor->interfaceCount) return nullptr;
    const auto* entry = reinterpret_cast<const InterfaceEntryHead*>(descriptor + 1);
    for (ULONG i = 0; i < position; ++i) {
        const void* const* slot = VirtualTableOf(entry);
        while (*slot) ++slot;
        entry = reinterpret_cast<const InterfaceEntryHead*>(slot + 1);
    }
    return entry;
}

const InterfaceEntryHead* FindInterfaceEntry(const ClassDescriptorHead* descriptor,
                                             ULONG interfaceIndex, ULONG* position) {
    if (interfaceIndex == 0) return nullptr;
    for (ULONG p = 0; p < descriptor->interfaceCount; ++p) {
        const InterfaceEntryHead* entry = InterfaceEntryAt(descriptor, p);
        if (entry->interfaceIndex != interfaceIndex) continue;
        if (position) *position = p;
        return entry;
    }
    return nullptr;
}

const EventInterfacePair* EventPairsOf(const ClassDescriptorHead* descriptor, ULONG* count) {
    const TableWord* pairCount = PairCountOf(descriptor);
    *count = static_cast<ULONG>(*pairCount);
    return reinterpret_cast<const EventInterfacePair*>(pairCount + 1);
}

const CleanupEntry* MemberCleanupTableOf(const ClassDescriptorHead* descriptor) {
    ULONG count = 0;
    const EventInterfacePair* pairs = EventPairsOf(descriptor, &count);
    return reinterpret_cast<const CleanupEntry*>(pairs + count);
}

const ClassDescriptorHead* DescriptorOfInterface(const void* interfacePointer) {
    const auto* table = static_cast<const BYTE*>(
        static_cast<const InterfaceRecord*>(interfacePointer)->virtualTable);
    const TableWord distance = reinterpret_cast<const TableWord*>(table)[-1];
    return reinterpret_cast<const ClassDescriptorHead*>(table - distance);
}
