// Compile-time builders of the two byte-packed class tables, the class-name table and the
// method-name table: each is declared as a list of names and numbers, and its bytes (32-bit
// numbers little-endian, names as an 8-bit length and upper-case letters) are computed
// from that list, so no table is ever packed by hand.
#pragma once

#include "platform/win32.h"

#include <array>
#include <cstddef>
#include <span>

// One class of the class-name table; the name is stored in upper case.
struct ClassNameDeclaration {
    const char* name;
    ULONG classNumber;
};

// One method of the method-name table: its dispatch identifier (never 0), its name and the
// names of its parameters in declaration order. Names are stored in upper case.
struct MethodNameDeclaration {
    LONG dispatchId;
    const char* name;
    std::array<const char*, 3> parameters;  // unused places null
};

// The methods of one class in the method-name table.
struct MethodGroupDeclaration {
    ULONG classNumber;
    std::span<const MethodNameDeclaration> methods;
};

namespace table_builders {

// Writes bytes to `out`, or only counts them when `out` is null, so one writing routine
// gives both a table's size and its contents.
struct ByteWriter {
    BYTE* out = nullptr;
    size_t size = 0;

    constexpr void Byte(BYTE value) {
        if (out) out[size] = value;
        ++size;
    }
    constexpr void Word32(ULONG value) {
        for (int shift = 0; shift < 32; shift += 8) Byte(static_cast<BYTE>(value >> shift));
    }
    // An 8-bit length, then the characters with a-z in upper case; lookups fold a-z the same
    // way, so the table holds the one spelling they compare with.
    constexpr void Name(const char* name) {
        size_t length = 0;
        while (name[length]) ++length;
        Byte(static_cast<BYTE>(length));
        for (size_t k = 0; k < length; ++k) {
            const char c = name[k];
            Byte(static_cast<BYTE>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c));
        }
    }
};

// Class-name table: per class its name and 32-bit class number (unaligned); a length of 0
// ends the table.
constexpr void WriteClassNames(ByteWriter& w, std::span<const ClassNameDeclaration> classes) {
    for (const ClassNameDeclaration& c : classes) {
        w.Name(c.name);
        w.Word32(c.classNumber);
    }
    w.Byte(0);
}

// Method-name table: per class its 32-bit number, then per method its 32-bit dispatch
// identifier, its name, its parameter names and a 0 byte, then a 32-bit 0 ending the class's
// group; a 32-bit 0 in place of a class number ends the table.
constexpr void WriteMethodNames(ByteWriter& w, std::span<const MethodGroupDeclaration> groups) {
    for (const MethodGroupDeclaration& group : groups) {
        w.Word32(group.classNumber);
        for (const MethodNameDeclaration& method : group.methods) {
            w.Word32(static_cast<ULONG>(method.dispatchId));
            w.Name(method.name);
            for (const char* parameter : method.parameters)
                if (parameter) w.Name(parameter);
            w.Byte(0);
        }
        w.Word32(0);
    }
    w.Word32(0);
}

template <auto Write, const auto& Declarations>
constexpr auto Build() {
    constexpr size_t size = [] {
        ByteWriter counter;
        Write(counter, std::span(Declarations));
        return counter.size;
    }();
    std::array<BYTE, size> bytes{};
    ByteWriter writer{bytes.data()};
    Write(writer, std::span(Declarations));
    return bytes;
}

}  // namespace table_builders

// The bytes of the class-name table declared by `Classes` (an array of ClassNameDeclaration).
template <const auto& Classes>
constexpr auto ClassNameTable() {
    return table_builders::Build<table_builders::WriteClassNames, Classes>();
}

// The bytes of the method-name table declared by `Groups` (an array of
// MethodGroupDeclaration).
template <const auto& Groups>
constexpr auto MethodNameTable() {
    return table_builders::Build<table_builders::WriteMethodNames, Groups>();
}
