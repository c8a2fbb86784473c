// Connecting and disconnecting event sinks. The connection point used to disconnect is
// looked up again for the interface of the sink's first record, as destruction does.
#include "objects/event_connection.h"

#include "objects/builtin_object.h"
#include "objects/class_table_reader.h"
#include "objects/class_tables.h"
#include "runtime/errors.h"
#include "runtime/proc_frame.h"

namespace {

// The connection point of `source` for `outgoing`, through its container; null when either
// is missing. The container is handed back for the caller to release.
IConnectionPoint* FindPoint(IUnknown* source, REFIID outgoing,
                            IConnectionPointContainer** container) {
    *container = nullptr;
    if (source->QueryInterface(IID_IConnectionPointContainer,
                               reinterpret_cast<void**>(container)) != S_OK ||
        !*container) {
        *container = nullptr;
        return nullptr;
    }
    IConnectionPoint* point = nullptr;
    if ((*container)->FindConnectionPoint(outgoing, &point) != S_OK) return nullptr;
    return point;
}

}  // namespace

void DisconnectEvents(IUnknown** sink) {
    if (!*sink) return;
    ObjectCommonWords* words = CommonWordsOf(*sink);
    IUnknown* source = words->eventConnection;
    if (!source) return;
    const GUID* outgoing =
        IdentifierAt(CurrentObjectTables().interfaceIdentifiers,
                     static_cast<ULONG>(DataBlockOf(*sink)->firstRecord->interfaceIndex));
    IConnectionPointContainer* container = nullptr;
    IConnectionPoint* point = outgoing ? FindPoint(source, *outgoing, &container) : nullptr;
    const DWORD cookie = static_cast<DWORD>(words->eventCookie);
    words->eventCookie = 0;
    if (point) point->Unadvise(cookie);
    words->eventConnection = nullptr;
    source->Release();
    if (point) point->Release();
    if (container) container->Release();
}

void ConnectEvents(IUnknown** sink, IUnknown** source, REFIID outgoing) {
    RuntimeService service;
    if (!*sink || !*source) {
        RaiseError(kErrorObjectCallFailed);
        return;
    }
    // Decided here: a second connect replaces the first instead of losing track of it.
    DisconnectEvents(sink);
    IConnectionPointContainer* container = nullptr;
    IConnectionPoint* point = FindPoint(*source, outgoing, &container);
    DWORD cookie = 0;
    const bool advised = point && point->Advise(*sink, &cookie) == S_OK;
    if (advised && cookie != 0) {
        ObjectCommonWords* words = CommonWordsOf(*sink);
        (*source)->AddRef();
        words->eventConnection = *source;
        words->eventCookie = cookie;
    } else if (advised) {
        point->Unadvise(cookie);  // a zero cookie is a failure: take the advice back
    }
    if (point) point->Release();
    if (container) container->Release();
    if (!advised || cookie == 0) RaiseError(kErrorObjectCallFailed);
}
