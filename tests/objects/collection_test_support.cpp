// Support code for the collection tests (built into the test program, not a test itself).
#include "tests/objects/collection_test_support.h"

VARIANT TextItem(const char* text) {
    std::u16string wide(text, text + std::char_traits<char>::length(text));
    VARIANT value{};
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()),
                                      static_cast<UINT>(wide.size()));
    return value;
}

VARIANT NumberItem(LONG number) {
    VARIANT value{};
    value.vt = VT_I4;
    value.lVal = number;
    return value;
}

std::string Describe(const VARIANT& value) {
    if (value.vt == VT_EMPTY) return "<empty>";
    if (value.vt == VT_I4) return std::to_string(value.lVal);
    if (value.vt != VT_BSTR) return "<vt " + std::to_string(value.vt) + ">";
    std::string text;
    for (UINT i = 0; i < SysStringLen(value.bstrVal); ++i)
        text += static_cast<char>(value.bstrVal[i]);
    return text;
}

std::vector<std::string> Contents(ILinkListCollection* collection) {
    LONG count = -1;
    collection->COUNT(&count);
    std::vector<std::string> items;
    for (LONG index = 1; index <= count; ++index) {
        VARIANT item{};
        collection->ITEM(&index, &item);
        items.push_back(Describe(item));
        VariantClear(&item);
    }
    return items;
}

void AddTexts(ILinkListCollection* collection, std::initializer_list<const char*> texts) {
    for (const char* text : texts) {
        VARIANT item = TextItem(text);
        collection->ADD(&item);
        VariantClear(&item);
    }
}

HRESULT STDMETHODCALLTYPE CountingUnknown::QueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IUnknown)) {
        *object = this;
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}
ULONG STDMETHODCALLTYPE CountingUnknown::AddRef() {
    return ++references;
}
ULONG STDMETHODCALLTYPE CountingUnknown::Release() {
    return --references;
}
