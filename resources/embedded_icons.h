// The program's three icon groups built into the executable on the portable host, where there
// are no resource sections: each group is the bytes of its .ico file (platform/user/icon_file.h
// reads them). Group 1 is the application icon, 2 the peg image, 3 the disk images.
#pragma once

#include <cstddef>

// The .ico bytes of icon group `id` (1..3), with their count in *size when `size` is not
// null. Any other id gives null and a size of 0. The data lives as long as the process.
const unsigned char* EmbeddedIconGroup(int id, size_t* size);
