// Finding and creating objects through the platform: class objects and running objects
// registered in this process, and the published failure codes of lookups that find nothing.
// The same table of expectations runs against the portable layer and against Windows.
#include "platform/win32.h"
#include "tests/objects/com_test_objects_support.h"

#include <gtest/gtest.h>

namespace {
// {5A1B0C2D-0000-4000-8000-00000000C001}: registered nowhere.
const CLSID kUnregistered = {0x5A1B0C2D, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0xC0, 0x01}};

class PlatformObjects : public ::testing::Test {
   protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override {
        EXPECT_EQ(PlainObject::live, 0);
        CoUninitialize();
    }
};
}  // namespace

TEST_F(PlatformObjects, RegisteredClassObjectCreatesUntilRevoked) {
    PlainFactory factory;
    ClassObjectRegistration registration(kPlainClass, &factory);
    ASSERT_EQ(registration.result, S_OK);
    const DWORD cookie = registration.cookie;
    IUnknown* object = reinterpret_cast<IUnknown*>(0x1);
    ASSERT_EQ(CoCreateInstance(kPlainClass, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                               kPlainInterface, reinterpret_cast<void**>(&object)),
              S_OK);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(factory.creations, 1);
    object->Release();
    // The factory's own failure comes back unchanged, with a null object.
    object = reinterpret_cast<IUnknown*>(0x1);
    EXPECT_EQ(CoCreateInstance(kPlainClass, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                               IID_IDispatch, reinterpret_cast<void**>(&object)),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(registration.Revoke(), S_OK);
    EXPECT_EQ(CoRevokeClassObject(cookie), E_INVALIDARG);
    object = reinterpret_cast<IUnknown*>(0x1);
    EXPECT_EQ(CoCreateInstance(kPlainClass, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                               IID_IUnknown, reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoCreateInstance(kPlainClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr),
              E_POINTER);
}

TEST_F(PlatformObjects, RunningObjectIsFoundUntilRevoked) {
    IUnknown* found = reinterpret_cast<IUnknown*>(0x1);
    EXPECT_EQ(GetActiveObject(kPlainClass, nullptr, &found), MK_E_UNAVAILABLE);
    EXPECT_EQ(found, nullptr);
    OwnedPlainObject running(new PlainObject());
    RunningObjectRegistration announcement(running.get(), kPlainClass);
    ASSERT_EQ(announcement.result, S_OK);
    const LONG held = running->references;
    ASSERT_EQ(GetActiveObject(kPlainClass, nullptr, &found), S_OK);
    EXPECT_EQ(found, static_cast<IUnknown*>(running.get()));
    EXPECT_EQ(running->references, held + 1);
    found->Release();
    EXPECT_EQ(announcement.Revoke(), S_OK);
    EXPECT_EQ(running->references, 1);  // the announcement's references are all given back
    EXPECT_EQ(GetActiveObject(kPlainClass, nullptr, &found), MK_E_UNAVAILABLE);
}

TEST_F(PlatformObjects, LookupsWithoutARegistrationFailWithThePublishedCodes) {
    CLSID id = kPlainClass;
    EXPECT_EQ(CLSIDFromProgID(WSTR("No.Such.Class.Anywhere"), &id), CO_E_CLASSSTRING);
    EXPECT_EQ(id, IID_NULL);
    LPOLESTR progId = reinterpret_cast<LPOLESTR>(0x1);
    EXPECT_EQ(ProgIDFromCLSID(kUnregistered, &progId), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(progId, nullptr);
    IUnknown* object = reinterpret_cast<IUnknown*>(0x1);
    EXPECT_EQ(CoCreateInstance(kUnregistered, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                               IID_IUnknown, reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    void* block = CoTaskMemAlloc(16);
    EXPECT_NE(block, nullptr);
    CoTaskMemFree(block);
    CoTaskMemFree(nullptr);
}
