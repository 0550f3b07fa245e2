#include "NFileSystem.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "NError.h"
#include "NSystem.h"

namespace {

// A copy of text with room for a second terminating zero, as the shell's
// file operations and CreateProcess (which writes into its command line)
// want it.
std::vector<char> writableCopy(const NString& text, int extraZeros = 1)
{
    std::vector<char> copy(static_cast<size_t>(text.getLength()) + 1 + extraZeros, 0);
    memcpy(copy.data(), text.getBuffer(), static_cast<size_t>(text.getLength()));
    return copy;
}

// Calls a system function that fills a path buffer and returns the length
// it wrote, or the size it needs when the buffer is too small. A path
// longer than the usual 260 characters is read whole instead of cut.
template <typename Call>
NString readPath(Call call)
{
    std::vector<char> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD length = call(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return NString();
        if (length < buffer.size())
            return NString(buffer.data(), static_cast<int>(length));
        buffer.resize(static_cast<size_t>(length) + 1);
    }
    return NString();
}

struct PathParts {
    NString drive;
    NString folder;
    NString name;
    NString extension;
};

PathParts splitPath(const NString& path)
{
    // Every part is at most as long as the whole path, so nothing is cut.
    const size_t size = static_cast<size_t>(path.getLength()) + 4;
    std::vector<char> drive(size, 0), folder(size, 0), name(size, 0), extension(size, 0);
    PathParts parts;
    if (_splitpath_s(path, drive.data(), size, folder.data(), size, name.data(), size,
                     extension.data(), size) == 0) {
        parts.drive = drive.data();
        parts.folder = folder.data();
        parts.name = name.data();
        parts.extension = extension.data();
    }
    return parts;
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The folder that contains path; empty when there is none to create.
NString parentFolder(const NString& path)
{
    int end = path.getLength();
    while (end > 0 && isSeparator(path.getAt(end - 1)))
        --end;
    while (end > 0 && !isSeparator(path.getAt(end - 1)))
        --end;
    while (end > 0 && isSeparator(path.getAt(end - 1)))
        --end;
    return path.left(end);
}

// CreateDirectoryA refuses longer folder paths (room is kept for an 8.3
// name); checking first keeps makeDir from creating parents of a folder
// that can never exist.
const int maxFolderPathLength = MAX_PATH - 12 - 1;

bool isTooLongForFolder(const NString& path)
{
    return path.getLength() > maxFolderPathLength && !path.startsWith("\\\\?\\");
}

void showFailure(const NString& text, unsigned int errorCode)
{
    globalError.messageBox(text, errorCode, "Fehler !", MB_ICONERROR);
}

// Waits for the process, dispatching the calling thread's messages so its
// windows keep working. False when the time ran out first.
bool waitForProcess(HANDLE process, ULONGLONG start, int timeoutSeconds)
{
    const ULONGLONG limit =
        timeoutSeconds > 0 ? static_cast<ULONGLONG>(timeoutSeconds) * 1000u : 0u;
    bool quitSeen = false;
    WPARAM quitCode = 0;
    bool ended = false;
    for (;;) {
        // The handle, not the exit code, tells whether it ended: a program
        // may well exit with the code 259 that means "still active".
        if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT) {
            ended = true;
            break;
        }
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed > limit)
            break;
        MSG msg;
        if (!quitSeen && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Kept for the caller's loop, which must still see it.
                quitSeen = true;
                quitCode = msg.wParam;
            } else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            continue;
        }
        const ULONGLONG left = limit - elapsed + 1;
        const DWORD slice = static_cast<DWORD>(left < 100 ? left : 100);
        if (quitSeen)
            WaitForSingleObject(process, slice);
        else
            MsgWaitForMultipleObjects(1, &process, FALSE, slice, QS_ALLINPUT);
    }
    if (quitSeen)
        PostQuitMessage(static_cast<int>(quitCode));
    return ended;
}

}  // namespace

NFileSystem::NFileSystem() {}
NFileSystem::~NFileSystem() {}

const char* NFileSystem::getName() const { return getClassName(); }
const char* NFileSystem::getClassName() const { return "NFileSystem"; }

// --- folders and files ---------------------------------------------------------

bool NFileSystem::makeDir(const NString& path, bool silent)
{
    DWORD errorCode = 0;
    if (isTooLongForFolder(path)) {
        errorCode = ERROR_FILENAME_EXCED_RANGE;
    } else if (!CreateDirectoryA(path, nullptr)) {
        errorCode = GetLastError();
        if (errorCode == ERROR_PATH_NOT_FOUND) {
            NString parent = parentFolder(path);
            if (!parent.isEmpty()) {
                makeDir(parent, true);
                errorCode = CreateDirectoryA(path, nullptr) ? 0 : GetLastError();
            }
        }
    }
    if (errorCode == 0)
        return true;
    if (!silent)
        globalError.messageBox(NString("Fehler beim Anlegen des Verzeichnisses:\r\n") + path +
                                   "\r\n" + NSystem::getErrorText(errorCode),
                               0, "Fehler", MB_ICONERROR);
    return false;
}

bool NFileSystem::copyFile(const NString& source, const NString& target, bool overwrite,
                           bool silent)
{
    if (CopyFileA(source, target, overwrite ? FALSE : TRUE))
        return true;
    const DWORD errorCode = GetLastError();
    if (!silent)
        showFailure(NString("Fehler beim Kopieren der Datei:\r\n") + source + "\r\nnach\r\n" +
                        target,
                    errorCode);
    return false;
}

bool NFileSystem::deleteFile(const NString& path, bool silent)
{
    if (DeleteFileA(path))
        return true;
    const DWORD errorCode = GetLastError();
    if (!silent)
        showFailure(NString("Fehler beim L\xF6schen der Datei:\r\n") + path, errorCode);
    return false;
}

bool NFileSystem::renameFile(const NString& oldPath, const NString& newPath, bool silent)
{
    if (MoveFileA(oldPath, newPath))
        return true;
    const DWORD errorCode = GetLastError();
    if (!silent)
        showFailure(NString("Fehler beim Umbenennen der Datei:\r\n") + oldPath + "\r\nnach\r\n" +
                        newPath,
                    errorCode);
    return false;
}

bool NFileSystem::deleteFiles(const NString& pattern, unsigned short flags)
{
    // An empty list would leave it to the shell what to delete.
    if (pattern.isEmpty())
        return false;
    std::vector<char> from = writableCopy(pattern, 1);
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = GetActiveWindow();
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags = flags;
    const int result = SHFileOperationA(&operation);
    return result == 0 && !operation.fAnyOperationsAborted;
}

// --- programs and the shell ------------------------------------------------------

bool NFileSystem::run(const NString& program, const NString& arguments, const NString& folder,
                      unsigned short show, NString* error, int timeoutSeconds)
{
    const NString workingFolder = folder.isEmpty() ? getCurrentDirectory() : folder;
    const ULONGLONG start = GetTickCount64();
    if (error)
        *error = "";
    const NString commandLine = program + " " + arguments;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USECOUNTCHARS;
    startup.dwXCountChars = 80;
    startup.dwYCountChars = 25;
    startup.wShowWindow = show;
    PROCESS_INFORMATION process = {};
    std::vector<char> line = writableCopy(commandLine, 0);

    bool ok = false;
    DWORD errorCode = 0;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.getBufferOrNull(), &startup, &process)) {
        errorCode = GetLastError();
    } else {
        ok = waitForProcess(process.hProcess, start, timeoutSeconds);
        if (!ok) {
            errorCode = ERROR_TIMEOUT;
            if (error)
                *error = NString("TimeOut-Fehler bei der Ausf\xFChrung von \r\n") + commandLine;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (ok)
        return true;
    const NString systemText = NSystem::getErrorText(errorCode);
    if (!error)
        showFailure(NString("Fehler bei NFileSystem:run(..)\r\n") + systemText + "\r\n" +
                        commandLine,
                    0);
    else if (error->isEmpty())
        *error = systemText;
    return false;
}

bool NFileSystem::open(const NString& file, const NString& parameters, const NString& folder,
                       unsigned short show, NString* error)
{
    SetLastError(0);
    HINSTANCE instance = ShellExecuteA(GetActiveWindow(), "open", file,
                                       parameters.getBufferOrNull(), folder.getBufferOrNull(),
                                       show);
    DWORD errorCode = GetLastError();
    const INT_PTR result = reinterpret_cast<INT_PTR>(instance);
    if (result > 32)
        return true;
    // The shell's own result codes below 32 mostly are system error codes.
    if (errorCode == 0)
        errorCode = static_cast<DWORD>(result);
    const NString systemText = NSystem::getErrorText(errorCode);
    if (!error)
        showFailure(NString("Fehler bei NFileSystem:run(..)\r\n") + systemText + "\r\n" + file +
                        " " + parameters,
                    0);
    else if (error->isEmpty())
        *error = systemText;
    return false;
}

NString NFileSystem::getFileVersion(const NString& path, NString* error)
{
    if (path.isEmpty())
        return NString();
    NString result;
    NString failure;
    DWORD errorCode = 0;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) {
        errorCode = GetLastError();
        failure = "[[MEMBBER]]: Fehler bei GetFileVersionInfoSize\r\n";
    } else {
        std::vector<char> data(size);
        if (!GetFileVersionInfoA(path, 0, size, data.data())) {
            errorCode = GetLastError();
            failure = "[[MEMBBER]]: Fehler bei GetFileVersionInfo\r\n";
        } else {
            void* value = nullptr;
            UINT length = 0;
            SetLastError(0);
            if (!VerQueryValueA(data.data(), "\\", &value, &length) || !value ||
                length < sizeof(VS_FIXEDFILEINFO)) {
                errorCode = GetLastError();
                if (errorCode == 0)
                    errorCode = ERROR_RESOURCE_TYPE_NOT_FOUND;
                failure = "[[MEMBBER]]: Fehler bei VerQueryValue\r\n";
            } else {
                const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(value);
                result.format("%d.%d.%d.%d", static_cast<int>(HIWORD(info->dwFileVersionMS)),
                              static_cast<int>(LOWORD(info->dwFileVersionMS)),
                              static_cast<int>(HIWORD(info->dwFileVersionLS)),
                              static_cast<int>(LOWORD(info->dwFileVersionLS)));
            }
        }
    }
    if (failure.isEmpty())
        return result;
    failure += NSystem::getErrorText(errorCode);
    if (error)
        *error = failure;
    else
        showFailure(failure, 0);
    return NString();
}

bool NFileSystem::createShortcut(const NString& linkPath, const NString& target,
                                 const NString& description, const NString& workingFolder,
                                 const NString& iconPath, int iconIndex)
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool ok = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IShellLinkA, reinterpret_cast<void**>(&link)))) {
        ok = SUCCEEDED(link->SetPath(target));
        if (ok && !description.isEmpty())
            ok = SUCCEEDED(link->SetDescription(description));
        if (ok && !workingFolder.isEmpty())
            ok = SUCCEEDED(link->SetWorkingDirectory(workingFolder));
        if (ok && !iconPath.isEmpty())
            ok = SUCCEEDED(link->SetIconLocation(iconPath, iconIndex));
        IPersistFile* file = nullptr;
        if (ok)
            ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
        if (ok) {
            const int count = MultiByteToWideChar(CP_ACP, 0, linkPath, -1, nullptr, 0);
            std::vector<wchar_t> widePath(count > 0 ? static_cast<size_t>(count) : 1, 0);
            ok = count > 0 &&
                 MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath.data(), count) > 0 &&
                 SUCCEEDED(file->Save(widePath.data(), TRUE));
        }
        if (file)
            file->Release();
        link->Release();
    }
    // Only a call that initialised COM here may take it down again.
    if (SUCCEEDED(init))
        CoUninitialize();
    return ok;
}

// --- paths ----------------------------------------------------------------------

NString NFileSystem::getPath(const NString& path)
{
    PathParts parts = splitPath(path);
    NString result = parts.drive + parts.folder;
    const int length = result.getLength();
    if (length > 0 && isSeparator(result.getAt(length - 1)))
        result.remove(length - 1, 1);
    return result;
}

NString NFileSystem::getFileName(const NString& path)
{
    PathParts parts = splitPath(path);
    return parts.name + parts.extension;
}

NString NFileSystem::getFileTitle(const NString& path) { return splitPath(path).name; }

NString NFileSystem::getExtension(const NString& path)
{
    NString extension = splitPath(path).extension;
    extension.trim();
    extension.makeLower();
    if (extension.startsWith("."))
        extension.remove(0, 1);
    return extension;
}

NString NFileSystem::getTempPath()
{
    NString result = readPath([](DWORD size, char* buffer) { return GetTempPathA(size, buffer); });
    result.trim();
    return result;
}

NString NFileSystem::getFullPath(const NString& path)
{
    if (path.isEmpty())
        return NString();
    NString result = readPath([&path](DWORD size, char* buffer) {
        return GetFullPathNameA(path, size, buffer, nullptr);
    });
    result.trim();
    return result;
}

NString NFileSystem::getTempFileName(const NString& prefix, unsigned int unique)
{
    const NString folder = getTempPath();
    if (folder.isEmpty())
        return NString();
    char name[MAX_PATH + 1] = {};
    if (GetTempFileNameA(folder, prefix, unique, name) == 0)
        return NString();
    NString result(name);
    result.trim();
    return result;
}

NString NFileSystem::getCurrentDirectory()
{
    return readPath([](DWORD size, char* buffer) { return GetCurrentDirectoryA(size, buffer); });
}

bool NFileSystem::setCurrentDirectory(const NString& path)
{
    return SetCurrentDirectoryA(path) != FALSE;
}

NString NFileSystem::getRelativePath(const NString& path, const NString& baseFolder)
{
    NString comparedPath(path);
    NString comparedBase(baseFolder);
    comparedPath.makeUpper();
    comparedBase.makeUpper();
    comparedPath.replaceChars("\\", '/');
    comparedBase.replaceChars("\\", '/');
    if (!comparedBase.endsWith("/"))
        comparedBase += "/";
    if (!comparedPath.startsWith(comparedBase))
        return path;
    return path.mid(comparedBase.getLength());
}
