// IUnknown of built-in objects, shared by every interface of every built-in class, the
// destruction of an instance by its final Release.
#pragma once

#include "platform/win32.h"

// Looks the identifier up in the interface identifier table and the class's interface
// entries: the first entry with that index gives its interface record (its sub-object is
// created on first request). Anything else: E_NOINTERFACE, null output, count unchanged.
// Null output address: E_POINTER.
HRESULT STDMETHODCALLTYPE BuiltinQueryInterface(IUnknown* self, REFIID riid, void** object);
// Count + 1; returns the new count. Null: 0.
ULONG STDMETHODCALLTYPE BuiltinAddRef(IUnknown* self);
// Count - 1; at 0 the instance is destroyed (see builtin_unknown.cpp). Null: 0.
ULONG STDMETHODCALLTYPE BuiltinRelease(IUnknown* self);

// The current reference count of a built-in instance, for tests and diagnostics.
LONG BuiltinReferenceCount(IUnknown* self);
