// ITEM through the collection's virtual table against the plainest baseline (goal: at most
// 1.5 times): a std::vector of VARIANTs read with VariantCopyInd, on the same items. Names
// follow "<group>/baseline..." and "<group>/<subject>" so bench/run can pair them.
#include "objects/list_collection_class.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr LONG kItems = 1000;

void BaselineVectorCopyInd(benchmark::State& state) {
    std::vector<VARIANT> items(kItems);
    for (LONG i = 0; i < kItems; ++i) {
        items[i].vt = VT_I4;
        items[i].lVal = i;
    }
    LONG index = 0;
    for (auto _ : state) {
        VARIANT result{};
        VariantCopyInd(&result, &items[index]);
        benchmark::DoNotOptimize(result);
        VariantClear(&result);
        index = (index + 1) % kItems;
    }
}
BENCHMARK(BaselineVectorCopyInd)->Name("item_read/baseline_vector_copyind");

void CollectionItem(benchmark::State& state) {
    ILinkListCollection* collection = NewListCollection();
    for (LONG i = 0; i < kItems; ++i) {
        VARIANT item{};
        item.vt = VT_I4;
        item.lVal = i;
        collection->ADD(&item);
    }
    LONG index = 1;
    for (auto _ : state) {
        VARIANT result{};
        collection->ITEM(&index, &result);
        benchmark::DoNotOptimize(result);
        VariantClear(&result);
        index = index % kItems + 1;
    }
    collection->Release();
}
BENCHMARK(CollectionItem)->Name("item_read/collection_ITEM");

}  // namespace
