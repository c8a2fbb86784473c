// Portable only: reads the platform trace to see the exact name the conversion hands to
// CLSIDFromProgID.
#include "objects/object_creation.h"

#include "platform/trace.h"
#include "runtime/memory.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::vector<std::string> ConvertedNames(const std::string& name) {
    platform_trace::Clear();
    platform_trace::Enable(true);
    IUnknown* object = nullptr;
    CreateObject(&object, kCreateNewOnly,
                 reinterpret_cast<StringHandle>(
                     RuntimeAllocByteString(name.data(), static_cast<UINT>(name.size()))),
                 IID_IUnknown);
    platform_trace::Enable(false);
    EXPECT_EQ(object, nullptr);
    std::vector<std::string> names;
    for (const platform_trace::Event& event : platform_trace::Events())
        if (event.call == "CLSIDFromProgID") names.push_back(event.detail);
    return names;
}
}  // namespace

TEST(ObjectCreationNames, WholeNamesUpTo99CharactersReachTheConversion) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(ConvertedNames("Scripting.Dictionary"), Names{"Scripting.Dictionary"});
    const std::string longest = std::string(60, 'a') + "." + std::string(38, 'b');
    EXPECT_EQ(ConvertedNames(longest), Names{longest});  // past the 39 of the published limit
    EXPECT_EQ(ConvertedNames(longest + "c"), Names{});   // 100: never converted
    EXPECT_EQ(ConvertedNames(""), Names{});
    // Built-in names are converted from the class tables, without the platform.
    EXPECT_EQ(ConvertedNames("LinkListCollection"), Names{});
    // 8-bit characters are widened one by one, a byte above 0x7F included.
    EXPECT_EQ(ConvertedNames("caf\xE9"), Names{"caf?"});
}
