// Obtaining objects in one statement: by class name or class identifier (built-in classes
// made in place, other classes through a running instance or a new one from the platform),
// from a library file's class factory; asking whether a class runs; the name of a class.
// No operation here raises an error or reports a code: failure leaves the variable null.
#pragma once

#include "platform/win32.h"
#include "runtime/proc_frame.h"

// Request flags of CreateObject.
constexpr DWORD kCreateNewOnly = 0x0001;         // external class: a new instance only
constexpr DWORD kCreateRunningOnly = 0x0002;     // external class: a running instance only
constexpr DWORD kCreateBuiltin = 0x0008;         // built-in class names only
constexpr DWORD kCreateFromIdentifier = 0x8000;  // the name already is the 16-byte identifier

// Names are converted only from 1 to this many characters.
constexpr UINT kLongestClassName = 99;

// Strings travel as dynamic string handles (counted 8-bit strings; bit 0 marks a borrowed
// one). Every handle passed in is taken over and released here; a borrowed one is not freed.

// Releases what `*variable` holds, then stores a new object of the named class answering
// `interfaceId`, or leaves it null.
void CreateObject(IUnknown** variable, DWORD flags, StringHandle name, IID interfaceId);

// Releases what `*variable` holds, then stores an object made by the class factory that
// the library's DllGetClassObject gives for `classId` (16 bytes), or leaves it null. The
// library stays loaded for the rest of the process.
void CreateObjectFromLibrary(IUnknown** variable, StringHandle libraryName, StringHandle classId,
                             IID interfaceId);

// -1 when a running instance of the named class exists, else 0.
LONG IsObjectRunning(StringHandle name);

// The name of the class with this 16-byte identifier as a new wide string: the built-in
// class name (upper case), else the registered programmatic identifier (at most 98
// characters); null (the empty string) for anything else.
BSTR ClassNameOf(StringHandle classId);

// Name to class identifier: a new 16-byte string holding the identifier of the named class
// (a built-in name, else the platform's programmatic identifiers), or null when the name
// has no identifier. `name` is released.
StringHandle ClassIdentifierOfName(StringHandle name);
