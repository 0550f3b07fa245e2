#ifndef NEK_NFILESYSTEM_H
#define NEK_NFILESYSTEM_H

#include "NString.h"

// NFileSystem: file and folder operations over the Windows and shell calls.
// Operations that can fail report it by their result; unless the caller
// asks for silence or passes an error text, they also show the German error
// box of the error log.
class NFileSystem {
public:
    // Shell flags for deleteFiles that never open a confirmation, progress
    // or error window (FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI).
    static const unsigned short quietDeleteFlags = 0x0414;

    NFileSystem();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NFileSystem();

    // --- folders and files ---------------------------------------------------
    // Missing parent folders are created first.
    static bool makeDir(const NString& path, bool silent = false);
    static bool copyFile(const NString& source, const NString& target, bool overwrite = false,
                         bool silent = false);
    static bool deleteFile(const NString& path, bool silent = false);
    static bool renameFile(const NString& oldPath, const NString& newPath, bool silent = false);
    // Deletes files or folders (wildcards allowed) through the shell; flags
    // are FOF_ values. True when everything asked for was deleted.
    static bool deleteFiles(const NString& pattern, unsigned short flags = quietDeleteFlags);

    // --- programs and the shell ----------------------------------------------
    // Starts program with arguments and waits, pumping this thread's window
    // messages, until it ends or timeoutSeconds pass (it is then left running
    // and the result is false). show is an SW_ value. With error given, a
    // failure is stored there instead of being shown.
    static bool run(const NString& program, const NString& arguments, const NString& folder,
                    unsigned short show, NString* error, int timeoutSeconds);
    // Opens a file with the program the shell associates with it. A failure
    // text goes into error only when error is still empty.
    static bool open(const NString& file, const NString& parameters = NString(),
                     const NString& folder = NString(), unsigned short show = 1,
                     NString* error = nullptr);
    // "major.minor.build.revision" of the file's version resource, empty
    // when it has none.
    static NString getFileVersion(const NString& path, NString* error = nullptr);
    static bool createShortcut(const NString& linkPath, const NString& target,
                               const NString& description = NString(),
                               const NString& workingFolder = NString(),
                               const NString& iconPath = NString(), int iconIndex = 0);

    // --- paths ---------------------------------------------------------------
    // Drive and folder, without one trailing separator.
    static NString getPath(const NString& path);
    static NString getFileName(const NString& path);
    static NString getFileTitle(const NString& path);
    // Lower case, without the dot.
    static NString getExtension(const NString& path);
    // Ends with "\".
    static NString getTempPath();
    static NString getFullPath(const NString& path);
    // A name in the temporary folder; with unique 0 the system picks the
    // number and creates the file.
    static NString getTempFileName(const NString& prefix, unsigned int unique = 0);
    static NString getCurrentDirectory();
    static bool setCurrentDirectory(const NString& path);
    // path relative to baseFolder when it lies below it, else path itself.
    static NString getRelativePath(const NString& path, const NString& baseFolder);
};

#endif
