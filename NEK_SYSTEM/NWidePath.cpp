#include "NWidePath.h"

#include <windows.h>

#include <algorithm>
#include <new>

namespace {

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

size_t nameStart(const std::wstring& path)
{
    const size_t cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? 0 : cut + 1;
}

// The first '*' or '?' of a pattern, behind a "\\?\" or "\\.\" prefix.
size_t wildcardAt(const std::wstring& path)
{
    const bool prefixed = path.size() >= 4 && isSeparator(path[0]) && isSeparator(path[1]) &&
                          (path[2] == L'?' || path[2] == L'.') && isSeparator(path[3]);
    return path.find_first_of(L"*?", prefixed ? 4 : 0);
}

std::wstring fullPath(const std::wstring& path)
{
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    }
    if (length == 0 || length >= full.size())
        return path;
    full.resize(length);
    return full;
}

bool equalIgnoringCase(const wchar_t* a, const wchar_t* b, int length)
{
    return CompareStringOrdinal(a, length, b, length, TRUE) == CSTR_EQUAL;
}

// Volume and file index of an existing file or folder.
bool fileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info)
{
    HANDLE h = CreateFileW(NWidePath::systemForm(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    return ok;
}

}  // namespace

NWidePath::NWidePath() {}
const char* NWidePath::getName() const { return getClassName(); }
const char* NWidePath::getClassName() const { return "NWidePath"; }
NWidePath::~NWidePath() {}

std::wstring NWidePath::systemForm(const std::wstring& path)
{
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    const std::wstring full = fullPath(path);
    if (full.size() >= 2 && isSeparator(full[0]) && isSeparator(full[1])) {
        // "\\.\device" stays as it is; "\\server\share" becomes "\\?\UNC\server\share".
        if (full.size() >= 3 && (full[2] == L'.' || full[2] == L'?'))
            return full;
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

NWidePath::Kind NWidePath::kind(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(systemForm(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? folder : file;
}

std::wstring NWidePath::identity(const std::wstring& path)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (fileIdentity(path, info)) {
        const unsigned long long index =
            static_cast<unsigned long long>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
        return L"file:" + std::to_wstring(info.dwVolumeSerialNumber) + L":" + std::to_wstring(index);
    }
    std::wstring full = systemForm(path);
    CharUpperBuffW(&full[0], static_cast<DWORD>(full.size()));
    return L"path:" + full;
}

bool NWidePath::isPattern(const std::wstring& path) { return wildcardAt(path) != std::wstring::npos; }

bool NWidePath::matches(const std::wstring& name, const std::wstring& pattern)
{
    // Greedy match with one point to return to after the last '*'.
    size_t n = 0, p = 0, starAt = std::wstring::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == L'?' || equalIgnoringCase(&name[n], &pattern[p], 1))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::wstring::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

std::vector<std::wstring> NWidePath::expand(const std::wstring& pattern)
{
    const size_t wildcard = wildcardAt(pattern);
    if (wildcard != std::wstring::npos && wildcard < nameStart(pattern)) {
        // A pattern in a folder part: every matching folder, sorted, each
        // with the rest of the pattern.
        const size_t partStart = pattern.find_last_of(L"\\/:", wildcard) + 1;  // npos + 1 == 0
        const size_t partEnd = pattern.find_first_of(L"\\/", wildcard);
        const std::wstring parent = pattern.substr(0, partStart), rest = pattern.substr(partEnd);
        std::vector<std::wstring> paths;
        for (const std::wstring& folder : matchingNames(parent, pattern.substr(partStart, partEnd - partStart), true)) {
            const std::vector<std::wstring> found = expand(parent + folder + rest);
            paths.insert(paths.end(), found.begin(), found.end());
        }
        return paths;
    }
    if (wildcard == std::wstring::npos)
        return kind(pattern) == file ? std::vector<std::wstring>{pattern} : std::vector<std::wstring>();
    std::vector<std::wstring> paths = matchingNames(folderPart(pattern), fileName(pattern), false);
    const std::wstring folder = folderPart(pattern);
    for (std::wstring& name : paths)
        name = folder + name;
    return paths;
}

std::vector<std::wstring> NWidePath::matchingNames(const std::wstring& folder, const std::wstring& namePattern,
                                                   bool folders)
{
    const std::wstring pattern = folder + namePattern;
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileExW(systemForm(pattern).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                nullptr, 0);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        // The search also matches short 8.3 names ("*.htm" finds "page.html"):
        // only the real name counts.
        const std::wstring name = found.cFileName;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder == folders && name != L"." && name != L".." && matches(name, namePattern))
            names.push_back(name);
    } while (FindNextFileW(h, &found));
    FindClose(h);
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                    TRUE) == CSTR_LESS_THAN;
    });
    return names;
}

std::wstring NWidePath::folderPart(const std::wstring& path) { return path.substr(0, nameStart(path)); }

std::wstring NWidePath::fileName(const std::wstring& path) { return path.substr(nameStart(path)); }

std::wstring NWidePath::fileTitle(const std::wstring& path)
{
    const std::wstring name = fileName(path);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

bool NWidePath::toAnsi(const std::wstring& text, NString& result)
{
    if (text.empty()) {
        result = "";
        return true;
    }
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return false;
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), &bytes[0],
                        length, nullptr, &usedDefault);
    // The way back must give the same characters (no silent substitutes).
    std::wstring back(text.size() + 1, L'\0');
    const int backLength =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, &back[0], static_cast<int>(back.size()));
    if (usedDefault || backLength != static_cast<int>(text.size()) || back.compare(0, text.size(), text) != 0)
        return false;
    result.set(bytes.data(), length);
    return true;
}

bool NWidePath::readWholeFile(const std::wstring& path, unsigned long long limit, std::vector<unsigned char>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) && static_cast<unsigned long long>(size.QuadPart) <= limit;
    try {
        if (ok)
            bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    // ReadFile takes 32-bit lengths: big files come in pieces.
    size_t done = 0;
    while (ok && done < bytes.size()) {
        DWORD got = 0;
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        ok = ReadFile(file, &bytes[done], piece, &got, nullptr) && got > 0;
        done += got;
    }
    CloseHandle(file);
    return ok;
}
