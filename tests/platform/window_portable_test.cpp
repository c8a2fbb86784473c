// Portable only: drives our windows on the headless display and injects the display's events
// (close button, size change, keys, pointer) that a real desktop would send.
#include "platform/display/headless_backend.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

struct Recorder {
    std::vector<UINT> messages;
    int paints = 0;
    RECT lastPaint{};
    BOOL lastErase = FALSE;
    COLORREF paintColor = RGB(200, 10, 10);
    std::vector<uint32_t> screenBeforeEndPaint;
};
Recorder* recorder = nullptr;

using display::EventKind;
using display::Key;

// The test windows' surface on the headless display.
display::SurfaceId Surface(const char* title = "Towers of Hanoi") {
    return display::headless::FindSurface(title);
}

std::vector<uint32_t> Screen(int* width, const char* title = "Towers of Hanoi") {
    std::vector<uint32_t> pixels;
    int height = 0;
    *width = 0;
    display::ReadFrame(Surface(title), &pixels, width, &height);
    return pixels;
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    recorder->messages.push_back(message);
    switch (message) {
        case WM_ERASEBKGND:
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            recorder->paints++;
            recorder->lastPaint = paint.rcPaint;
            recorder->lastErase = paint.fErase;
            RECT client;
            GetClientRect(window, &client);
            HBRUSH brush = CreateSolidBrush(recorder->paintColor);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            int w;
            recorder->screenBeforeEndPaint = Screen(&w);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(7);
            return 0;
        case WM_CREATE:
            return reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams ? -1 : 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

class Window : public testing::Test {
   protected:
    static void SetUpTestSuite() {
        WNDCLASSA record{};
        record.style = CS_HREDRAW | CS_VREDRAW;
        record.lpfnWndProc = RecordingProc;
        record.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        record.lpszClassName = "RecordingClass";
        RegisterClassA(&record);
    }
    void SetUp() override {
        recorder = &record;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        recorder = nullptr;
    }
    HWND Create(LPVOID parameter = nullptr) {
        window = CreateWindowExA(0, "RecordingClass", "Towers of Hanoi",
                                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 820, 500, nullptr, nullptr, nullptr, parameter);
        return window;
    }
    HWND CreateShownAndPainted() {
        Create();
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        record.paints = 0;
        record.messages.clear();
        return window;
    }
    // Dispatches everything that is ready now, WM_PAINT included, but at most `limit`
    // messages: while another thread keeps invalidating, a paint is always ready. Returns
    // the count.
    int Pump(int limit = 1000) {
        int count = 0;
        MSG message;
        while (count < limit && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) break;
            DispatchMessageA(&message);
            ++count;
        }
        return count;
    }
    void Inject(EventKind kind, int x = 0, int y = 0) {
        display::Event event;
        event.kind = kind;
        event.surface = Surface();
        event.x = x;
        event.y = y;
        display::headless::Inject(event);
    }
    int Count(UINT message) const {
        int n = 0;
        for (UINT m : record.messages) n += m == message;
        return n;
    }
    Recorder record;
    HWND window = nullptr;
};

TEST_F(Window, OuterSizeIsAsAskedAndTheClientAreaIsSmallerByTheClassicFrame) {
    ASSERT_NE(Create(), nullptr);
    RECT outer, client;
    ASSERT_TRUE(GetWindowRect(window, &outer));
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(outer.right - outer.left, 820);
    EXPECT_EQ(outer.bottom - outer.top, 500);
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 812);
    EXPECT_EQ(client.bottom, 473);
    display::headless::SurfaceInfo surface;
    ASSERT_TRUE(display::headless::Describe(Surface(), &surface));
    EXPECT_EQ(surface.width, 812);
    EXPECT_EQ(surface.height, 473);
    EXPECT_EQ(surface.className, "RecordingClass");
    EXPECT_TRUE(surface.resizable);  // WS_THICKFRAME
}

TEST_F(Window, CreationSendsItsMessagesInOrderAndStaysHidden) {
    ASSERT_NE(Create(), nullptr);
    std::vector<UINT> expected{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE};
    EXPECT_EQ(record.messages, expected);
    Pump();
    EXPECT_EQ(record.paints, 0);  // hidden: nothing to paint yet
    display::headless::SurfaceInfo surface;
    ASSERT_TRUE(display::headless::Describe(Surface(), &surface));
    EXPECT_EQ(surface.shown, display::ShowState::kHidden);
    EXPECT_EQ(surface.presents, 0);
}

TEST_F(Window, CreateReturningMinusOneDestroysTheWindow) {
    int flag = 1;
    EXPECT_EQ(Create(&flag), nullptr);
    EXPECT_EQ(Count(WM_DESTROY), 1);
    EXPECT_EQ(Count(WM_NCDESTROY), 1);
    MSG message;  // the recording procedure posted a quit on WM_DESTROY
    EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(Window, UnknownClassFails) {
    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "x", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                              nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST_F(Window, ShowThenUpdatePaintsAtOnceWithEraseAndReachesTheScreen) {
    ASSERT_NE(Create(), nullptr);
    EXPECT_EQ(ShowWindow(window, SW_SHOWNORMAL), FALSE);  // was hidden
    EXPECT_EQ(record.paints, 0);
    ASSERT_TRUE(UpdateWindow(window));
    EXPECT_EQ(record.paints, 1);
    EXPECT_EQ(Count(WM_ERASEBKGND), 1);
    EXPECT_TRUE(record.lastErase);  // the procedure left the erasing undone
    EXPECT_EQ(record.lastPaint.right, 812);
    EXPECT_EQ(record.lastPaint.bottom, 473);
    // Nothing was on the screen during the paint; EndPaint put the fill there.
    ASSERT_FALSE(record.screenBeforeEndPaint.empty());
    EXPECT_EQ(record.screenBeforeEndPaint[0], 0u);
    int w;
    std::vector<uint32_t> screen = Screen(&w);
    ASSERT_EQ(screen.size(), 812u * 473u);
    EXPECT_EQ(screen[0], 0xC80A0Au);
    EXPECT_EQ(screen.back(), 0xC80A0Au);
    display::headless::SurfaceInfo surface;
    ASSERT_TRUE(display::headless::Describe(Surface(), &surface));
    EXPECT_EQ(surface.shown, display::ShowState::kNormal);
    EXPECT_EQ(surface.presents, 1);
    // The update region is empty now: no second paint.
    UpdateWindow(window);
    Pump();
    EXPECT_EQ(record.paints, 1);
}

TEST_F(Window, InvalidateWithoutEraseSendsNoEraseMessage) {
    CreateShownAndPainted();
    InvalidateRect(window, nullptr, FALSE);
    Pump();
    EXPECT_EQ(record.paints, 1);
    EXPECT_EQ(Count(WM_ERASEBKGND), 0);
    EXPECT_FALSE(record.lastErase);
}

TEST_F(Window, PartialInvalidationPaintsOnlyThatRectangleOnTheScreen) {
    CreateShownAndPainted();
    record.paintColor = RGB(0, 0, 255);
    RECT area{10, 20, 30, 40};
    InvalidateRect(window, &area, FALSE);
    Pump();
    EXPECT_EQ(record.lastPaint.left, 10);
    EXPECT_EQ(record.lastPaint.bottom, 40);
    int w;
    std::vector<uint32_t> screen = Screen(&w);
    ASSERT_EQ(w, 812);
    EXPECT_EQ(screen[25 * w + 15], 0x0000FFu);  // inside
    EXPECT_EQ(screen[25 * w + 30], 0xC80A0Au);  // right edge is exclusive
    EXPECT_EQ(screen[5 * w + 5], 0xC80A0Au);
}

// Cross-thread cases also run under ThreadSanitizer (suite name).
class WindowConcurrency : public Window {};

TEST_F(WindowConcurrency, RepaintRequestsFromAnotherThreadMergeIntoOnePaint) {
    CreateShownAndPainted();
    std::thread solver([this] {
        for (int i = 0; i < 50; ++i) {
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
            InvalidateRect(window, nullptr, TRUE);
        }
    });
    solver.join();
    Pump();
    EXPECT_EQ(record.paints, 1);
    EXPECT_EQ(record.lastPaint.right, 812);
}

TEST_F(WindowConcurrency, RepaintRequestFromAnotherThreadWakesAWaitingGetMessage) {
    CreateShownAndPainted();
    std::atomic<bool> done{false};
    std::thread solver([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        InvalidateRect(window, nullptr, TRUE);
        // Watchdog: should the wake-up be lost, unblock the test so that it fails instead.
        for (int i = 0; i < 500 && !done.load(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!done.load()) PostMessageA(window, WM_USER + 77, 0, 0);
    });
    MSG message;
    ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
    done.store(true);
    solver.join();
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(message.hwnd, window);
}

TEST_F(WindowConcurrency, RequestsWhileTheWindowPaintsResizesAndIsDestroyed) {
    CreateShownAndPainted();
    HWND target = window;
    std::atomic<bool> stop{false};
    std::atomic<int> refused{0};
    std::thread solver([&] {
        while (!stop.load()) {
            if (!RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME)) ++refused;
            InvalidateRect(target, nullptr, TRUE);
        }
    });
    for (int round = 0; round < 20; ++round) {
        Inject(EventKind::kResized, 400 + round, 300 + round);
        Pump(20);
    }
    DestroyWindow(window);
    while (refused.load() == 0) std::this_thread::yield();  // requests now fail quietly
    stop.store(true);
    solver.join();
    EXPECT_GE(record.paints, 1);
    EXPECT_FALSE(IsWindow(target));
}

TEST_F(Window, PaintComesOnlyWhenNothingElseIsQueued) {
    CreateShownAndPainted();
    InvalidateRect(window, nullptr, FALSE);
    PostMessageA(window, WM_USER + 1, 0, 0);
    MSG message;
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    DispatchMessageA(&message);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(Window, AHiddenWindowIsNotPainted) {
    ASSERT_NE(Create(), nullptr);
    InvalidateRect(window, nullptr, TRUE);
    Pump();
    EXPECT_EQ(record.paints, 0);
}

TEST_F(Window, CloseButtonDestroysTheWindowAndEndsTheLoop) {
    CreateShownAndPainted();
    HWND closed = window;
    Inject(EventKind::kClose);
    MSG message;
    int fetched = 0;
    while (GetMessageA(&message, nullptr, 0, 0) > 0 && ++fetched < 100) DispatchMessageA(&message);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
    std::vector<UINT> order;
    for (UINT m : record.messages)
        if (m == WM_SYSCOMMAND || m == WM_CLOSE || m == WM_DESTROY || m == WM_NCDESTROY)
            order.push_back(m);
    EXPECT_EQ(order, (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(closed));
    EXPECT_EQ(Surface(), 0u);  // the display's surface went with it
    // Requests from a thread that does not know yet are refused quietly.
    SetLastError(0);
    EXPECT_FALSE(RedrawWindow(closed, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(InvalidateRect(closed, nullptr, TRUE));
}

TEST_F(Window, AltF4ClosesTheWindow) {
    CreateShownAndPainted();
    display::Event key;
    key.kind = EventKind::kKeyDown;
    key.surface = Surface();
    key.key = static_cast<Key>(static_cast<int>(Key::kF1) + 3);
    key.alt = true;
    display::headless::Inject(key);
    MSG message;
    int fetched = 0;
    while (GetMessageA(&message, nullptr, 0, 0) > 0 && ++fetched < 100) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    EXPECT_EQ(Count(WM_SYSKEYDOWN), 1);
    EXPECT_EQ(Count(WM_DESTROY), 1);
}

// The display's own key and pointer codes become Windows' messages, codes and flags.
TEST_F(Window, KeyAndPointerEventsArriveAsTheirMessages) {
    CreateShownAndPainted();
    auto key = [](EventKind kind, Key code, bool alt = false) {
        display::Event event;
        event.kind = kind;
        event.key = code;
        event.alt = alt;
        return event;
    };
    auto pointer = [](EventKind kind, display::PointerButton button, unsigned held) {
        display::Event event;
        event.kind = kind;
        event.button = button;
        event.buttons = held;
        event.x = 30;
        event.y = 40;
        return event;
    };
    auto after = [](Key first, int n) { return static_cast<Key>(static_cast<int>(first) + n); };
    using display::PointerButton;
    const LPARAM point = MAKELONG(30, 40);
    const struct {
        display::Event event;
        UINT message;  // 0: nothing is posted
        WPARAM wParam;
        LPARAM lParam;
    } cases[] = {
        {key(EventKind::kKeyDown, after(Key::kA, 25)), WM_KEYDOWN, 'Z', 1},
        {key(EventKind::kKeyUp, after(Key::kDigit0, 7)), WM_KEYUP, '7', LPARAM(0xC0000001u)},
        {key(EventKind::kKeyDown, after(Key::kF1, 11), true), WM_SYSKEYDOWN, VK_F12, 0x20000001},
        {key(EventKind::kKeyUp, Key::kAlt, true), WM_SYSKEYUP, VK_MENU, LPARAM(0xE0000001u)},
        {key(EventKind::kKeyDown, Key::kReturn), WM_KEYDOWN, VK_RETURN, 1},
        {key(EventKind::kKeyDown, Key::kEscape), WM_KEYDOWN, VK_ESCAPE, 1},
        {key(EventKind::kKeyDown, Key::kBackspace), WM_KEYDOWN, VK_BACK, 1},
        {key(EventKind::kKeyDown, Key::kDelete), WM_KEYDOWN, VK_DELETE, 1},
        {key(EventKind::kKeyDown, Key::kDown), WM_KEYDOWN, VK_DOWN, 1},
        {key(EventKind::kKeyDown, Key::kControl), WM_KEYDOWN, VK_CONTROL, 1},
        {key(EventKind::kKeyDown, Key::kNoKey), 0, 0, 0},
        {pointer(EventKind::kPointerMove, PointerButton::kNoButton,
                 display::kHeldLeft | display::kHeldRight),
         WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, point},
        {pointer(EventKind::kPointerDown, PointerButton::kLeft, display::kHeldLeft), WM_LBUTTONDOWN,
         MK_LBUTTON, point},
        {pointer(EventKind::kPointerDown, PointerButton::kMiddle, display::kHeldMiddle),
         WM_MBUTTONDOWN, MK_MBUTTON, point},
        {pointer(EventKind::kPointerUp, PointerButton::kRight, 0), WM_RBUTTONUP, 0, point},
        {pointer(EventKind::kPointerUp, PointerButton::kNoButton, 0), 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "expected message 0x" << std::hex << c.message);
        display::Event event = c.event;
        event.surface = Surface();
        display::headless::Inject(event);
        MSG message;
        const BOOL got = PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
        ASSERT_EQ(got != FALSE, c.message != 0);
        if (!got) continue;
        EXPECT_EQ(message.hwnd, window);
        EXPECT_EQ(message.message, c.message);
        EXPECT_EQ(message.wParam, c.wParam);
        EXPECT_EQ(message.lParam, c.lParam);
    }
}

TEST_F(Window, EventsOfAnUnknownSurfaceAreDropped) {
    CreateShownAndPainted();
    display::Event close;
    close.kind = EventKind::kClose;
    close.surface = Surface() + 1000;
    display::headless::Inject(close);
    EXPECT_EQ(Pump(), 0);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(Window, SizeChangeRepaintsTheWholeClientArea) {
    CreateShownAndPainted();
    Inject(EventKind::kResized, 600, 300);
    Pump();
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 300);
    EXPECT_EQ(record.paints, 1);
    EXPECT_EQ(record.lastPaint.right, 600);
    EXPECT_EQ(record.lastPaint.bottom, 300);
    EXPECT_TRUE(record.lastErase);
    EXPECT_GE(Count(WM_SIZE), 1);
    int w;
    std::vector<uint32_t> screen = Screen(&w);  // the new size reached the screen
    ASSERT_EQ(screen.size(), 600u * 300u);
    EXPECT_EQ(screen.back(), 0xC80A0Au);
}

TEST_F(Window, DefaultEraseFillsWithTheClassBrush) {
    WNDCLASSA record{};
    record.lpfnWndProc = DefWindowProcA;
    record.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    record.lpszClassName = "DefaultEraseClass";
    RegisterClassA(&record);
    window = CreateWindowExA(0, "DefaultEraseClass", "t", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80,
                             nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);  // DefWindowProcA: BeginPaint sends WM_ERASEBKGND to itself
    int w;
    std::vector<uint32_t> screen = Screen(&w, "t");
    ASSERT_FALSE(screen.empty());
    EXPECT_EQ(screen[0], 0xF0F0F0u);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));  // validated
}

TEST_F(Window, DestroyFromAnotherThreadIsRefused) {
    ASSERT_NE(Create(), nullptr);
    BOOL result = TRUE;
    DWORD error = 0;
    std::thread other([&] {
        result = DestroyWindow(window);
        error = GetLastError();
    });
    other.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(IsWindow(window));
}

}  // namespace
