// The list collection's twelve methods, construction and destruction.
#include "objects/list_collection.h"

#include "objects/builtin_object.h"
#include "objects/item_value.h"
#include "runtime/memory.h"

#include <cstring>

namespace {

ListCollectionFields* FieldsOf(const void* self) {
    return ClassFieldsOf<ListCollectionFields>(self);
}

bool TakeLockByte(BYTE* lowByte) {
    return __atomic_exchange_n(lowByte, BYTE{0xFF}, __ATOMIC_ACQUIRE) == 0;
}

// The contended path, out of line and marked cold, so that every method's uncontended path
// stays one exchange without the frame a call of Sleep needs.
[[gnu::noinline, gnu::cold]] void WaitForLockByte(BYTE* lowByte) {
    do {
        Sleep(0);
    } while (!TakeLockByte(lowByte));
}

// Busy-wait lock: exchange 0xFF into the low byte; while it was taken, give up the time
// slice. Released by storing 0 into the whole word.
class CollectionLock {
   public:
    explicit CollectionLock(ListCollectionFields* fields) : word_(&fields->lock) {
        auto* lowByte = reinterpret_cast<BYTE*>(word_);  // little-endian: the low byte first
        if (!TakeLockByte(lowByte)) WaitForLockByte(lowByte);
    }
    ~CollectionLock() { __atomic_store_n(word_, ULONG{0}, __ATOMIC_RELEASE); }
    CollectionLock(const CollectionLock&) = delete;
    CollectionLock& operator=(const CollectionLock&) = delete;

   private:
    ULONG* word_;
};

ULONG CountOf(const ListCollectionFields* fields) {
    return __atomic_load_n(&fields->count, __ATOMIC_RELAXED);
}

void SetCount(ListCollectionFields* fields, ULONG count) {
    __atomic_store_n(&fields->count, count, __ATOMIC_RELAXED);
}

// A new zero-filled slot block from the run-time's byte-block allocator; null when memory
// runs out.
VARIANT* AllocateSlots(ULONG slots) {
    BSTR block = RuntimeAllocByteString(nullptr, slots * sizeof(VARIANT));
    if (block) std::memset(block, 0, slots * sizeof(VARIANT));
    return reinterpret_cast<VARIANT*>(block);
}

void FreeSlots(VARIANT* slots) {
    RuntimeFreeString(reinterpret_cast<BSTR>(slots));
}

// Grows the block by one step, keeping the old slots and zeroing the new ones. When memory
// runs out the old block stays in place untouched and false is returned: the insertion
// that needed room fails and no item is lost.
bool Grow(ListCollectionFields* fields) {
    const ULONG capacity = fields->capacity + kCollectionGrowth;
    if (capacity > 0xFFFFFFFFu / sizeof(VARIANT)) return false;
    VARIANT* slots = AllocateSlots(capacity);
    if (!slots) return false;
    if (fields->slots) {
        std::memcpy(slots, fields->slots, fields->capacity * sizeof(VARIANT));
        FreeSlots(fields->slots);
    }
    fields->slots = slots;
    fields->capacity = capacity;
    return true;
}

// Positions are compared unsigned: a negative index lies beyond every item.
bool IsItemPosition(const LONG* index, ULONG count) {
    return index && static_cast<ULONG>(*index) != 0 && static_cast<ULONG>(*index) <= count;
}

// NEXT, ITEM and PREVIOUS release the caller's result before anything else.
void EmptyResult(VARIANT* item) {
    if (item && item->vt != VT_EMPTY) ItemRelease(item);  // an empty one has nothing to release
}

// A stored item copied into a caller's result. A failed copy is reported (E_OUTOFMEMORY by
// the caller: stored items are always copyable, so only memory can fail) rather than an
// empty item passed off as the stored one.
HRESULT CopyOut(VARIANT* result, const VARIANT* stored) {
    const HRESULT hr = ItemCopyDereferenced(result, stored);
    if (FAILED(hr)) EmptyResult(result);
    return hr;
}

}  // namespace

HRESULT STDMETHODCALLTYPE CollectionFirst(ILinkListCollection* self, LONG* previousCursor) {
    ListCollectionFields* fields = FieldsOf(self);
    CollectionLock lock(fields);
    const ULONG previous = fields->cursor;
    fields->cursor = 1;
    if (previousCursor) *previousCursor = static_cast<LONG>(previous);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CollectionNext(ILinkListCollection* self, VARIANT* item) {
    ListCollectionFields* fields = FieldsOf(self);
    CollectionLock lock(fields);
    EmptyResult(item);
    if (fields->cursor == 0) fields->cursor = 1;
    if (fields->cursor > CountOf(fields)) return S_FALSE;
    if (item && FAILED(CopyOut(item, &fields->slots[fields->cursor - 1]))) return E_OUTOFMEMORY;
    fields->cursor += 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CollectionAdd(ILinkListCollection* self, VARIANT* item) {
    return CollectionInsert(self, nullptr, item);
}

HRESULT STDMETHODCALLTYPE CollectionClear(ILinkListCollection* self) {
    ListCollectionFields* fields = FieldsOf(self);
    CollectionLock lock(fields);
    const ULONG count = CountOf(fields);
    for (ULONG k = 0; k < count; ++k) {
        ItemRelease(&fields->slots[k]);
        std::memset(&fields->slots[k], 0, sizeof(VARIANT));
    }
    SetCount(fields, 0);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CollectionCount(ILinkListCollection* self, LONG* count) {
    // Without the lock: one aligned 32-bit read.
    if (count) *count = static_cast<LONG>(CountOf(FieldsOf(self)));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CollectionIndex(ILinkListCollection* self, LONG* index, LONG* cursor) {
    ListCollectionFields* fields = FieldsOf(self);
    CollectionLock lock(fields);
    const ULONG previous = fields->cursor;
    if (IsItemPosition(index, CountOf(fields))) fields->cursor = static_cast<ULONG>(*index);
    if (cursor) *cursor = static_cast<LONG>(previous);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CollectionInsert(ILinkListCollection* self, LONG* index, VARIANT* item) {
    ListCollectionFields* fields = FieldsOf(self);
    CollectionLock lock(fields);
    const ULONG count = CountOf(fields);
    // No room, or no copy of the item (out of memory, or a value VariantCopyInd refuses):
    // S_FALSE, and the collection is left as it was. The item is copied before anything moves.
    if (count >= fields->capacity && !Grow(fields)) return S_FALSE;
    VARIANT copy{};
    if (item && FAILED(ItemCopyDereferenced(&copy, item))) return S_FALSE;
    ULONG position = count + 1;
    if (index && *index != 0 && static_cast<ULONG>(*index) <= count + 1)
        position = static_cast<ULONG>(*index);
    VARIANT* slot = &fields->slots[position - 1];
    if (position <= count) std::memmove(slot + 1, slot, (count - position + 1) * sizeof(VARIANT));
    std::memcpy(slot, &copy, sizeof(VARIANT));
    SetCount(fields, count + 1);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CollectionItem(ILinkListCollection* self, LONG* index, VARIANT* item) {
    ListCollectionFields* fields = FieldsOf(self);
    CollectionLock lock(fields);
    EmptyResult(item);
    if (!IsItemPosition(index, CountOf(fields))) return S_FALSE;
    if (item && FAILED(CopyOut(item, &fields->slots[*index - 1]))) return E_OUTOFMEMORY;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CollectionLast(ILinkListCollection* self, LONG* previousCursor) {
    ListCollectionFields* fields = FieldsOf(self);
    CollectionLock lock(fields);
    const ULONG previous = fields->cursor;
    const ULONG count = CountOf(fields);
    fields->cursor = count ? count : 1;
    if (previousCursor) *previousCursor = static_cast<LONG>(previous);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CollectionPrevious(ILinkListCollection* self, VARIANT* item) {
    ListCollectionFields* fields = FieldsOf(self);
    CollectionLock lock(fields);
    EmptyResult(item);
    if (fields->cursor == 0 || fields->cursor > CountOf(fields)) return S_FALSE;
    if (item && FAILED(CopyOut(item, &fields->slots[fields->cursor - 1]))) return E_OUTOFMEMORY;
    fields->cursor -= 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CollectionRemove(ILinkListCollection* self, LONG* index) {
    ListCollectionFields* fields = FieldsOf(self);
    CollectionLock lock(fields);
    const ULONG count = CountOf(fields);
    if (!IsItemPosition(index, count)) return S_FALSE;
    const ULONG position = static_cast<ULONG>(*index);
    VARIANT* slot = &fields->slots[position - 1];
    ItemRelease(slot);
    std::memmove(slot, slot + 1, (count - position) * sizeof(VARIANT));
    // The vacated top slot is zeroed so that no stale copy of a moved value lingers there.
    std::memset(&fields->slots[count - 1], 0, sizeof(VARIANT));
    SetCount(fields, count - 1);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CollectionReplace(ILinkListCollection* self, LONG* index, VARIANT* item) {
    ListCollectionFields* fields = FieldsOf(self);
    CollectionLock lock(fields);
    if (!IsItemPosition(index, CountOf(fields))) return S_FALSE;
    VARIANT* slot = &fields->slots[*index - 1];
    if (item) {
        // Copied aside first: when there is no memory for the copy the old item stays.
        VARIANT copy{};
        if (FAILED(ItemCopyDereferenced(&copy, item))) return S_FALSE;
        ItemRelease(slot);
        std::memcpy(slot, &copy, sizeof(VARIANT));
    } else {
        ItemRelease(slot);  // no new item: the slot keeps an empty value
    }
    return S_OK;
}

LONG STDMETHODCALLTYPE ConstructListCollection(IUnknown* self) {
    ListCollectionFields* fields = FieldsOf(self);
    fields->cursor = 1;
    fields->capacity = 0;
    // Without memory the collection starts with no block and capacity 0: every method
    // still works on its zero items, and the first insertion tries to allocate again.
    fields->slots = AllocateSlots(kCollectionGrowth);
    if (fields->slots) fields->capacity = kCollectionGrowth;
    return 0;
}

void STDMETHODCALLTYPE DestroyListCollection(IUnknown* self) {
    ListCollectionFields* fields = FieldsOf(self);
    const ULONG count = CountOf(fields);
    for (ULONG k = 0; k < count; ++k) {
        ItemRelease(&fields->slots[k]);
        std::memset(&fields->slots[k], 0, sizeof(VARIANT));
    }
    FreeSlots(fields->slots);
    fields->slots = nullptr;
    fields->capacity = 0;
    SetCount(fields, 0);
}

ULONG CollectionCapacity(ILinkListCollection* self) {
    ListCollectionFields* fields = FieldsOf(self);
    CollectionLock lock(fields);
    return fields->capacity;
}

ULONG CollectionCursor(ILinkListCollection* self) {
    ListCollectionFields* fields = FieldsOf(self);
    CollectionLock lock(fields);
    return fields->cursor;
}
