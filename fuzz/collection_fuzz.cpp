// Drives a list collection with arbitrary method sequences and arbitrary positions, and
// checks it against a simple model after every call: counts, items and results agree.
#include "objects/list_collection.h"
#include "objects/list_collection_class.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    bool Empty() const { return size == 0; }
    uint8_t Byte() {
        if (!size) return 0;
        --size;
        return *data++;
    }
    LONG Index() {
        // Mostly small positions near the items, sometimes any 32-bit value.
        const uint8_t kind = Byte();
        if (kind < 200) return static_cast<LONG>(kind % 12) - 1;
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = value << 8 | Byte();
        return static_cast<LONG>(value);
    }
};

void Check(bool condition) {
    if (!condition) std::abort();
}

LONG ReadItem(const VARIANT& item) {
    return item.vt == VT_I4 ? item.lVal : -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader input{data, size};
    ILinkListCollection* collection = NewListCollection();
    std::vector<LONG> model;
    LONG next = 1;
    while (!input.Empty()) {
        const uint8_t method = input.Byte() % 8;
        LONG index = input.Index();
        const bool withIndex = input.Byte() & 1;
        const ULONG position = static_cast<ULONG>(index);
        const bool isItem = withIndex && position >= 1 && position <= model.size();
        VARIANT item{};
        item.vt = VT_I4;
        item.lVal = next++;
        VARIANT result{};
        LONG* indexArgument = withIndex ? &index : nullptr;
        switch (method) {
            case 0:  // ADD, or INSERT at an arbitrary position
            case 1: {
                Check(collection->INSERT(method ? indexArgument : nullptr, &item) == S_OK);
                const bool appends =
                    method == 0 || !withIndex || position == 0 || position > model.size() + 1;
                model.insert(appends ? model.end() : model.begin() + (position - 1), item.lVal);
                break;
            }
            case 2:
                Check(collection->REMOVE(indexArgument) == (isItem ? S_OK : S_FALSE));
                if (isItem) model.erase(model.begin() + (position - 1));
                break;
            case 3:
                Check(collection->REPLACE(indexArgument, &item) == (isItem ? S_OK : S_FALSE));
                if (isItem) model[position - 1] = item.lVal;
                break;
            case 4:
                Check(collection->ITEM(indexArgument, &result) == (isItem ? S_OK : S_FALSE));
                Check(ReadItem(result) == (isItem ? model[position - 1] : -1));
                break;
            case 5:
                if (input.Byte() % 4 == 0) {
                    Check(collection->CLEAR() == S_OK);
                    model.clear();
                }
                break;
            case 6: {  // a cursor walk from either end
                const bool forward = input.Byte() & 1;
                (forward ? collection->FIRST(nullptr) : collection->LAST(nullptr));
                std::vector<LONG> walked;
                while ((forward ? collection->NEXT(&result) : collection->PREVIOUS(&result)) ==
                       S_OK)
                    walked.insert(forward ? walked.end() : walked.begin(), ReadItem(result));
                Check(walked == model);
                break;
            }
            default: {
                LONG cursor = 0;
                Check(collection->INDEX(indexArgument, &cursor) == S_OK);
                break;
            }
        }
        VariantClear(&result);
        LONG count = -1;
        collection->COUNT(&count);
        Check(count == static_cast<LONG>(model.size()));
    }
    Check(collection->Release() == 0);
    return 0;
}
