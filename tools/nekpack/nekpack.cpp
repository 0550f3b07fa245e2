// nekpack: binds resource files into a finished NEK program by appending
// them as an archive behind the executable image, and lists such archives.
//
//   nekpack <programm> <ausgabe> <datei> [<datei> ...]
//   nekpack --list <programm>
//   nekpack --help

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "NConsole.h"
#include "NResources.h"
#include "NString.h"
#include "NWidePath.h"

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

const wchar_t* const helpText =
    L"nekpack - h\xE4ngt Ressourcen-Dateien als Archiv an ein NEK-Programm an.\r\n"
    L"\r\n"
    L"Aufruf:\r\n"
    L"  nekpack <programm> <ausgabe> <datei> [<datei> ...]\r\n"
    L"      Schreibt eine Kopie von <programm> nach <ausgabe> und h\xE4ngt die\r\n"
    L"      Dateien als Archiv an. Die Namen werden ohne Ordner und in\r\n"
    L"      Kleinbuchstaben gespeichert, die Daten verschl\xFCsselt. Ein schon\r\n"
    L"      angeh\xE4ngtes Archiv wird ersetzt. Der Archiv-Schalter des Programms\r\n"
    L"      wird eingeschaltet, damit es das Archiv beim Start liest.\r\n"
    L"      <ausgabe> darf gleich <programm> sein. * und ? im Namen einer Datei\r\n"
    L"      w\xE4hlen alle passenden Dateien.\r\n"
    L"  nekpack --list <programm>\r\n"
    L"      Zeigt das an <programm> angeh\xE4ngte Archiv: Dateinamen und Gr\xF6\xDF" L"en.\r\n"
    L"      Steuerzeichen in Namen erscheinen als \\xNN; ein Name, den das\r\n"
    L"      Programm beim Lesen ablehnen w\xFCrde, beendet die Liste mit Code 5.\r\n"
    L"  nekpack --help\r\n"
    L"      Zeigt diesen Text.\r\n"
    L"\r\n"
    L"Meldungen erscheinen in einer Konsole als Unicode, umgeleitet als UTF-8.\r\n"
    L"\r\n"
    L"R\xFC" L"ckgabewerte:\r\n"
    L"  0  erfolgreich\r\n"
    L"  1  falscher Aufruf\r\n"
    L"  2  eine Eingabedatei kann nicht gelesen werden oder ist zu gro\xDF/klein\r\n"
    L"  3  die Ausgabedatei kann nicht geschrieben werden\r\n"
    L"  4  (--list) kein Archiv vorhanden\r\n"
    L"  5  (--list) das Archiv ist besch\xE4" L"digt\r\n"
    L"  6  ein Dateiname ist im Archiv nicht verwendbar oder doppelt\r\n";

const char startMagic[] = {'n', 'e', 'k', 'r', 'e', 's'};
const char endMagic[] = {'n', 'e', 'k', 'e', 'n', 'd'};

NConsole out(NConsole::standardOutput);
NConsole err(NConsole::standardError);

void say(NConsole& to, const std::wstring& text) { to.write(text + L"\r\n"); }

std::wstring number(unsigned long long value) { return std::to_wstring(value); }

// Whole files; the largest program an archive can describe is below 2 GB.
bool readFile(const std::wstring& path, std::vector<char>& bytes)
{
    HANDLE h = CreateFileW(NWidePath::systemForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart <= 0x7FFFFFFF;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = bytes.empty() || (ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                               got == bytes.size());
    }
    CloseHandle(h);
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

// An archive name as the listing shows it: control characters (and the
// characters that turn the direction of text) as \xNN or \uNNNN, so that
// a name can never pose as other lines or columns.
std::wstring shown(const std::string& name)
{
    std::wstring text;
    for (wchar_t c : NConsole::fromAnsi(name.data(), name.size())) {
        const bool control = c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || (c >= 0x202A && c <= 0x202E) ||
                             (c >= 0x2066 && c <= 0x2069);
        if (c == L'\\' || !control) {
            text += c == L'\\' ? std::wstring(L"\\\\") : std::wstring(1, c);
            continue;
        }
        static const wchar_t hex[] = L"0123456789ABCDEF";
        text += c < 0x100 ? std::wstring{L'\\', L'x', hex[c >> 4], hex[c & 15]}
                          : std::wstring{L'\\', L'u', hex[c >> 12], hex[(c >> 8) & 15], hex[(c >> 4) & 15], hex[c & 15]};
    }
    return text;
}

// Where an archive appended to bytes lies.
struct ArchiveSpan {
    size_t start = 0;  // S
    size_t end = 0;    // E: behind the trailer
    bool found = false;
    std::wstring problem;  // set when the file ends in a trailer that does not lead to an archive
};

ArchiveSpan locateArchive(const std::vector<char>& bytes)
{
    ArchiveSpan span;
    const size_t size = bytes.size();
    if (size < 10)
        return span;
    // A trailer at the very end is an archive, sound or damaged. Found further
    // back (bytes appended behind an archive), "nekend" only counts when it
    // leads to an archive head: every program with the archive reader holds
    // the word in its code.
    const bool atEnd = memcmp(&bytes[size - 10], endMagic, 6) == 0;
    for (size_t p = atEnd ? size - 10 : size - 6;; --p) {
        if (memcmp(&bytes[p], endMagic, 6) == 0 && p + 10 <= size) {
            const int start = static_cast<int>(getInt(bytes, p + 6));
            const bool validStart = start >= NResources::archiveMinimumStart && static_cast<size_t>(start) + 6 <= p;
            if (validStart && memcmp(&bytes[start], startMagic, 6) == 0) {
                span.start = static_cast<size_t>(start);
                span.end = p + 10;
                span.found = true;
                return span;
            }
            if (atEnd) {
                span.problem = validStart ? L"Am Startoffset steht keine Archiv-Kennung."
                                          : L"Der Startoffset " + std::to_wstring(start) + L" ist ung\xFCltig.";
                return span;
            }
        }
        if (p == 0)
            return span;
    }
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

bool writeWhole(const std::wstring& path, const std::vector<char>& bytes)
{
    // Written beside the target first, so that a failure never leaves a
    // half-written program behind.
    const std::wstring temp = NWidePath::systemForm(path + L".nekpack-tmp");
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    ok = CloseHandle(h) && ok;
    ok = ok && MoveFileExW(temp.c_str(), NWidePath::systemForm(path).c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!ok)
        DeleteFileW(temp.c_str());
    return ok;
}

int pack(const std::wstring& programPath, const std::wstring& outputPath, const std::vector<std::wstring>& files)
{
    std::vector<char> out;
    if (!readFile(programPath, out)) {
        say(err, L"Fehler: Die Programmdatei '" + programPath + L"' kann nicht gelesen werden.");
        return exitRead;
    }
    const ArchiveSpan old = locateArchive(out);
    if (old.found && old.end == out.size()) {
        say(err, L"Hinweis: Das vorhandene Archiv ab Offset " + number(old.start) + L" wird ersetzt.");
        out.resize(old.start);
    }
    if (out.size() < static_cast<size_t>(NResources::archiveMinimumStart)) {
        say(err, L"Fehler: Die Programmdatei '" + programPath + L"' ist kleiner als " +
                     number(NResources::archiveMinimumStart) + L" Byte.");
        return exitRead;
    }

    const std::vector<size_t> switches = findSwitches(out, out.size());
    for (size_t at : switches)
        out[at] = '1';
    if (switches.empty())
        say(err, L"Hinweis: Im Programm wurde kein Archiv-Schalter gefunden; "
                 L"ein NEK-Programm liest das Archiv nur mit eingeschaltetem Schalter.");

    const size_t start = out.size();
    out.insert(out.end(), startMagic, startMagic + 6);
    putInt(out, 12);
    putInt(out, 1);
    putInt(out, 0);

    std::vector<std::string> names;
    for (const std::wstring& path : files) {
        const std::wstring fileName = NWidePath::fileName(path);
        NString plain;
        if (!NWidePath::toAnsi(fileName, plain) || !NResources::isPlainFileName(plain)) {
            say(err, L"Fehler: Der Dateiname '" + fileName + L"' kann nicht ins Archiv aufgenommen werden.");
            return exitBadName;
        }
        const NString name = NResources::archiveName(plain);
        const std::string stored(name.getBuffer(), name.getLength());
        for (const std::string& earlier : names)
            if (earlier == stored) {
                say(err, L"Fehler: Der Dateiname '" + shown(stored) + L"' kommt doppelt vor.");
                return exitBadName;
            }
        names.push_back(stored);

        std::vector<char> data;
        if (!readFile(path, data)) {
            say(err, L"Fehler: Die Datei '" + path + L"' kann nicht gelesen werden.");
            return exitRead;
        }
        out.push_back(0);
        putInt(out, static_cast<unsigned int>(stored.size()));
        out.insert(out.end(), stored.begin(), stored.end());
        putInt(out, static_cast<unsigned int>(data.size()));
        for (char c : data)
            out.push_back(static_cast<char>(c ^ NResources::archiveKeyDefault));
        if (out.size() > 0x7FFFFF00u) {
            say(err, L"Fehler: Programm und Dateien sind zusammen gr\xF6\xDF" L"er als 2 GB.");
            return exitRead;
        }
    }
    out.insert(out.end(), endMagic, endMagic + 6);
    putInt(out, static_cast<unsigned int>(start));

    if (!writeWhole(outputPath, out)) {
        say(err, L"Fehler: Die Ausgabedatei '" + outputPath + L"' kann nicht geschrieben werden.");
        return exitWrite;
    }
    say(::out, number(files.size()) + L" Datei(en) an '" + outputPath + L"' angeh\xE4ngt, Archiv ab Offset " +
                   number(start) + L".");
    return exitOk;
}

int list(const std::wstring& programPath)
{
    std::vector<char> bytes;
    if (!readFile(programPath, bytes)) {
        say(err, L"Fehler: Die Programmdatei '" + programPath + L"' kann nicht gelesen werden.");
        return exitRead;
    }
    const ArchiveSpan span = locateArchive(bytes);
    if (!span.found) {
        if (!span.problem.empty()) {
            say(err, L"Fehler: Das Archiv ist besch\xE4" L"digt. " + span.problem);
            return exitDamaged;
        }
        say(err, L"An '" + programPath + L"' ist kein Archiv angeh\xE4ngt.");
        return exitNoArchive;
    }

    const size_t trailer = span.end - 10;
    size_t at = span.start + 6;
    if (at + 12 > trailer) {
        say(err, L"Fehler: Das Archiv ist besch\xE4" L"digt. Der Kopf ist unvollst\xE4ndig.");
        return exitDamaged;
    }
    const unsigned int headerLength = getInt(bytes, at);
    say(out, L"Archiv ab Offset " + number(span.start) + L", Kopf " + number(headerLength) + L" Byte (A=" +
                 number(getInt(bytes, at + 4)) + L", B=" + number(getInt(bytes, at + 8)) + L")");
    const std::vector<size_t> switches = findSwitches(bytes, span.start);
    say(out, switches.empty() ? std::wstring(L"Archiv-Schalter: nicht gefunden")
                              : L"Archiv-Schalter: " + std::wstring(1, static_cast<wchar_t>(bytes[switches.front()])));
    if (span.end != bytes.size())
        say(out, L"Hinter dem Archiv liegen " + number(bytes.size() - span.end) + L" Byte.");

    at += headerLength;
    unsigned int count = 0;
    unsigned long long total = 0;
    std::wstring problem;
    while (problem.empty()) {
        if (at >= trailer) {
            if (at > trailer)
                problem = L"Die Bl\xF6" L"cke reichen \xFC" L"ber die Endekennung.";
            break;
        }
        if (bytes[at] != 0) {
            problem = L"Unbekannte Blockkennung.";
            break;
        }
        const unsigned int nameLength = at + 5 <= trailer ? getInt(bytes, at + 1) : 0xFFFFFFFFu;
        if (at + 5 > trailer || nameLength > trailer - at - 5 || at + 5 + nameLength + 4 > trailer) {
            problem = L"Ein Block ist unvollst\xE4ndig.";
            break;
        }
        const std::string name(&bytes[at + 5], nameLength);
        // The reader refuses what could leave its folder or hides behind a zero byte.
        if (name.find('\0') != std::string::npos || !NResources::isPlainFileName(NString(name.data(), static_cast<int>(name.size())))) {
            problem = L"Ung\xFCltiger Dateiname im Archiv: " + shown(name);
            break;
        }
        const unsigned int dataLength = getInt(bytes, at + 5 + nameLength);
        const size_t dataAt = at + 5 + nameLength + 4;
        if (dataLength > trailer - dataAt) {
            problem = L"Ein Block ist unvollst\xE4ndig.";
            break;
        }
        say(out, shown(name) + L"\t" + number(dataLength));
        ++count;
        total += dataLength;
        at = dataAt + dataLength;
    }
    say(out, number(count) + L" Datei(en), " + number(total) + L" Byte");
    if (!problem.empty()) {
        say(err, L"Fehler: Das Archiv ist besch\xE4" L"digt. " + problem);
        return exitDamaged;
    }
    return exitOk;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.empty()) {
        err.write(helpText);
        return exitUsage;
    }
    if (args[0] == L"--help" || args[0] == L"-h" || args[0] == L"/?") {
        out.write(helpText);
        return exitOk;
    }
    if (args[0] == L"--list") {
        if (args.size() != 2) {
            say(err, L"Fehler: --list erwartet genau eine Programmdatei.");
            return exitUsage;
        }
        return list(args[1]);
    }
    if (args[0].compare(0, 1, L"-") == 0) {
        say(err, L"Fehler: Unbekannte Option '" + args[0] + L"'. Hilfe mit --help.");
        return exitUsage;
    }
    if (args.size() < 2) {
        say(err, L"Fehler: Programm- und Ausgabedatei fehlen. Hilfe mit --help.");
        return exitUsage;
    }
    // Windows shells leave '*' and '?' to the program.
    std::vector<std::wstring> files;
    for (auto it = args.begin() + 2; it != args.end(); ++it) {
        if (!NWidePath::isPattern(*it)) {
            files.push_back(*it);
            continue;
        }
        const std::vector<std::wstring> found = NWidePath::expand(*it);
        if (found.empty()) {
            say(err, L"Fehler: Keine Datei passt zu '" + *it + L"'.");
            return exitRead;
        }
        files.insert(files.end(), found.begin(), found.end());
    }
    return pack(args[0], args[1], files);
}
