// Windows only: ITEM on one collection called three ways in the same run: the direct virtual
// call (the baseline), our IDispatch::Invoke, and the system's standard dispatch
// (CreateStdDispatch over the type information of the type library this program carries,
// which calls through ITypeInfo::Invoke). Each is timed with QueryPerformanceCounter over
// several repetitions and the median printed with its ratio to the baseline. No Google
// Benchmark here: it is not built for MinGW.
#include "bench/filled_collection.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::kItem;
using bench::kItems;
using bench::NewFilledCollection;
constexpr int kCalls = 200000;
constexpr int kRepetitions = 7;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Nanoseconds per call, the median of the repetitions; `call` makes one call with the
// 1-based index and returns false when the call failed (then the timing stops with -1).
template <typename Call>
double MedianNanoseconds(Call call) {
    std::vector<double> times;
    for (int repetition = 0; repetition < kRepetitions; ++repetition) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        LONG index = 1;
        for (int i = 0; i < kCalls; ++i) {
            if (!call(index)) return -1;
            index = index % kItems + 1;
        }
        QueryPerformanceCounter(&end);
        times.push_back(Seconds(start, end) * 1e9 / kCalls);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// An ITEM call by dispatch identifier, its result checked against the stored item.
bool InvokeItem(IDispatch* dispatch, LONG index) {
    VARIANT argument{};
    argument.vt = VT_I4;
    argument.lVal = index;
    DISPPARAMS parameters{&argument, nullptr, 1, 0};
    VARIANT result{};
    const HRESULT hr = dispatch->Invoke(kItem, IID_NULL, 0x409, DISPATCH_METHOD, &parameters,
                                        &result, nullptr, nullptr);
    const bool right = hr == S_OK && result.vt == VT_I4 && result.lVal == index - 1;
    VariantClear(&result);
    return right;
}

// The standard dispatch over the collection's virtual-table interface as the type library
// describes it; null when the library or the dispatch cannot be had.
IDispatch* NewStandardDispatch(ILinkListCollection* collection) {
    ITypeInfo* dispatchInfo = nullptr;
    if (FAILED(collection->GetTypeInfo(0, 0x409, &dispatchInfo))) return nullptr;
    HREFTYPE reference = 0;
    ITypeInfo* tableInfo = nullptr;
    HRESULT hr = dispatchInfo->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference);
    if (SUCCEEDED(hr)) hr = dispatchInfo->GetRefTypeInfo(reference, &tableInfo);
    dispatchInfo->Release();
    if (FAILED(hr)) return nullptr;
    IUnknown* standard = nullptr;
    hr = CreateStdDispatch(nullptr, collection, tableInfo, &standard);
    tableInfo->Release();
    if (FAILED(hr)) return nullptr;
    IDispatch* dispatch = nullptr;
    standard->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    standard->Release();
    return dispatch;
}

}  // namespace

int main() {
    ILinkListCollection* collection = NewFilledCollection();
    IDispatch* ours = nullptr;
    collection->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ours));
    IDispatch* standard = NewStandardDispatch(collection);
    if (!collection || !ours || !standard) {
        std::fprintf(stderr, "std_dispatch_timing: no collection or no standard dispatch\n");
        return 1;
    }

    const double direct = MedianNanoseconds([&](LONG index) {
        VARIANT result{};
        const bool right = collection->ITEM(&index, &result) == S_OK && result.lVal == index - 1;
        VariantClear(&result);
        return right;
    });
    const double invoke = MedianNanoseconds([&](LONG index) { return InvokeItem(ours, index); });
    const double system =
        MedianNanoseconds([&](LONG index) { return InvokeItem(standard, index); });
    if (direct <= 0 || invoke <= 0 || system <= 0) {
        std::fprintf(stderr, "std_dispatch_timing: a call gave the wrong item\n");
        return 1;
    }

    std::printf("ITEM, median of %d repetitions of %d calls, %d-bit build\n", kRepetitions, kCalls,
                static_cast<int>(8 * sizeof(void*)));
    std::printf("%-44s %9.1f ns %7.2fx\n", "direct virtual call (baseline)", direct, 1.0);
    std::printf("%-44s %9.1f ns %7.2fx\n", "our IDispatch::Invoke", invoke, invoke / direct);
    std::printf("%-44s %9.1f ns %7.2fx\n", "CreateStdDispatch (ITypeInfo::Invoke)", system,
                system / direct);
    std::printf("ours / standard dispatch: %.2f (goal: at most 0.50)\n", invoke / system);
    standard->Release();
    ours->Release();
    collection->Release();
    return 0;
}
