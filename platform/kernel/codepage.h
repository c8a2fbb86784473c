// Code-page conversions for the portable host: MultiByteToWideChar and WideCharToMultiByte
// for CP_ACP (UTF-8 here, see below), CP_THREAD_ACP (the same), CP_UTF8 and Windows-1252.
// Other code pages fail with ERROR_INVALID_PARAMETER.
#pragma once

#include "platform/types.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_UTF7 65000
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_COMPOSITECHECK 0x00000200
#define WC_NO_BEST_FIT_CHARS 0x00000400

// Converts `sourceBytes` bytes of 8-bit text (-1: up to and including its zero byte) to
// UTF-16. With `outputCharacters` 0 returns the number of characters needed; otherwise
// writes them and returns how many it wrote. Failures return 0 with:
// ERROR_INVALID_PARAMETER for a null source, a source length of 0 or below -1, a negative
// output size, a null output with a non-zero size, or a code page not supported here;
// ERROR_INVALID_FLAGS for flags the code page does not take (CP_UTF8: only
// MB_ERR_INVALID_CHARS; the others: MB_PRECOMPOSED and MB_ERR_INVALID_CHARS);
// ERROR_INSUFFICIENT_BUFFER when the output is too small;
// ERROR_NO_UNICODE_TRANSLATION for ill-formed UTF-8 under MB_ERR_INVALID_CHARS (without
// it, each maximal ill-formed subsequence becomes one U+FFFD).
// CP_ACP and CP_THREAD_ACP mean UTF-8 on this host, but take the flags of an ANSI code page
// (MB_PRECOMPOSED is accepted and has nothing to do: the result is never decomposed).
// Knowingly differs from Windows: MB_COMPOSITE and MB_USEGLYPHCHARS are refused with
// ERROR_INVALID_FLAGS; the five bytes that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the control characters of the same value, as on Windows.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceBytes, LPWSTR output,
                        int outputCharacters);

// Converts `sourceCharacters` UTF-16 characters (-1: up to and including the zero) to
// 8-bit text. With `outputBytes` 0 returns the number of bytes needed; otherwise writes
// them and returns how many it wrote. Failures return 0 with:
// ERROR_INVALID_PARAMETER for a null source, a source length of 0 or below -1, a negative
// output size, a null output with a non-zero size, an unsupported code page, or (CP_UTF8
// only) a default character or used-default flag that is not null;
// ERROR_INVALID_FLAGS for flags the code page does not take (CP_UTF8: only
// WC_ERR_INVALID_CHARS; CP_ACP and 1252: only WC_NO_BEST_FIT_CHARS, which changes nothing
// here because there is no best-fit mapping);
// ERROR_INSUFFICIENT_BUFFER when the output is too small;
// ERROR_NO_UNICODE_TRANSLATION for an unpaired surrogate under WC_ERR_INVALID_CHARS
// (without it, UTF-8 output gets U+FFFD in its place).
// For 1252 a character with no byte becomes `defaultCharacter` (or '?' when null) and sets
// `*usedDefault`; for CP_ACP only an unpaired surrogate has no bytes and becomes the
// default character when one is given, U+FFFD otherwise, and sets `*usedDefault`. Knowingly
// differs from Windows: there is no best-fit mapping (Windows turns, say, U+0100 into 'A' unless
// WC_NO_BEST_FIT_CHARS is given; here it is always the default character), and WC_COMPOSITECHECK
// with its companions is refused with ERROR_INVALID_FLAGS.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceCharacters,
                        LPSTR output, int outputBytes, LPCSTR defaultCharacter, BOOL* usedDefault);
