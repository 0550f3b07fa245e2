#include "NSystem.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

NSystem::NSystem() {}
NSystem::~NSystem() {}

const char* NSystem::getName() const { return getClassName(); }
const char* NSystem::getClassName() const { return "NSystem"; }

NString NSystem::getErrorText(unsigned int errorCode)
{
    NString result;
    char* text = nullptr;
    // Inserts are left as they are: a message that expects arguments would
    // otherwise fail and look like an unknown code.
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, errorCode, 0, reinterpret_cast<char*>(&text), 0,
                                  nullptr);
    if (length > 0 && text)
        result.set(text, static_cast<int>(length));
    if (text)
        LocalFree(text);
    result.trim();
    if (result.isEmpty())
        result.format("Unbekannter Fehler %d.", static_cast<int>(errorCode));
    return result;
}

NString NSystem::getEnvironmentVariable(const NString& name)
{
    std::vector<char> buffer(2000);
    for (;;) {
        SetLastError(0);
        DWORD length = GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return NString();
        // A longer value reports the size it needs: read it whole rather than cut.
        if (length < buffer.size())
            return NString(buffer.data(), static_cast<int>(length));
        buffer.resize(length + 1);
    }
}

NString NSystem::getSpecialFolder(int folderId)
{
    char path[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, folderId, FALSE))
        return NString();
    return NString(path);
}
