#include "NFileDialog.h"

#include <cstring>

#include "NApplication.h"
#include "NApplicationBasic.h"
#include "NError.h"
#include "NFileFind.h"
#include "NFileSystem.h"
#include "NWindow.h"

namespace {

const int fileCharacters = 4000;
const int titleCharacters = 1000;
const char* const memorySection = "NFileDialog";

}  // namespace

NFileDialog::NFileDialog() : filter("alle Dateien|*.*"), filterIndex(1), record() {}

NFileDialog::~NFileDialog() {}

const char* NFileDialog::getName() const { return getClassName(); }
const char* NFileDialog::getClassName() const { return "NFileDialog"; }

void NFileDialog::prepare(HWND owner)
{
    // A fresh record per call: nothing the system left in the last one (flags, offsets) carries over.
    record = OPENFILENAMEA();
    record.lStructSize = sizeof record;
    record.hwndOwner = owner;

    if (!filter.isEmpty()) {
        // "description|pattern|..." becomes zero-separated strings and an
        // extra zero at the end.
        filterBuffer.setSize(0);
        filterBuffer.setSize(filter.getLength() + 2);
        unsigned char* bytes = filterBuffer.getPointer();
        std::memcpy(bytes, filter.getBuffer(), static_cast<size_t>(filter.getLength()));
        for (int i = 0; i < filter.getLength(); ++i)
            if (bytes[i] == '|')
                bytes[i] = 0;
        record.lpstrFilter = reinterpret_cast<const char*>(bytes);
    }
    record.nFilterIndex = static_cast<DWORD>(filterIndex);

    fileBuffer.setSize(0);
    fileBuffer.setSize(fileCharacters + 1);
    std::memcpy(fileBuffer.getPointer(), initialFile.getBuffer(),
                static_cast<size_t>(initialFile.getLength() < fileCharacters
                                        ? initialFile.getLength()
                                        : fileCharacters));
    record.lpstrFile = reinterpret_cast<char*>(fileBuffer.getPointer());
    record.nMaxFile = fileCharacters;

    titleBuffer.setSize(0);
    titleBuffer.setSize(titleCharacters + 1);
    record.lpstrFileTitle = reinterpret_cast<char*>(titleBuffer.getPointer());
    record.nMaxFileTitle = titleCharacters;

    record.Flags = OFN_ENABLESIZING | OFN_EXPLORER | OFN_HIDEREADONLY;
    record.lpstrDefExt = defaultExtension.getBufferOrNull();
}

void NFileDialog::readResult()
{
    const char* buffer = reinterpret_cast<const char*>(fileBuffer.getPointer());
    fileName = buffer;
    filePart = record.nFileOffset < fileCharacters ? buffer + record.nFileOffset : "";
    extension = record.nFileExtension > 0 && record.nFileExtension < fileCharacters
                    ? buffer + record.nFileExtension
                    : "";
    fileTitle = reinterpret_cast<const char*>(titleBuffer.getPointer());
}

bool NFileDialog::run(bool save, const NString& dialogTitle, DWORD addedFlags)
{
    record.lpstrTitle = dialogTitle.getBufferOrNull();
    record.Flags |= addedFlags;
    if (save ? GetSaveFileNameA(&record) : GetOpenFileNameA(&record))
        return true;
    // Cancel is no error; anything else (a selection too long for the
    // buffer, say) would otherwise look like a cancel to the user.
    const DWORD error = CommDlgExtendedError();
    if (error != 0) {
        NString text;
        text.format("NFileDialog: Der Dateidialog konnte nicht ausgef\xFChrt werden "
                    "(Dialogfehler 0x%lX).",
                    static_cast<unsigned long>(error));
        globalError.messageBox(text, 0, "Fehler !", MB_ICONERROR);
    }
    return false;
}

// The caller's initial file is handed back after the dialog, so a remembered
// folder used once does not become the caller's setting.
NString NFileDialog::useRememberedFolder()
{
    const NString callersFile = initialFile;
    if (memoryKey.isEmpty() || !initialFile.isEmpty() || !globalApplication.openUserConfigFile())
        return callersFile;
    initialFile =
        globalApplicationBasic.userConfig.getValue(memorySection, memoryKey + "_lastFolder");
    if (!initialFile.isEmpty() && !NFileFind::exists(initialFile))
        initialFile = "";
    // A folder ends with a separator, so the dialog opens inside it and the
    // file field stays empty.
    if (!initialFile.isEmpty() && initialFile.getAt(initialFile.getLength() - 1) != '\\')
        initialFile += "\\";
    return callersFile;
}

void NFileDialog::rememberFolder(const NString& path)
{
    if (memoryKey.isEmpty() || path.isEmpty() || !globalApplication.openUserConfigFile())
        return;
    NString folder = NFileSystem::getPath(path);
    // A drive's root keeps its separator: "C:" alone is the drive's current folder.
    if (folder.getLength() == 2 && folder.getAt(1) == ':')
        folder += "\\";
    NFileIni& config = globalApplicationBasic.userConfig;
    config.setValue(memorySection, memoryKey + "_lastFolder", folder);
    config.save();
}

int NFileDialog::showOpen(HWND owner, const NString& dialogTitle)
{
    const NString callersFile = useRememberedFolder();
    prepare(owner);
    const bool chosen = run(false, dialogTitle, OFN_FILEMUSTEXIST);
    initialFile = callersFile;
    if (!chosen)
        return 0;
    readResult();
    rememberFolder(fileName);
    return 1;
}

int NFileDialog::showOpen(NWindow* owner, const NString& dialogTitle)
{
    return showOpen(owner ? owner->hwnd : nullptr, dialogTitle);
}

int NFileDialog::showSave(HWND owner, const NString& dialogTitle)
{
    prepare(owner);
    if (!run(true, dialogTitle, OFN_OVERWRITEPROMPT))
        return 0;
    readResult();
    return 1;
}

int NFileDialog::showSave(NWindow* owner, const NString& dialogTitle)
{
    return showSave(owner ? owner->hwnd : nullptr, dialogTitle);
}

int NFileDialog::showOpenMulti(HWND owner, const NString& dialogTitle, NStringList& files)
{
    const NString callersFile = useRememberedFolder();
    prepare(owner);
    const bool chosen = run(false, dialogTitle, OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT);
    initialFile = callersFile;
    if (!chosen)
        return 0;
    readResult();

    // One string: the full path. More: the folder, then one name each.
    const char* buffer = reinterpret_cast<const char*>(fileBuffer.getPointer());
    const char* end = buffer + fileCharacters;
    NStringList parts;
    for (const char* p = buffer; p < end && *p; p += std::strlen(p) + 1)
        parts.add(p);
    const int before = files.getCount();
    if (parts.getCount() == 1) {
        files.add(parts.getAt(0));
    } else {
        NString folder = parts.getAt(0);
        // A drive's root comes with its separator already.
        if (!folder.endsWith("\\"))
            folder += "\\";
        for (int i = 1; i < parts.getCount(); ++i)
            files.add(folder + parts.getAt(i));
    }
    if (files.getCount() > before)
        rememberFolder(files.getAt(before));
    return 1;
}

int NFileDialog::showOpenMulti(NWindow* owner, const NString& dialogTitle, NStringList& files)
{
    return showOpenMulti(owner ? owner->hwnd : nullptr, dialogTitle, files);
}
