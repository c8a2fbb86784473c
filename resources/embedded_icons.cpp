// Lookup of the embedded icon groups (see embedded_icons.h); the bytes themselves are generated
// from the committed .ico files at build time by tools/embed_icons.cmake.
#include "resources/embedded_icons.h"

extern const unsigned char kEmbeddedIconGroup1[];
extern const unsigned char kEmbeddedIconGroup2[];
extern const unsigned char kEmbeddedIconGroup3[];
extern const size_t kEmbeddedIconGroup1Size;
extern const size_t kEmbeddedIconGroup2Size;
extern const size_t kEmbeddedIconGroup3Size;

const unsigned char* EmbeddedIconGroup(int id, size_t* size) {
    const unsigned char* data = nullptr;
    size_t bytes = 0;
    switch (id) {
        case 1:
            data = kEmbeddedIconGroup1;
            bytes = kEmbeddedIconGroup1Size;
            break;
        case 2:
            data = kEmbeddedIconGroup2;
            bytes = kEmbeddedIconGroup2Size;
            break;
        case 3:
            data = kEmbeddedIconGroup3;
            bytes = kEmbeddedIconGroup3Size;
            break;
        default:
            break;
    }
    if (size) *size = bytes;
    return data;
}
