// The collection every ITEM benchmark reads: a thousand 32-bit integers, as the pegs hold,
// and the dispatch identifier of ITEM for the late-bound ones.
#pragma once

#include "objects/list_collection_class.h"

namespace bench {

constexpr LONG kItems = 1000;
constexpr DISPID kItem = 8;

inline ILinkListCollection* NewFilledCollection() {
    ILinkListCollection* collection = NewListCollection();
    for (LONG i = 0; i < kItems; ++i) {
        VARIANT item{};
        item.vt = VT_I4;
        item.lVal = i;
        collection->ADD(&item);
    }
    return collection;
}

}  // namespace bench
