// Entry point of every test program: GDI+ runs for the whole test run, as it
// does for the whole run of the real programs.
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        fprintf(stderr, "GDI+ could not be started\n");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    Gdiplus::GdiplusShutdown(token);
    return result;
}
