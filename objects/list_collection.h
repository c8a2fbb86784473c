// LinkListCollection: an ordered, 1-based, growable collection of item values with a
// cursor and a per-object busy-wait lock. Items live in one contiguous block of 16-byte
// slots that grows by 100 slots at a time and never shrinks.
#pragma once

#include "objects/list_collection_interface.h"

// The collection's fields, after the common header and words of its data block. `count`
// and `lock` are touched with atomic operations: COUNT reads the count without the lock.
struct ListCollectionFields {
    ULONG capacity;
    ULONG count;
    ULONG lock;
    ULONG cursor;
    VARIANT* slots;
};

constexpr ULONG kCollectionGrowth = 100;  // slots added whenever the block is full

// The twelve methods as they sit in slots 7 to 18 of the virtual table.
HRESULT STDMETHODCALLTYPE CollectionFirst(ILinkListCollection* self, LONG* previousCursor);
HRESULT STDMETHODCALLTYPE CollectionNext(ILinkListCollection* self, VARIANT* item);
HRESULT STDMETHODCALLTYPE CollectionAdd(ILinkListCollection* self, VARIANT* item);
HRESULT STDMETHODCALLTYPE CollectionClear(ILinkListCollection* self);
HRESULT STDMETHODCALLTYPE CollectionCount(ILinkListCollection* self, LONG* count);
HRESULT STDMETHODCALLTYPE CollectionIndex(ILinkListCollection* self, LONG* index, LONG* cursor);
HRESULT STDMETHODCALLTYPE CollectionInsert(ILinkListCollection* self, LONG* index, VARIANT* item);
HRESULT STDMETHODCALLTYPE CollectionItem(ILinkListCollection* self, LONG* index, VARIANT* item);
HRESULT STDMETHODCALLTYPE CollectionLast(ILinkListCollection* self, LONG* previousCursor);
HRESULT STDMETHODCALLTYPE CollectionPrevious(ILinkListCollection* self, VARIANT* item);
HRESULT STDMETHODCALLTYPE CollectionRemove(ILinkListCollection* self, LONG* index);
HRESULT STDMETHODCALLTYPE CollectionReplace(ILinkListCollection* self, LONG* index, VARIANT* item);

// Construction and destruction routines, called with the first interface pointer.
LONG STDMETHODCALLTYPE ConstructListCollection(IUnknown* self);
void STDMETHODCALLTYPE DestroyListCollection(IUnknown* self);

// The collection's capacity and cursor, for tests and diagnostics (taken under the lock).
ULONG CollectionCapacity(ILinkListCollection* self);
ULONG CollectionCursor(ILinkListCollection* self);
