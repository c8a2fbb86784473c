// Helpers for tests of collections: item values from text and numbers, reading a whole
// collection back, and an IUnknown that counts its references.
#pragma once

#include "objects/list_collection_class.h"
#include "platform/win32.h"

#include <string>
#include <vector>

// An owned VT_BSTR value holding `text` (ASCII).
VARIANT TextItem(const char* text);
// An owned VT_I4 value.
VARIANT NumberItem(LONG number);
// The text of a VT_BSTR value, "<empty>" for VT_EMPTY, "<vt N>" otherwise.
std::string Describe(const VARIANT& value);
// Every item from 1 to COUNT, described.
std::vector<std::string> Contents(ILinkListCollection* collection);
// Adds items with the given texts.
void AddTexts(ILinkListCollection* collection, std::initializer_list<const char*> texts);

// A COM object that only counts references; never freed by Release.
struct CountingUnknown : IUnknown {
    LONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
};
