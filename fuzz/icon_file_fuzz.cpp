// Reads arbitrary bytes as an icon file: the directory, every entry, and the choice by size.
// Whatever the input, nothing reads outside it, and a decoded entry has the size it claims.
#include "platform/user/icon_file.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckDecoded(bool ok, const IconPixels& out, int width, int height) {
    if (!ok) {
        Check(out.width == 0 && out.height == 0 && out.bgra.empty());
        return;
    }
    Check(out.width == width && out.height == height);
    Check(out.bgra.size() == static_cast<size_t>(width) * height * 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<IconFileEntry> entries;
    if (!ParseIconFile(data, size, &entries)) {
        Check(entries.empty());
        return 0;
    }
    for (const IconFileEntry& entry : entries) {
        Check(entry.offset <= size && entry.size <= size - entry.offset);
        IconPixels out;
        CheckDecoded(DecodeIconEntry(data, size, entry, &out), out, entry.width, entry.height);
    }
    for (int edge : {16, 133, 256}) {
        IconPixels out;
        CheckDecoded(DecodeIconOfSize(data, size, edge, edge, &out), out, edge, edge);
    }
    return 0;
}
