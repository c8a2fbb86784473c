// Helpers shared by the dynamic-string tests: reading a handle's bytes, making owned
// strings through the allocation seam, and counting what an operation allocated and freed.
#pragma once

#include "runtime/memory.h"
#include "runtime/string_handle.h"

#include <string>

// The bytes of a handle (mark ignored) as a std::string; "" for null.
inline std::string Text(StringHandle handle) {
    return std::string(reinterpret_cast<const char*>(StringBytes(handle)),
                       StringByteLength(handle));
}
inline std::string Text(BSTR text) {
    return Text(OwnedHandle(text));
}

// An owned 8-bit string made through the seam (counted like the run-time's own).
inline BSTR Owned(const std::string& text) {
    return RuntimeAllocByteString(text.data(), static_cast<UINT>(text.size()));
}

// Seam activity since construction.
class SeamDelta {
   public:
    SeamDelta() : start_(allocation_seam::Read()) {}
    long Allocations() const { return allocation_seam::Read().allocations - start_.allocations; }
    long Frees() const { return allocation_seam::Read().frees - start_.frees; }

   private:
    allocation_seam::Counters start_;
};
