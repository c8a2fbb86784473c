// IDispatch::GetIDsOfNames of built-in objects: a method name and its parameter names
// mapped through the method-name table of the instance's class.
#include "objects/builtin_dispatch.h"

#include "objects/builtin_object.h"
#include "objects/class_tables.h"
#include "objects/dispatch_tables.h"

HRESULT STDMETHODCALLTYPE BuiltinGetIDsOfNames(IDispatch* self, REFIID, LPOLESTR* names,
                                               UINT nameCount, LCID, DISPID* ids) {
    // Without a name or a place for its identifier there is nothing to look up.
    if (!self || !names || !ids || nameCount == 0) return E_INVALIDARG;
    MethodNameEntry entry;
    if (!FindMethodEntry(CurrentObjectTables().methodNames, DataBlockOf(self)->classNumber,
                         FoldName(names[0]), &entry)) {
        for (UINT i = 0; i < nameCount; ++i) ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    ids[0] = entry.id;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < nameCount; ++i) {
        const LONG position = FindParameterName(entry, FoldName(names[i]));
        if (position < 0) {
            ids[i] = DISP_E_UNKNOWNNAME;
            hr = DISP_E_UNKNOWNNAME;
        } else {
            ids[i] = position;
        }
    }
    return hr;
}
