#ifndef NEK_NCONSOLE_H
#define NEK_NCONSOLE_H

#include <cstddef>
#include <string>

// NConsole: what a command-line program writes to standard output or
// standard error. Text is UTF-16: a console gets it as it is, so every
// character shows whatever code page the console uses; redirected into a
// file or a pipe it is written as UTF-8. Nothing is buffered.
class NConsole {
public:
    enum Stream { standardOutput, standardError };

    explicit NConsole(Stream stream);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NConsole();

    bool isConsole() const { return console; }
    // False when not everything could be written.
    bool write(const std::wstring& text);
    // 8-bit text in the ANSI code page (a generated file's content): shown
    // converted on a console, written byte for byte everywhere else.
    bool writeAnsi(const char* bytes, size_t count);

    // ANSI text (file names from archives, lines from other programs) as UTF-16.
    static std::wstring fromAnsi(const char* bytes, size_t count);
    static std::wstring fromAnsi(const char* text);

private:
    bool writeBytes(const char* bytes, size_t count);

    void* handle;
    bool console;
};

#endif
