// The pieces of the program's own crash report that do not depend on the host: the names of
// the program's threads, report lines built in fixed storage, exception code names, and the
// two facts read from a mapped PE image (its export name, its unwind entry for an address).
// Nothing here allocates or locks: the report runs after anything may have gone wrong.
#pragma once

#include "platform/win32.h"

#include <cstddef>
#include <cstdint>

// Threads the report can name: the program has two, and a few more leave room for tests.
constexpr int kCrashThreadNames = 8;

// Names the calling thread in a crash report ("window thread", "solver thread"), or renames
// it. With kCrashThreadNames threads named, the oldest naming gives way (its thread has most
// likely ended). `name` must outlive the process (a literal).
void NameCrashThread(const char* name);
// The name given to thread `id`, or nullptr for a thread the program never named.
const char* CrashThreadName(DWORD id);

// One line of a report in fixed storage; text past its capacity is cut, never overrun.
class CrashLine {
   public:
    static constexpr size_t kCapacity = 200;
    CrashLine& Add(const char* text);
    // `value` in upper-case hexadecimal, at least `digits` digits (leading zeros).
    CrashLine& AddHex(uint64_t value, int digits);
    CrashLine& AddDecimal(uint64_t value);
    const char* Text() const { return text_; }
    size_t Length() const { return length_; }
    void Clear();

   private:
    char text_[kCapacity + 1] = {};
    size_t length_ = 0;
};

// The short English name of an exception code ("access violation"), or nullptr.
const char* ExceptionCodeName(DWORD code);
// The last component of a path (after the last '\\' or '/').
const char* FileNamePart(const char* path);

// A mapped PE image whose first `size` bytes the caller knows to be readable (the headers
// are checked before any read; every offset taken from the image is held to `size`).
struct MappedImage {
    const BYTE* base;
    size_t size;
};
// The image's size as its header gives it (SizeOfImage), or 0 when the headers are not a PE
// image's. Reads only the first page.
size_t MappedImageSize(const BYTE* base);
// The module name in the image's export directory ("USER32.dll"), or nullptr when it has none
// or the name does not end inside the image.
const char* ImageExportName(MappedImage image);
// The 64-bit unwind entry (RUNTIME_FUNCTION: begin, end, unwind-data offsets) whose range holds
// `offset`, found by binary search of the exception directory; nullptr when none does.
const uint32_t* ImageUnwindEntry(MappedImage image, uint32_t offset);
