// IDispatch of built-in objects: the four methods in slots 3 to 6 of every
// dispatch-capable interface of every built-in class, shared by all of them. What differs
// per class comes from the method-name and dispatch descriptor tables (objects/class_tables.h).
#pragma once

#include "platform/win32.h"

HRESULT STDMETHODCALLTYPE BuiltinGetTypeInfoCount(IDispatch* self, UINT* count);
HRESULT STDMETHODCALLTYPE BuiltinGetTypeInfo(IDispatch* self, UINT index, LCID locale,
                                             ITypeInfo** info);
HRESULT STDMETHODCALLTYPE BuiltinGetIDsOfNames(IDispatch* self, REFIID riid, LPOLESTR* names,
                                               UINT nameCount, LCID locale, DISPID* ids);
HRESULT STDMETHODCALLTYPE BuiltinInvoke(IDispatch* self, DISPID id, REFIID riid, LCID locale,
                                        WORD kinds, DISPPARAMS* arguments, VARIANT* result,
                                        EXCEPINFO* exception, UINT* argumentError);
