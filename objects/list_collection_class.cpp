// The list collection's interface identifier and its direct constructor. Its virtual
// tables and descriptor live with the other class tables (objects/class_tables.cpp).
#include "objects/list_collection_class.h"

#include "objects/builtin_instance.h"
#include "objects/builtin_object.h"
#include "objects/class_tables.h"

extern "C" const IID IID_ILinkListCollection = {
    0x70000023, 0x0023, 0x0023, {0x00, 0x23, 0x70, 0x00, 0x00, 0x00, 0x00, 0x12}};

ILinkListCollection* NewListCollection() {
    IUnknown* object =
        CreateBuiltinByNumber(kLinkListCollectionClass, kInterfaceLinkListCollection);
    if (!object) return nullptr;
    if (ClassConstructor construct = DataBlockOf(object)->constructionRoutine) construct(object);
    return static_cast<ILinkListCollection*>(object);
}
