// ProcFrame linkage: the per-thread pointer to the innermost frame and the service depth
// that tells errors raised by the procedure's own call from errors raised deeper down.
#include "runtime/proc_frame.h"

#include "runtime/cleanup_table.h"
#include "runtime/fpu_control.h"
#include "runtime/temp_strings.h"

namespace {
thread_local ProcFrame* currentFrame = nullptr;
thread_local int serviceDepth = 0;

// Created on a thread's first use; stands for "no program procedure running" (start-up,
// ModuleInit, a thread wrapper before its thread function), whose frame is all zero.
ProcFrame& RootFrame() {
    thread_local ProcFrame root{ProcFrame::RootTag{}};
    return root;
}
}  // namespace

ProcFrame::ProcFrame(RootTag)
    : controlWord(0),
      tempStrings{},
      procedure(nullptr),
      tempIndex(0),
      errorHandler(nullptr),
      errorState(0),
      result(0),
      locals(nullptr),
      previous(nullptr),
      savedServiceDepth(0),
      linked(false) {}

ProcFrame::ProcFrame(const ProcedureInfo* procedure, void* locals)
    : controlWord(kRuntimeFpuControlWord),
      tempStrings{},
      procedure(procedure),
      tempIndex(0),
      errorHandler(nullptr),
      errorState(0),
      result(0),
      locals(locals),
      previous(currentFrame),
      savedServiceDepth(serviceDepth),
      linked(true) {
    currentFrame = this;
    LoadFpuControlWord(controlWord);
    // A procedure called back from inside a service (a thread function from the start
    // wrapper) calls services of its own at depth 0 again.
    serviceDepth = 0;
}

ProcFrame::~ProcFrame() {
    if (procedure && procedure->localCleanupTable && locals)
        WalkCleanupTable(procedure->localCleanupTable, locals, EraseFailure::kRaise);
    // Between statements the stack is empty; whatever a statement left is released here
    // rather than leaked.
    while (TempCount() > 0) FreeString(PopTempString(*this));
    if (!linked) return;
    currentFrame = previous;
    serviceDepth = savedServiceDepth;
}

ProcFrame& CurrentProcFrame() {
    return currentFrame ? *currentFrame : RootFrame();
}

RuntimeService::RuntimeService() {
    ++serviceDepth;
}
RuntimeService::~RuntimeService() {
    --serviceDepth;
}

int RuntimeServiceDepth() {
    return serviceDepth;
}

void AfterSystemCall() {
    // The root frame (no program procedure running) holds no word: the run-time's own then.
    const WORD word = CurrentProcFrame().controlWord;
    LoadFpuControlWord(word ? word : kRuntimeFpuControlWord);
}
