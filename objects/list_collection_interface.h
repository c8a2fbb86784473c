// The list collection's own interface, {70000023-0023-0023-0023-700000000012}: IDispatch's
// seven slots followed by the twelve methods. Every argument and the result go by address;
// an optional one may be null. Results are S_OK (0) or S_FALSE (1); the only negative one is
// E_OUTOFMEMORY from ITEM, NEXT and PREVIOUS when the copy of a stored item cannot be made.
#pragma once

#include "platform/win32.h"

struct ILinkListCollection : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE FIRST(LONG* previousCursor) = 0;
    virtual HRESULT STDMETHODCALLTYPE NEXT(VARIANT* item) = 0;
    virtual HRESULT STDMETHODCALLTYPE ADD(VARIANT* item) = 0;
    virtual HRESULT STDMETHODCALLTYPE CLEAR() = 0;
    virtual HRESULT STDMETHODCALLTYPE COUNT(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE INDEX(LONG* index, LONG* cursor) = 0;
    virtual HRESULT STDMETHODCALLTYPE INSERT(LONG* index, VARIANT* item) = 0;
    virtual HRESULT STDMETHODCALLTYPE ITEM(LONG* index, VARIANT* item) = 0;
    virtual HRESULT STDMETHODCALLTYPE LAST(LONG* previousCursor) = 0;
    virtual HRESULT STDMETHODCALLTYPE PREVIOUS(VARIANT* item) = 0;
    virtual HRESULT STDMETHODCALLTYPE REMOVE(LONG* index) = 0;
    virtual HRESULT STDMETHODCALLTYPE REPLACE(LONG* index, VARIANT* item) = 0;
};

extern "C" const IID IID_ILinkListCollection;
