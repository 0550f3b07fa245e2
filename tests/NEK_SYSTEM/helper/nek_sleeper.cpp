// Child program for the process tests: nek_sleeper <ms> [marker file]
// Writes its process id to the marker file, sleeps, then appends " done".
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const char* marker = argc > 2 ? argv[2] : nullptr;
    FILE* f = marker ? fopen(marker, "wb") : nullptr;
    if (f) {
        fprintf(f, "%lu", GetCurrentProcessId());
        fclose(f);
    }
    Sleep(argc > 1 ? static_cast<DWORD>(strtoul(argv[1], nullptr, 10)) : 0);
    if (marker && (f = fopen(marker, "ab")) != nullptr) {
        fputs(" done", f);
        fclose(f);
    }
    return 0;
}
