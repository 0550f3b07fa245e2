#ifndef NEK_NFILEFIND_H
#define NEK_NFILEFIND_H

#include <io.h>

#include <cstdint>

#include "NString.h"
#include "NTime.h"

class NStringList;

// NFileFind: walks the entries that match a wildcard pattern, and searches
// folder trees for files and folders.
class NFileFind {
public:
    // What search appends, and how.
    enum SearchFlags {
        findFiles = 1,
        findFolders = 2,
        findDots = 4,
        relativePaths = 0x1000
    };

    NFileFind();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NFileFind();
    NFileFind(const NFileFind&) = delete;
    NFileFind& operator=(const NFileFind&) = delete;

    // True when an entry was found; it becomes the current entry.
    bool findFirst(const NString& pattern);
    bool findNext();
    void close();

    // --- the current entry --------------------------------------------------
    NString getFileName() const;
    // Files of 4 GiB and more report 0xFFFFFFFF.
    unsigned int getFileSize() const;
    unsigned int getAttributes() const;
    bool isDirectory() const;
    // "." or "..".
    bool isDots() const;
    NTime getWriteTime() const;
    NTime getCreationTime() const;
    NTime getAccessTime() const;
    // The absolute path of the folder, a backslash and the entry's name.
    NString getFullPath() const;

    const NString& getPattern() const { return pattern; }
    // The pattern up to its last separator, empty when it has none.
    const NString& getFolder() const { return folder; }

    static bool exists(const NString& pattern);
    // Appends the paths of the entries in folder that match pattern and are
    // selected by flags; with a subfolderPattern, also those of every
    // subfolder matching it, at any depth. Returns how many were appended.
    static int search(const NString& folder, NStringList& list, const NString& subfolderPattern,
                      const NString& pattern, int flags);

private:
    // Pointer-sized: the runtime's search handles are; 0 before the first
    // search, -1 after a failed one.
    intptr_t handle;
    struct __finddata64_t record;
    NString pattern;
    NString folder;
};

#endif
