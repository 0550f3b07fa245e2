#include "NFileFind.h"

#include <windows.h>

#include <cstring>

#include "NFileSystem.h"
#include "NStringList.h"

namespace {

bool endsWithSeparator(const NString& path)
{
    return path.endsWith("\\") || path.endsWith("/");
}

NString join(const NString& folder, const NString& name)
{
    if (folder.isEmpty())
        return name;
    if (endsWithSeparator(folder))
        return folder + name;
    return folder + "\\" + name;
}

// The absolute form of folder with a trailing backslash; an empty folder is
// the current one. The separator goes on before the lookup so that "C:"
// means the drive's root, not its current folder.
NString absoluteFolder(const NString& folder)
{
    NString result = NFileSystem::getFullPath(folder.isEmpty() ? NString(".\\") : join(folder, ""));
    if (result.isEmpty())
        return join(folder, "");
    if (!result.endsWith("\\"))
        result += "\\";
    return result;
}

bool isDotsName(const char* name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

}  // namespace

NFileFind::NFileFind() : handle(0), record() {}

const char* NFileFind::getName() const { return getClassName(); }

const char* NFileFind::getClassName() const { return "NFileFind"; }

NFileFind::~NFileFind() { close(); }

void NFileFind::close()
{
    if (handle != 0 && handle != -1)
        _findclose(handle);
    handle = 0;
}

bool NFileFind::findFirst(const NString& newPattern)
{
    close();
    pattern = newPattern;
    const int cut = pattern.findLastChar('\\') > pattern.findLastChar('/') ? pattern.findLastChar('\\')
                                                                          : pattern.findLastChar('/');
    // A pattern directly under the root keeps its separator as the folder.
    folder = cut > 0 ? pattern.left(cut) : cut == 0 ? pattern.left(1) : NString();
    memset(&record, 0, sizeof record);
    // A name with an embedded zero would search a different, shorter pattern.
    if (pattern.isEmpty() || strlen(pattern.getBuffer()) != static_cast<size_t>(pattern.getLength())) {
        handle = -1;
        return false;
    }
    handle = _findfirst64(pattern, &record);
    if (handle == -1)
        memset(&record, 0, sizeof record);
    return handle != -1;
}

bool NFileFind::findNext()
{
    if (handle == 0 || handle == -1)
        return false;
    return _findnext64(handle, &record) == 0;
}

NString NFileFind::getFileName() const { return NString(record.name); }

unsigned int NFileFind::getFileSize() const
{
    if (record.size < 0)
        return 0;
    return record.size > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<unsigned int>(record.size);
}

unsigned int NFileFind::getAttributes() const { return record.attrib; }

bool NFileFind::isDirectory() const { return (record.attrib & _A_SUBDIR) != 0; }

bool NFileFind::isDots() const { return isDotsName(record.name); }

NTime NFileFind::getWriteTime() const { return NTime(record.time_write); }

NTime NFileFind::getCreationTime() const { return NTime(record.time_create); }

NTime NFileFind::getAccessTime() const { return NTime(record.time_access); }

NString NFileFind::getFullPath() const
{
    return absoluteFolder(folder) + record.name;
}

bool NFileFind::exists(const NString& pattern)
{
    NFileFind find;
    // A folder named with a trailing separator exists when it can be listed.
    return find.findFirst(endsWithSeparator(pattern) ? pattern + "*" : pattern);
}

int NFileFind::search(const NString& folder, NStringList& list, const NString& subfolderPattern,
                      const NString& pattern, int flags)
{
    const int before = list.getCount();
    const NString base = absoluteFolder(folder);
    NFileFind find;
    if (find.findFirst(join(folder, pattern))) {
        do {
            int kind = findFiles;
            if (find.isDots())
                kind = findDots;
            else if (find.isDirectory())
                kind = findFolders;
            if (flags & kind)
                list.add(base + find.record.name);
        } while (find.findNext());
    }
    if (!subfolderPattern.isEmpty() && find.findFirst(join(folder, subfolderPattern))) {
        do {
            // Links to folders are not followed: one pointing upwards would
            // make the walk endless.
            if (find.isDirectory() && !find.isDots() &&
                !(find.record.attrib & FILE_ATTRIBUTE_REPARSE_POINT))
                search(join(folder, find.record.name), list, subfolderPattern, pattern,
                       flags & ~relativePaths);
        } while (find.findNext());
    }
    if (flags & relativePaths) {
        for (int i = before; i < list.getCount(); ++i) {
            NString& path = list.getAt(i);
            if (path.startsWith(base, true))
                path.remove(0, base.getLength());
        }
    }
    return list.getCount() - before;
}
