#include "NResources.h"

#include <windows.h>

#include <cstring>
#include <ctime>

#include "NDebug.h"
#include "NError.h"
#include "NFile.h"
#include "NFileFind.h"
#include "NFileSystem.h"
#include "NGlobalOrder.h"
#include "NLanguage.h"
#include "NMem.h"
#include "NResourceArchive.h"
#include "NTime.h"

NResources globalResources NEK_INIT_ORDER(NEK_ORDER_RESOURCES);

char NResources::archiveMarker[12] = "qovantirel0";

namespace {

// The program file as the archive reading sees it.
class FileSource : public NResourceArchive::Source {
public:
    explicit FileSource(NFile& file) : file(file) {}
    long long getSize() override { return file.getSize(); }
    bool readAt(long long offset, void* buffer, int count) override
    {
        return offset >= 0 && offset <= 0x7FFFFFFF && count >= 0 && file.seek(static_cast<int>(offset), 0) &&
               file.read(buffer, count) == count;
    }

private:
    NFile& file;
};

bool isDeviceName(const NString& name)
{
    // The part before the first dot decides: "con.txt" opens the console too.
    NString stem = name;
    const int dot = stem.findChar('.');
    if (dot >= 0)
        stem = stem.left(dot);
    stem.trimRight();
    stem.makeUpper();
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$",
                                          "CONOUT$"};
    for (const char* device : devices)
        if (stem == device)
            return true;
    if (stem.getLength() == 4 && (stem.startsWith("COM") || stem.startsWith("LPT")) &&
        ((stem.getAt(3) >= '0' && stem.getAt(3) <= '9') ||
         static_cast<unsigned char>(stem.getAt(3)) == 0xB9 ||
         static_cast<unsigned char>(stem.getAt(3)) == 0xB2 ||
         static_cast<unsigned char>(stem.getAt(3)) == 0xB3))
        return true;
    return false;
}

}  // namespace

NResources::NResources()
    : diskResources(1), archiveKey(archiveKeyDefault), archive(0), initialised(0)
{
}

NResources::~NResources() { cleanUp(); }

const char* NResources::getName() const { return getClassName(); }
const char* NResources::getClassName() const { return "NResources"; }

void NResources::addFolder(const NString& folder, bool primary)
{
    NString path = folder;
    if (path.endsWith("\\"))
        path = path.left(path.getLength() - 1);
    if (primary)
        folders.add(path);
    else
        secondaryFolders.add(path);
}

bool NResources::isPlainFileName(const NString& name) { return fileNameProblem(name).isEmpty(); }

NString NResources::fileNameProblem(const NString& name)
{
    const int length = name.getLength();
    if (length < 1)
        return "er ist leer";
    if (length > archiveMaximumNameLength)
        return "er ist l\xE4nger als 255 Byte";
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(name.getAt(i));
        if (c < 0x20)
            return "er enth\xE4lt ein Steuerzeichen";
        if (strchr("\\/:*?\"<>|", c)) {
            NString text;
            text.format("er enth\xE4lt das Zeichen %c, das in Dateinamen nicht erlaubt ist", c);
            return text;
        }
    }
    // Windows drops trailing dots and blanks, so "a." would land on "a";
    // "." and ".." are folders.
    const char last = name.getAt(length - 1);
    if (last == '.' || last == ' ')
        return "er endet mit einem Punkt oder Leerzeichen, die Windows wegl\xE4sst";
    if (name.find("..") >= 0)
        return "er enth\xE4lt .., das auf einen anderen Ordner zeigen k\xF6nnte";
    if (isDeviceName(name))
        return "er ist ein Ger\xE4tename (CON, PRN, AUX, NUL, COM1 ... LPT9, auch mit Endung)";
    return NString();
}

NString NResources::archiveName(const NString& name)
{
    NString lower = name;
    lower.makeLower();
    return lower;
}

NString NResources::makeExtractFolder()
{
    const NString temp = NFileSystem::getTempPath();
    const int seconds = static_cast<int>(time(nullptr));
    // A bound only against a temporary folder full of our leftovers.
    for (int counter = 0; counter < 10000; ++counter) {
        NString folder;
        folder.format("%s_tmpNekRes%d_%d", temp.getBuffer(), counter, seconds);
        if (NFileFind::exists(folder))
            continue;
        if (!NFileSystem::makeDir(folder, false))
            return NString();
        return folder;
    }
    return NString();
}

bool NResources::readArchive()
{
    if (archiveMarker[archiveSwitchIndex] == '0')
        return false;

    NFile program;
    NFile tempFile;
    NMem block;
    NString reason;
    bool ok = program.open(programPath, "rb", false);
    FileSource source(program);
    NResourceArchive reading(source);
    if (ok) {
        ok = reading.open();
        reason = reading.getReason();
    }
    if (ok) {
        extractFolder = makeExtractFolder();
        ok = !extractFolder.isEmpty();
        if (ok)
            addFolder(extractFolder, true);
    }

    // Every block consumes at least one byte of a finite file, and no
    // length is trusted beyond the bytes that are really there.
    NResourceArchive::Block found;
    NResourceArchive::Step step = ok ? reading.next(found) : NResourceArchive::failure;
    for (; ok && step == NResourceArchive::block; step = reading.next(found)) {
        const int count = static_cast<int>(found.dataLength);
        if (!block.setSize(count)) {
            reason.format("Speicheranforderung schlug fehl: %u", found.dataLength);
            ok = false;
            break;
        }
        if (!reading.readData(found, block.getPointer(), archiveKey)) {
            reason = reading.getReason();
            ok = false;
            break;
        }
        const NString path = extractFolder + "\\" + found.name;
        if (!tempFile.create(path, false)) {
            reason = "Fehler beim Anlegen des Tempfiles: ";
            reason += path;
            ok = false;
            break;
        }
        if (count > 0 && !tempFile.write(block.getPointer(), count)) {
            reason = "Fehler beim Schreiben des Tempfiles: ";
            reason += path;
            ok = false;
            break;
        }
        archiveFiles.setAt(found.name, tempFile.getFileName());
        tempFile.close();
    }
    if (ok && step == NResourceArchive::failure) {
        reason = reading.getReason();
        ok = false;
    }

    if (!ok) {
        NString text = "Fehler beim Lesen der Resourcen.\r\n";
        text += reason;
        text += "\r\n";
        text += program.lastError;
        text += "\r\n";
        text += tempFile.lastError;
        globalError.messageBox(text, 0, "Fehler !", MB_ICONERROR);
    } else if (reading.isTooLong()) {
        NString text;
        text.format("Fehler beim Lesen der Resourcen.\r\nDie Datei ist um %d Byte zu gro\xDF, "
                    "Ursache kann ein Virenbefall sein.",
                    static_cast<int>(reading.getFileSize() - reading.getEnd()));
        globalError.messageBox(text, 0, "Fehler !", MB_ICONERROR);
    }

    program.close();
    archive = ok ? 1 : 0;
    return ok;
}

void NResources::cleanUp()
{
    // Without an archive resource.ini is the developer's own file: keep its
    // record of the used resources. What a failed archive left behind stays
    // for inspection.
    if (!archive) {
        resourceIni.save();
        return;
    }
    // Quietly: this runs at program exit, when no one can act on a box.
    for (int i = 0; i < archiveFiles.getCount(); ++i)
        NFileSystem::deleteFile(archiveFiles.getValueAt(i), true);
    if (!extractFolder.isEmpty())
        RemoveDirectoryA(extractFolder);
    archiveFiles.removeAll();
}

// ---------------------------------------------------------------------------
// The resource manager: folders, lookups, styles, languages.
// ---------------------------------------------------------------------------

namespace {

// A regular file, not a folder: only files are resources.
bool isFile(const NString& path)
{
    if (path.isEmpty())
        return false;
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isFolder(const NString& path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

const char* const beforeInitTail =
    ") kann erst nach der Initialisierung des globalResources-Objektes verwendet werden.\r\n"
    "Sie sollten sie z.B. nicht im Konstrukor des Main-Fensters";

void warnBeforeInit(const NString& text)
{
    globalError.messageBox(text, 0, "Fehler !", MB_ICONERROR);
}

// Creates a default file only where none exists; an existing one, even an
// empty one, belongs to the developer.
void createDefaultFile(const NString& path, const char* text)
{
    if (!isFile(path) && !isFolder(path))
        NFile::writeTextFile(path, text);
}

}  // namespace

void NResources::setProgramFolder(const NString& folder)
{
    programFolder = folder;
    if (programFolder.endsWith("\\"))
        programFolder = programFolder.left(programFolder.getLength() - 1);
}

NString NResources::getResourceFolder() const { return programFolder + "\\NEK-Resourcen"; }

void NResources::init()
{
    // A second run would extract the archive again and list every folder twice.
    if (initialised)
        return;
    initialised = 1;
    addFolder(programFolder, false);
    addFolder(programFolder + "\\resources", false);

    archive = readArchive() ? 1 : 0;
    diskResources = archive ? 0 : 1;

    const NString resourceFolder = getResourceFolder();
    if (!archive) {
        if (!isFolder(resourceFolder))
            NFileSystem::makeDir(resourceFolder);
        createDefaultFile(resourceFolder + "\\controlpos.ini", "\r\n");
        createDefaultFile(resourceFolder + "\\resource.ini", "[StandardResourcePath]\r\n");
    }
    addFolder(resourceFolder, true);

    const NString resourcePath = getFile("resource.ini");
    bool readOnly = true;
    if (!resourcePath.isEmpty()) {
        NFile probe;
        readOnly = !probe.open(resourcePath, "r+", true);
        probe.close();
    }
    if (resourcePath.isEmpty() || !resourceIni.open(resourcePath, false, readOnly)) {
        globalError.messageBox(
            NString("Fehler: resource.ini konnte nicht verwendet werden.\r\n") + resourcePath, 0,
            "Fehler !", MB_ICONERROR);
    } else {
        NStringList lines;
        resourceIni.getSectionEntries("StandardResourcePath", lines, nullptr, true);
        for (int i = 0; i < lines.getCount(); ++i)
            addFolder(lines.getAt(i), true);
    }

    const NString controlPosPath = getFile("controlpos.ini");
    if (controlPosPath.isEmpty() || !controlPosIni.open(controlPosPath, false, false)) {
        globalError.messageBox(
            NString("Fehler: controlpos.ini konnte nicht verwendet werden.\r\n") + controlPosPath,
            0, "Fehler !", MB_ICONERROR);
    }

    buildStyles();
}

NString NResources::getFile(const NString& name)
{
    if (!initialised)
        warnBeforeInit(NString("Die Funktion NResources::getFile(\"") + name + "\"" +
                       beforeInitTail + " sondern besser in onPreCreateWindow() verwenden.");
    if (name.isEmpty())
        return NString();

    if (archive) {
        NString path;
        if (archiveFiles.get(archiveName(name), path))
            return path;
    } else {
        for (int i = 0; i < folders.getCount(); ++i) {
            NString path = folders.getAt(i) + "\\" + name;
            if (isFile(path)) {
                recordUse(name);
                return path;
            }
        }
    }
    for (int i = 0; i < secondaryFolders.getCount(); ++i) {
        NString path = secondaryFolders.getAt(i) + "\\" + name;
        if (isFile(path))
            return path;
    }
    if (isFile(name))
        return name;
    return NString();
}

void NResources::recordUse(const NString& name)
{
    NString key = name;
    key.makeLower();
    key.trim();
    // The manager's own files are no resources of the program.
    if (key == "resource.ini" || key == "controlpos.ini")
        return;
    NTime now;
    now.setNow();
    resourceIni.setValue("usedResources", key, now.format("%d.%m.%Y %H:%M:%S"));
}

NString NResources::getStyle(const NString& name)
{
    if (!initialised)
        warnBeforeInit(NString("Die Funktion NResources::getStyle(\"") + name + "\"" +
                       beforeInitTail + ", sondern besser in onPreCreateWindow() verwenden.");
    NString value;
    styleMap.get(name, value);
    return value;
}

int NResources::findFiles(const NString& pattern, NStringList& list, bool alsoProgramFolder)
{
    if (!initialised)
        warnBeforeInit(NString("Die Funktion NResources::findFiles(..") + beforeInitTail +
                       " sondern besser in onPreCreateWindow() verwenden.");
    int found = 0;
    for (int i = 0; i < folders.getCount(); ++i)
        found += NFileFind::search(folders.getAt(i), list, "*", pattern, NFileFind::findFiles);
    for (int i = 0; i < secondaryFolders.getCount(); ++i)
        found += NFileFind::search(secondaryFolders.getAt(i), list, "*", pattern,
                                   NFileFind::findFiles);
    if (alsoProgramFolder)
        found += NFileFind::search(programFolder, list, NString(), pattern, NFileFind::findFiles);
    return found;
}

void NResources::loadLanguage(const NString& language)
{
    globalLanguage.clear();
    if (!language.isEmpty())
        globalLanguage.setLanguageName(language);
    const NString pattern = NString("*_") + globalLanguage.getLanguageName() + ".lng";

    NStringList files;
    NStringList found;
    NFileFind::search(programFolder, found, NString(), pattern, NFileFind::findFiles);
    for (int i = 0; i < found.getCount(); ++i)
        files.add(found.getAt(i), true);
    for (int i = 0; i < folders.getCount(); ++i)
        NFileFind::search(folders.getAt(i), files, NString(), pattern, NFileFind::findFiles);
    found.removeAll();
    NFileFind::search(getResourceFolder(), found, NString(), pattern, NFileFind::findFiles);
    for (int i = 0; i < found.getCount(); ++i)
        files.add(found.getAt(i), true);

    for (int i = 0; i < files.getCount(); ++i) {
        const NString& path = files.getAt(i);
        NString error;
        NString text = NFile::readTextFile(path, &error);
        if (!error.isEmpty())
            globalError.addError(NString("NResources::loadLanguage(..) Sprachdatei konnte nicht "
                                         "gelesen werden: ") +
                                 path + "\r\n" + error);
        globalLanguage.load(text);
        globalDebug.printf("NResources::loadLanguage(..) Datei: %s", path.getBuffer());
    }
    globalDebug.printf("NResources::loadLanguage(..) %d Sprachdateien geladen", files.getCount());
    for (int i = 0; i < files.getCount(); ++i)
        globalDebug.printf("-----%s", files.getAt(i).getBuffer());
    if (!globalLanguage.getErrorText().isEmpty())
        globalDebug.printf("NResources::loadLanguage(..) #### FEHLER #### %s",
                           globalLanguage.getErrorText().getBuffer());
}

// --- styles -------------------------------------------------------------------

NString NResources::expand(const NString& text) const
{
    return styleMap.replaceVariables(text, "{{", "}}");
}

void NResources::setStyles(NStringList& keys, NStringList& values)
{
    for (int i = 0; i < keys.getCount(); ++i) {
        // A line without "=" is no definition.
        if (keys.getAt(i).isEmpty())
            continue;
        styleMap.setAt(keys.getAt(i), expand(values.getAt(i)));
    }
}

void NResources::buildStyles()
{
    static const char* const defaults[][2] = {
        {"nek_color_win_back", "#f0f0ff"},
        {"nek_color_win_back_contrast", "#d0d0ff;"},
        {"nek_color_ctrl_border1", "#a0a0ff"},
        {"nek_color_ctrl_border2", "#a0a0ff"},
        {"nek_color_ctrl_text", "#5050ff;"},
        {"nek_color_input_text", "#000000"},
        {"nek_color_input_back", "#ffffff"},
    };
    for (const auto& entry : defaults)
        styleMap.setAt(entry[0], entry[1]);

    NStringList keys;
    NStringList values;
    controlPosIni.getSectionEntries("Standard-Styles", keys, &values, true);
    setStyles(keys, values);

    const char* const selected =
        "{{nek_color_win_back_contrast}},{{nek_color_ctrl_border1}},{{nek_color_ctrl_border2}},"
        "{{nek_color_ctrl_text}}";
    styleMap.setAt("NButton-form", expand("0,0"));
    styleMap.setAt("NButton-normal",
                   expand("{{nek_color_win_back}},{{nek_color_ctrl_border1}},"
                          "{{nek_color_ctrl_border2}},{{nek_color_ctrl_text}}"));
    styleMap.setAt("NButton-selected", expand(selected));
    styleMap.setAt("NButton-mouseover", expand(selected));
    styleMap.setAt("NButton-disabled", expand("#f0f0f0,#a0a0a0,#f0f0f0,#a0a0a0"));

    controlPosIni.getSectionEntries("Control-Styles", keys, &values, true);
    setStyles(keys, values);

    NStringList files;
    findFiles("*.sty", files, true);
    files.sort(1);
    for (int i = 0; i < files.getCount(); ++i) {
        NFileIni styleFile;
        if (!styleFile.open(files.getAt(i), false, false))
            continue;
        NStringList sections;
        styleFile.getSectionNames(sections, "style_*");
        for (int s = 0; s < sections.getCount(); ++s) {
            styleFile.getSectionEntries(sections.getAt(s), keys, &values, true);
            setStyles(keys, values);
        }
        sections.removeAll();
        styleFile.getSectionNames(sections, "css_*");
        for (int s = 0; s < sections.getCount(); ++s)
            styleMap.setAt(sections.getAt(s), expand(styleFile.getSectionText(sections.getAt(s))));
    }
}
