// VariantChangeTypeEx with any source value, any target kind, any locale and flags. Source
// pointers are always valid (strings and references are built from the input), so every
// input is a legitimate call: it must return a result, never crash, leave a failed
// destination untouched and leak nothing.
#include "fuzz/fuzz_support.h"
#include "platform/win32.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader input{data, size};
    const VARTYPE sourceType = input.Take<VARTYPE>();
    const VARTYPE targetType = input.Take<VARTYPE>();
    const LCID locale = input.Take<uint8_t>() & 1 ? 0x409 : input.Take<LCID>();
    const USHORT flags = input.Take<USHORT>();
    const bool inPlace = input.Take<uint8_t>() & 1;
    const uint64_t bits = input.Take<uint64_t>();
    const uint64_t moreBits = input.Take<uint64_t>();
    // The rest of the input is the text of any string involved.
    const UINT textLength = static_cast<UINT>(input.size / sizeof(OLECHAR));
    BSTR text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(input.data), textLength);

    Counted object;
    VARIANT inner{};  // what a VT_VARIANT reference points at: a plain number
    inner.vt = VT_R8;
    std::memcpy(&inner.dblVal, &moreBits, sizeof inner.dblVal);
    BYTE storage[16];
    std::memcpy(storage, &bits, 8);
    std::memcpy(storage + 8, &moreBits, 8);
    IUnknown* objectPointer = &object;
    BSTR referencedText = text;

    VARIANT source{};
    std::memcpy(&source.llVal, &bits, sizeof bits);
    source.vt = sourceType;
    const VARTYPE base = sourceType & VT_TYPEMASK;
    if (sourceType & VT_ARRAY) {
        source.vt = VT_EMPTY;  // arrays need real SAFEARRAYs; not this target's subject
    } else if (sourceType & VT_BYREF) {
        if (base == VT_VARIANT) {
            source.pvarVal = &inner;
        } else if (base == VT_BSTR) {
            source.pbstrVal = &referencedText;
        } else if (base == VT_DISPATCH || base == VT_UNKNOWN) {
            source.ppunkVal = &objectPointer;
        } else {
            source.byref = storage;
        }
    } else if (base == VT_BSTR) {
        source.bstrVal = text;
        text = nullptr;  // the source owns it now
    } else if (base == VT_DISPATCH || base == VT_UNKNOWN) {
        source.punkVal = &object;
        object.AddRef();
    } else if (base == VT_DECIMAL) {
        std::memcpy(&source, storage, sizeof source);
        source.vt = VT_DECIMAL;
    } else if (base == VT_RECORD) {
        source.vt = VT_EMPTY;  // records need IRecordInfo; not this target's subject
    }

    VARIANT destination{};
    const VARIANT sourceBefore = source;
    HRESULT result = inPlace
                         ? VariantChangeTypeEx(&source, &source, locale, flags, targetType)
                         : VariantChangeTypeEx(&destination, &source, locale, flags, targetType);
    if (FAILED(result)) {
        // A failed conversion changes nothing.
        if (inPlace && std::memcmp(&source, &sourceBefore, sizeof source) != 0) std::abort();
        if (!inPlace && destination.vt != VT_EMPTY) std::abort();
    }
    if (!inPlace) VariantClear(&destination);
    if (FAILED(VariantClear(&source)) && source.vt == sourceType) {
        // A source the platform rejects as a type keeps what it owns; free it here.
        if (base == VT_BSTR && !(sourceType & VT_BYREF)) SysFreeString(source.bstrVal);
        if ((base == VT_DISPATCH || base == VT_UNKNOWN) && !(sourceType & VT_BYREF))
            object.Release();
    }
    SysFreeString(text);
    if (object.references != 1) std::abort();  // every reference taken was given back
    return 0;
}
