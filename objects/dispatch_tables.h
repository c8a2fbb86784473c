// What late-bound calls read from the class tables: names folded for comparison, the
// method-name table (method and parameter names by dispatch identifier) and the dispatch
// descriptor table (how to call each method). The tables are the program's own data.
#pragma once

#include "objects/class_table_layout.h"

// A name as the tables compare it: the low 8 bits of each character up to the terminating
// 0, at most 255 of them, 'a' to 'z' in upper case.
struct FoldedName {
    BYTE length;
    BYTE characters[255];
};
// A null name folds to length 0, which no stored name has.
FoldedName FoldName(const OLECHAR* name);

// One entry of the method-name table: its identifier and its packed names (method name,
// then each parameter name in declared order, each an 8-bit length and the characters,
// ended by a 0 byte).
struct MethodNameEntry {
    DISPID id;
    const BYTE* names;
};

// The entry of `classNumber` whose method name is `name`; false when there is none.
bool FindMethodEntry(const BYTE* table, ULONG classNumber, const FoldedName& name,
                     MethodNameEntry* entry);
// The 0-based declared position of a parameter name of `entry`; -1 when it has none such.
LONG FindParameterName(const MethodNameEntry& entry, const FoldedName& name);

// The first row of `classNumber` and `id` that accepts one of `kinds`; null when none.
const DispatchRowHead* FindDispatchRow(const DispatchRowHead* rows, ULONG classNumber, DISPID id,
                                       WORD kinds);

// The VARIANT kind of a dispatch type code (value-type code / 2); VT_ILLEGAL when it has
// none. Asked for every parameter of every late-bound call, hence a table here.
inline VARTYPE KindOfTypeCode(BYTE halfCode) {
    constexpr VARTYPE X = VT_ILLEGAL;
    // clang-format off
    static constexpr VARTYPE kKinds[32] = {
        VT_UI1, VT_UI2,     VT_UI4,      X, VT_I2, VT_I4, X, X,        // 0x00
        VT_I8,  X,          VT_R4,       VT_R8, X, VT_CY, X, X,        // 0x08
        X,      VT_VARIANT, VT_DISPATCH, X, X, X, X, VT_BSTR,          // 0x10
        X,      X,          X,           VT_BSTR, X, X, VT_I4, VT_R4}; // 0x18
    // clang-format on
    return halfCode < 32 ? kKinds[halfCode] : X;
}
