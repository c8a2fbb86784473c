// Literal strings of the program image, laid out as counted strings (32-bit byte length
// right before the characters, zero terminator after) so that they enter string expressions
// as borrowed handles without a copy. They are never freed.
#pragma once

#include "platform/win32.h"

#include <cstddef>

template <typename Char, size_t N>
struct alignas(8) CountedLiteral {
    DWORD reserved;  // keeps the characters 8-byte aligned, as allocated strings are
    DWORD byteLength;
    Char text[N + 1];  // the source's characters and terminator, and one more zero

    constexpr CountedLiteral(const Char (&source)[N])
        : reserved(0), byteLength(static_cast<DWORD>((N - 1) * sizeof(Char))), text{} {
        for (size_t k = 0; k < N; ++k) text[k] = source[k];
    }
    // The handle to push as borrowed; it refers to the literal's own characters.
    BSTR Handle() const { return reinterpret_cast<BSTR>(const_cast<Char*>(text)); }
};

// StringLiteral("text"): an 8-bit literal; WideLiteral(WSTR("text")): a wide one. Embedded
// zeros count: StringLiteral("a\0b") is three bytes long.
template <size_t N>
using ByteLiteral = CountedLiteral<char, N>;
template <size_t N>
constexpr ByteLiteral<N> StringLiteral(const char (&source)[N]) {
    return ByteLiteral<N>(source);
}
template <size_t N>
constexpr CountedLiteral<OLECHAR, N> WideLiteral(const OLECHAR (&source)[N]) {
    return CountedLiteral<OLECHAR, N>(source);
}
