// Crash report pieces shared by the hosts: thread names, fixed lines, PE image facts.
#include "runtime/crash_report.h"

#include <atomic>
#include <cstring>

namespace {
struct NamedThread {
    std::atomic<DWORD> id{0};
    std::atomic<const char*> name{nullptr};
};
NamedThread namedThreads[kCrashThreadNames];
std::atomic<unsigned> nextReused{0};

constexpr size_t kHeaderPage = 4096;  // the headers a loader maps first, always readable
constexpr uint32_t kExportDirectory = 0;
constexpr uint32_t kExceptionDirectory = 3;
constexpr size_t kUnwindEntrySize = 12;  // begin, end, unwind data: three 32-bit offsets

uint32_t Read32(const BYTE* at) {
    uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}
uint16_t Read16(const BYTE* at) {
    uint16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// The optional header of a PE image, or nullptr; `directories` receives its data directory
// array and `count` how many entries it holds, all inside the header page.
const BYTE* OptionalHeader(const BYTE* base, const BYTE** directories, uint32_t* count) {
    if (base[0] != 'M' || base[1] != 'Z') return nullptr;
    const uint32_t pe = Read32(base + 0x3C);
    if (pe > kHeaderPage - 24 - 112 || std::memcmp(base + pe, "PE\0\0", 4) != 0) return nullptr;
    const BYTE* optional = base + pe + 24;
    const uint16_t magic = Read16(optional);
    size_t directoryOffset;
    if (magic == 0x10B) {
        directoryOffset = 96;  // PE32
    } else if (magic == 0x20B) {
        directoryOffset = 112;  // PE32+
    } else {
        return nullptr;
    }
    uint32_t entries = Read32(optional + directoryOffset - 4);
    const size_t room = (kHeaderPage - (pe + 24 + directoryOffset)) / 8;
    *count = entries < room ? entries : static_cast<uint32_t>(room);
    *directories = optional + directoryOffset;
    return optional;
}

// Data directory `index` (offset and size) when it lies wholly inside the image.
bool Directory(MappedImage image, uint32_t index, uint32_t* offset, uint32_t* size) {
    const BYTE* directories;
    uint32_t count;
    if (!OptionalHeader(image.base, &directories, &count) || index >= count) return false;
    *offset = Read32(directories + 8 * index);
    *size = Read32(directories + 8 * index + 4);
    return *offset != 0 && *size != 0 && *offset < image.size && *size <= image.size - *offset;
}
}  // namespace

void NameCrashThread(const char* name) {
    const DWORD self = GetCurrentThreadId();
    for (NamedThread& slot : namedThreads) {
        if (slot.id.load() == self) {
            slot.name.store(name);
            return;
        }
    }
    for (NamedThread& slot : namedThreads) {
        DWORD free = 0;
        // The name goes in before the identifier is published, so a reader never sees a
        // claimed slot without its name; a slot is claimed by exactly one thread.
        if (slot.id.load() == 0 && slot.id.compare_exchange_strong(free, ~DWORD{0})) {
            slot.name.store(name);
            slot.id.store(self);
            return;
        }
    }
    // All taken, by threads that may have ended long ago: the oldest naming gives way, since
    // threads are named as they start and the recent ones are the ones still running.
    NamedThread& oldest = namedThreads[nextReused.fetch_add(1) % kCrashThreadNames];
    oldest.id.store(~DWORD{0});
    oldest.name.store(name);
    oldest.id.store(self);
}

const char* CrashThreadName(DWORD id) {
    if (id == 0) return nullptr;
    for (const NamedThread& slot : namedThreads) {
        if (slot.id.load() == id) return slot.name.load();
    }
    return nullptr;
}

CrashLine& CrashLine::Add(const char* text) {
    while (*text && length_ < kCapacity) text_[length_++] = *text++;
    text_[length_] = '\0';
    return *this;
}

CrashLine& CrashLine::AddHex(uint64_t value, int digits) {
    char reversed[16];
    int count = 0;
    do {
        reversed[count++] = "0123456789ABCDEF"[value & 15];
        value >>= 4;
    } while (value && count < 16);
    while (count < digits && count < 16) reversed[count++] = '0';
    char text[17];
    for (int i = 0; i < count; ++i) text[i] = reversed[count - 1 - i];
    text[count] = '\0';
    return Add(text);
}

CrashLine& CrashLine::AddDecimal(uint64_t value) {
    char reversed[21];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    char text[21];
    for (int i = 0; i < count; ++i) text[i] = reversed[count - 1 - i];
    text[count] = '\0';
    return Add(text);
}

void CrashLine::Clear() {
    length_ = 0;
    text_[0] = '\0';
}

const char* ExceptionCodeName(DWORD code) {
    switch (code) {
        case 0xC0000005:
            return "access violation";
        case 0xC0000006:
            return "in-page error";
        case 0xC000001D:
            return "illegal instruction";
        case 0xC0000025:
            return "non-continuable exception";
        case 0xC000008C:
            return "array bounds exceeded";
        case 0xC000008E:
            return "floating-point division by zero";
        case 0xC0000090:
            return "floating-point invalid operation";
        case 0xC0000094:
            return "integer division by zero";
        case 0xC0000095:
            return "integer overflow";
        case 0xC0000096:
            return "privileged instruction";
        case 0xC00000FD:
            return "stack overflow";
        case 0xC0000409:
            return "stack buffer overrun";
        case 0x80000003:
            return "breakpoint";
        case 0x80000002:
            return "misaligned data";
        default:
            return nullptr;
    }
}

const char* FileNamePart(const char* path) {
    const char* name = path;
    for (const char* at = path; *at; ++at) {
        if (*at == '\\' || *at == '/') name = at + 1;
    }
    return name;
}

size_t MappedImageSize(const BYTE* base) {
    const BYTE* directories;
    uint32_t count;
    const BYTE* optional = OptionalHeader(base, &directories, &count);
    return optional ? Read32(optional + 56) : 0;
}

const char* ImageExportName(MappedImage image) {
    uint32_t offset, size;
    if (!Directory(image, kExportDirectory, &offset, &size) || size < 16) return nullptr;
    const uint32_t name = Read32(image.base + offset + 12);
    if (name == 0 || name >= image.size) return nullptr;
    const char* text = reinterpret_cast<const char*>(image.base + name);
    // The name must end inside the image: a damaged one is not followed past it.
    return std::memchr(text, '\0', image.size - name) ? text : nullptr;
}

const uint32_t* ImageUnwindEntry(MappedImage image, uint32_t offset) {
    uint32_t table, size;
    if (!Directory(image, kExceptionDirectory, &table, &size)) return nullptr;
    size_t low = 0, high = size / kUnwindEntrySize;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const BYTE* entry = image.base + table + middle * kUnwindEntrySize;
        if (offset < Read32(entry)) {
            high = middle;
        } else if (offset >= Read32(entry + 4)) {
            low = middle + 1;
        } else {
            return reinterpret_cast<const uint32_t*>(entry);
        }
    }
    return nullptr;
}
