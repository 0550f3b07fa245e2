#ifndef NEK_NWIDEPATH_H
#define NEK_NWIDEPATH_H

#include <string>
#include <vector>

#include "NString.h"

// NWidePath: file names as UTF-16 for the command-line programs, so that
// every name Windows allows works, also beyond MAX_PATH characters and with
// characters the ANSI code page cannot hold.
class NWidePath {
public:
    enum Kind { missing, file, folder };

    NWidePath();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NWidePath();

    // The form for file-system calls: the full path behind "\\?\" ("\\?\UNC\"
    // for network paths), which lifts the MAX_PATH limit.
    static std::wstring systemForm(const std::wstring& path);
    static Kind kind(const std::wstring& path);
    // Equal for two paths exactly when they name one file: for an existing
    // file its volume and file number (so case, short names and links do not
    // matter), for any other path its full path in upper case.
    static std::wstring identity(const std::wstring& path);

    // True when the path holds '*' or '?' (not counting a "\\?\" prefix).
    static bool isPattern(const std::wstring& path);
    // The files (not folders) whose names match the pattern's name part,
    // sorted by name, each as the pattern's folder part plus the name. A
    // pattern in a folder part takes every matching folder, sorted by name.
    static std::vector<std::wstring> expand(const std::wstring& pattern);
    // Case-insensitive match of a name against '*' and '?'.
    static bool matches(const std::wstring& name, const std::wstring& pattern);

    // Up to and including the last separator (or drive colon); empty without one.
    static std::wstring folderPart(const std::wstring& path);
    static std::wstring fileName(const std::wstring& path);
    // The file name without its last extension.
    static std::wstring fileTitle(const std::wstring& path);

    // Converts to the ANSI code page; false (and no result) when a character
    // has no exact byte sequence there.
    static bool toAnsi(const std::wstring& text, NString& result);

    // The whole file, read through its wide path; false when it cannot be
    // opened or read, is longer than `limit` bytes or does not fit in memory.
    static bool readWholeFile(const std::wstring& path, unsigned long long limit, std::vector<unsigned char>& bytes);

private:
    // The names of the files (or folders) in `folder` that match `namePattern`, sorted.
    static std::vector<std::wstring> matchingNames(const std::wstring& folder, const std::wstring& namePattern,
                                                   bool folders);
};

#endif
