#include "NConsole.h"

#include <windows.h>

#include <cstring>

namespace {

// Pieces small enough for every console and for the 32-bit sizes of the calls.
const size_t consolePiece = 16384;
const size_t filePiece = 1 << 30;

}  // namespace

NConsole::NConsole(Stream stream)
    : handle(GetStdHandle(stream == standardOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE)),
      console(false)
{
    DWORD mode = 0;
    console = handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

const char* NConsole::getName() const { return getClassName(); }
const char* NConsole::getClassName() const { return "NConsole"; }
NConsole::~NConsole() {}

bool NConsole::write(const std::wstring& text)
{
    if (console) {
        size_t done = 0;
        while (done < text.size()) {
            size_t count = std::min(consolePiece, text.size() - done);
            // A surrogate pair stays in one piece.
            if (count < text.size() - done && IS_HIGH_SURROGATE(text[done + count - 1]))
                --count;
            DWORD written = 0;
            if (!WriteConsoleW(handle, text.data() + done, static_cast<DWORD>(count), &written, nullptr) ||
                written == 0)
                return false;
            done += written;
        }
        return true;
    }
    if (text.empty())
        return true;
    std::string utf8;
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                           0, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], length, nullptr,
                        nullptr);
    return writeBytes(utf8.data(), utf8.size());
}

bool NConsole::writeAnsi(const char* bytes, size_t count)
{
    if (!console)
        return writeBytes(bytes, count);
    // Converted piece by piece: a whole generated text can be large.
    for (size_t done = 0; done < count; done += consolePiece)
        if (!write(fromAnsi(bytes + done, std::min(consolePiece, count - done))))
            return false;
    return true;
}

bool NConsole::writeBytes(const char* bytes, size_t count)
{
    size_t done = 0;
    while (done < count) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(std::min(filePiece, count - done));
        if (!WriteFile(handle, bytes + done, piece, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

std::wstring NConsole::fromAnsi(const char* bytes, size_t count)
{
    std::wstring text;
    if (count == 0)
        return text;
    // One ANSI byte never gives more than one UTF-16 unit, except in the
    // double-byte code pages, where two bytes give one.
    text.resize(count);
    const int length =
        MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(count), &text[0], static_cast<int>(count));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

std::wstring NConsole::fromAnsi(const char* text) { return fromAnsi(text, text ? strlen(text) : 0); }
