#include "NFile.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <io.h>

#include "NError.h"
#include "NFileSystem.h"
#include "NMem.h"
#include "NSystem.h"

namespace {

const char* const openTitle = "Fehler NFile::open(..)";
const char* const writePrefix = "Fehler beim Schreiben: ";
const char* const readClosedText =
    "Fehler beim lesen der Datei.\r\nDie Datei wurde noch nicht ge\xF6" "ffnet.";

// Stale codes from earlier calls must not be blamed for a runtime failure.
void resetErrors()
{
    SetLastError(0);
    _doserrno = 0;
    errno = 0;
}

// The Windows code behind a failed runtime call: the system's own code when
// the runtime got that far, else one that matches the runtime's errno.
unsigned int failureCode()
{
    const DWORD code = GetLastError();
    if (code != 0)
        return code;
    if (_doserrno != 0)
        return static_cast<unsigned int>(_doserrno);
    switch (errno) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case EACCES: return ERROR_ACCESS_DENIED;
    case EMFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC: return ERROR_DISK_FULL;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_INVALID_PARAMETER;
    }
}

NString errorText(unsigned int code)
{
    return NSystem::getErrorText(code);
}

// The runtime aborts on mode strings it does not understand, so they are
// checked first: r, w or a, then each modifier at most once.
bool isValidMode(const char* mode)
{
    if (!mode || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a'))
        return false;
    const char* const allowed = "+btcnSRTD";
    int seen[9] = {};
    for (const char* p = mode + 1; *p; ++p) {
        const char* at = strchr(allowed, *p);
        if (!at)
            return false;
        if (++seen[at - allowed] > 1)
            return false;
    }
    const bool textAndBinary = seen[1] && seen[2];
    const bool commitAndNot = seen[3] && seen[4];
    const bool sequentialAndRandom = seen[5] && seen[6];
    return !textAndBinary && !commitAndNot && !sequentialAndRandom;
}

// A name with an embedded zero would open a different, shorter path.
bool hasEmbeddedZero(const NString& text)
{
    return strlen(text.getBuffer()) != static_cast<size_t>(text.getLength());
}

// Copies bytes into a string exactly. The copy needs a second block of the
// same size; when the heap cannot give it, ok is cleared instead of the
// string's own allocation failing fatally.
NString bytesToString(char* bytes, int count, bool& ok)
{
    ok = true;
    if (count <= 0)
        return NString();
    void* probe = HeapAlloc(GetProcessHeap(), 0, (static_cast<SIZE_T>(count) | 127) + 1);
    if (!probe) {
        ok = false;
        return NString();
    }
    HeapFree(GetProcessHeap(), 0, probe);
    return NString(bytes, count);
}

long long measureSize(FILE* stream)
{
    const long long here = _ftelli64(stream);
    if (here < 0 || _fseeki64(stream, 0, SEEK_END) != 0)
        return -1;
    const long long end = _ftelli64(stream);
    if (_fseeki64(stream, here, SEEK_SET) != 0)
        return -1;
    return end;
}

}  // namespace

NFile::NFile() : stream(nullptr), direction(none) {}

const char* NFile::getName() const { return getClassName(); }

const char* NFile::getClassName() const { return "NFile"; }

NFile::~NFile() { close(); }

void NFile::failOpen(const NString& name, unsigned int errorCode, bool silent)
{
    lastError = NString("Fehler beim \xF6" "ffnen der Datei '") + name + "'\r\n" +
                errorText(errorCode);
    if (!silent)
        globalError.messageBox(lastError, 0, openTitle, MB_ICONERROR);
}

bool NFile::open(const NString& name, const char* mode, bool silent)
{
    close();
    lastError = "";
    if (name.isEmpty()) {
        lastError = "Fehler beim \xF6" "ffnen der Datei, es wurde kein Dateiname \xFC" "bergeben.";
        if (!silent)
            globalError.messageBox(lastError, 0, openTitle, MB_ICONERROR);
        return false;
    }
    NString fullMode(mode ? mode : "");
    if (fullMode.findChar('t') < 0 && fullMode.findChar('b') < 0)
        fullMode += "b";
    if (!isValidMode(fullMode)) {
        failOpen(name, ERROR_INVALID_PARAMETER, silent);
        return false;
    }
    if (hasEmbeddedZero(name)) {
        failOpen(name, ERROR_INVALID_NAME, silent);
        return false;
    }
    resetErrors();
    stream = fopen(name, fullMode);
    if (!stream) {
        failOpen(name, failureCode(), silent);
        return false;
    }
    direction = none;
    fullPath = NFileSystem::getFullPath(name);
    return true;
}

bool NFile::create(const NString& name, bool silent)
{
    return open(name, "w+b", silent);
}

bool NFile::createTemp(const NString& prefix, const NString& folder)
{
    close();
    lastError = "";
    const NString where = folder.isEmpty() ? NFileSystem::getTempPath() : folder;
    // The system writes the name into a MAX_PATH buffer and refuses longer
    // folders; check first so nothing is cut.
    char name[MAX_PATH + 1] = {};
    unsigned int code = 0;
    if (where.isEmpty() || hasEmbeddedZero(where) || hasEmbeddedZero(prefix)) {
        code = ERROR_INVALID_NAME;
    } else if (where.getLength() > MAX_PATH - 14) {
        code = ERROR_FILENAME_EXCED_RANGE;
    } else {
        SetLastError(0);
        if (GetTempFileNameA(where, prefix, 0, name) == 0)
            code = GetLastError() ? GetLastError() : ERROR_INVALID_NAME;
    }
    if (code != 0) {
        lastError = NString("Fehler beim Anlegen einer tempor\xE4ren Datei in '") + where + "'\r\n" +
                    errorText(code);
        return false;
    }
    if (!open(name, "w+b", true)) {
        DeleteFileA(name);
        return false;
    }
    return true;
}

bool NFile::reopenEmpty()
{
    if (!stream) {
        lastError = errorText(ERROR_INVALID_HANDLE);
        return false;
    }
    const NString path = fullPath;
    return open(path, "w+");
}

void NFile::close()
{
    closeStream();
}

bool NFile::closeStream()
{
    fullPath = "";
    direction = none;
    if (!stream)
        return true;
    resetErrors();
    const int result = fclose(stream);
    stream = nullptr;
    if (result != 0) {
        setSystemError(writePrefix);
        return false;
    }
    return true;
}

void NFile::setSystemError(const char* prefix)
{
    lastError = NString(prefix) + errorText(failureCode());
}

bool NFile::requireOpen(const char* prefix)
{
    if (stream)
        return true;
    lastError = NString(prefix) + errorText(ERROR_INVALID_HANDLE);
    return false;
}

void NFile::switchTo(Direction wanted)
{
    if (direction != none && direction != wanted)
        _fseeki64(stream, 0, SEEK_CUR);
    direction = wanted;
}

int NFile::read(void* buffer, int count)
{
    if (!stream) {
        lastError = readClosedText;
        globalError.messageBox(lastError, 0, "Fehler NFile::read(..)", MB_ICONERROR);
        return 0;
    }
    if (!buffer || count <= 0)
        return 0;
    switchTo(reading);
    resetErrors();
    const size_t n = fread(buffer, 1, static_cast<size_t>(count), stream);
    // Some runtimes refuse a read on a write-only stream without flagging it.
    if (ferror(stream) || (n < static_cast<size_t>(count) && !feof(stream))) {
        setSystemError("");
        clearerr(stream);
        return 0;
    }
    return static_cast<int>(n);
}

NString NFile::readString(int count)
{
    if (!stream) {
        lastError = readClosedText;
        return NString();
    }
    resetErrors();
    const long long here = _ftelli64(stream);
    const long long end = measureSize(stream);
    direction = none;
    if (here < 0 || end < 0) {
        setSystemError("");
        return NString();
    }
    const long long available = end > here ? end - here : 0;
    const long long wanted = count < 0 ? available : (count < available ? count : available);
    if (wanted == 0)
        return NString();
    if (wanted > INT_MAX - 256) {
        lastError = errorText(ERROR_FILE_TOO_LARGE);
        return NString();
    }
    char* bytes = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(wanted)));
    if (!bytes) {
        lastError = errorText(ERROR_NOT_ENOUGH_MEMORY);
        return NString();
    }
    const int n = read(bytes, static_cast<int>(wanted));
    bool ok = true;
    NString result;
    if (n > 0) {
        result = bytesToString(bytes, n, ok);
        if (!ok)
            lastError = errorText(ERROR_NOT_ENOUGH_MEMORY);
    }
    HeapFree(GetProcessHeap(), 0, bytes);
    return result;
}

bool NFile::write(const void* buffer, int count)
{
    if (!requireOpen(writePrefix))
        return false;
    if (count < 0 || (!buffer && count > 0)) {
        lastError = NString(writePrefix) + errorText(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (count == 0)
        return true;
    switchTo(writing);
    resetErrors();
    const size_t n = fwrite(buffer, 1, static_cast<size_t>(count), stream);
    if (n != static_cast<size_t>(count) || ferror(stream)) {
        setSystemError(writePrefix);
        clearerr(stream);
        return false;
    }
    return true;
}

bool NFile::write(const NString& text)
{
    return write(text.getBuffer(), text.getLength());
}

bool NFile::seek(int position, int origin)
{
    if (!requireOpen(""))
        return false;
    if (origin < SEEK_SET || origin > SEEK_END) {
        lastError = errorText(ERROR_INVALID_PARAMETER);
        return false;
    }
    long long offset = position;
    if (origin == SEEK_END && offset > 0)
        offset = -offset;
    resetErrors();
    if (_fseeki64(stream, offset, origin) != 0) {
        // The runtime accepts a target before the start only to fail later.
        setSystemError("");
        return false;
    }
    direction = none;
    return true;
}

int NFile::tell()
{
    if (!requireOpen(""))
        return 0;
    resetErrors();
    const long long position = _ftelli64(stream);
    if (position < 0) {
        setSystemError("");
        return 0;
    }
    if (position > INT_MAX) {
        lastError = errorText(ERROR_FILE_TOO_LARGE);
        return 0;
    }
    return static_cast<int>(position);
}

int NFile::getSize()
{
    if (!stream) {
        globalError.messageBox("Fehler, NFile::getSize()\r\nDiese Funktion kann nur auf auf eine "
                               "ge\xF6" "ffnete Datei angewendet werden.",
                               0, "Fehler !", MB_ICONERROR);
        return 0;
    }
    resetErrors();
    const long long size = measureSize(stream);
    direction = none;
    if (size < 0) {
        setSystemError("");
        return 0;
    }
    if (size > INT_MAX) {
        lastError = errorText(ERROR_FILE_TOO_LARGE);
        return 0;
    }
    return static_cast<int>(size);
}

bool NFile::setLength(int position)
{
    if (!requireOpen(""))
        return false;
    if (position < 0) {
        lastError = errorText(ERROR_NEGATIVE_SEEK);
        return false;
    }
    resetErrors();
    // The seek flushes pending output and moves the system's file pointer.
    if (_fseeki64(stream, position, SEEK_SET) != 0) {
        setSystemError("");
        return false;
    }
    direction = none;
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (handle == INVALID_HANDLE_VALUE || !SetEndOfFile(handle)) {
        setSystemError("");
        return false;
    }
    return true;
}

void NFile::flushAll()
{
    fflush(nullptr);
}

NString NFile::readTextFile(const NString& path, NString* error)
{
    NFile file;
    NString text;
    if (file.open(path, "rb", error != nullptr)) {
        text = file.readString(-1);
        if (!file.lastError.isEmpty())
            text = "";
        file.close();
    }
    if (error)
        *error = file.lastError;
    return text;
}

bool NFile::writeTextFile(const NString& path, const NString& text, NString* error)
{
    return writeWhole(path, text.getBuffer(), text.getLength(), error);
}

bool NFile::readMem(const NString& path, NMem& memory, NString* error)
{
    NFile file;
    bool ok = file.open(path, "rb", error != nullptr);
    if (ok) {
        const int size = file.getSize();
        ok = file.lastError.isEmpty();
        if (ok && !memory.setSize(size)) {
            file.lastError = errorText(ERROR_NOT_ENOUGH_MEMORY);
            ok = false;
        }
        if (ok && size > 0) {
            // A file that shrank meanwhile yields what it still holds.
            const int n = file.read(memory.getPointer(), size);
            ok = file.lastError.isEmpty();
            if (ok)
                memory.setSize(n);
        }
        if (!ok)
            memory.setSize(0);
        file.close();
    }
    if (error)
        *error = file.lastError;
    return ok;
}

bool NFile::writeMem(const NString& path, const NMem& memory, NString* error)
{
    return writeWhole(path, memory.getPointer(), memory.getSize(), error);
}

// Writes into a new file beside the target and replaces the target only
// when everything was written, so a failure leaves the old file intact.
// Where no such file can be made (a folder one may not create files in, a
// name at the length limit) the target is written directly.
bool NFile::writeWhole(const NString& path, const void* bytes, int count, NString* error)
{
    const bool silent = error != nullptr;
    NFile file;
    const NString fullPath = hasEmbeddedZero(path) ? NString() : NFileSystem::getFullPath(path);
    const int cut = fullPath.findLastChar('\\');
    const NString folder = cut >= 0 ? fullPath.left(cut + 1) : NString();
    // Replacing would get past the protection that opening for writing
    // respects, so a read-only target is refused the same way.
    const DWORD attributes =
        fullPath.isEmpty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(fullPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        file.failOpen(path, ERROR_ACCESS_DENIED, silent);
        if (error)
            *error = file.lastError;
        return false;
    }
    char tempName[MAX_PATH + 1] = {};
    const bool haveTemp = !path.isEmpty() && !folder.isEmpty() &&
                          folder.getLength() <= MAX_PATH - 14 &&
                          GetTempFileNameA(folder, "nek", 0, tempName) != 0;
    const bool useTemp = haveTemp && file.open(tempName, "w+b", true);
    if (haveTemp && !useTemp)
        DeleteFileA(tempName);
    bool ok;
    if (!useTemp) {
        ok = file.open(path, "w+b", silent) && file.write(bytes, count);
        ok = file.closeStream() && ok;
    } else {
        ok = file.write(bytes, count);
        ok = file.closeStream() && ok;
        if (ok) {
            SetLastError(0);
            if (!MoveFileExA(tempName, fullPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                file.failOpen(path, GetLastError(), silent);
                ok = false;
            } else if (attributes != INVALID_FILE_ATTRIBUTES) {
                // The new file keeps what the old one was marked as (hidden, say).
                SetFileAttributesA(fullPath, attributes);
            }
        }
        if (!ok)
            DeleteFileA(tempName);
    }
    if (error)
        *error = file.lastError;
    return ok;
}
