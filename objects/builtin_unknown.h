// IUnknown of built-in objects, shared by every interface of every built-in class, and the
// live-object count.
#pragma once

#include "platform/win32.h"

HRESULT STDMETHODCALLTYPE BuiltinQueryInterface(IUnknown* self, REFIID riid, void** object);
ULONG STDMETHODCALLTYPE BuiltinAddRef(IUnknown* self);
ULONG STDMETHODCALLTYPE BuiltinRelease(IUnknown* self);

// Instances created and not yet freed.
LONG LiveObjectCount();
void CountObjectCreated();
void CountObjectFreed();
