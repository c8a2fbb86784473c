// Creation by name or identifier, from a library, is running, class name of.
#include "objects/object_creation.h"

#include "objects/builtin_instance.h"
#include "objects/builtin_object.h"
#include "objects/class_table_reader.h"
#include "objects/class_tables.h"
#include "runtime/memory.h"
#include "runtime/string_handle.h"

#include <cstring>

namespace {

constexpr UINT kIdentifierBytes = sizeof(GUID);

UINT ByteLength(StringHandle handle) {
    return StringByteLength(handle);
}
// Frees an owned string; the empty string and borrowed ones are left alone.
void Release(StringHandle handle) {
    FreeString(handle);
}
bool IsIdentifier(StringHandle handle) {
    return ByteLength(handle) == kIdentifierBytes;
}
GUID IdentifierIn(StringHandle handle) {
    GUID id;
    std::memcpy(&id, StringBytes(handle), sizeof id);
    return id;
}

void SetNothing(IUnknown** variable) {
    IUnknown* held = *variable;
    *variable = nullptr;
    if (held) held->Release();
}

// Creates an instance of a built-in class number (through its class identifier, so a number
// without one fails) on the requested interface and runs its construction routine; null when
// the class or interface is unknown or no memory is left.
IUnknown* CreateBuiltin(ULONG classNumber, REFIID interfaceId) {
    const ObjectTables tables = CurrentObjectTables();
    const GUID* classId = IdentifierAt(tables.classIdentifiers, classNumber);
    if (!classId) return nullptr;
    const ClassDescriptorHead* descriptor = FindClassDescriptor(
        tables.classDescriptors, IdentifierIndex(tables.classIdentifiers, *classId));
    if (!descriptor) return nullptr;
    ULONG position = 0;
    if (!FindInterfaceEntry(descriptor, IdentifierIndex(tables.interfaceIdentifiers, interfaceId),
                            &position))
        return nullptr;
    IUnknown* object = CreateInstanceOnEntry(descriptor, position);
    if (!object) return nullptr;
    ObjectHeader* header = DataBlockOf(object);
    if (!(header->instanceFlags & kInstanceSubObject) && header->constructionRoutine)
        header->constructionRoutine(reinterpret_cast<IUnknown*>(header->firstRecord));
    return object;
}

IUnknown* AttachToRunning(REFCLSID classId, REFIID interfaceId) {
    IUnknown* running = nullptr;
    if (GetActiveObject(classId, nullptr, &running) != S_OK || !running) return nullptr;
    IUnknown* object = nullptr;
    if (running->QueryInterface(interfaceId, reinterpret_cast<void**>(&object)) != S_OK)
        object = nullptr;
    running->Release();
    return object;
}

IUnknown* CreateNew(REFCLSID classId, REFIID interfaceId) {
    IUnknown* object = nullptr;
    if (CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, interfaceId,
                         reinterpret_cast<void**>(&object)) != S_OK)
        return nullptr;
    return object;
}

typedef HRESULT(STDMETHODCALLTYPE* GetClassObjectProcedure)(REFCLSID, REFIID, LPVOID*);

}  // namespace

StringHandle ClassIdentifierOfName(StringHandle name) {
    BSTR identifier = RuntimeAllocByteString(nullptr, kIdentifierBytes);
    const UINT length = ByteLength(name);
    bool found = false;
    if (identifier && length >= 1 && length <= kLongestClassName) {
        const ObjectTables tables = CurrentObjectTables();
        const BYTE* characters = StringBytes(name);
        GUID classId{};
        if (ULONG number = ClassNumberOfName(tables.classNames, characters, length)) {
            const GUID* builtin = IdentifierAt(tables.classIdentifiers, number);
            if (builtin) classId = *builtin;
            found = builtin != nullptr;
        } else {
            // Programmatic identifiers have at most 39 characters, but every name accepted
            // above is widened whole: the buffer holds the longest one and its terminator,
            // and the platform decides about names it does not know.
            OLECHAR wide[kLongestClassName + 1];
            for (UINT i = 0; i < length; ++i) wide[i] = characters[i];
            wide[length] = 0;
            found = CLSIDFromProgID(wide, &classId) == S_OK;
        }
        if (found) std::memcpy(identifier, &classId, kIdentifierBytes);
    }
    Release(name);
    if (!found) {
        RuntimeFreeString(identifier);
        return 0;
    }
    return reinterpret_cast<StringHandle>(identifier);
}

// Creation failures are not recorded as the thread's last object result: callers test the
// variable, and nothing reads that result after a creation.
void CreateObject(IUnknown** variable, DWORD flags, StringHandle name, IID interfaceId) {
    SetNothing(variable);
    if (!(flags & (kCreateBuiltin | kCreateFromIdentifier))) name = ClassIdentifierOfName(name);

    IUnknown* object = nullptr;
    if (flags & kCreateBuiltin) {
        // Built-in names only: with 0x8000 as well the 16 bytes are looked up as a name.
        const ULONG number = ClassNumberOfName(CurrentObjectTables().classNames, StringBytes(name),
                                               ByteLength(name));
        if (number) object = CreateBuiltin(number, interfaceId);
    } else if (IsIdentifier(name)) {
        const GUID classId = IdentifierIn(name);
        // Both 0x0001 and 0x0002: running only, the first rule that applies.
        if (flags & kCreateRunningOnly) {
            object = AttachToRunning(classId, interfaceId);
        } else if (flags & kCreateNewOnly) {
            object = CreateNew(classId, interfaceId);
        } else {
            object = AttachToRunning(classId, interfaceId);
            if (!object) object = CreateNew(classId, interfaceId);
        }
    }
    *variable = object;
    Release(name);
}

void CreateObjectFromLibrary(IUnknown** variable, StringHandle libraryName, StringHandle classId,
                             IID interfaceId) {
    SetNothing(variable);
    // An empty library name is not the program's own module (GetModuleHandleA of null).
    if (IsIdentifier(classId) && ByteLength(libraryName) > 0) {
        const auto* file = reinterpret_cast<LPCSTR>(StringBytes(libraryName));
        HMODULE library = GetModuleHandleA(file);
        if (!library) library = LoadLibraryA(file);
        FARPROC procedure = library ? GetProcAddress(library, "DllGetClassObject") : nullptr;
        if (procedure) {
            // Through a plain function pointer type, so that the cast does not warn.
            auto getClassObject =
                reinterpret_cast<GetClassObjectProcedure>(reinterpret_cast<void (*)()>(procedure));
            const GUID id = IdentifierIn(classId);
            IClassFactory* factory = nullptr;
            if (getClassObject(id, IID_IClassFactory, reinterpret_cast<void**>(&factory)) == S_OK &&
                factory) {
                IUnknown* object = nullptr;
                if (factory->CreateInstance(nullptr, interfaceId,
                                            reinterpret_cast<void**>(&object)) == S_OK)
                    *variable = object;
                factory->Release();
            }
        }
    }
    Release(libraryName);
    Release(classId);
}

LONG IsObjectRunning(StringHandle name) {
    IUnknown* object = nullptr;
    CreateObject(&object, kCreateRunningOnly, name, IID_IUnknown);
    if (!object) return 0;
    object->Release();
    return -1;
}

BSTR ClassNameOf(StringHandle classId) {
    BSTR result = nullptr;
    if (IsIdentifier(classId)) {
        const ObjectTables tables = CurrentObjectTables();
        const GUID id = IdentifierIn(classId);
        BYTE length = 0;
        const ULONG number = IdentifierIndex(tables.classIdentifiers, id);
        // A built-in identifier whose class has no name goes on to the platform.
        if (const BYTE* name =
                number ? StoredClassName(tables.classNames, number, &length) : nullptr) {
            result = RuntimeAllocWideString(nullptr, length);
            if (result)
                for (BYTE i = 0; i < length; ++i) result[i] = name[i];
        } else {
            LPOLESTR progId = nullptr;
            if (ProgIDFromCLSID(id, &progId) == S_OK && progId) {
                UINT count = 0;
                while (count < 98 && progId[count]) ++count;
                if (count > 0) result = RuntimeAllocWideString(progId, count);
            }
            CoTaskMemFree(progId);
        }
    }
    Release(classId);
    return result;
}
