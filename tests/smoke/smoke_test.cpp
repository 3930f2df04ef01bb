#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
TEST(Smoke, Window) {
    HWND h = CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
    ASSERT_NE(h, nullptr);
    DestroyWindow(h);
}
#endif
TEST(Smoke, Math) { EXPECT_EQ(2 + 2, 4); }
