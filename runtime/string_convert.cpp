// 8-bit <-> wide conversions through MultiByteToWideChar and WideCharToMultiByte.
#include "runtime/string_convert.h"

#include "runtime/errors.h"
#include "runtime/memory.h"
#include "runtime/string_handle.h"
#include "runtime/temp_strings.h"
#include "runtime/thread_record.h"

#include <climits>

namespace {
// MB_PRECOMPOSED is what 8-bit text is converted with; the code pages that Windows
// documents as taking no such flag (UTF-8 and UTF-7 among them) would refuse the call with
// ERROR_INVALID_FLAGS and turn every text into an empty one, so they get flags 0.
DWORD ToWideFlags(UINT codePage) {
    const bool noFlags = codePage == 42 || (codePage >= 50220 && codePage <= 50229) ||
                         codePage == 52936 || codePage == 54936 ||
                         (codePage >= 57002 && codePage <= 57011) || codePage == CP_UTF7 ||
                         codePage == CP_UTF8;
    return noFlags ? 0 : MB_PRECOMPOSED;
}
}  // namespace

UINT ConversionCodePage(UINT codePage) {
    if (codePage != 0) return codePage;
    ThreadRecord* record = GetThreadRecord();
    return record ? record->codePage : 0;
}

UINT SetThreadCodePage(UINT codePage) {
    RuntimeService service;
    ThreadRecord* record = GetThreadRecord();
    if (!record) {
        RaiseError(kErrorOutOfMemory);
        return 0;
    }
    const UINT previous = record->codePage;
    record->codePage = codePage;
    return previous;
}

UINT ThreadCodePage() {
    ThreadRecord* record = FindThreadRecord();
    return record ? record->codePage : 0;
}

BSTR ByteStringToWide(StringHandle source, UINT codePage) {
    const UINT bytes = StringByteLength(source);
    if (bytes == 0 || bytes > INT_MAX) return nullptr;
    const UINT page = ConversionCodePage(codePage);
    const DWORD flags = ToWideFlags(page);
    const auto* text = reinterpret_cast<LPCSTR>(StringOf(source));
    const int characters =
        MultiByteToWideChar(page, flags, text, static_cast<int>(bytes), nullptr, 0);
    if (characters <= 0) return nullptr;
    // Conversions raise nothing, so the seam is called directly rather than through
    // AllocWideString, which would raise kErrorOutOfMemory.
    BSTR wide = RuntimeAllocWideString(nullptr, static_cast<UINT>(characters));
    if (!wide) return nullptr;
    if (MultiByteToWideChar(page, flags, text, static_cast<int>(bytes), wide, characters) !=
        characters) {
        RuntimeFreeString(wide);
        return nullptr;
    }
    return wide;
}

BSTR WideStringToBytes(StringHandle source, UINT codePage) {
    const UINT characters = StringCharCount(source);
    if (characters == 0 || characters > INT_MAX) return nullptr;
    const UINT page = ConversionCodePage(codePage);
    LPCWSTR text = StringOf(source);
    const int bytes = WideCharToMultiByte(page, 0, text, static_cast<int>(characters), nullptr, 0,
                                          nullptr, nullptr);
    if (bytes <= 0) return nullptr;
    BSTR narrow = RuntimeAllocByteString(nullptr, static_cast<UINT>(bytes));
    if (!narrow) return nullptr;
    if (WideCharToMultiByte(page, 0, text, static_cast<int>(characters),
                            reinterpret_cast<LPSTR>(narrow), bytes, nullptr, nullptr) != bytes) {
        RuntimeFreeString(narrow);
        return nullptr;
    }
    return narrow;
}

void ConvertTempToWide(UINT codePage, int depth) {
    StringHandle& slot = TempString(depth);
    const StringHandle source = slot;
    slot = OwnedHandle(ByteStringToWide(source, codePage));
    FreeString(source);
}

void ConvertTempToBytes(UINT codePage, int depth) {
    StringHandle& slot = TempString(depth);
    const StringHandle source = slot;
    slot = OwnedHandle(WideStringToBytes(source, codePage));
    FreeString(source);
}
