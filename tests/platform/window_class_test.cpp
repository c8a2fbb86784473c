// Window classes on both hosts: a name registers once per process, whatever its case.
#include "platform/win32.h"

#include <gtest/gtest.h>

namespace {

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

WNDCLASSA Record(const char* name) {
    WNDCLASSA record{};
    record.style = CS_HREDRAW | CS_VREDRAW;
    record.lpfnWndProc = PlainProc;
    record.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    record.lpszClassName = name;
    return record;
}

TEST(WindowClass, ASecondRegistrationOfTheSameNameFails) {
    WNDCLASSA record = Record("ClassTwiceTest");
    ATOM atom = RegisterClassA(&record);
    EXPECT_NE(atom, 0);
    SetLastError(0);
    EXPECT_EQ(RegisterClassA(&record), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
}

TEST(WindowClass, NamesCompareWithoutCase) {
    WNDCLASSA record = Record("MixedCaseClassTest");
    ASSERT_NE(RegisterClassA(&record), 0);
    WNDCLASSA other = Record("MIXEDCASECLASSTEST");
    SetLastError(0);
    EXPECT_EQ(RegisterClassA(&other), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
}

TEST(WindowClass, DifferentNamesGetDifferentAtoms) {
    WNDCLASSA first = Record("AtomClassOneTest");
    WNDCLASSA second = Record("AtomClassTwoTest");
    ATOM a = RegisterClassA(&first);
    ATOM b = RegisterClassA(&second);
    EXPECT_NE(a, 0);
    EXPECT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_GE(a, 0xC000);  // class atoms live in the string-atom range
}

}  // namespace
