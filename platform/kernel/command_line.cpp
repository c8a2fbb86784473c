// GetCommandLineW for the portable host: the arguments of /proc/self/cmdline, quoted so
// that the Microsoft C run-time's rules would split them back into the same arguments.
#include "platform/kernel/command_line.h"

#include "platform/win32.h"

#include <fstream>
#include <iterator>

namespace platform_kernel {
namespace {
// Appends one UTF-8 text as UTF-16; a byte that does not start a valid sequence becomes
// U+FFFD and the decoding goes on with the next byte.
void AppendUtf16(std::u16string& out, const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80         ? 1
                     : (lead >> 5) == 6  ? 2
                     : (lead >> 4) == 14 ? 3
                     : (lead >> 3) == 30 ? 4
                                         : 0;
        char32_t code = length == 1   ? lead
                        : length == 2 ? lead & 0x1F
                        : length == 3 ? lead & 0x0F
                                      : lead & 0x07;
        bool valid = length > 0 && i + length <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && code >= kSmallest[length] && code <= 0x10FFFF &&
                !(code >= 0xD800 && code <= 0xDFFF);
        if (!valid) {
            out += u'\xFFFD';
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += length;
    }
}

std::string Quote(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote itself escaped.
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(2 * backslashes, '\\');  // they now precede the closing quote
    quoted += '"';
    return quoted;
}
}  // namespace

std::u16string BuildCommandLine(const std::vector<std::string>& arguments) {
    std::u16string line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i) line += u' ';
        AppendUtf16(line, Quote(arguments[i]));
    }
    return line;
}
}  // namespace platform_kernel

LPWSTR GetCommandLineW() {
    static std::u16string* line = [] {
        std::ifstream file("/proc/self/cmdline", std::ios::binary);
        std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::vector<std::string> arguments;
        size_t start = 0;
        while (start < all.size()) {
            size_t end = all.find('\0', start);
            if (end == std::string::npos) end = all.size();
            arguments.push_back(all.substr(start, end - start));
            start = end + 1;
        }
        // Kept for the whole process and never freed: other threads may still read it at exit.
        return new std::u16string(platform_kernel::BuildCommandLine(arguments));
    }();
    return line->data();
}
