// Building a Windows command line from Linux arguments; internal to platform/kernel, shared
// with its tests.
#pragma once

#include <string>
#include <vector>

namespace platform_kernel {
// Joins UTF-8 arguments into one UTF-16 command line as GetCommandLineW describes.
std::u16string BuildCommandLine(const std::vector<std::string>& arguments);
}  // namespace platform_kernel
