#include "NFileIni.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "NFile.h"
#include "NFileSystem.h"
#include "NSystem.h"

// Text searches, value and section edits, and the file itself. Entries,
// maps, name patterns, lists and imports are in NFileIniSections.cpp.

namespace {

const char maskPrefixPlain[] = "[nekContentMask-";
const char maskPrefixStored[] = "[nekContentMask+";
const int maskHeaderLength = 22;

bool isLineBlank(char c) { return c == ' ' || c == '\t'; }

// NString's own comparison stops at a zero byte; file texts may hold some.
bool sameBytes(const NString& a, const NString& b)
{
    return a.getLength() == b.getLength() &&
           memcmp(a.getBuffer(), b.getBuffer(), static_cast<size_t>(a.getLength())) == 0;
}

// --- file access ---------------------------------------------------------------
// The new text goes to a temporary file in the same folder, which replaces
// the old file only when it is completely written: a failing save never
// leaves a half-written file behind.

// NFile's open failure names the file; lastError holds the system's text alone.
NString openErrorText(const NFile& file, const NString& path)
{
    NString text = file.lastError;
    const NString prefix = NString("Fehler beim \xF6" "ffnen der Datei '") + path + NString("'\r\n");
    if (text.startsWith(prefix))
        text.remove(0, prefix.getLength());
    return text;
}

// create: a missing file is created empty.
bool readWholeFile(const NString& path, bool create, NString& content, NString& error)
{
    content = "";
    const bool createNew = create && GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
    NFile file;
    if (!file.open(path, createNew ? "w+b" : "rb", true)) {
        error = openErrorText(file, path);
        return false;
    }
    const int size = file.getSize();
    if (size > NFileIni::maxFileSize) {
        error = NString("Die Datei '") + path + NString("' ist zu gro\xDF.");
        return false;
    }
    content = file.readString(-1);
    if (content.isEmpty() && !file.lastError.isEmpty()) {
        error = file.lastError;
        return false;
    }
    return true;
}

bool createEmptyFile(const NString& path, NString& error)
{
    NFile file;
    if (!file.create(path, true)) {
        error = openErrorText(file, path);
        return false;
    }
    return true;
}

bool writeWholeFile(const NString& path, const NString& content, NString& error)
{
    const NString full = NFileSystem::getFullPath(path);
    // A file marked read-only is not replaced, as it could not be overwritten.
    const DWORD attributes = GetFileAttributesA(full);
    if (full.isEmpty() || (attributes != INVALID_FILE_ATTRIBUTES &&
                           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))) {
        error = NString("Fehler beim \xF6" "ffnen der Datei '") + path + NString("'\r\n") +
                NSystem::getErrorText(ERROR_ACCESS_DENIED);
        return false;
    }
    NFile file;
    if (!file.createTemp("nek", NFileSystem::getPath(full))) {
        error = file.lastError;
        return false;
    }
    const NString temp = file.getFileName();
    bool written = file.write(content);
    error = file.lastError;
    file.close();
    if (written && !file.lastError.isEmpty()) {  // the final flush failed
        written = false;
        error = file.lastError;
    }
    DWORD code = 0;
    if (written) {
        // On the disk before it replaces the old file.
        HANDLE handle = CreateFileA(temp, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle))
            code = GetLastError();
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    // The new file keeps the old one's hidden and system marks.
    if (written && code == 0 && attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(temp, attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                               FILE_ATTRIBUTE_ARCHIVE));
    if (written && code == 0 &&
        !MoveFileExA(temp, full, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        code = GetLastError();
    if (code != 0) {
        written = false;
        error = NString("Fehler beim Schreiben: ") + NSystem::getErrorText(code);
    }
    if (!written)
        DeleteFileA(temp);
    return written;
}

}  // namespace

// --- life cycle -------------------------------------------------------------------

NFileIni::NFileIni() : modified(false), readOnly(false) {}

const char* NFileIni::getName() const { return getClassName(); }

const char* NFileIni::getClassName() const { return "NFileIni"; }

NFileIni::~NFileIni()
{
    if (modified && lastError.isEmpty())
        save();
}

// --- file ---------------------------------------------------------------------------

bool NFileIni::open(const NString& newPath, bool create, bool newReadOnly)
{
    // Text that can never be written (no file, read-only) does not block
    // opening another file.
    if (modified && !path.isEmpty() && !readOnly && !save())
        return false;
    modified = false;
    readOnly = newReadOnly;
    lastError = "";
    path = newPath;
    text = "";

    NString content;
    if (path.isEmpty() || !readWholeFile(path, create, content, lastError)) {
        if (lastError.isEmpty())
            lastError = NSystem::getErrorText(ERROR_INVALID_NAME);
        path = "";
        return false;
    }
    text = content;
    if (text.startsWith(maskPrefixStored))
        applyContentMask('-');
    if (!text.endsWith("\r\n"))
        text += "\r\n";
    return true;
}

bool NFileIni::create(const NString& newPath)
{
    if (modified && lastError.isEmpty())
        save();
    modified = false;
    readOnly = false;
    lastError = "";
    text = "";
    path = newPath;
    if (path.isEmpty() || !createEmptyFile(path, lastError)) {
        if (lastError.isEmpty())
            lastError = NSystem::getErrorText(ERROR_INVALID_NAME);
        path = "";
        return false;
    }
    return true;
}

bool NFileIni::save()
{
    lastError = "";
    if (path.isEmpty() || readOnly)
        return false;
    const bool masked = text.startsWith(maskPrefixPlain);
    if (masked)
        applyContentMask('+');
    const bool written = writeWholeFile(path, text, lastError);
    if (written)
        modified = false;
    // The text in memory stays plain whatever the mask byte was.
    if (masked)
        applyContentMask('-');
    return written;
}

void NFileIni::close(bool saveFirst)
{
    if (saveFirst && modified)
        save();
    modified = false;
    path = "";
    text = "";
    readOnly = false;
}

int NFileIni::applyContentMask(char headerMark)
{
    // N: the decimal number at index 16. Digits are read only up to the end
    // of the header line, which stays unscrambled, so reading the stored
    // file yields the same N that wrote it.
    long long n = 0;
    bool negative = false;
    int i = 16;
    if (text.getAt(i) == '-' || text.getAt(i) == '+') {
        negative = text.getAt(i) == '-';
        ++i;
    }
    for (; i < maskHeaderLength && i < text.getLength() && text.getAt(i) >= '0' && text.getAt(i) <= '9'; ++i)
        n = n * 10 + (text.getAt(i) - '0');
    if (negative)
        n = -n;
    const int mask = static_cast<int>(static_cast<unsigned long long>(n - contentMaskBase) & 0xFF);
    if (mask != 0 && text.getLength() > maskHeaderLength) {
        std::string bytes(text.getBuffer(), static_cast<size_t>(text.getLength()));
        for (size_t k = maskHeaderLength; k < bytes.size(); ++k)
            bytes[k] = static_cast<char>(bytes[k] ^ mask);
        text = NString(bytes.data(), static_cast<int>(bytes.size()));
    }
    text.setAt(15, headerMark);
    return mask;
}

// --- searches -------------------------------------------------------------------------

bool NFileIni::findSection(const NString& name, int& headerStart, int& bodyStart,
                           int& end) const
{
    const NString header = NString("[") + name + NString("]");
    if (text.startsWith(header)) {
        headerStart = 0;
    } else {
        const int pos = text.find(NString("\r\n") + header);
        if (pos < 0)
            return false;
        headerStart = pos + 2;
    }
    int p = headerStart + header.getLength();
    while (p < text.getLength() && isLineBlank(text.getAt(p)))
        ++p;
    if (text.getAt(p) == '\r')
        ++p;
    if (text.getAt(p) == '\n')
        ++p;
    bodyStart = p;
    if (text.getAt(p) == '[') {
        end = p;
        return true;
    }
    const int next = text.find("\r\n[", p);
    end = next < 0 ? text.getLength() : next + 2;
    return true;
}

bool NFileIni::findKey(const NString& section, const NString& key, int& lineStart,
                       int& valueStart, int& valueEnd) const
{
    int headerStart, bodyStart, end;
    if (!findSection(section, headerStart, bodyStart, end))
        return false;
    const NString needle = NString("\r\n") + key + NString("=");
    const int from = bodyStart - 2 > headerStart ? bodyStart - 2 : headerStart;
    const int hit = text.find(needle, from);
    // A hit on the next header's line or behind it belongs to another section.
    if (hit < 0 || hit + 2 >= end)
        return false;
    lineStart = hit + 2;
    valueStart = hit + needle.getLength();
    const int cr = text.findChar('\r', valueStart);
    valueEnd = cr < 0 ? text.getLength() : cr;
    return true;
}

bool NFileIni::findBody(const NString& section, int& start, int& end) const
{
    int headerStart, bodyStart;
    if (!findSection(section, headerStart, bodyStart, end))
        return false;
    const int headerEnd = headerStart + section.getLength() + 2;
    int p = headerEnd;
    while (p < text.getLength() && isLineBlank(text.getAt(p)))
        ++p;
    while (p < text.getLength() && (text.getAt(p) == '\r' || text.getAt(p) == '\n'))
        ++p;
    start = p;
    // The skipped line breaks may have reached the next header.
    const int from = start - 2 > headerEnd ? start - 2 : headerEnd;
    const int next = text.find("\r\n[", from);
    end = next < 0 ? text.getLength() : next + 2;
    if (end < start)
        end = start;
    return true;
}

void NFileIni::replaceRange(int pos, int count, const NString& with)
{
    // Built from pieces with their lengths: the text may hold zero bytes.
    NString result = text.left(pos);
    result += with;
    result += text.mid(pos + count);
    text = result;
}

// --- values ------------------------------------------------------------------------------

NString NFileIni::getValue(const NString& section, const NString& key,
                           const NString& defaultValue) const
{
    int lineStart, valueStart, valueEnd;
    if (!findKey(section, key, lineStart, valueStart, valueEnd))
        return defaultValue;
    return text.mid(valueStart, valueEnd - valueStart);
}

int NFileIni::getValueInt(const NString& section, const NString& key, int defaultValue) const
{
    return getValue(section, key, NString::fromNumber(defaultValue)).toInt();
}

void NFileIni::setValue(const NString& section, const NString& key, const NString& value)
{
    modified = true;
    int lineStart, valueStart, valueEnd;
    if (findKey(section, key, lineStart, valueStart, valueEnd)) {
        if (!value.isEmpty()) {
            replaceRange(valueStart, valueEnd - valueStart, value);
            return;
        }
        const int lineBreak = text.find("\r\n", valueStart);
        const int lineEnd = lineBreak < 0 ? text.getLength() : lineBreak + 2;
        replaceRange(lineStart, lineEnd - lineStart, NString());
        return;
    }
    const NString line = key + NString("=") + value + NString("\r\n");
    int headerStart, bodyStart, end;
    if (findSection(section, headerStart, bodyStart, end)) {
        // Only a text that never passed open can lack its final line break.
        if (end == text.getLength() && !text.endsWith("\r\n"))
            replaceRange(end, 0, NString("\r\n") + line);
        else
            replaceRange(end, 0, line);
        return;
    }
    text += NString("\r\n[") + section + NString("]\r\n") + line;
}

void NFileIni::setValueInt(const NString& section, const NString& key, int value)
{
    setValue(section, key, NString::fromNumber(value));
}

// --- sections ----------------------------------------------------------------------------

bool NFileIni::renameSection(const NString& oldName, const NString& newName)
{
    int headerStart, bodyStart, end;
    if (!findSection(oldName, headerStart, bodyStart, end))
        return false;
    replaceRange(headerStart + 1, oldName.getLength(), newName);
    modified = true;
    return true;
}

NString NFileIni::getSectionText(const NString& section) const
{
    int start, end;
    if (!findBody(section, start, end) || end <= start)
        return NString();
    NString body = text.mid(start, end - start);
    if (!body.endsWith("\r\n"))
        body += "\r\n";
    return body;
}

bool NFileIni::setSectionText(const NString& section, const NString& body)
{
    NString newBody = body;
    if (!newBody.endsWith("\r\n"))
        newBody += "\r\n";
    int start, end;
    if (!findBody(section, start, end)) {
        text += NString("\r\n\r\n[") + section + NString("]\r\n") + newBody;
        modified = true;
        return false;
    }
    if (sameBytes(getSectionText(section), newBody))
        return true;
    // A header on the last line without a line break must not swallow the body.
    if (start == text.getLength() && !text.endsWith("\n"))
        newBody = NString("\r\n") + newBody;
    replaceRange(start, end - start, newBody);
    modified = true;
    return true;
}
