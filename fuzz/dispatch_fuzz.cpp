// Late-bound calls of a list collection from an arbitrary client: GetIDsOfNames with any
// names (null, empty, longer than 255 characters, any 16-bit characters) and Invoke with any
// identifier, invocation kinds, argument counts, named identifiers, argument kinds and
// by-reference chains, and null pointers where a client may pass them. Every pointer a
// VARIANT carries is valid (or null), so every input is a call a client may make: it must
// return a published result, never crash, read out of bounds or leak, and give back every
// object reference it took.
//
// Input: one byte of items to start with, then operations until the input ends:
//   a selector byte (multiple of 4: GetIDsOfNames, else Invoke), then
//   GetIDsOfNames: name count (byte % 5), null flags (byte), per name a length byte (255:
//     null name, 250-254: 300 characters) and that many 16-bit characters;
//   Invoke: identifier (int8), kinds (byte), argument count (byte % 40), named count
//     (byte), null flags (byte), named identifiers (int8 each), then each argument.
//   An argument: a kind byte (an index into common kinds below 0xC0, else a raw 16-bit
//     type word follows), then its value bytes; by-reference item values nest two deep.
#include "fuzz/fuzz_support.h"
#include "objects/builtin_object.h"
#include "objects/list_collection_class.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

namespace {

const VARTYPE kCommonKinds[] = {
    VT_EMPTY, VT_NULL,     VT_I2,    VT_I4,   VT_R4,      VT_R8,      VT_CY,     VT_DATE,
    VT_BSTR,  VT_DISPATCH, VT_ERROR, VT_BOOL, VT_UNKNOWN, VT_DECIMAL, VT_I1,     VT_UI1,
    VT_UI2,   VT_UI4,      VT_I8,    VT_UI8,  VT_INT,     VT_UINT,    VT_RECORD, VT_VARIANT};

// Everything the arguments of one call point at, kept until the call's cleanup.
struct Storage {
    Counted* object;
    std::deque<VARIANT> items;  // targets of by-reference item values
    std::deque<BSTR> strings;   // targets of by-reference strings
    std::deque<IUnknown*> objects;
    struct Cell {
        uint64_t words[2];
    };
    std::deque<Cell> cells;  // targets of other by-reference kinds

    BSTR Text(Reader& input) {
        const BYTE length = input.Take<BYTE>();
        if (length == 0xFF) return nullptr;
        std::vector<OLECHAR> characters(length);
        for (OLECHAR& c : characters) c = static_cast<OLECHAR>(input.Take<uint16_t>());
        return SysAllocStringLen(characters.data(), length);
    }

    void Build(Reader& input, VARIANT* value, int depth) {
        std::memset(value, 0, sizeof *value);
        const BYTE selector = input.Take<BYTE>();
        VARTYPE type;
        if (selector < 0xC0) {
            type = kCommonKinds[(selector & 0x7F) % (sizeof kCommonKinds / sizeof kCommonKinds[0])];
            if (selector & 0x80) type |= VT_BYREF;
        } else {
            type = input.Take<VARTYPE>();
        }
        const VARTYPE base = type & VT_TYPEMASK;
        const uint64_t bits = input.Take<uint64_t>();
        value->vt = type;
        if (type & VT_BYREF) {
            if (bits & 1) return;  // a null reference
            if (base == VT_VARIANT && !(type & VT_ARRAY)) {
                items.emplace_back();
                if (depth < 2) {
                    Build(input, &items.back(), depth + 1);
                } else {
                    items.back() = VARIANT{};
                    items.back().vt = (bits & 2) ? VT_BYREF | VT_VARIANT : VT_I4;
                    items.back().pvarVal = &items.back();  // a reference to itself
                }
                value->pvarVal = &items.back();
            } else if (base == VT_BSTR && !(type & VT_ARRAY)) {
                strings.push_back(Text(input));
                value->pbstrVal = &strings.back();
            } else if ((base == VT_DISPATCH || base == VT_UNKNOWN) && !(type & VT_ARRAY)) {
                objects.push_back((bits & 2) ? nullptr : object);
                if (objects.back()) object->AddRef();
                value->ppunkVal = &objects.back();
            } else {
                Cell cell{{bits >> 8, input.Take<uint64_t>()}};
                if (type & VT_ARRAY) cell.words[0] = 0;  // a null SAFEARRAY pointer
                cells.push_back(cell);
                value->byref = cells.back().words;
            }
            return;
        }
        if (type == VT_BSTR) {
            value->bstrVal = Text(input);
        } else if (type == VT_DISPATCH || type == VT_UNKNOWN) {
            value->punkVal = (bits & 1) ? nullptr : object;
            if (value->punkVal) object->AddRef();
        } else if (type == VT_DECIMAL) {
            std::memcpy(value, &bits, sizeof bits);
            value->vt = VT_DECIMAL;
        } else if (base == VT_BSTR || base == VT_DISPATCH || base == VT_UNKNOWN ||
                   (type & VT_ARRAY) || base == VT_RECORD) {
            // Kinds with pointers under other flags, arrays and records: no pointer at all.
        } else {
            value->llVal = static_cast<LONGLONG>(bits);
        }
    }

    void Release() {
        for (VARIANT& item : items) VariantClear(&item);
        for (BSTR text : strings) SysFreeString(text);
        for (IUnknown* held : objects)
            if (held) held->Release();
        items.clear();
        strings.clear();
        objects.clear();
        cells.clear();
    }
};

const HRESULT kInvokeResults[] = {S_OK,
                                  S_FALSE,
                                  E_INVALIDARG,
                                  E_POINTER,
                                  DISP_E_MEMBERNOTFOUND,
                                  DISP_E_BADPARAMCOUNT,
                                  DISP_E_PARAMNOTFOUND,
                                  DISP_E_PARAMNOTOPTIONAL,
                                  DISP_E_TYPEMISMATCH,
                                  DISP_E_BADVARTYPE,
                                  DISP_E_EXCEPTION,
                                  DISP_E_BADCALLEE};

void Check(bool condition) {
    if (!condition) std::abort();
}

void Names(Reader& input, IDispatch* dispatch) {
    const UINT count = input.Take<BYTE>() % 5;
    const BYTE nulls = input.Take<BYTE>();
    std::vector<std::vector<OLECHAR>> storage(count);
    std::vector<LPOLESTR> names(count);
    for (UINT i = 0; i < count; ++i) {
        const BYTE length = input.Take<BYTE>();
        if (length == 0xFF) continue;  // a null name
        const size_t characters = length >= 250 ? 300 : length;
        for (size_t c = 0; c < characters; ++c) {
            const OLECHAR character = static_cast<OLECHAR>(input.Take<uint16_t>());
            if (character) storage[i].push_back(character);
        }
        storage[i].push_back(0);
        names[i] = storage[i].data();
    }
    std::vector<DISPID> ids(count + 1, 0x5A5A5A5A);
    const HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, (nulls & 1) ? nullptr : names.data(),
                                               count, 0x409, (nulls & 2) ? nullptr : ids.data());
    Check(hr == S_OK || hr == DISP_E_UNKNOWNNAME || hr == E_INVALIDARG);
    Check(ids[count] == 0x5A5A5A5A);  // nothing written past the names
    if (hr == S_OK) Check(ids[0] >= 1 && ids[0] <= 12);
}

void Call(Reader& input, IDispatch* dispatch, Storage& storage) {
    const DISPID id = input.Take<int8_t>();
    const WORD kinds = input.Take<BYTE>();
    const UINT count = input.Take<BYTE>() % 40;
    const UINT named = input.Take<BYTE>() % (count + 3);
    const BYTE nulls = input.Take<BYTE>();
    std::vector<DISPID> namedIds(named);  // exact sizes: a read past them is caught
    for (UINT i = 0; i < named; ++i) namedIds[i] = input.Take<int8_t>();
    std::vector<VARIANT> arguments(count);
    for (UINT i = 0; i < count; ++i) storage.Build(input, &arguments[i], 0);

    DISPPARAMS parameters{(nulls & 2) ? nullptr : arguments.data(),
                          (nulls & 4) ? nullptr : namedIds.data(), count, named};
    VARIANT result;
    storage.Build(input, &result, 2);
    if (result.vt & VT_BYREF) result.vt = VT_EMPTY;  // a result does not point anywhere
    EXCEPINFO exception;
    std::memset(&exception, 0, sizeof exception);
    UINT argumentError = 0xFFFF;
    const HRESULT hr =
        dispatch->Invoke(id, IID_NULL, 0x409, kinds, (nulls & 1) ? nullptr : &parameters,
                         (nulls & 8) ? nullptr : &result, (nulls & 16) ? nullptr : &exception,
                         (nulls & 32) ? nullptr : &argumentError);
    bool published = false;
    for (HRESULT code : kInvokeResults) published = published || hr == code;
    Check(published);
    if (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND) {
        Check(!(nulls & 32) || argumentError == 0xFFFF);
        Check((nulls & 32) || argumentError < count);
    }
    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    for (UINT i = 0; i < count; ++i) VariantClear(&arguments[i]);
    storage.Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader input{data, size};
    const LONG live = LiveObjectCount();
    Counted object;
    object.hasValue = true;
    {
        ILinkListCollection* collection = NewListCollection();
        for (LONG i = input.Take<BYTE>() % 8; i > 0; --i) {
            VARIANT item{};
            item.vt = VT_I4;
            item.lVal = i;
            collection->ADD(&item);
        }
        IDispatch* dispatch = nullptr;
        collection->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        collection->Release();
        Storage storage{&object, {}, {}, {}, {}};
        for (int operations = 0; !input.Empty() && operations < 16; ++operations) {
            if (input.Take<BYTE>() % 4 == 0) {
                Names(input, dispatch);
            } else {
                Call(input, dispatch, storage);
            }
        }
        dispatch->Release();
    }
    Check(LiveObjectCount() == live);  // the collection is gone
    Check(object.references == 1);     // every reference taken was given back
    return 0;
}
