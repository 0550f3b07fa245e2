#include "NResources.h"

#include <windows.h>

#include <cstring>
#include <ctime>

#include "NError.h"
#include "NFile.h"
#include "NFileFind.h"
#include "NFileSystem.h"
#include "NMem.h"

char NResources::archiveMarker[12] = "qovantirel0";

namespace {

// The archive's two magic words are kept scrambled so that the program
// image itself never contains them: the backward search for a lost trailer
// must not stop on the reader's own constants.
const unsigned char magicScramble = 0x5C;
const unsigned char startMagicScrambled[6] = {'n' ^ 0x5C, 'e' ^ 0x5C, 'k' ^ 0x5C,
                                              'r' ^ 0x5C, 'e' ^ 0x5C, 's' ^ 0x5C};
const unsigned char endMagicScrambled[6] = {'n' ^ 0x5C, 'e' ^ 0x5C, 'k' ^ 0x5C,
                                            'e' ^ 0x5C, 'n' ^ 0x5C, 'd' ^ 0x5C};

struct Magic {
    explicit Magic(const unsigned char* scrambled)
    {
        for (int i = 0; i < 6; ++i)
            bytes[i] = static_cast<char>(scrambled[i] ^ magicScramble);
    }
    bool matches(const char* other) const { return memcmp(bytes, other, 6) == 0; }
    char bytes[6];
};

bool readInt(NFile& file, int& value)
{
    unsigned char bytes[4];
    if (file.read(bytes, 4) != 4)
        return false;
    value = static_cast<int>(static_cast<unsigned int>(bytes[0]) |
                             static_cast<unsigned int>(bytes[1]) << 8 |
                             static_cast<unsigned int>(bytes[2]) << 16 |
                             static_cast<unsigned int>(bytes[3]) << 24);
    return true;
}

// A seek that refuses targets outside the file instead of letting the
// runtime move behind its end.
bool seekInside(NFile& file, long long position, int size)
{
    if (position < 0 || position > size)
        return false;
    return file.seek(static_cast<int>(position), 0);
}

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

NResources::NResources() : archiveKey(archiveKeyDefault), archive(0) {}

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

bool NResources::isPlainFileName(const NString& name)
{
    const int length = name.getLength();
    if (length < 1 || length > archiveMaximumNameLength)
        return false;
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(name.getAt(i));
        if (c < 0x20 || strchr("\\/:*?\"<>|", c))
            return false;
    }
    // Windows drops trailing dots and blanks, so "a." would land on "a";
    // "." and ".." are folders.
    const char last = name.getAt(length - 1);
    if (last == '.' || last == ' ' || name.find("..") >= 0)
        return false;
    return !isDeviceName(name);
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

    const Magic endMagic(endMagicScrambled);
    const Magic startMagic(startMagicScrambled);
    NFile program;
    NFile tempFile;
    NMem block;
    NString reason;
    bool ok = program.open(programPath, "rb", false);
    bool tooLong = false;
    int size = 0;
    int end = 0;
    int start = 0;

    // The trailer sits at the very end unless something was appended later.
    if (ok) {
        size = program.getSize();
        char tail[6];
        if (size >= 10 && program.seek(size - 10, 0) && program.read(tail, 6) == 6 &&
            endMagic.matches(tail)) {
            end = size;
        } else {
            reason = "Ressourcen-Endekennung nicht vorhanden.";
            ok = false;
            NMem whole;
            if (size >= 6 && whole.setSize(size) && program.seek(0, 0) &&
                program.read(whole.getPointer(), size) == size) {
                const int found = whole.findReverse(endMagic.bytes, 6, size - 6);
                if (found > 0) {
                    end = found + 10;
                    tooLong = true;
                    ok = true;
                }
            }
        }
    }

    if (ok) {
        if (!program.seek(end - 4, 0) || !readInt(program, start)) {
            reason = "Konnte Startoffset nicht lesen.";
            ok = false;
        } else if (start > size || start < archiveMinimumStart) {
            ok = false;
        }
    }

    if (ok) {
        char magic[6];
        ok = program.seek(start, 0) && program.read(magic, 6) == 6 && startMagic.matches(magic);
    }

    if (ok) {
        int headerLength = 0;
        int wordA = 0;
        int wordB = 0;
        // The blocks cannot begin inside the three header words.
        ok = program.seek(start + 6, 0) && readInt(program, headerLength) &&
             readInt(program, wordA) && readInt(program, wordB) && headerLength >= 12 &&
             seekInside(program, static_cast<long long>(start) + 6 + headerLength, size);
    }

    if (ok) {
        extractFolder = makeExtractFolder();
        ok = !extractFolder.isEmpty();
        if (ok)
            addFolder(extractFolder, true);
    }

    // Block loop. Every block consumes at least one byte of a finite file,
    // and no length is trusted beyond the bytes that are really there. The
    // list ends where the end marker begins (its place is known from the
    // trailer) or at an explicit end identifier 's'.
    while (ok) {
        if (program.tell() == end - 10)
            break;
        unsigned char identifier = 0;
        if (program.read(&identifier, 1) != 1) {
            reason = "Fehler beim Lesen der Kennung";
            ok = false;
            break;
        }
        if (identifier == 's')
            break;
        if (identifier != 0) {
            reason.format("unbekannte Blockkennung: %d", identifier);
            ok = false;
            break;
        }

        int nameLength = 0;
        if (!readInt(program, nameLength)) {
            reason = "Fehler beim Lesen der Namens-L\xE4nge";
            ok = false;
            break;
        }
        if (nameLength < 1 || nameLength > archiveMaximumNameLength) {
            reason.format("Ung\xFCltige Namens-L\xE4nge: %d", nameLength);
            ok = false;
            break;
        }
        char nameBytes[archiveMaximumNameLength];
        if (program.read(nameBytes, nameLength) != nameLength) {
            reason = "Fehler beim Lesen des Namens";
            ok = false;
            break;
        }
        const NString name(nameBytes, nameLength);
        if (static_cast<int>(strlen(name.getBuffer())) != nameLength || !isPlainFileName(name)) {
            // Shown only up to a zero byte the name may hide.
            reason = "Ung\xFCltiger Dateiname im Archiv: ";
            reason += name.getBuffer();
            ok = false;
            break;
        }

        int dataLengthBits = 0;
        if (!readInt(program, dataLengthBits)) {
            reason = "Fehler beim Lesen der Daten-L\xE4nge";
            ok = false;
            break;
        }
        const unsigned int dataLength = static_cast<unsigned int>(dataLengthBits);
        // A length beyond the archive's end cannot be read: say so without
        // first asking for that much memory.
        const long long available = static_cast<long long>(end) - 10 - program.tell();
        if (available < 0 || dataLength > available) {
            reason.format("Fehler beim Lesen der Daten: %s %u", name.getBuffer(), dataLength);
            ok = false;
            break;
        }
        const int count = static_cast<int>(dataLength);
        if (!block.setSize(count)) {
            reason.format("Speicheranforderung schlug fehl: %u", dataLength);
            ok = false;
            break;
        }
        if (count > 0 && program.read(block.getPointer(), count) != count) {
            reason.format("Fehler beim Lesen der Daten: %s %u", name.getBuffer(), dataLength);
            ok = false;
            break;
        }
        unsigned char* data = block.getPointer();
        for (int i = 0; i < count; ++i)
            data[i] ^= archiveKey;

        const NString path = extractFolder + "\\" + name;
        if (!tempFile.create(path, false)) {
            reason = "Fehler beim Anlegen des Tempfiles: ";
            reason += path;
            ok = false;
            break;
        }
        if (count > 0 && !tempFile.write(data, count)) {
            reason = "Fehler beim Schreiben des Tempfiles: ";
            reason += path;
            ok = false;
            break;
        }
        archiveFiles.setAt(name, tempFile.getFileName());
        tempFile.close();
    }

    if (!ok) {
        NString text = "Fehler beim Lesen der Resourcen.\r\n";
        text += reason;
        text += "\r\n";
        text += program.lastError;
        text += "\r\n";
        text += tempFile.lastError;
        globalError.messageBox(text, 0, "Fehler !", MB_ICONERROR);
    } else if (tooLong) {
        NString text;
        text.format("Fehler beim Lesen der Resourcen.\r\nDie Datei ist um %d Byte zu gro\xDF, "
                    "Ursache kann ein Virenbefall sein.",
                    size - end);
        globalError.messageBox(text, 0, "Fehler !", MB_ICONERROR);
    }

    program.close();
    archive = ok ? 1 : 0;
    return ok;
}

void NResources::cleanUp()
{
    // What a failed archive left behind stays for inspection.
    if (!archive)
        return;
    // Quietly: this runs at program exit, when no one can act on a box.
    for (int i = 0; i < archiveFiles.getCount(); ++i)
        NFileSystem::deleteFile(archiveFiles.getValueAt(i), true);
    if (!extractFolder.isEmpty())
        RemoveDirectoryA(extractFolder);
    archiveFiles.removeAll();
}
