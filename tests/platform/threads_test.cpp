// The kernel's threads, handles, thread-local storage and COM initialisation, as the
// run-time relies on them; run against real Windows (under Wine) and the portable layer.
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {
std::atomic<bool> mayEnd{false};
std::atomic<DWORD> idInside{0};

DWORD WINAPI EndsWhenAllowed(LPVOID parameter) {
    idInside = GetCurrentThreadId();
    while (!mayEnd.load()) Sleep(1);
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(parameter));
}
}  // namespace

TEST(KernelThreads, ExitCodeIdentifierAndWaiting) {
    mayEnd = false;
    idInside = 0;
    DWORD identifier = 0;
    HANDLE thread =
        CreateThread(nullptr, 0, EndsWhenAllowed, reinterpret_cast<LPVOID>(42), 0, &identifier);
    ASSERT_NE(thread, nullptr);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(WaitForSingleObject(thread, 10), static_cast<DWORD>(WAIT_TIMEOUT));
    mayEnd = true;
    EXPECT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(idInside.load(), identifier);
    EXPECT_NE(identifier, GetCurrentThreadId());
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(KernelThreads, ClosingUnknownOrClosedHandlesFails) {
    mayEnd = true;
    HANDLE thread = CreateThread(nullptr, 0, EndsWhenAllowed, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_TRUE(CloseHandle(thread));
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(thread));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(ThreadLocalStorage, ValuesArePerThreadAndForgottenByTlsFree) {
    DWORD index = TlsAlloc();
    ASSERT_NE(index, static_cast<DWORD>(TLS_OUT_OF_INDEXES));
    EXPECT_EQ(TlsGetValue(index), nullptr);
    int mine = 0;
    EXPECT_TRUE(TlsSetValue(index, &mine));
    SetLastError(5);
    EXPECT_EQ(TlsGetValue(index), &mine);
    EXPECT_EQ(GetLastError(), 0u);  // success clears the last error
    LPVOID other = &mine;
    std::thread([&] { other = TlsGetValue(index); }).join();
    EXPECT_EQ(other, nullptr);
    EXPECT_TRUE(TlsFree(index));
    DWORD again = TlsAlloc();
    ASSERT_NE(again, static_cast<DWORD>(TLS_OUT_OF_INDEXES));
    EXPECT_EQ(TlsGetValue(again), nullptr);  // nothing left over from the freed index
    EXPECT_TRUE(TlsFree(again));
}

TEST(ComInitialisation, CountedPerThread) {
    std::thread([] {
        EXPECT_EQ(CoInitialize(nullptr), S_OK);
        EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
        CoUninitialize();
        CoUninitialize();
        EXPECT_EQ(CoInitialize(nullptr), S_OK);  // fully down again, so up anew
        CoUninitialize();
    }).join();
}

TEST(ProcessInformation, VersionStartupAndOwnModule) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_EQ(sizeof version, 148u);
    EXPECT_TRUE(GetVersionExA(&version));
    EXPECT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    version.dwOSVersionInfoSize = 100;
    EXPECT_FALSE(GetVersionExA(&version));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    EXPECT_EQ(startup.cb, sizeof startup);

    HMODULE own = GetModuleHandleW(nullptr);
    EXPECT_NE(own, nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), own);
    EXPECT_EQ(GetModuleHandleA("no-such-module.dll"), nullptr);

    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(SetErrorMode(previous),
              static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
}
