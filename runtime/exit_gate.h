// The way out of the process and the run-time threads still at work. ExitProcess ends every
// other thread wherever it is, and a thread ended while it holds a lock (the heap's, the
// window system's) leaves it held: when the detach code of a library then takes the same
// lock, the exit waits on it for ever, as the ExitProcess documentation warns. So a run-time
// thread does its work between two pauses inside a work section, and RuntimeExit shuts the
// gate first: it waits until no other thread is inside a section, and a thread that comes to
// the gate afterwards parks there. When the process ends, every other run-time thread is
// pausing or parked, holding no lock. (tests/e2e/exit_while_redrawing.cpp ends a process
// with and without this under Wine.)
#pragma once

#include "platform/win32.h"

// How long RuntimeExit waits for the other threads to leave their sections. A section is a
// few collection calls and one repaint request (microseconds); a thread still inside after a
// second is stuck, and the process ends anyway rather than hang on it.
constexpr DWORD kExitGateWaitMs = 1000;

// The calling thread's work until its next pause; sections may nest. Entering returns false
// once the gate is shut: the thread must not work (WorkSection parks it).
bool EnterWorkSection();
void LeaveWorkSection();

// Never returns: the thread waits there until the process ends.
[[noreturn]] void ParkUntilExit();

// A pause (Sleep) outside the calling thread's sections, which are taken up again after it;
// a thread that finds the gate shut when its pause ends parks instead.
void PauseOutsideWork(DWORD milliseconds);

// A work section for a scope; a thread that finds the gate shut parks instead.
class WorkSection {
   public:
    WorkSection() {
        if (!EnterWorkSection()) ParkUntilExit();
    }
    ~WorkSection() { LeaveWorkSection(); }
    WorkSection(const WorkSection&) = delete;
    WorkSection& operator=(const WorkSection&) = delete;
};

// Shuts the gate and waits up to waitMs until no thread but the caller is inside a section
// (the caller's own sections, if it is in any, are not waited for). True when they all left.
bool ShutExitGate(DWORD waitMs);

// Tests only: opens the gate again (a process shuts it once, on its way out), and the
// number of open sections of all threads.
void ReopenExitGateForTests();
LONG SectionsAtWork();
