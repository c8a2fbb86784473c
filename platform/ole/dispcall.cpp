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

// A call's shape: the kinds it was asked for, and libffi's description of it.
struct Signature {
    bool ready;  // complete and prepared
    VARTYPE result;
    bool instance;  // the instance pointer goes first
    UINT count;     // arguments given, the instance not counted
    VARTYPE kinds[kMaxArguments];
    ffi_type* types[kMaxArguments];
    ffi_cif description;
};

struct SignatureCache {
    Signature entries[kCachedSignatures];
    size_t used = 0;
    size_t next = 0;  // the entry to replace when all are used
};

// The prepared description for a call's shape, from the thread's cache or made now; null
// when a kind cannot be passed.
const ffi_cif* Prepare(bool instance, VARTYPE returnType, UINT count, const VARTYPE* kinds) {
    thread_local SignatureCache cache;
    for (size_t i = 0; i < cache.used; ++i) {
        const Signature& entry = cache.entries[i];
        if (entry.ready && entry.result == returnType && entry.instance == instance &&
            entry.count == count &&
            (count == 0 || std::memcmp(entry.kinds, kinds, count * sizeof(VARTYPE)) == 0))
            return &entry.description;
    }
    ffi_type* result = &ffi_type_void;
    if (returnType != VT_EMPTY) {
        result = TypeOf(returnType);
        if (!result || result == &variantByValue || returnType == VT_HRESULT) return nullptr;
    }
    size_t index = cache.used;
    if (cache.used < kCachedSignatures) {
        ++cache.used;
    } else {
        index = cache.next;
        cache.next = (cache.next + 1) % kCachedSignatures;
    }
    Signature& slot = cache.entries[index];
    slot.ready = false;
    const UINT first = instance ? 1 : 0;
    if (instance) slot.types[0] = &ffi_type_pointer;
    for (UINT i = 0; i < count; ++i) {
        slot.types[first + i] = TypeOf(kinds[i]);
        if (!slot.types[first + i]) return nullptr;
    }
    if (ffi_prep_cif(&slot.description, FFI_DEFAULT_ABI, count + first, result, slot.types) !=
        FFI_OK)
        return nullptr;
    if (count) std::memcpy(slot.kinds, kinds, count * sizeof(VARTYPE));
    slot.result = returnType;
    slot.instance = instance;
    slot.count = count;
    slot.ready = true;
    return &slot.description;
}

// Where libffi reads an argument's value: the whole VARIANT for 16-byte kinds, else its
// value area (little-endian, so narrower kinds sit at its start).
void* ValueOf(VARIANTARG* argument, VARTYPE type) {
    if (!(type & (VT_BYREF | VT_ARRAY)) && (type == VT_VARIANT || type == VT_DECIMAL))
        return argument;
    return &argument->llVal;
}

#if defined(__x86_64__)
// Calls whose arguments and result all travel in general registers (x86-64 System V: up to
// six integers or pointers, an integer, pointer or no result) go straight through: every
// argument is widened as the callee expects and registers the callee does not declare are
// ignored by it. This skips libffi's general machinery on the late-bound calls the run-time
// makes most (pointers and 32-bit values).
constexpr UINT kRegisterArguments = 6;

// The register value of an argument; false when it does not travel in a general register.
bool RegisterValue(const VARIANTARG* argument, VARTYPE type, uint64_t* value) {
    if (type & (VT_BYREF | VT_ARRAY)) {
        *value = reinterpret_cast<uint64_t>(argument->byref);
        return true;
    }
    switch (type) {
        case VT_I1:
            *value = static_cast<uint64_t>(static_cast<int64_t>(argument->cVal));
            return true;
        case VT_UI1:
            *value = argument->bVal;
            return true;
        case VT_I2:
        case VT_BOOL:
            *value = static_cast<uint64_t>(static_cast<int64_t>(argument->iVal));
            return true;
        case VT_UI2:
            *value = argument->uiVal;
            return true;
        case VT_I4:
        case VT_INT:
        case VT_ERROR:
        case VT_HRESULT:
            *value = static_cast<uint64_t>(static_cast<int64_t>(argument->lVal));
            return true;
        case VT_UI4:
        case VT_UINT:
            *value = argument->ulVal;
            return true;
        case VT_I8:
        case VT_UI8:
        case VT_CY:
            *value = argument->ullVal;
            return true;
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_UNKNOWN:
        case VT_PTR:
        case VT_INT_PTR:
        case VT_UINT_PTR:
        case VT_LPSTR:
        case VT_LPWSTR:
            *value = reinterpret_cast<uint64_t>(argument->byref);
            return true;
        default:
            return false;
    }
}

// Bytes of a result that comes back in a general register; 0 when it does not.
size_t RegisterResultWidth(VARTYPE type) {
    if (type & (VT_BYREF | VT_ARRAY)) return sizeof(void*);
    switch (type) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_BOOL:
        case VT_UI2:
            return 2;
        case VT_I4:
        case VT_INT:
        case VT_ERROR:
        case VT_UI4:
        case VT_UINT:
            return 4;
        case VT_I8:
        case VT_UI8:
        case VT_CY:
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_UNKNOWN:
        case VT_PTR:
        case VT_INT_PTR:
        case VT_UINT_PTR:
        case VT_LPSTR:
        case VT_LPWSTR:
            return 8;
        default:
            return 0;  // VT_HRESULT results are refused, as OLEAUT32 does
    }
}

using RegisterFunction = uint64_t (*)(uint64_t, uint64_t, uint64_t, uint64_t, uint64_t, uint64_t);

// Calls through a pointer of another declared type: that is the point here, so the sanitizer
// check of the callee's type is off for this one call.
#if defined(__clang__)
__attribute__((no_sanitize("function")))
#endif
uint64_t
CallInRegisters(void* function, const uint64_t* registers) {
    return reinterpret_cast<RegisterFunction>(function)(registers[0], registers[1], registers[2],
                                                        registers[3], registers[4], registers[5]);
}

// True when the call was made this way.
bool TryRegisterCall(void* function, void* instance, VARTYPE returnType, UINT count,
                     const VARTYPE* types, VARIANTARG** arguments, VARIANT* result) {
    const UINT first = instance ? 1 : 0;
    if (count + first > kRegisterArguments) return false;
    const size_t width = returnType == VT_EMPTY ? 0 : RegisterResultWidth(returnType);
    if (returnType != VT_EMPTY && width == 0) return false;
    uint64_t registers[kRegisterArguments] = {};
    registers[0] = reinterpret_cast<uint64_t>(instance);
    for (UINT i = 0; i < count; ++i)
        if (!RegisterValue(arguments[i], types[i], &registers[first + i])) return false;
    uint64_t returned = CallInRegisters(function, registers);
    if (returnType != VT_EMPTY) {
        // Field by field: the result is read back whole at once by most callers.
        if (width < sizeof returned) returned &= (uint64_t{1} << (8 * width)) - 1;
        result->vt = returnType;
        result->wReserved1 = result->wReserved2 = result->wReserved3 = 0;
        result->ullVal = returned;
    }
    return true;
}
#endif

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

    for (UINT i = 0; i < count; ++i)
        if (!arguments[i]) return E_INVALIDARG;
    void* function = instance ? (*static_cast<void***>(instance))[offset / sizeof(void*)]
                              : reinterpret_cast<void*>(offset);
#if defined(__x86_64__)
    if (TryRegisterCall(function, instance, returnType, count, types, arguments, result))
        return S_OK;
#endif
    const ffi_cif* description = Prepare(instance != nullptr, returnType, count, types);
    if (!description) return E_INVALIDARG;
    void* values[kMaxArguments];
    if (instance) values[0] = &instance;
    for (UINT i = 0; i < count; ++i) values[first + i] = ValueOf(arguments[i], types[i]);
    alignas(16) unsigned char raw[16];
    ffi_call(const_cast<ffi_cif*>(description), FFI_FN(function), raw, values);
    if (returnType != VT_EMPTY) StoreResult(result, returnType, raw, description->rtype);
    return S_OK;
}
