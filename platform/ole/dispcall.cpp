// DispCallFunc for the portable host, over libffi. Preparing a call description costs more
// than the call itself, so each thread keeps the last few descriptions by signature.
#include "platform/ole/dispcall.h"

#include "platform/win32.h"

#include <ffi.h>

#include <cstring>

namespace {

constexpr UINT kMaxArguments = 64;
constexpr size_t kCachedSignatures = 8;

// A VARIANT by value: two 8-byte words, the shape the host's C compiler gives the union.
// Size and alignment are filled in here so libffi never writes to this shared object.
ffi_type* variantElements[] = {&ffi_type_uint64, &ffi_type_uint64, nullptr};
ffi_type variantByValue = {16, 8, FFI_TYPE_STRUCT, variantElements};

// The libffi type of an argument or result kind; null when the kind cannot be passed.
ffi_type* TypeOf(VARTYPE type) {
    if (type & (VT_BYREF | VT_ARRAY)) return &ffi_type_pointer;
    switch (type) {
        case VT_I1:
            return &ffi_type_sint8;
        case VT_UI1:
            return &ffi_type_uint8;
        case VT_I2:
        case VT_BOOL:
            return &ffi_type_sint16;
        case VT_UI2:
            return &ffi_type_uint16;
        case VT_I4:
        case VT_INT:
        case VT_ERROR:
        case VT_HRESULT:
            return &ffi_type_sint32;
        case VT_UI4:
        case VT_UINT:
            return &ffi_type_uint32;
        case VT_I8:
        case VT_CY:
            return &ffi_type_sint64;
        case VT_UI8:
            return &ffi_type_uint64;
        case VT_R4:
            return &ffi_type_float;
        case VT_R8:
        case VT_DATE:
            return &ffi_type_double;
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_UNKNOWN:
        case VT_PTR:
        case VT_INT_PTR:
        case VT_UINT_PTR:
        case VT_LPSTR:
        case VT_LPWSTR:
            return &ffi_type_pointer;
        case VT_VARIANT:
        case VT_DECIMAL:
            return &variantByValue;
        default:
            return nullptr;
    }
}

struct Signature {
    ffi_type* result = nullptr;
    UINT count = 0;
    ffi_type* arguments[kMaxArguments + 1];
    ffi_cif description;
};

struct SignatureCache {
    Signature entries[kCachedSignatures];
    size_t used = 0;
    size_t next = 0;  // the entry to replace when all are used
};

bool SameShape(const Signature& entry, const Signature& wanted) {
    return entry.result == wanted.result && entry.count == wanted.count &&
           std::memcmp(entry.arguments, wanted.arguments, wanted.count * sizeof(ffi_type*)) == 0;
}

// The prepared description for a signature, from the thread's cache or made now.
const ffi_cif* Prepare(const Signature& wanted) {
    thread_local SignatureCache cache;
    for (size_t i = 0; i < cache.used; ++i)
        if (SameShape(cache.entries[i], wanted)) return &cache.entries[i].description;
    size_t index = cache.used;
    if (cache.used < kCachedSignatures) {
        ++cache.used;
    } else {
        index = cache.next;
        cache.next = (cache.next + 1) % kCachedSignatures;
    }
    Signature& slot = cache.entries[index];
    slot.result = wanted.result;
    slot.count = wanted.count;
    std::memcpy(slot.arguments, wanted.arguments, wanted.count * sizeof(ffi_type*));
    if (ffi_prep_cif(&slot.description, FFI_DEFAULT_ABI, slot.count, slot.result, slot.arguments) !=
        FFI_OK) {
        slot.result = nullptr;  // never matches again
        return nullptr;
    }
    return &slot.description;
}

// Where libffi reads an argument's value: the whole VARIANT for 16-byte kinds, else its
// value area (little-endian, so narrower kinds sit at its start).
void* ValueOf(VARIANTARG* argument, VARTYPE type) {
    if (!(type & (VT_BYREF | VT_ARRAY)) && (type == VT_VARIANT || type == VT_DECIMAL))
        return argument;
    return &argument->llVal;
}

void StoreResult(VARIANT* result, VARTYPE type, const void* raw, ffi_type* kind) {
    VARIANT value{};
    value.vt = type;
    // Integer results narrower than a register come back widened to ffi_arg.
    if (kind->type != FFI_TYPE_FLOAT && kind->type != FFI_TYPE_DOUBLE &&
        kind->size < sizeof(ffi_arg)) {
        ffi_arg widened;
        std::memcpy(&widened, raw, sizeof widened);
        std::memcpy(&value.llVal, &widened, kind->size);
    } else {
        std::memcpy(&value.llVal, raw, kind->size);
    }
    *result = value;
}

}  // namespace

HRESULT DispCallFunc(void* instance, ULONG_PTR offset, CALLCONV convention, VARTYPE returnType,
                     UINT count, VARTYPE* types, VARIANTARG** arguments, VARIANT* result) {
    if (convention != CC_STDCALL && convention != CC_CDECL) return E_INVALIDARG;
    if (count && (!types || !arguments)) return E_INVALIDARG;
    const UINT first = instance ? 1 : 0;
    if (count > kMaxArguments - first) return E_INVALIDARG;
    if (returnType != VT_EMPTY && !result) return E_INVALIDARG;

    Signature wanted;
    void* values[kMaxArguments];
    wanted.count = count + first;
    if (instance) {
        wanted.arguments[0] = &ffi_type_pointer;
        values[0] = &instance;
    }
    for (UINT i = 0; i < count; ++i) {
        ffi_type* type = TypeOf(types[i]);
        if (!type || !arguments[i]) return E_INVALIDARG;
        wanted.arguments[first + i] = type;
        values[first + i] = ValueOf(arguments[i], types[i]);
    }
    if (returnType == VT_EMPTY) {
        wanted.result = &ffi_type_void;
    } else {
        wanted.result = TypeOf(returnType);
        if (!wanted.result || wanted.result == &variantByValue || returnType == VT_HRESULT)
            return E_INVALIDARG;
    }

    const ffi_cif* description = Prepare(wanted);
    if (!description) return E_INVALIDARG;
    void* function = instance ? (*static_cast<void***>(instance))[offset / sizeof(void*)]
                              : reinterpret_cast<void*>(offset);
    alignas(16) unsigned char raw[16] = {};
    ffi_call(const_cast<ffi_cif*>(description), FFI_FN(function), raw, values);
    if (returnType != VT_EMPTY) StoreResult(result, returnType, raw, wanted.result);
    return S_OK;
}
