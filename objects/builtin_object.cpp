// The count of live built-in instances.
#include "objects/builtin_object.h"

#include <atomic>

namespace {
std::atomic<LONG> liveObjects{0};
}  // namespace

LONG LiveObjectCount() {
    return liveObjects.load();
}
void CountObjectCreated() {
    liveObjects.fetch_add(1);
}
void CountObjectFreed() {
    liveObjects.fetch_sub(1);
}
