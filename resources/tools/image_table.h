// The seventeen images of the three icon groups, in directory order (largest first within a
// group), with the file each one is kept in under resources/ and how the packer stores it.
#pragma once

struct IconImageSpec {
    int group;         // icon group (resource id of the group)
    int id;            // icon image id that windres gives the entry (1..17, in this order)
    int size;          // width = height in pixels
    const char* file;  // PNG file, relative to resources/
    bool storedAsPng;  // packed as a PNG entry; otherwise as a 32-bit bitmap with mask
};

inline constexpr int kIconImageCount = 17;
inline constexpr int kIconGroupCount = 3;

inline constexpr IconImageSpec kIconImages[kIconImageCount] = {
    {1, 1, 256, "group1/app-256.png", true},     {1, 2, 128, "group1/app-128.png", false},
    {1, 3, 96, "group1/app-96.png", false},      {1, 4, 72, "group1/app-72.png", false},
    {1, 5, 64, "group1/app-64.png", false},      {1, 6, 48, "group1/app-48.png", false},
    {1, 7, 32, "group1/app-32.png", false},      {1, 8, 24, "group1/app-24.png", false},
    {1, 9, 16, "group1/app-16.png", false},      {2, 10, 256, "group2/peg-256.png", true},
    {3, 11, 253, "group3/disk7-253.png", false}, {3, 12, 233, "group3/disk6-233.png", false},
    {3, 13, 213, "group3/disk5-213.png", false}, {3, 14, 193, "group3/disk4-193.png", false},
    {3, 15, 173, "group3/disk3-173.png", false}, {3, 16, 153, "group3/disk2-153.png", false},
    {3, 17, 133, "group3/disk1-133.png", false},
};

// File names of the packed groups, relative to resources/; index = group - 1.
inline constexpr const char* kIconGroupFiles[kIconGroupCount] = {"group1.ico", "group2.ico",
                                                                 "group3.ico"};
