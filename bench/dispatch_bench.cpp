// The collection's ITEM late-bound through IDispatch::Invoke by dispatch identifier against
// the direct virtual call (goal: at most 4 times). Items are 32-bit integers, as the pegs
// hold. The virtual call against a plain vector is collection_bench.cpp.
#include "bench/filled_collection.h"

#include <benchmark/benchmark.h>

namespace {

using bench::kItem;
using bench::kItems;
using bench::NewFilledCollection;

// The baseline: the direct call through the virtual table.
void VirtualItem(benchmark::State& state) {
    ILinkListCollection* collection = NewFilledCollection();
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
BENCHMARK(VirtualItem)->Name("item_invoke/baseline_virtual_ITEM");

void InvokeItem(benchmark::State& state) {
    ILinkListCollection* collection = NewFilledCollection();
    IDispatch* dispatch = nullptr;
    collection->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    LONG index = 1;
    for (auto _ : state) {
        VARIANT argument{};
        argument.vt = VT_I4;
        argument.lVal = index;
        DISPPARAMS parameters{&argument, nullptr, 1, 0};
        VARIANT result{};
        dispatch->Invoke(kItem, IID_NULL, 0x409, DISPATCH_METHOD, &parameters, &result, nullptr,
                         nullptr);
        benchmark::DoNotOptimize(result);
        VariantClear(&result);
        index = index % kItems + 1;
    }
    dispatch->Release();
    collection->Release();
}
BENCHMARK(InvokeItem)->Name("item_invoke/Invoke_ITEM_by_dispid");

}  // namespace
