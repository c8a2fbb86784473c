// Random sequences of the string operations on a procedure's TempStringStack: pushes of
// owned and borrowed strings, pops, pops into variables, appends, concatenations and
// code-page conversions, with allocations failing at random points. At the end every
// owned string has been freed exactly once (AddressSanitizer sees double frees and leaks;
// the allocation seam's counters must balance).
#include "runtime/memory.h"
#include "runtime/proc_frame.h"
#include "runtime/string_convert.h"
#include "runtime/string_handle.h"
#include "runtime/string_join.h"
#include "runtime/temp_strings.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr UINT kCodePages[] = {0, 65001, 1252};

// Conversions double a string and appends add two: a few dozen steps would build strings of
// gigabytes. Operations that grow strings are skipped once any string involved is this big,
// which keeps every input fast without hiding a path (64 KiB is far past every boundary).
constexpr UINT kLargestGrowingString = 1u << 16;

bool Small(StringHandle handle) {
    return StringByteLength(handle) <= kLargestGrowingString;
}

bool TopsSmall(int depth) {
    for (int d = 0; d < depth; ++d)
        if (!Small(TempString(d))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Borrowed strings live outside the seam: they are never freed by the operations.
    static BSTR borrowed[3] = {SysAllocStringByteLen("abc", 3), SysAllocStringByteLen("", 0),
                               SysAllocStringByteLen("\xc3\xa9t\xe9\0z", 6)};
    allocation_seam::Reset();
    BSTR variables[3] = {};
    {
        ProcFrame frame;
        size_t at = 0;
        auto byte = [&]() -> uint8_t { return at < size ? data[at++] : 0; };
        while (at < size) {
            const uint8_t operation = byte();
            const int pending = TempStringCount();
            switch (operation % 10) {
                case 0:
                    if (pending < kTempStringSlots) PushBorrowedString(borrowed[byte() % 3]);
                    break;
                case 1: {
                    const UINT length = byte() % 16;
                    const UINT available = static_cast<UINT>(size - at);
                    const UINT take = length < available ? length : available;
                    if (pending < kTempStringSlots) PushStringCopy(data + at, take);
                    at += take;
                    break;
                }
                case 2:
                    if (pending < kTempStringSlots) PushEmptyString();
                    break;
                case 3:
                    if (pending > 0) PopAndFreeString();
                    break;
                case 4:
                    if (pending > 0) PopIntoStringVariable(&variables[byte() % 3]);
                    break;
                case 5:
                    if (pending > 1 && TopsSmall(2)) AppendTopToNext();
                    break;
                case 6:
                    if (pending < kTempStringSlots && Small(OwnedHandle(variables[0])) &&
                        Small(OwnedHandle(variables[1])) && Small(OwnedHandle(variables[2])))
                        ConcatenateStrings(3, variables);
                    break;
                case 7: {
                    const UINT page = kCodePages[byte() % 3];
                    if (pending > 0 && TopsSmall(1)) ConvertTempToWide(page, 0);
                } break;
                case 8: {
                    const UINT page = kCodePages[byte() % 3];
                    if (pending > 0 && TopsSmall(1)) ConvertTempToBytes(page, 0);
                } break;
                default:
                    allocation_seam::FailAllocationNumber(byte() % 4);
                    break;
            }
        }
        allocation_seam::FailAllocationNumber(0);
    }  // the frame's exit frees whatever temporaries are left
    for (BSTR& variable : variables) FreeString(variable);
    const allocation_seam::Counters counters = allocation_seam::Read();
    if (counters.allocations != counters.frees) std::abort();
    return 0;
}
