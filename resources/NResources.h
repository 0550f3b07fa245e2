#ifndef NEK_NRESOURCES_H
#define NEK_NRESOURCES_H

#include "NMapStringToString.h"
#include "NString.h"
#include "NStringList.h"

// NResources: finds the files a program needs at run time. A finished
// program carries them in an archive appended to its executable; the archive
// is unpacked into a fresh temporary folder at start-up and removed again at
// the end (readArchive, cleanUp).
//
// Archive layout (all integers 32-bit little endian, offsets from the start
// of the program file):
//   S      "nekres", header length L (12), header words A (1) and B (0)
//   S+6+L  file blocks: identifier 0, name length N, N name bytes,
//          data length D, D data bytes combined with archiveKeyDefault by XOR
//   E-10   "nekend", then S as the last four bytes of the file
class NResources {
public:
    // Compiled into the program; the character at archiveSwitchIndex decides
    // whether an appended archive is read ('1') or not ('0'). Development
    // builds carry '0'; the packing tool switches it to '1' in the copy it
    // binds the archive to.
    static char archiveMarker[12];
    static const int archiveSwitchIndex = 10;

    // The one byte that scrambles file data in the archive; the packing tool
    // uses the same value.
    static const unsigned char archiveKeyDefault = 0xA7;
    // The start offset of an archive is never below this.
    static const int archiveMinimumStart = 100;
    // Upper bound for a stored file name; no real resource name comes close.
    static const int archiveMaximumNameLength = 255;

    NResources();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NResources();

    // --- folders -------------------------------------------------------------
    // primary: the resource folder list, searched first; otherwise the
    // secondary list. One trailing backslash is dropped.
    void addFolder(const NString& folder, bool primary);
    const NStringList& getFolders() const { return folders; }
    const NStringList& getSecondaryFolders() const { return secondaryFolders; }

    // --- the appended archive ------------------------------------------------
    // The program file whose archive is read; set before readArchive.
    void setProgramPath(const NString& path) { programPath = path; }
    const NString& getProgramPath() const { return programPath; }
    // Unpacks the archive appended to the program file into a new temporary
    // folder. True when it was read to its end marker and every file was
    // extracted; the result is kept as the archive flag. Every failure ends
    // in one error box.
    bool readArchive();
    // With the archive flag set: deletes the extracted files and their
    // folder and empties the file map.
    void cleanUp();
    bool isArchive() const { return archive != 0; }
    const NString& getExtractFolder() const { return extractFolder; }
    // Stored name -> full path of the extracted file.
    const NMapStringToString& getArchiveFiles() const { return archiveFiles; }
    unsigned char getArchiveKey() const { return archiveKey; }

    // True when name can be written into a folder as a file of that folder
    // and nothing else: no folder part, no "..", no drive or stream colon,
    // no device name, no characters Windows refuses in file names.
    static bool isPlainFileName(const NString& name);
    // Lower case as lookups compare archive names.
    static NString archiveName(const NString& name);

private:
    NResources(const NResources&) = delete;
    NResources& operator=(const NResources&) = delete;

    // Finds and creates a folder "<temp>_tmpNekRes<counter>_<seconds>" that
    // did not exist; empty when none could be made.
    NString makeExtractFolder();

    NString programPath;
    NString extractFolder;
    unsigned char archiveKey;
    NStringList folders;
    NMapStringToString archiveFiles;
    int archive;
    NStringList secondaryFolders;
};

#endif
