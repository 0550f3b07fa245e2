#ifndef NEK_NFILEINI_H
#define NEK_NFILEINI_H

#include "NString.h"

class NStringList;
class NMapStringToString;
class NMapStringToNum;

// NFileIni: an INI file held as one text. Lookups search the text; changes
// edit it in place, so comments, blank lines and the order of everything
// not touched are written back as they were read.
//
// Sections are "[name]" at the start of a line, keys "key=" at the start of
// a line; both are compared case-sensitively and the first occurrence wins.
// A text beginning with "[nekContentMask-N...]" (a 22-character header line)
// is kept plain in memory and stored scrambled, with "+" at index 15.
class NFileIni {
public:
    // The mask byte of a scrambled text is (N - contentMaskBase) mod 256.
    static const int contentMaskBase = 0x6B;
    // Larger files are refused: configuration files are small, and the
    // whole text must fit one string.
    static const int maxFileSize = 0x10000000;

    NFileIni();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    // Saves a modified file unless the last operation failed.
    virtual ~NFileIni();

    // --- file ---------------------------------------------------------------
    bool open(const NString& path, bool create = false, bool readOnly = false);
    // A new, empty file at path.
    bool create(const NString& path);
    // Replaces the file only once the new text is completely written.
    bool save();
    void close(bool saveFirst = true);
    bool isOpen() const { return !path.isEmpty(); }
    bool isModified() const { return modified; }
    bool isReadOnly() const { return readOnly; }
    const NString& getPath() const { return path; }
    NString getContent() const { return text; }

    // --- values -------------------------------------------------------------
    NString getValue(const NString& section, const NString& key,
                     const NString& defaultValue = NString()) const;
    int getValueInt(const NString& section, const NString& key, int defaultValue = 0) const;
    // An empty value removes the key's line.
    void setValue(const NString& section, const NString& key, const NString& value);
    void setValueInt(const NString& section, const NString& key, int value);

    // --- sections -----------------------------------------------------------
    bool renameSection(const NString& oldName, const NString& newName);
    // The body, ending with "\r\n"; empty when the section is missing or empty.
    NString getSectionText(const NString& section) const;
    // Appends the section when it is missing; the result tells whether it existed.
    bool setSectionText(const NString& section, const NString& body);
    // Trimmed lines of the body. With values, each line is split at its first "=".
    int getSectionEntries(const NString& section, NStringList& keys,
                          NStringList* values = nullptr, bool skipComments = true) const;
    int getSectionMap(const NString& section, NMapStringToString& map,
                      bool clearFirst = true) const;
    int getSectionMap(const NString& section, NMapStringToNum& map, bool clearFirst = true) const;
    bool setSectionMap(const NString& section, const NMapStringToString& map);
    bool setSectionMap(const NString& section, const NMapStringToNum& map);
    // pattern: alternatives separated by "|"; "*" matches all, "abc*" and
    // "*abc" a prefix or suffix, "!" in front inverts. Names come in text
    // order per alternative, each once.
    int getSectionNames(NStringList& names, const NString& pattern = NString("*"),
                        NStringList* texts = nullptr) const;

    // --- most-recent-first lists ("maxEntries=" limit as the first line) -----
    int getListEntries(const NString& section, NStringList& list) const;
    void addListEntry(const NString& section, const NString& entry);
    void removeListEntry(const NString& section, const NString& entry);

    // --- other files --------------------------------------------------------
    void copySections(const NFileIni& other, const NString& pattern);
    void mergeSections(const NFileIni& other, const NString& pattern);
    // Takes sections from the files named in [import]: lines
    // kind=file,pattern,option with kind "sections" or "entries".
    bool import();

    // Text of the last failure; empty after a successful open or save.
    NString lastError;

private:
    NFileIni(const NFileIni&) = delete;
    NFileIni& operator=(const NFileIni&) = delete;

    // Header found: bodyStart behind its line break, end at the "[" of the
    // next header or the end of the text.
    bool findSection(const NString& name, int& headerStart, int& bodyStart, int& end) const;
    // lineStart at the key, value in [valueStart, valueEnd).
    bool findKey(const NString& section, const NString& key, int& lineStart, int& valueStart,
                 int& valueEnd) const;
    // The body as getSectionText sees it: blank lines at its top left out.
    bool findBody(const NString& section, int& start, int& end) const;
    void replaceRange(int pos, int count, const NString& with);
    // Scrambles or unscrambles the text behind the header line and sets the
    // mark at index 15; returns the mask byte.
    int applyContentMask(char headerMark);
    bool importFrom(int depth, NStringList& chain);

    bool modified;
    NString path;
    NString text;
    bool readOnly;
};

#endif
