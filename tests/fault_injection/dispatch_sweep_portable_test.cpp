// Portable host only: it fails the platform's own string allocations (copies and conversions
// of values), which the system's automation library gives a test no way to reach.
//
// Late-bound calls with string arguments on a collection, with each string allocation
// failing in turn: every call either works or reports the failure (a type mismatch naming
// the argument that could not be copied, S_FALSE for an item the collection could not
// store, an exception for an item it could not hand out), nothing stored is lost, and every
// string is freed.
#include "objects/list_collection.h"
#include "objects/list_collection_class.h"
#include "platform/fault_injection.h"
#include "tests/fault_injection/allocation_sweep_support.h"
#include "tests/objects/collection_test_support.h"
#include "tests/objects/dispatch_test_support.h"
#include "tests/platform/variant_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool injectedThisRun = false;

DISPID IdOf(IDispatch* object, const char16_t* name) {
    std::u16string copy(name);
    LPOLESTR names[] = {copy.data()};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, 0x409, &id), S_OK);
    return id;
}

// ADD "alpha", ADD "beta", INSERT("1", "zero"), ITEM("2"). String allocations, in order: the
// instance and its slot block; for each stored item the call's working copy and the
// collection's own copy; the copy ITEM hands out.
void CallsWithStrings(long failingAllocation) {
    const long liveBefore = platform_faults::LiveStrings();
    VARIANT alpha = Textv("alpha"), beta = Textv("beta"), zero = Textv("zero");
    VARIANT one = Textv("1"), two = Textv("2");
    platform_faults::FailStringAllocationNumber(failingAllocation);
    std::vector<std::string> expected;
    auto note = [&](HRESULT hr, UINT argumentError, UINT copiedArgument) {
        if (hr == DISP_E_TYPEMISMATCH) {
            EXPECT_EQ(argumentError, copiedArgument) << "allocation " << failingAllocation;
        } else {
            EXPECT_TRUE(hr == S_OK || hr == S_FALSE)
                << std::hex << hr << ", allocation " << std::dec << failingAllocation;
        }
        return hr == S_OK;
    };

    if (ILinkListCollection* collection = NewListCollection()) {
        void* found = nullptr;
        ASSERT_EQ(collection->QueryInterface(IID_IDispatch, &found), S_OK);
        collection->Release();
        auto* object = static_cast<IDispatch*>(found);
        UINT argumentError = 99;
        const DISPID add = IdOf(object, u"ADD");
        for (auto [argument, text] : {std::pair{&alpha, "alpha"}, std::pair{&beta, "beta"}}) {
            const HRESULT hr = InvokeWith(object, add, DISPATCH_METHOD, argument, 1, nullptr,
                                          nullptr, &argumentError);
            if (note(hr, argumentError, 0)) expected.push_back(text);
        }
        VARIANT insertArguments[] = {zero, one};  // DISPPARAMS order: the item, the position
        const HRESULT inserted = InvokeWith(object, IdOf(object, u"INSERT"), DISPATCH_METHOD,
                                            insertArguments, 2, nullptr, nullptr, &argumentError);
        zero = insertArguments[0];  // both are written back: the item as the call's copy,
        one = insertArguments[1];   // the position converted
        if (note(inserted, argumentError, 0)) expected.insert(expected.begin(), "zero");

        VARIANT result = Empty();
        EXCEPINFO exception{};
        const HRESULT read = InvokeWith(object, IdOf(object, u"ITEM"), DISPATCH_METHOD, &two, 1,
                                        &result, &exception, &argumentError);
        if (read == DISP_E_EXCEPTION) {
            EXPECT_EQ(exception.scode, E_OUTOFMEMORY) << "allocation " << failingAllocation;
            EXPECT_EQ(result.vt, VT_EMPTY);
            SysFreeString(exception.bstrSource);
            SysFreeString(exception.bstrDescription);
            SysFreeString(exception.bstrHelpFile);
        } else if (expected.size() >= 2) {
            EXPECT_EQ(read, S_OK) << "allocation " << failingAllocation;
            ASSERT_EQ(result.vt, VT_BSTR);  // no allocation here: the failure may still be armed
            EXPECT_EQ(TextOf(result.bstrVal), expected[1]);
        }
        VariantClear(&result);

        injectedThisRun = platform_faults::InjectedStringFailureHappened();
        platform_faults::FailStringAllocationNumber(0);
        ILinkListCollection* items = nullptr;
        ASSERT_EQ(object->QueryInterface(IID_ILinkListCollection, reinterpret_cast<void**>(&items)),
                  S_OK);
        EXPECT_EQ(Contents(items), expected) << "allocation " << failingAllocation;
        items->Release();
        EXPECT_EQ(object->Release(), 0u);
    } else {
        injectedThisRun = platform_faults::InjectedStringFailureHappened();
        platform_faults::FailStringAllocationNumber(0);
    }
    for (VARIANT* argument : {&alpha, &beta, &zero, &one, &two}) VariantClear(argument);
    EXPECT_EQ(platform_faults::LiveStrings(), liveBefore) << "allocation " << failingAllocation;
}

}  // namespace

TEST(AllocationSweep, DispatchCallsWithStringArguments) {
    // The scenario arms the failure itself, after making its arguments.
    const FailureInjector platformStrings{[](long) { injectedThisRun = false; },
                                          [] { return injectedThisRun; }};
    EXPECT_EQ(SweepFailures(platformStrings, CallsWithStrings), 9);
}
