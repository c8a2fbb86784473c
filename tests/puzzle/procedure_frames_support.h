// A peg whose ITEM runs out of memory (E_OUTOFMEMORY, the collection's one negative result),
// so that CheckObjectResult raises 99 inside the procedure that called it, and whose next
// method calls note the running procedure's frame and its caller's.
#pragma once

#include "objects/list_collection_interface.h"
#include "runtime/proc_frame.h"
#include "tests/ui/scene_test_support.h"

#include <string>
#include <utility>
#include <vector>

struct FrameSeen {
    std::string name;
    BYTE error;
    BYTE flags;
    std::string callerName;
    BYTE callerError;
};

inline FrameSeen LookAtFrames() {
    const ProcFrame& frame = CurrentProcFrame();
    const ProcFrame* caller = frame.previous;
    return FrameSeen{frame.procedure ? frame.procedure->name : "", frame.LastError(),
                     frame.ErrorFlags(), caller && caller->procedure ? caller->procedure->name : "",
                     caller ? caller->LastError() : BYTE{0}};
}

// Two disks whose items cannot be copied out; every call after the first ITEM notes the frames.
struct PegOutOfMemory : ILinkListCollection {
    std::vector<FrameSeen> seen;
    int itemCalls = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FIRST(LONG*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE NEXT(VARIANT*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE ADD(VARIANT*) override { return Seen(); }
    HRESULT STDMETHODCALLTYPE CLEAR() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE COUNT(LONG* count) override {
        *count = 2;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE INDEX(LONG*, LONG*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE INSERT(LONG*, VARIANT*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE ITEM(LONG*, VARIANT*) override {
        if (itemCalls++ > 0) Seen();
        return E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE LAST(LONG*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE PREVIOUS(VARIANT*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE REMOVE(LONG*) override { return Seen(); }
    HRESULT STDMETHODCALLTYPE REPLACE(LONG*, VARIANT*) override { return S_FALSE; }

    HRESULT Seen() {
        seen.push_back(LookAtFrames());
        return S_OK;
    }
};

// Scene tests with the failing peg in place of one peg for the test's duration.
class FailingPegTest : public SceneTest {
   protected:
    void Replace(LONG index) {
        kept.push_back({index, Pegs[index]});
        *Pegs.Slot(index) = &failing;
    }
    void TearDown() override {
        for (auto [index, peg] : kept) *Pegs.Slot(index) = peg;
        SceneTest::TearDown();
    }
    PegOutOfMemory failing;
    std::vector<std::pair<LONG, ILinkListCollection*>> kept;
};
