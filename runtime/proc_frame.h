// ProcFrame: the record every program procedure sets up on entry, and how run-time services
// find it. Frames are found through a per-thread pointer to the innermost frame (no explicit
// argument): a procedure's frame links itself in on construction and out on destruction.
// A thread with no program procedure running uses its own all-zero root frame.
#pragma once

#include "platform/win32.h"

// A dynamic string handle as it travels through the run-time: the address of a counted
// string's first character, 0 for the empty string, bit 0 set when the holder only borrows
// it. Pointer-wide, so on the Windows build a handle is 32 bits.
typedef ULONG_PTR StringHandle;

// The room of every frame's TempStringStack: fixed, program code never has more than five
// temporaries pending (a push beyond it is a fault of the caller and ends the process).
constexpr int kTempStringSlots = 5;

// Flags in the high byte of ErrorState.
constexpr WORD kErrorFromProcedure = 0xB0;  // the failing service was called by the procedure
constexpr WORD kErrorFromService = 0x30;    // ... by another run-time service

// What identifies a running procedure: its name (a C++ function has no code range to look
// up by return address) and its local CleanupTable, walked over its locals when it exits.
struct ProcedureInfo {
    const char* name;
    const DWORD* localCleanupTable;  // 0-ended; null: no locals to release
};

struct ProcFrame {
    // Sets up the frame of a procedure: control word 0x133F stored and loaded (a procedure
    // the system calls back, such as a window procedure, may be entered under another word;
    // program code reloads it from here after every call into the system), everything else
    // zero, and the frame made the calling thread's current one. `locals` is the base
    // of the procedure's locals (zeroed by the procedure) for its local CleanupTable.
    explicit ProcFrame(const ProcedureInfo* procedure = nullptr, void* locals = nullptr);
    // The procedure's exit: walks its local CleanupTable (an array whose storage cannot be
    // freed raises kErrorMemoryDamaged there), frees any temporary left on the TempStringStack, and
    // makes the previous frame current again.
    ~ProcFrame();
    ProcFrame(const ProcFrame&) = delete;
    ProcFrame& operator=(const ProcFrame&) = delete;

    // The fields of the record, in their order.
    WORD controlWord;
    StringHandle tempStrings[kTempStringSlots];
    const ProcedureInfo* procedure;
    // Byte offset of the top slot from the end of tempStrings: 0 when empty, minus one
    // handle width per pushed slot (-4 on the Windows build, -8 on the 64-bit host).
    LONG tempIndex;
    void* errorHandler;  // carried, never set: no procedure of this program declares one
    WORD errorState;     // low byte: last error number; high byte: kErrorFrom... flags
    LONG result;

    // Linkage, after the record's own fields.
    void* locals;
    ProcFrame* previous;
    int savedServiceDepth;
    bool linked;

    // The number of pending temporaries, and the slot `depth` below the top (0: the top).
    int TempCount() const { return static_cast<int>(-tempIndex / LONG{sizeof(StringHandle)}); }
    StringHandle& TempSlot(int depth) {
        return tempStrings[kTempStringSlots - TempCount() + depth];
    }
    // The last error number recorded in this frame (0: none) and its flags.
    BYTE LastError() const { return static_cast<BYTE>(errorState & 0xFF); }
    BYTE ErrorFlags() const { return static_cast<BYTE>(errorState >> 8); }

    struct RootTag {};
    explicit ProcFrame(RootTag);
};

// The frame of the program procedure running on the calling thread: the innermost linked
// frame, or the thread's all-zero root frame when no program procedure is running.
ProcFrame& CurrentProcFrame();

// Marks the duration of one run-time service call, so that an error raised inside it can
// tell whether the service was called by the procedure itself or by another service.
class RuntimeService {
   public:
    RuntimeService();
    ~RuntimeService();
    RuntimeService(const RuntimeService&) = delete;
    RuntimeService& operator=(const RuntimeService&) = delete;
};

// How many run-time service calls are open on the calling thread in the current frame.
int RuntimeServiceDepth();

// What program code does after every call into the system: the system may come back with a
// control word of its own loaded (a driver, a hook or a library built with other settings),
// so the running procedure's word (0x133F) is loaded again from its frame.
void AfterSystemCall();
// The same around a call that has a result: AfterSystemCall(BeginPaint(window, &paint)).
template <typename Result>
inline Result AfterSystemCall(Result result) {
    AfterSystemCall();
    return result;
}
