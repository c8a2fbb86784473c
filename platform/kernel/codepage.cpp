// MultiByteToWideChar and WideCharToMultiByte for the portable host: UTF-8 (also standing
// for the ANSI code page, whose meaning on this host is UTF-8) and Windows-1252.
#include "platform/win32.h"

#include <climits>
#include <cstring>

namespace {

enum class Page { kUnsupported, kAnsi, kUtf8, kWindows1252 };

Page PageOf(UINT codePage) {
    switch (codePage) {
        // The portable host's ANSI code page is UTF-8: text from and for the system (file
        // names, SDL, the terminal) is UTF-8 there.
        case CP_ACP:
        case CP_THREAD_ACP:
            return Page::kAnsi;
        case CP_UTF8:
            return Page::kUtf8;
        case 1252:
            return Page::kWindows1252;
        default:
            return Page::kUnsupported;
    }
}

constexpr char16_t kReplacement = 0xFFFD;

// Bytes 0x80 to 0x9F of Windows-1252; the five it leaves undefined map to themselves.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Collects output units, or only counts them when there is no buffer. Counts are 64-bit so
// that a result too large for an int is noticed rather than wrapped.
template <typename Unit>
struct Sink {
    Unit* output;
    long long capacity;
    long long count = 0;
    bool overflow = false;

    void Put(Unit unit) {
        if (output) {
            if (count >= capacity) {
                overflow = true;
                return;
            }
            output[count] = unit;
        }
        ++count;
    }
};

// Finishes a conversion: the published result and last-error code.
template <typename Unit>
int Finish(const Sink<Unit>& sink) {
    if (sink.overflow || sink.count > INT_MAX) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    return static_cast<int>(sink.count);
}

// Decodes UTF-8; each maximal ill-formed subsequence is one U+FFFD, or a failure when
// `strict`. Returns false on that failure.
bool DecodeUtf8(const BYTE* source, long long length, bool strict, Sink<WCHAR>& sink) {
    long long i = 0;
    while (i < length) {
        const BYTE lead = source[i];
        if (lead < 0x80) {
            sink.Put(lead);
            ++i;
            continue;
        }
        int following = 0;
        BYTE low = 0x80, high = 0xBF;  // the range of the first continuation byte
        char32_t value = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            following = 1;
            value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            following = 2;
            value = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;   // no overlong forms
            if (lead == 0xED) high = 0x9F;  // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            following = 3;
            value = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
        }
        long long next = i + 1;
        bool valid = following > 0;
        for (int k = 0; valid && k < following; ++k, ++next) {
            if (next >= length || source[next] < low || source[next] > high) {
                valid = false;
                break;
            }
            value = (value << 6) | (source[next] & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        if (!valid) {
            if (strict) return false;
            sink.Put(kReplacement);
            i = next;
            continue;
        }
        if (value >= 0x10000) {
            value -= 0x10000;
            sink.Put(static_cast<WCHAR>(0xD800 + (value >> 10)));
            sink.Put(static_cast<WCHAR>(0xDC00 + (value & 0x3FF)));
        } else {
            sink.Put(static_cast<WCHAR>(value));
        }
        i = next;
    }
    return true;
}

void PutUtf8(char32_t value, Sink<CHAR>& sink) {
    if (value < 0x80) {
        sink.Put(static_cast<CHAR>(value));
    } else if (value < 0x800) {
        sink.Put(static_cast<CHAR>(0xC0 | (value >> 6)));
        sink.Put(static_cast<CHAR>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        sink.Put(static_cast<CHAR>(0xE0 | (value >> 12)));
        sink.Put(static_cast<CHAR>(0x80 | ((value >> 6) & 0x3F)));
        sink.Put(static_cast<CHAR>(0x80 | (value & 0x3F)));
    } else {
        sink.Put(static_cast<CHAR>(0xF0 | (value >> 18)));
        sink.Put(static_cast<CHAR>(0x80 | ((value >> 12) & 0x3F)));
        sink.Put(static_cast<CHAR>(0x80 | ((value >> 6) & 0x3F)));
        sink.Put(static_cast<CHAR>(0x80 | (value & 0x3F)));
    }
}

// Encodes UTF-16 as UTF-8. An unpaired surrogate fails when `strict`; otherwise it becomes
// `substitute` (a single byte) when given, else U+FFFD, and sets `usedDefault`.
bool EncodeUtf8(const WCHAR* source, long long length, bool strict, const CHAR* substitute,
                BOOL* usedDefault, Sink<CHAR>& sink) {
    for (long long i = 0; i < length; ++i) {
        char32_t unit = source[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length && source[i + 1] >= 0xDC00 &&
            source[i + 1] <= 0xDFFF) {
            PutUtf8(0x10000 + ((unit - 0xD800) << 10) + (source[i + 1] - 0xDC00), sink);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            if (strict) return false;
            if (usedDefault) *usedDefault = TRUE;
            if (substitute)
                sink.Put(*substitute);
            else
                PutUtf8(kReplacement, sink);
        } else {
            PutUtf8(unit, sink);
        }
    }
    return true;
}

// The Windows-1252 byte for a character; false when it has none.
bool Windows1252Byte(WCHAR character, CHAR& byte) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        byte = static_cast<CHAR>(character);
        return true;
    }
    for (int k = 0; k < 32; ++k) {
        if (kWindows1252High[k] == character) {
            byte = static_cast<CHAR>(0x80 + k);
            return true;
        }
    }
    return false;
}

bool ValidLengths(const void* source, int sourceLength, const void* output, int outputLength) {
    return source && sourceLength != 0 && sourceLength >= -1 && outputLength >= 0 &&
           (output || outputLength == 0) && source != output;
}

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceBytes, LPWSTR output,
                        int outputCharacters) {
    if (!ValidLengths(source, sourceBytes, output, outputCharacters))
        return Fail(ERROR_INVALID_PARAMETER);
    const Page page = PageOf(codePage);
    if (page == Page::kUnsupported) return Fail(ERROR_INVALID_PARAMETER);
    const DWORD allowed =
        page == Page::kUtf8 ? MB_ERR_INVALID_CHARS : MB_PRECOMPOSED | MB_ERR_INVALID_CHARS;
    if (flags & ~allowed) return Fail(ERROR_INVALID_FLAGS);

    const long long length =
        sourceBytes == -1 ? static_cast<long long>(std::strlen(source)) + 1 : sourceBytes;
    const auto* bytes = reinterpret_cast<const BYTE*>(source);
    Sink<WCHAR> sink{output, outputCharacters};
    if (page == Page::kWindows1252) {
        for (long long i = 0; i < length; ++i) {
            const BYTE byte = bytes[i];
            sink.Put(byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : byte);
        }
    } else if (!DecodeUtf8(bytes, length, (flags & MB_ERR_INVALID_CHARS) != 0, sink)) {
        return Fail(ERROR_NO_UNICODE_TRANSLATION);
    }
    return Finish(sink);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceCharacters,
                        LPSTR output, int outputBytes, LPCSTR defaultCharacter, BOOL* usedDefault) {
    if (!ValidLengths(source, sourceCharacters, output, outputBytes))
        return Fail(ERROR_INVALID_PARAMETER);
    const Page page = PageOf(codePage);
    if (page == Page::kUnsupported) return Fail(ERROR_INVALID_PARAMETER);
    if (page == Page::kUtf8 && (defaultCharacter || usedDefault))
        return Fail(ERROR_INVALID_PARAMETER);
    const DWORD allowed = page == Page::kUtf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    if (flags & ~allowed) return Fail(ERROR_INVALID_FLAGS);

    long long length = sourceCharacters;
    if (sourceCharacters == -1) {
        length = 0;
        while (source[length]) ++length;
        ++length;
    }
    if (usedDefault) *usedDefault = FALSE;
    Sink<CHAR> sink{output, outputBytes};
    if (page == Page::kWindows1252) {
        for (long long i = 0; i < length; ++i) {
            CHAR byte;
            if (!Windows1252Byte(source[i], byte)) {
                byte = defaultCharacter ? *defaultCharacter : '?';
                if (usedDefault) *usedDefault = TRUE;
                // A surrogate pair is one character and gets one default character.
                if (source[i] >= 0xD800 && source[i] <= 0xDBFF && i + 1 < length &&
                    source[i + 1] >= 0xDC00 && source[i + 1] <= 0xDFFF)
                    ++i;
            }
            sink.Put(byte);
        }
    } else if (!EncodeUtf8(source, length, (flags & WC_ERR_INVALID_CHARS) != 0, defaultCharacter,
                           usedDefault, sink)) {
        return Fail(ERROR_NO_UNICODE_TRANSLATION);
    }
    return Finish(sink);
}
