// The exit gate: a count of the threads inside work sections and a shut flag. Entering
// raises the count before it reads the flag and shutting sets the flag before it reads the
// count (both sequentially consistent), so either the entering thread sees the gate shut or
// the shutting thread sees it inside and waits for it.
#include "runtime/exit_gate.h"

#include <atomic>
#include <chrono>

namespace {
std::atomic<LONG> threadsInside{0};  // one per open section, nested ones counted each
std::atomic<bool> gateShut{false};
thread_local LONG ownSections = 0;
}  // namespace

bool EnterWorkSection() {
    threadsInside.fetch_add(1);
    if (gateShut.load()) {
        threadsInside.fetch_sub(1);
        return false;
    }
    ++ownSections;
    return true;
}

void LeaveWorkSection() {
    --ownSections;
    threadsInside.fetch_sub(1);
}

void ParkUntilExit() {
    for (;;) Sleep(INFINITE);  // the thread that shut the gate is ending the process
}

void PauseOutsideWork(DWORD milliseconds) {
    const LONG sections = ownSections;
    threadsInside.fetch_sub(sections);
    ownSections = 0;
    Sleep(milliseconds);
    if (sections == 0) return;
    threadsInside.fetch_add(sections);
    if (gateShut.load()) {
        threadsInside.fetch_sub(sections);
        ParkUntilExit();
    }
    ownSections = sections;
}

bool ShutExitGate(DWORD waitMs) {
    gateShut.store(true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (threadsInside.load() > ownSections) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        Sleep(1);
    }
    return true;
}

void ReopenExitGateForTests() {
    gateShut.store(false);
}

LONG SectionsAtWork() {
    return threadsInside.load();
}
