// Child program for the clipboard tests: nek_clipdump text|html
// Writes the clipboard's CF_TEXT or "HTML Format" block to stdout as it is,
// up to and including its first zero byte. Exit code 0 when the format was
// there, 1 when not, 2 when the clipboard could not be opened.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    const bool html = argc > 1 && std::strcmp(argv[1], "html") == 0;
    const UINT format = html ? RegisterClipboardFormatA("HTML Format") : CF_TEXT;
    if (!OpenClipboard(nullptr))
        return 2;
    HANDLE data = GetClipboardData(format);
    const char* bytes = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (bytes) {
        const SIZE_T size = GlobalSize(data);
        const void* zero = std::memchr(bytes, 0, size);
        fwrite(bytes, 1, zero ? SIZE_T(static_cast<const char*>(zero) - bytes + 1) : size, stdout);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes ? 0 : 1;
}
