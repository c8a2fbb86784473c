// Creating list collections directly, as the by-name creation does: a new instance of
// class 2 on its own interface, with its construction routine run.
#pragma once

#include "objects/list_collection_interface.h"

// A new collection with reference count 1, reached through its own interface; null when
// its memory cannot be allocated.
ILinkListCollection* NewListCollection();
