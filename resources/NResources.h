#ifndef NEK_NRESOURCES_H
#define NEK_NRESOURCES_H

#include "NFileIni.h"
#include "NMapStringToString.h"
#include "NString.h"
#include "NStringList.h"

// NResources: finds the files a program needs at run time and holds the
// named styles and colour variables controls are drawn with; one global
// instance, globalResources, initialised by the application. A finished
// program carries its resource files in an archive appended to its
// executable; the archive is unpacked into a fresh temporary folder at
// start-up and removed again at the end (readArchive, cleanUp). Without one
// they come from the folder "NEK-Resourcen" beside the program and the
// folders that its resource.ini lists.
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

    // --- start-up --------------------------------------------------------------
    // Where the program lies; set by the application before init.
    void setProgramFolder(const NString& folder);
    const NString& getProgramFolder() const { return programFolder; }
    // The folder "NEK-Resourcen" beside the program.
    NString getResourceFolder() const;
    // Reads the archive or prepares the resource folder, opens resource.ini
    // and controlpos.ini and builds the style map. Called once.
    void init();
    bool isInitialised() const { return initialised != 0; }
    // True when the resources come from disk, not from an archive: the
    // program runs in development mode.
    bool isDiskResources() const { return diskResources != 0; }

    // --- lookups -------------------------------------------------------------
    // The full path of a resource file, empty when there is none. Files found
    // in a resource folder are recorded in resource.ini's [usedResources].
    NString getFile(const NString& name);
    // The expanded style or colour variable, empty when unknown.
    NString getStyle(const NString& name);
    // Appends the files matching pattern in the resource folders (at any
    // depth), the secondary folders and, if asked, the program folder itself;
    // returns how many were appended.
    int findFiles(const NString& pattern, NStringList& list, bool alsoProgramFolder);
    // Fills the global language table from the files "*_<language>.lng";
    // an empty language keeps the table's name.
    void loadLanguage(const NString& language);

    NFileIni& getControlPosIni() { return controlPosIni; }
    NFileIni& getResourceIni() { return resourceIni; }
    const NMapStringToString& getStyles() const { return styleMap; }

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
    // Why isPlainFileName refuses name, as a German clause ("er ist ..."); empty when it does not.
    static NString fileNameProblem(const NString& name);
    // Lower case as lookups compare archive names.
    static NString archiveName(const NString& name);

private:
    NResources(const NResources&) = delete;
    NResources& operator=(const NResources&) = delete;

    // Finds and creates a folder "<temp>_tmpNekRes<counter>_<seconds>" that
    // did not exist; empty when none could be made.
    NString makeExtractFolder();

    // {{name}} references replaced by the style map as it is now.
    NString expand(const NString& text) const;
    void setStyles(NStringList& keys, NStringList& values);
    void buildStyles();
    void recordUse(const NString& name);

    NFileIni controlPosIni;
    int diskResources;
    NFileIni resourceIni;
    NString programFolder;
    NString programPath;
    NString extractFolder;
    unsigned char archiveKey;
    NStringList folders;
    NMapStringToString styleMap;
    NMapStringToString archiveFiles;
    int archive;
    int initialised;
    NStringList secondaryFolders;
};

extern NResources globalResources;

#endif
