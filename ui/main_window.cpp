// RegisterHanoisClass, CreateHanoisWindow, HanoisWndProc and RunMessageLoop.
#include "ui/main_window.h"

#include "runtime/error_numbers.h"
#include "runtime/message_box.h"
#include "runtime/proc_frame.h"
#include "runtime/startup.h"
#include "runtime/string_literal.h"
#include "runtime/temp_strings.h"
#include "ui/disk_images.h"
#include "ui/scene.h"

BOOL ClassRegistered = 0;

namespace {
const ProcedureInfo kRegisterHanoisClassProcedure = {"RegisterHanoisClass", nullptr};
const ProcedureInfo kEndWithoutWindowProcedure = {"EndWithoutWindow", nullptr};
const ProcedureInfo kCreateHanoisWindowProcedure = {"CreateHanoisWindow", nullptr};
const ProcedureInfo kHanoisWndProcProcedure = {"HanoisWndProc", nullptr};
const ProcedureInfo kRunMessageLoopProcedure = {"RunMessageLoop", nullptr};
constexpr auto kRegisterFailedText = WideLiteral(WSTR("RegisterClass for hanois failed"));
constexpr auto kNoWindowText =
    WideLiteral(WSTR("No display is available: the window cannot be opened"));
constexpr auto kNoMemoryText = WideLiteral(WSTR("Not enough memory: the window cannot be opened"));
// A run that could not show the puzzle ends as a fatal start-up failure does, never like a
// normal end (0).
constexpr LONG kNoWindowExitCode = kFatalExitCode;
}  // namespace

void RegisterHanoisClass() {
    if (ClassRegistered) return;
    ProcFrame frame(&kRegisterHanoisClassProcedure);
    WNDCLASSA record{};
    record.style = CS_HREDRAW | CS_VREDRAW;
    record.lpfnWndProc = HanoisWndProc;
    record.cbClsExtra = 0;
    record.cbWndExtra = 0;
    record.hInstance = AfterSystemCall(GetModuleHandleA(nullptr));
    record.hIcon = AfterSystemCall(
        LoadIconA(AfterSystemCall(GetModuleHandleA(nullptr)), MAKEINTRESOURCEA(kAppIconGroup)));
    record.hCursor = AfterSystemCall(LoadCursorA(nullptr, IDC_ARROW));
    record.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    record.lpszMenuName = nullptr;
    record.lpszClassName = kHanoisClassName;
    if (AfterSystemCall(RegisterClassA(&record)) == 0) {
        PushBorrowedString(kRegisterFailedText.Handle());
        PushEmptyString();  // no title: the run-time's caption "Quarkstone"
        ShowMessageBox(MB_TASKMODAL | MB_SETFOREGROUND);
        RuntimeExit(0);
    }
    ClassRegistered = 1;
}

HWND CreateHanoisWindow() {
    ProcFrame frame(&kCreateHanoisWindowProcedure);
    RegisterHanoisClass();
    return AfterSystemCall(CreateWindowExA(
        0, kHanoisClassName, kHanoisTitle, kHanoisStyle, CW_USEDEFAULT, CW_USEDEFAULT, kHanoisWidth,
        kHanoisHeight, nullptr, nullptr, AfterSystemCall(GetModuleHandleA(nullptr)), nullptr));
}

void EndWithoutWindow() {
    ProcFrame frame(&kEndWithoutWindowProcedure);
    const DWORD why = GetLastError();  // left by CreateWindowExA
    const bool noMemory = why == ERROR_NOT_ENOUGH_MEMORY || why == ERROR_OUTOFMEMORY;
    AfterSystemCall();
    PushBorrowedString(noMemory ? kNoMemoryText.Handle() : kNoWindowText.Handle());
    PushEmptyString();
    ShowMessageBox(MB_TASKMODAL | MB_SETFOREGROUND);
    RuntimeExit(kNoWindowExitCode);
}

LRESULT CALLBACK HanoisWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ProcFrame frame(&kHanoisWndProcProcedure);
    if (message == WM_ERASEBKGND) return 0;  // PaintScene fills the whole client area
    if (message == WM_PAINT) {
        PaintScene(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        AfterSystemCall();
        return 0;
    }
    return AfterSystemCall(DefWindowProcA(window, message, wParam, lParam));
}

LONG RunMessageLoop(HWND) {
    ProcFrame frame(&kRunMessageLoopProcedure);
    MSG message;
    while (AfterSystemCall(GetMessageA(&message, nullptr, 0, 0)) != 0) {
        TranslateMessage(&message);
        AfterSystemCall();
        DispatchMessageA(&message);
        AfterSystemCall();
    }
    return 0;
}
