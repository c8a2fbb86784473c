// ITEM through the collection's virtual table against the plainest baseline (goal: at most
// 1.5 times): a std::vector of VARIANTs read with VariantCopyInd, on the same items. Names
// follow "<group>/baseline..." and "<group>/<subject>" so bench/run can pair them. A third
// entry puts the plain read under a lock, the floor of every locked collection.
#include "bench/filled_collection.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using bench::kItems;

// The items as a plain vector: 32-bit integers, as the pegs hold.
std::vector<VARIANT> PlainItems() {
    std::vector<VARIANT> items(kItems);
    for (LONG i = 0; i < kItems; ++i) {
        items[i].vt = VT_I4;
        items[i].lVal = i;
    }
    return items;
}

void BaselineVectorCopyInd(benchmark::State& state) {
    std::vector<VARIANT> items = PlainItems();
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

// The same read between one uncontended take and release of a lock word, done as the
// collection does it (an exchange into the low byte, a store of the whole word): the floor
// of any collection that locks on every call. How far it lies above the plain read depends
// on what the processor charges for an atomic exchange.
void VectorCopyIndUnderALock(benchmark::State& state) {
    std::vector<VARIANT> items = PlainItems();
    ULONG lock = 0;
    LONG index = 0;
    for (auto _ : state) {
        VARIANT result{};
        __atomic_exchange_n(reinterpret_cast<BYTE*>(&lock), BYTE{0xFF}, __ATOMIC_ACQUIRE);
        VariantCopyInd(&result, &items[index]);
        __atomic_store_n(&lock, ULONG{0}, __ATOMIC_RELEASE);
        benchmark::DoNotOptimize(result);
        VariantClear(&result);
        index = (index + 1) % kItems;
    }
}
BENCHMARK(VectorCopyIndUnderALock)->Name("item_read/vector_copyind_under_a_lock");

void CollectionItem(benchmark::State& state) {
    ILinkListCollection* collection = bench::NewFilledCollection();
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
