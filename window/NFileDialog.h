#ifndef NEK_NFILEDIALOG_H
#define NEK_NFILEDIALOG_H

#include <windows.h>
#include <commdlg.h>

#include "NMem.h"
#include "NString.h"
#include "NStringList.h"

class NWindow;

// NFileDialog: the system's open and save dialogs. The filter is written
// as "description|pattern|description|pattern"; the results are members.
// With a memoryKey the dialog opens in the folder the user chose last time
// (kept in the user configuration file, section "NFileDialog").
class NFileDialog {
public:
    NFileDialog();
    // Non-zero when the user chose a file; on cancel the results stay.
    virtual int showOpen(HWND owner, const NString& dialogTitle);
    virtual int showOpen(NWindow* owner, const NString& dialogTitle);
    virtual int showSave(HWND owner, const NString& dialogTitle);
    virtual int showSave(NWindow* owner, const NString& dialogTitle);
    // Appends the full path of every chosen file to `files`.
    virtual int showOpenMulti(HWND owner, const NString& dialogTitle, NStringList& files);
    virtual int showOpenMulti(NWindow* owner, const NString& dialogTitle, NStringList& files);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NFileDialog();
    virtual void prepare(HWND owner);
    virtual void readResult();

    // The record as prepare filled it and the dialog left it.
    const OPENFILENAMEA& getRecord() const { return record; }

    NString fileName;
    NString filter;
    int filterIndex;
    NString initialFile;
    NString fileTitle;
    NString defaultExtension;
    NString filePart;
    NString extension;
    NString memoryKey;

private:
    NFileDialog(const NFileDialog&) = delete;
    NFileDialog& operator=(const NFileDialog&) = delete;

    // Shows the prepared dialog (open or save) with the title and the flags
    // added; true when the user chose.
    bool run(bool save, const NString& dialogTitle, DWORD addedFlags);
    // The remembered folder as initial file for one dialog; returns the
    // caller's initial file to put back afterwards.
    NString useRememberedFolder();
    void rememberFolder(const NString& path);

    OPENFILENAMEA record;
    NMem filterBuffer;
    NMem fileBuffer;
    NMem titleBuffer;
};

#endif
