// What the program's icon groups must hold, written out from the layout the program depends on
// (not taken from the generator), and how the tests reach the committed files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace expected_icons {

struct Image {
    int group;
    int id;
    int size;
    bool png;
    uint32_t bitmapBytes;  // 0 for PNG entries, whose length is free
};

// Directory order: by group, largest first.
inline const Image kImages[17] = {
    {1, 1, 256, true, 0},        {1, 2, 128, false, 67624},   {1, 3, 96, false, 38056},
    {1, 4, 72, false, 21640},    {1, 5, 64, false, 16936},    {1, 6, 48, false, 9640},
    {1, 7, 32, false, 4264},     {1, 8, 24, false, 2440},     {1, 9, 16, false, 1128},
    {2, 10, 256, true, 0},       {3, 11, 253, false, 264172}, {3, 12, 233, false, 224652},
    {3, 13, 213, false, 187480}, {3, 14, 193, false, 154440}, {3, 15, 173, false, 123908},
    {3, 16, 153, false, 96736},  {3, 17, 133, false, 73456},
};

// Columns and rows holding any pixel with non-zero alpha, 0-based and inclusive.
struct Extent {
    int size;
    int firstColumn, lastColumn, firstRow, lastRow;
};
inline const Extent kPegExtent = {256, 108, 147, 0, 255};
inline const Extent kDiskExtents[7] = {
    // disk 1 (smallest) .. disk 7
    {133, 4, 132, 20, 110}, {153, 4, 152, 23, 127}, {173, 4, 172, 26, 144}, {193, 4, 192, 30, 161},
    {213, 4, 212, 32, 178}, {233, 4, 232, 35, 194}, {253, 4, 252, 38, 211},
};

inline std::string ResourcePath(const std::string& name) {
    return std::string(HANOI_TEST_DATA_DIR) + "/../resources/" + name;
}

inline std::vector<uint8_t> ReadResource(const std::string& name) {
    std::ifstream in(ResourcePath(name), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::string GroupFile(int group) {
    return "group" + std::to_string(group) + ".ico";
}

// The committed PNG of an image: resources/group<g>/<name>-<size>.png.
inline std::string PngFile(const Image& image) {
    std::string name = image.group == 1   ? "app"
                       : image.group == 2 ? "peg"
                                          : "disk" + std::to_string((image.size - 133) / 20 + 1);
    return "group" + std::to_string(image.group) + "/" + name + "-" + std::to_string(image.size) +
           ".png";
}

}  // namespace expected_icons
