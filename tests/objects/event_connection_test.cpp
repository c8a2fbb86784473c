// Event sinks: connecting a built-in sink to a test connection-point source, the failures
// that raise error 99, disconnecting, and the disconnection done by the sink's destruction.
#include "objects/event_connection.h"

#include "objects/builtin_instance.h"
#include "objects/builtin_object.h"
#include "objects/builtin_unknown.h"
#include "runtime/error_numbers.h"
#include "runtime/proc_frame.h"
#include "tests/objects/com_test_objects_support.h"
#include "tests/objects/test_classes_support.h"

#include <gtest/gtest.h>

namespace {

class EventConnection : public ::testing::Test {
   protected:
    void SetUp() override {
        sink = CreateBuiltinByNumber(kSinkClass, kSinkInterface);
        ASSERT_NE(sink, nullptr);
    }
    void TearDown() override {
        if (sink) sink->Release();
        EXPECT_EQ(LiveObjectCount(), live);
        EXPECT_EQ(source.references, 1);  // every reference taken was given back
    }
    // Connects and returns the error number it raised (0: none).
    BYTE Connect(IUnknown** sinkVariable, IUnknown** sourceVariable, REFIID outgoing) {
        frame.errorState = 0;
        ConnectEvents(sinkVariable, sourceVariable, outgoing);
        return frame.LastError();
    }
    TestClassTables tables;
    LONG live = LiveObjectCount();
    ProcFrame frame;
    EventSource source{RuntimeInterfaceId(kSinkInterface)};
    IUnknown* sourceObject = static_cast<IConnectionPointContainer*>(&source);
    IUnknown* sink = nullptr;
};

}  // namespace

TEST_F(EventConnection, ConnectAdvisesAndDisconnectUnadvises) {
    EXPECT_EQ(Connect(&sink, &sourceObject, RuntimeInterfaceId(kSinkInterface)), 0);
    EXPECT_EQ(source.advises, 1);
    EXPECT_EQ(source.advisedSink, sink);
    ObjectCommonWords* words = CommonWordsOf(sink);
    EXPECT_EQ(words->eventConnection, sourceObject);
    EXPECT_EQ(words->eventCookie, 41u);
    EXPECT_EQ(source.references, 2);            // the sink's; the point and container were released
    EXPECT_EQ(BuiltinReferenceCount(sink), 2);  // the source holds the sink while advised

    DisconnectEvents(&sink);
    EXPECT_EQ(source.unadvises, 1);
    EXPECT_EQ(source.lastUnadvisedCookie, 41u);
    EXPECT_EQ(words->eventConnection, nullptr);
    EXPECT_EQ(words->eventCookie, 0u);
    EXPECT_EQ(BuiltinReferenceCount(sink), 1);
    DisconnectEvents(&sink);  // nothing to disconnect
    EXPECT_EQ(source.unadvises, 1);
}

TEST_F(EventConnection, EveryFailureRaises99AndKeepsNothing) {
    IUnknown* empty = nullptr;
    EXPECT_EQ(Connect(&empty, &sourceObject, RuntimeInterfaceId(kSinkInterface)),
              kErrorObjectCallFailed);
    EXPECT_EQ(Connect(&sink, &empty, RuntimeInterfaceId(kSinkInterface)), kErrorObjectCallFailed);
    EXPECT_EQ(Connect(&sink, &sourceObject, IID_IDispatch),
              kErrorObjectCallFailed);  // no such point
    source.offersContainer = false;
    EXPECT_EQ(Connect(&sink, &sourceObject, RuntimeInterfaceId(kSinkInterface)),
              kErrorObjectCallFailed);
    source.offersContainer = true;
    EXPECT_EQ(source.advises, 0);
    source.nextCookie = 0;  // Advise fails
    EXPECT_EQ(Connect(&sink, &sourceObject, RuntimeInterfaceId(kSinkInterface)),
              kErrorObjectCallFailed);
    source.cookieZeroIsSuccess = true;  // Advise succeeds with a zero cookie
    EXPECT_EQ(Connect(&sink, &sourceObject, RuntimeInterfaceId(kSinkInterface)),
              kErrorObjectCallFailed);
    EXPECT_EQ(source.advises, 2);
    EXPECT_EQ(source.advisedSink, nullptr);  // the zero-cookie advice was taken back
    EXPECT_EQ(CommonWordsOf(sink)->eventConnection, nullptr);
    EXPECT_EQ(BuiltinReferenceCount(sink), 1);
}

TEST_F(EventConnection, SecondConnectReplacesTheFirst) {
    EXPECT_EQ(Connect(&sink, &sourceObject, RuntimeInterfaceId(kSinkInterface)), 0);
    source.nextCookie = 42;
    EXPECT_EQ(Connect(&sink, &sourceObject, RuntimeInterfaceId(kSinkInterface)), 0);
    EXPECT_EQ(source.unadvises, 1);
    EXPECT_EQ(source.lastUnadvisedCookie, 41u);
    EXPECT_EQ(CommonWordsOf(sink)->eventCookie, 42u);
    EXPECT_EQ(source.references, 2);
    DisconnectEvents(&sink);
}

TEST_F(EventConnection, DestroyingAConnectedSinkUnadvisesIt) {
    source.countsSink = false;  // the source does not keep the sink alive
    EXPECT_EQ(Connect(&sink, &sourceObject, RuntimeInterfaceId(kSinkInterface)), 0);
    EXPECT_EQ(source.references, 2);
    EXPECT_EQ(sink->Release(), 0u);
    sink = nullptr;
    EXPECT_EQ(source.unadvises, 1);
    EXPECT_EQ(source.lastUnadvisedCookie, 41u);
    EXPECT_EQ(source.advisedSink, nullptr);
}

TEST_F(EventConnection, ConnectedEventSinkTakesTheFullReleasePath) {
    // Instance flag 0x8000 skips the references only while no connection is held.
    source.countsSink = false;
    EXPECT_EQ(Connect(&sink, &sourceObject, RuntimeInterfaceId(kSinkInterface)), 0);
    DataBlockOf(sink)->instanceFlags = 0x8000;
    PlainObject* reference = new PlainObject();
    CommonWordsOf(sink)->references[0] = reference;
    sink->Release();
    sink = nullptr;
    EXPECT_EQ(source.unadvises, 1);
    EXPECT_EQ(PlainObject::live, 0);  // released with the sink
}
