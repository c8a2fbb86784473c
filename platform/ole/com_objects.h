// OLE32/OLEAUT32 subset for the portable host: finding and creating objects of other
// classes. There is no registry here: classes exist only while registered in this process
// (CoRegisterClassObject, RegisterActiveObject), programmatic identifiers never resolve, and
// no server is ever started. COM need not be initialised for these calls (Windows answers
// CO_E_NOTINITIALIZED without CoInitialize).
#pragma once

#include "platform/ole/com.h"

#define REGCLS_SINGLEUSE 0
#define REGCLS_MULTIPLEUSE 1
#define REGCLS_MULTI_SEPARATE 2
#define REGCLS_SUSPENDED 4
#define ACTIVEOBJECT_STRONG 0x0
#define ACTIVEOBJECT_WEAK 0x1
#define CO_E_OBJNOTREG ((HRESULT)0x800401FBL)

// Makes a class object (which must answer IClassFactory) known for `classId` in the given
// contexts until CoRevokeClassObject; it gains one reference. Only REGCLS_MULTIPLEUSE and
// REGCLS_MULTI_SEPARATE are supported here: other flags, a null object or a null cookie
// address give E_INVALIDARG.
HRESULT CoRegisterClassObject(REFCLSID classId, IUnknown* classObject, DWORD contexts, DWORD flags,
                              LPDWORD cookie);
// Forgets a registration and releases its class object; E_INVALIDARG for an unknown cookie.
HRESULT CoRevokeClassObject(DWORD cookie);

// Creates an object through the class object registered for `classId` in one of the
// requested contexts (IClassFactory::CreateInstance with `outer` and `iid`; its result is
// returned). Null `object`: E_POINTER. No such registration: REGDB_E_CLASSNOTREG (Windows
// would look in the registry). `*object` is null on every failure.
HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD contexts, REFIID iid,
                         LPVOID* object);

// No registry: every programmatic identifier gives CO_E_CLASSSTRING and CLSID_NULL in
// `*classId`; a null argument gives E_INVALIDARG. Traced with the name (non-ASCII as '?').
HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID classId);
// No registry: REGDB_E_CLASSNOTREG with a null `*progId`; a null `progId` gives
// E_INVALIDARG.
HRESULT ProgIDFromCLSID(REFCLSID classId, LPOLESTR* progId);

// Announces a running object of `classId` (ACTIVEOBJECT_STRONG: it gains a reference
// until revoked; ACTIVEOBJECT_WEAK: none). Another flag, a null object or a null cookie
// address: E_INVALIDARG. A second object for the same class is kept too; GetActiveObject
// gives the first.
HRESULT RegisterActiveObject(IUnknown* object, REFCLSID classId, DWORD flags, LPDWORD cookie);
// Withdraws an announced object (releasing the strong reference); E_INVALIDARG for an
// unknown cookie.
HRESULT RevokeActiveObject(DWORD cookie, LPVOID reserved);
// The running object announced for `classId`, with one added reference; MK_E_UNAVAILABLE
// and null when there is none; E_INVALIDARG for a null `object`.
HRESULT GetActiveObject(REFCLSID classId, LPVOID reserved, IUnknown** object);

// Task memory: malloc and free underneath. CoTaskMemAlloc gives null when memory runs out;
// CoTaskMemFree ignores null.
LPVOID CoTaskMemAlloc(SIZE_T bytes);
void CoTaskMemFree(LPVOID block);
