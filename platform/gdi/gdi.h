// GDI32 subset for the portable host: device contexts, bitmaps, brushes, icon drawing and
// block transfers. Declared here as the scene painting needs them.
#pragma once

#include "platform/types.h"
