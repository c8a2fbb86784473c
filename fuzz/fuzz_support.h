// Shared by the fuzz targets: a reader that takes fixed-size values from the input (zeros
// once it runs out), and an IDispatch that counts its references so that a call which keeps
// or drops one is seen.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <cstring>

struct Reader {
    const uint8_t* data;
    size_t size;
    bool Empty() const { return size == 0; }
    template <typename T>
    T Take() {
        T value{};
        const size_t n = size < sizeof value ? size : sizeof value;
        std::memcpy(&value, data, n);
        data += n;
        size -= n;
        return value;
    }
};

// Never freed by Release: it lives on the fuzz target's stack.
struct Counted : IDispatch {
    LONG references = 1;
    bool hasValue = false;  // the value property answers 7; else it does not exist

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (!hasValue) return DISP_E_MEMBERNOTFOUND;
        if (result) {
            VariantClear(result);
            result->vt = VT_I4;
            result->lVal = 7;
        }
        return S_OK;
    }
};
