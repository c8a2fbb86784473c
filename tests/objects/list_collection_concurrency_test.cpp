// Two threads on two collections: one moves items back and forth, the other reads COUNT and
// ITEM of both. Reads never see a torn value, and in the end every item is there once.
#include "objects/list_collection_class.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

namespace {

constexpr LONG kItems = 150;  // more than one growth step of the slot block

void Move(ILinkListCollection* from, ILinkListCollection* to) {
    LONG count = 0;
    from->COUNT(&count);
    if (count == 0) return;
    VARIANT item{};
    from->ITEM(&count, &item);
    from->REMOVE(&count);
    to->ADD(&item);
    VariantClear(&item);
}

}  // namespace

TEST(CollectionConcurrency, MoverAndReaderSeeConsistentItems) {
    ILinkListCollection* lists[2] = {NewListCollection(), NewListCollection()};
    for (LONG i = 1; i <= kItems; ++i) {
        VARIANT item{};
        item.vt = VT_I4;
        item.lVal = i;
        lists[0]->ADD(&item);
    }
    std::atomic<bool> stop{false};
    std::atomic<long> badReads{0}, goodReads{0};
    std::thread mover([&] {
        unsigned step = 0;
        while (!stop.load()) {
            // Drain in bursts so both collections repeatedly grow, shrink and empty.
            const int side = (step++ / 200) % 2;
            Move(lists[side], lists[1 - side]);
        }
    });
    std::thread reader([&] {
        while (!stop.load()) {
            for (ILinkListCollection* list : lists) {
                LONG count = 0;
                list->COUNT(&count);
                if (count < 0 || count > kItems) badReads.fetch_add(1);
                for (LONG index = 1; index <= count; ++index) {
                    VARIANT item{};
                    const HRESULT result = list->ITEM(&index, &item);
                    // The top item may have gone since COUNT: then an empty value and S_FALSE.
                    const bool empty = result == S_FALSE && item.vt == VT_EMPTY;
                    const bool whole =
                        result == S_OK && item.vt == VT_I4 && item.lVal >= 1 && item.lVal <= kItems;
                    (empty || whole ? goodReads : badReads).fetch_add(1);
                    VariantClear(&item);
                }
            }
        }
    });
    std::this_thread::sleep_for(std::chrono::seconds(2));
    stop.store(true);
    mover.join();
    reader.join();

    EXPECT_EQ(badReads.load(), 0);
    EXPECT_GT(goodReads.load(), 0);
    std::multiset<LONG> seen;
    for (ILinkListCollection* list : lists) {
        LONG count = 0;
        list->COUNT(&count);
        for (LONG index = 1; index <= count; ++index) {
            VARIANT item{};
            list->ITEM(&index, &item);
            seen.insert(item.lVal);
        }
        list->Release();
    }
    ASSERT_EQ(seen.size(), static_cast<size_t>(kItems));
    for (LONG i = 1; i <= kItems; ++i) EXPECT_EQ(seen.count(i), 1u) << i;
}
