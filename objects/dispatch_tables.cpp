// Walking the method-name and dispatch descriptor tables for late-bound calls.
#include "objects/dispatch_tables.h"

namespace {

ULONG ReadUlong(const BYTE* p) {
    ULONG value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

bool SameName(const BYTE* stored, const FoldedName& name) {
    return stored[0] == name.length && std::memcmp(stored + 1, name.characters, name.length) == 0;
}

// The byte after an entry's names (its ending 0 byte included).
const BYTE* SkipNames(const BYTE* names) {
    while (*names) names += 1 + *names;
    return names + 1;
}

}  // namespace

FoldedName FoldName(const OLECHAR* name) {
    FoldedName folded{};
    if (!name) return folded;
    for (; folded.length < sizeof folded.characters && name[folded.length]; ++folded.length) {
        BYTE c = static_cast<BYTE>(name[folded.length] & 0xFF);
        if (c >= 'a' && c <= 'z') c = static_cast<BYTE>(c - 'a' + 'A');
        folded.characters[folded.length] = c;
    }
    return folded;
}

bool FindMethodEntry(const BYTE* table, ULONG classNumber, const FoldedName& name,
                     MethodNameEntry* entry) {
    if (name.length == 0) return false;
    const BYTE* p = table;
    for (ULONG group = ReadUlong(p); group != 0; group = ReadUlong(p)) {
        p += sizeof(ULONG);
        for (ULONG id = ReadUlong(p); id != 0; id = ReadUlong(p)) {
            const BYTE* names = p + sizeof(ULONG);
            if (group == classNumber && SameName(names, name)) {
                *entry = MethodNameEntry{static_cast<DISPID>(id), names};
                return true;
            }
            p = SkipNames(names);
        }
        p += sizeof(ULONG);  // the group's ending 0
    }
    return false;
}

LONG FindParameterName(const MethodNameEntry& entry, const FoldedName& name) {
    if (name.length == 0) return -1;
    const BYTE* p = entry.names + 1 + entry.names[0];  // past the method name
    for (LONG position = 0; *p; ++position, p += 1 + *p)
        if (SameName(p, name)) return position;
    return -1;
}

const DispatchRowHead* FindDispatchRow(const DispatchRowHead* rows, ULONG classNumber, DISPID id,
                                       WORD kinds) {
    for (const DispatchRowHead* row = rows; row->classNumber != 0; row = NextDispatchRow(row))
        if (row->classNumber == classNumber && row->dispatchId == id && (row->invokeKinds & kinds))
            return row;
    return nullptr;
}
