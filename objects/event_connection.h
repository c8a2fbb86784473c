// Event connection of a built-in instance that receives events (the sink), as program code
// uses it: connect it to a source's connection point for one outgoing interface, and
// disconnect it again. The connection lives in the sink's event connection and cookie words.
#pragma once

#include "platform/win32.h"

// Both variables must hold objects, the sink a built-in instance. Asks the source for
// IConnectionPointContainer, finds its connection point for `outgoing` and advises it with
// the sink; on success the sink keeps the cookie and the source (one more reference). A
// connection the sink already has is disconnected first. Any failure, a zero cookie among
// them, releases what was obtained and raises kErrorObjectCallFailed.
void ConnectEvents(IUnknown** sink, IUnknown** source, REFIID outgoing);

// Unadvises the sink's connection with its cookie (cookie 0 afterwards) and releases the
// source it held (null afterwards). A sink without a connection, or an empty variable, is
// left as it is.
void DisconnectEvents(IUnknown** sink);
