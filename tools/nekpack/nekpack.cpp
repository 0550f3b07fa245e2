// nekpack: binds resource files into a finished NEK program by appending
// them as an archive behind the executable image, and lists such archives.
//
//   nekpack <programm> <ausgabe> <datei> [<datei> ...]
//   nekpack --list <programm>
//   nekpack --help

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "NResources.h"
#include "NString.h"

namespace {

enum ExitCode {
    exitOk = 0,
    exitUsage = 1,
    exitRead = 2,
    exitWrite = 3,
    exitNoArchive = 4,
    exitDamaged = 5,
    exitBadName = 6,
};

const char* const helpText =
    "nekpack - h\xE4ngt Ressourcen-Dateien als Archiv an ein NEK-Programm an.\n"
    "\n"
    "Aufruf:\n"
    "  nekpack <programm> <ausgabe> <datei> [<datei> ...]\n"
    "      Schreibt eine Kopie von <programm> nach <ausgabe> und h\xE4ngt die\n"
    "      Dateien als Archiv an. Die Namen werden ohne Ordner und in\n"
    "      Kleinbuchstaben gespeichert, die Daten verschl\xFCsselt. Ein schon\n"
    "      angeh\xE4ngtes Archiv wird ersetzt. Der Archiv-Schalter des Programms\n"
    "      wird eingeschaltet, damit es das Archiv beim Start liest.\n"
    "      <ausgabe> darf gleich <programm> sein.\n"
    "  nekpack --list <programm>\n"
    "      Zeigt das an <programm> angeh\xE4ngte Archiv: Dateinamen und Gr\xF6\xDF" "en.\n"
    "  nekpack --help\n"
    "      Zeigt diesen Text.\n"
    "\n"
    "R\xFC" "ckgabewerte:\n"
    "  0  erfolgreich\n"
    "  1  falscher Aufruf\n"
    "  2  eine Eingabedatei kann nicht gelesen werden oder ist zu gro\xDF/klein\n"
    "  3  die Ausgabedatei kann nicht geschrieben werden\n"
    "  4  (--list) kein Archiv vorhanden\n"
    "  5  (--list) das Archiv ist besch\xE4" "digt\n"
    "  6  ein Dateiname ist im Archiv nicht verwendbar oder doppelt\n";

const char startMagic[] = {'n', 'e', 'k', 'r', 'e', 's'};
const char endMagic[] = {'n', 'e', 'k', 'e', 'n', 'd'};

// Whole files; the largest program an archive can describe is below 2 GB.
bool readFile(const std::string& path, std::vector<char>& bytes)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes.clear();
    char chunk[65536];
    size_t got;
    bool ok = true;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > 0x7FFFFFFFu) {
            ok = false;
            break;
        }
    }
    if (ferror(file))
        ok = false;
    fclose(file);
    return ok;
}

void putInt(std::vector<char>& out, unsigned int value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

unsigned int getInt(const std::vector<char>& bytes, size_t at)
{
    unsigned int value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::string fileNamePart(const std::string& path)
{
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Where an archive appended to bytes lies.
struct ArchiveSpan {
    size_t start = 0;  // S
    size_t end = 0;    // E: behind the trailer
    bool found = false;
    std::string problem;  // set when a trailer exists but does not lead to an archive
};

ArchiveSpan locateArchive(const std::vector<char>& bytes)
{
    ArchiveSpan span;
    const size_t size = bytes.size();
    if (size < 10)
        return span;
    size_t markerAt = std::string::npos;
    if (memcmp(&bytes[size - 10], endMagic, 6) == 0) {
        markerAt = size - 10;
    } else {
        for (size_t p = size - 6 + 1; p-- > 0;)
            if (memcmp(&bytes[p], endMagic, 6) == 0) {
                markerAt = p;
                break;
            }
    }
    if (markerAt == std::string::npos || markerAt == 0)
        return span;
    span.end = markerAt + 10;
    if (span.end > size) {
        span.problem = "Der Startoffset hinter der Endekennung fehlt.";
        return span;
    }
    const int start = static_cast<int>(getInt(bytes, span.end - 4));
    if (start < NResources::archiveMinimumStart || static_cast<size_t>(start) + 6 > markerAt) {
        span.problem = "Der Startoffset " + std::to_string(start) + " ist ung\xFCltig.";
        return span;
    }
    if (memcmp(&bytes[start], startMagic, 6) != 0) {
        span.problem = "Am Startoffset steht keine Archiv-Kennung.";
        return span;
    }
    span.start = static_cast<size_t>(start);
    span.found = true;
    return span;
}

// Positions of "qovantirel" followed by the switch digit.
std::vector<size_t> findSwitches(const std::vector<char>& bytes, size_t limit)
{
    std::vector<size_t> at;
    const char* marker = NResources::archiveMarker;
    const size_t n = NResources::archiveSwitchIndex;
    for (size_t p = 0; p + n < limit; ++p)
        if (memcmp(&bytes[p], marker, n) == 0 && (bytes[p + n] == '0' || bytes[p + n] == '1'))
            at.push_back(p + n);
    return at;
}

int pack(const std::string& programPath, const std::string& outputPath,
         const std::vector<std::string>& files)
{
    std::vector<char> out;
    if (!readFile(programPath, out)) {
        fprintf(stderr, "Fehler: Die Programmdatei '%s' kann nicht gelesen werden.\n",
                programPath.c_str());
        return exitRead;
    }
    const ArchiveSpan old = locateArchive(out);
    if (old.found && old.end == out.size()) {
        fprintf(stderr, "Hinweis: Das vorhandene Archiv ab Offset %u wird ersetzt.\n",
                static_cast<unsigned>(old.start));
        out.resize(old.start);
    }
    if (out.size() < static_cast<size_t>(NResources::archiveMinimumStart)) {
        fprintf(stderr, "Fehler: Die Programmdatei '%s' ist kleiner als %d Byte.\n",
                programPath.c_str(), NResources::archiveMinimumStart);
        return exitRead;
    }

    const std::vector<size_t> switches = findSwitches(out, out.size());
    for (size_t at : switches)
        out[at] = '1';
    if (switches.empty())
        fprintf(stderr, "Hinweis: Im Programm wurde kein Archiv-Schalter gefunden; "
                        "ein NEK-Programm liest das Archiv nur mit eingeschaltetem Schalter.\n");

    const size_t start = out.size();
    out.insert(out.end(), startMagic, startMagic + 6);
    putInt(out, 12);
    putInt(out, 1);
    putInt(out, 0);

    std::vector<std::string> names;
    for (const std::string& path : files) {
        const NString name = NResources::archiveName(fileNamePart(path).c_str());
        const std::string stored(name.getBuffer(), name.getLength());
        if (!NResources::isPlainFileName(name)) {
            fprintf(stderr, "Fehler: Der Dateiname '%s' kann nicht ins Archiv aufgenommen werden.\n",
                    fileNamePart(path).c_str());
            return exitBadName;
        }
        for (const std::string& earlier : names)
            if (earlier == stored) {
                fprintf(stderr, "Fehler: Der Dateiname '%s' kommt doppelt vor.\n", stored.c_str());
                return exitBadName;
            }
        names.push_back(stored);

        std::vector<char> data;
        if (!readFile(path, data)) {
            fprintf(stderr, "Fehler: Die Datei '%s' kann nicht gelesen werden.\n", path.c_str());
            return exitRead;
        }
        out.push_back(0);
        putInt(out, static_cast<unsigned int>(stored.size()));
        out.insert(out.end(), stored.begin(), stored.end());
        putInt(out, static_cast<unsigned int>(data.size()));
        for (char c : data)
            out.push_back(static_cast<char>(c ^ NResources::archiveKeyDefault));
        if (out.size() > 0x7FFFFF00u) {
            fprintf(stderr, "Fehler: Programm und Dateien sind zusammen gr\xF6\xDF" "er als 2 GB.\n");
            return exitRead;
        }
    }
    out.insert(out.end(), endMagic, endMagic + 6);
    putInt(out, static_cast<unsigned int>(start));

    // Written beside the target first, so that a failure never leaves a
    // half-written program behind.
    const std::string temp = outputPath + ".nekpack-tmp";
    FILE* file = fopen(temp.c_str(), "wb");
    bool written = file && fwrite(out.data(), 1, out.size(), file) == out.size();
    if (file && fclose(file) != 0)
        written = false;
    if (!written ||
        !MoveFileExA(temp.c_str(), outputPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temp.c_str());
        fprintf(stderr, "Fehler: Die Ausgabedatei '%s' kann nicht geschrieben werden.\n",
                outputPath.c_str());
        return exitWrite;
    }
    printf("%u Datei(en) an '%s' angeh\xE4ngt, Archiv ab Offset %u.\n",
           static_cast<unsigned>(files.size()), outputPath.c_str(),
           static_cast<unsigned>(start));
    return exitOk;
}

int list(const std::string& programPath)
{
    std::vector<char> bytes;
    if (!readFile(programPath, bytes)) {
        fprintf(stderr, "Fehler: Die Programmdatei '%s' kann nicht gelesen werden.\n",
                programPath.c_str());
        return exitRead;
    }
    const ArchiveSpan span = locateArchive(bytes);
    if (!span.found) {
        if (!span.problem.empty()) {
            fprintf(stderr, "Fehler: Das Archiv ist besch\xE4" "digt. %s\n", span.problem.c_str());
            return exitDamaged;
        }
        fprintf(stderr, "An '%s' ist kein Archiv angeh\xE4ngt.\n", programPath.c_str());
        return exitNoArchive;
    }

    const size_t trailer = span.end - 10;
    size_t at = span.start + 6;
    if (at + 12 > trailer) {
        fprintf(stderr, "Fehler: Das Archiv ist besch\xE4" "digt. Der Kopf ist unvollst\xE4ndig.\n");
        return exitDamaged;
    }
    const unsigned int headerLength = getInt(bytes, at);
    printf("Archiv ab Offset %u, Kopf %u Byte (A=%u, B=%u)\n", static_cast<unsigned>(span.start),
           headerLength, getInt(bytes, at + 4), getInt(bytes, at + 8));
    const std::vector<size_t> switches = findSwitches(bytes, span.start);
    if (switches.empty())
        printf("Archiv-Schalter: nicht gefunden\n");
    else
        printf("Archiv-Schalter: %c\n", bytes[switches.front()]);
    if (span.end != bytes.size())
        printf("Hinter dem Archiv liegen %u Byte.\n",
               static_cast<unsigned>(bytes.size() - span.end));

    at += headerLength;
    unsigned int count = 0;
    unsigned long long total = 0;
    const char* problem = nullptr;
    while (!problem) {
        if (at >= trailer) {
            if (at == trailer)
                break;
            problem = "Die Bl\xF6" "cke reichen \xFC" "ber die Endekennung.";
            break;
        }
        const unsigned char identifier = static_cast<unsigned char>(bytes[at]);
        if (identifier != 0) {
            problem = "Unbekannte Blockkennung.";
            break;
        }
        if (at + 5 > trailer) {
            problem = "Ein Block ist unvollst\xE4ndig.";
            break;
        }
        const unsigned int nameLength = getInt(bytes, at + 1);
        if (nameLength > trailer - at - 5 || at + 5 + nameLength + 4 > trailer) {
            problem = "Ein Block ist unvollst\xE4ndig.";
            break;
        }
        const std::string name(&bytes[at + 5], nameLength);
        const unsigned int dataLength = getInt(bytes, at + 5 + nameLength);
        const size_t dataAt = at + 5 + nameLength + 4;
        if (dataLength > trailer - dataAt) {
            problem = "Ein Block ist unvollst\xE4ndig.";
            break;
        }
        printf("%s\t%u\n", name.c_str(), dataLength);
        ++count;
        total += dataLength;
        at = dataAt + dataLength;
    }
    printf("%u Datei(en), %llu Byte\n", count, total);
    if (problem) {
        fprintf(stderr, "Fehler: Das Archiv ist besch\xE4" "digt. %s\n", problem);
        return exitDamaged;
    }
    return exitOk;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        fputs(helpText, stderr);
        return exitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "/?") {
        fputs(helpText, stdout);
        return exitOk;
    }
    if (args[0] == "--list") {
        if (args.size() != 2) {
            fprintf(stderr, "Fehler: --list erwartet genau eine Programmdatei.\n");
            return exitUsage;
        }
        return list(args[1]);
    }
    if (args[0].compare(0, 1, "-") == 0) {
        fprintf(stderr, "Fehler: Unbekannte Option '%s'. Hilfe mit --help.\n", args[0].c_str());
        return exitUsage;
    }
    if (args.size() < 2) {
        fprintf(stderr, "Fehler: Programm- und Ausgabedatei fehlen. Hilfe mit --help.\n");
        return exitUsage;
    }
    return pack(args[0], args[1], std::vector<std::string>(args.begin() + 2, args.end()));
}
