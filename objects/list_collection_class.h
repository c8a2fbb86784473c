// Creating list collections: the class's virtual tables and a direct constructor.
#pragma once

#include "objects/list_collection_interface.h"

// A new collection with reference count 1, reached through its own interface; null when
// its memory cannot be allocated.
ILinkListCollection* NewListCollection();
