// The unhandled-exception report of the Windows host. Limits: the backtrace follows unwind
// data on x86-64 and the frame-pointer chain on x86 (the Windows builds keep frame pointers),
// so it stops at the first frame with neither, e.g. inside Wine's Unix side; frames are
// module and offset, not symbol names (addr2line on the executable gives those).
#include "runtime/crash_filter.h"

#include "platform/win32.h"
#include "runtime/crash_report.h"

#include <atomic>

namespace {
constexpr int kMostFrames = 40;

char programPath[MAX_PATH];
const BYTE* programBase;
std::atomic<LONG> reporting{0};
// Static rather than on the stack: after a stack overflow the filter has little stack left.
CrashLine line;
CONTEXT walk;

void WriteLine() {
    line.Add("\n");
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.Text(), static_cast<DWORD>(line.Length()),
              &written, nullptr);
    line.Clear();
    line.Add("crash report: ");
}

// The image holding `address`. VirtualQuery, not GetModuleHandleEx: that takes the loader
// lock, which ExitProcess holds while the process ends.
MappedImage ImageOf(uintptr_t address) {
    MEMORY_BASIC_INFORMATION region;
    if (!VirtualQuery(reinterpret_cast<const void*>(address), &region, sizeof region) ||
        region.Type != MEM_IMAGE || !region.AllocationBase)
        return {nullptr, 0};
    const BYTE* base = static_cast<const BYTE*>(region.AllocationBase);
    MEMORY_BASIC_INFORMATION header;
    if (!VirtualQuery(base, &header, sizeof header) || header.State != MEM_COMMIT ||
        (header.Protect & (PAGE_NOACCESS | PAGE_GUARD)))
        return {nullptr, 0};
    return {base, MappedImageSize(base)};
}

void AddPlace(uintptr_t address) {
    line.AddHex(address, 2 * sizeof(void*));
    const MappedImage image = ImageOf(address);
    if (!image.base || !image.size) {
        line.Add(" (in no mapped image)");
        return;
    }
    const char* name =
        image.base == programBase && programPath[0] ? FileNamePart(programPath) : nullptr;
    if (!name) name = ImageExportName(image);
    line.Add(" ").Add(name ? name : "(unnamed image)").Add("+");
    line.AddHex(address - reinterpret_cast<uintptr_t>(image.base), 1);
}

// One frame outward from `walk`; false when there is no sound way to go on.
bool StepOut(uintptr_t stackLow, uintptr_t stackHigh, bool first) {
#if defined(_WIN64)
    const uintptr_t before = walk.Rsp;
    const MappedImage image = ImageOf(walk.Rip);
    const uint32_t* entry =
        image.size
            ? ImageUnwindEntry(
                  image, static_cast<uint32_t>(walk.Rip - reinterpret_cast<uintptr_t>(image.base)))
            : nullptr;
    if (entry) {
        PVOID handlerData;
        DWORD64 establisher;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, reinterpret_cast<DWORD64>(image.base), walk.Rip,
                         reinterpret_cast<PRUNTIME_FUNCTION>(const_cast<uint32_t*>(entry)), &walk,
                         &handlerData, &establisher, nullptr);
    } else if (first && walk.Rsp >= stackLow && walk.Rsp + 8 <= stackHigh) {
        // A leaf function has no unwind entry: its return address is on top of the stack.
        walk.Rip = *reinterpret_cast<const DWORD64*>(walk.Rsp);
        walk.Rsp += 8;
    } else {
        return false;
    }
    return walk.Rip != 0 && walk.Rsp > before && walk.Rsp >= stackLow && walk.Rsp < stackHigh;
#else
    (void)first;
    const uintptr_t frame = walk.Ebp;
    if (frame < stackLow || frame + 8 > stackHigh || (frame & 3)) return false;
    const DWORD* saved = reinterpret_cast<const DWORD*>(frame);
    walk.Ebp = saved[0];
    walk.Eip = saved[1];
    walk.Esp = frame + 8;
    return walk.Eip != 0 && (walk.Ebp == 0 || walk.Ebp > frame);
#endif
}

uintptr_t ProgramCounter() {
#if defined(_WIN64)
    return walk.Rip;
#else
    return walk.Eip;
#endif
}

LONG WINAPI ReportUnhandledException(EXCEPTION_POINTERS* exception) {
    // One report: a second thread crashing meanwhile waits for the first to end the process.
    if (reporting.exchange(1) != 0) {
        for (;;) Sleep(INFINITE);
    }
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    const DWORD code = record->ExceptionCode;
    const DWORD thread = GetCurrentThreadId();
    line.Clear();
    line.Add("crash report: unhandled exception ").AddHex(code, 8);
    if (const char* name = ExceptionCodeName(code)) line.Add(" (").Add(name).Add(")");
    if (code == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2) {
        const ULONG_PTR kind = record->ExceptionInformation[0];
        line.Add(kind == 1 ? ", writing " : kind == 8 ? ", executing " : ", reading ");
        line.AddHex(record->ExceptionInformation[1], 2 * sizeof(void*));
    }
    line.Add(" on thread ").AddHex(thread, 4).Add(" (");
    const char* threadName = CrashThreadName(thread);
    line.Add(threadName ? threadName : "not one of the program's: the system's or Wine's").Add(")");
    WriteLine();  // the first facts go out before anything below can fail
    line.Add("at ");
    AddPlace(reinterpret_cast<uintptr_t>(record->ExceptionAddress));
    WriteLine();

    const NT_TIB* tib = reinterpret_cast<const NT_TIB*>(NtCurrentTeb());
    const uintptr_t stackLow = reinterpret_cast<uintptr_t>(tib->StackLimit);
    const uintptr_t stackHigh = reinterpret_cast<uintptr_t>(tib->StackBase);
    walk = *exception->ContextRecord;
    line.Add("backtrace:");
    WriteLine();
    int frame = 0;
    do {
        line.Add("  #").AddDecimal(frame).Add(" ");
        AddPlace(ProgramCounter());
        WriteLine();
    } while (++frame < kMostFrames && StepOut(stackLow, stackHigh, frame == 1));
    line.Add("end of report, ").AddDecimal(frame).Add(" frames; the process ends with code ");
    line.AddHex(code, 8);
    WriteLine();
    TerminateProcess(GetCurrentProcess(), code);
    return EXCEPTION_EXECUTE_HANDLER;
}
}  // namespace

void InstallCrashReport() {
    // The program's own name is read now, while the loader lock is free.
    const HMODULE program = GetModuleHandleW(nullptr);
    programBase = reinterpret_cast<const BYTE*>(program);
    if (!GetModuleFileNameA(program, programPath, MAX_PATH)) programPath[0] = '\0';
    // The top-level filter rather than a vectored handler: a vectored handler also sees the
    // first-chance exceptions that the system and Wine raise and handle themselves. Wine calls
    // the filter before it starts its debugger.
    SetUnhandledExceptionFilter(ReportUnhandledException);
}
