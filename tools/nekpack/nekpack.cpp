// nekpack: binds resource files into a finished NEK program by appending
// them as an archive behind the executable image, and lists such archives.
//
//   nekpack <programm> <ausgabe> <datei> [<datei> ...]
//   nekpack --list <programm>
//   nekpack --help

#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "NConsole.h"
#include "NResourceArchive.h"
#include "NResources.h"
#include "NString.h"
#include "NSystem.h"
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
    exitOverwrite = 7,
};

const wchar_t* const helpText =
    L"nekpack - h\xE4ngt Ressourcen-Dateien als Archiv an ein NEK-Programm an.\r\n"
    L"\r\n"
    L"Aufruf:\r\n"
    L"  nekpack <programm> <ausgabe> <datei> [<datei> ...]\r\n"
    L"      Schreibt eine Kopie von <programm> nach <ausgabe> und h\xE4ngt die\r\n"
    L"      Dateien als Archiv an. Die Namen werden ohne Ordner und in\r\n"
    L"      Kleinbuchstaben gespeichert, die Daten verschl\xFCsselt. Ein schon\r\n"
    L"      angeh\xE4ngtes Archiv wird ersetzt, auch mit Bytes dahinter oder\r\n"
    L"      abgeschnittener Endekennung. Der Archiv-Schalter des Programms\r\n"
    L"      wird eingeschaltet, damit es das Archiv beim Start liest.\r\n"
    L"      <ausgabe> darf gleich <programm> sein, aber keine der Dateien; eine\r\n"
    L"      vorhandene <ausgabe>, die kein Programm ist, wird nicht \xFC" L"berschrieben.\r\n"
    L"      * und ? im Namen einer Datei w\xE4hlen alle passenden Dateien.\r\n"
    L"      Programm und Dateien zusammen m\xFCssen kleiner als 2 GB sein.\r\n"
    L"  nekpack --list <programm>\r\n"
    L"      Zeigt das an <programm> angeh\xE4ngte Archiv so, wie das Programm es\r\n"
    L"      liest: Dateinamen und Gr\xF6\xDF" L"en. Steuerzeichen in Namen erscheinen\r\n"
    L"      als \\xNN; wo das Programm das Lesen abbr\xE4" L"che, endet die Liste mit\r\n"
    L"      Code 5.\r\n"
    L"  nekpack --help\r\n"
    L"      Zeigt diesen Text.\r\n"
    L"\r\n"
    L"Meldungen erscheinen in einer Konsole als Unicode, umgeleitet als UTF-8.\r\n"
    L"\r\n"
    L"R\xFC" L"ckgabewerte:\r\n"
    L"  0  erfolgreich\r\n"
    L"  1  falscher Aufruf\r\n"
    L"  2  eine Eingabedatei kann nicht gelesen werden, ist ein Ordner oder\r\n"
    L"     ist zu gro\xDF/klein\r\n"
    L"  3  die Ausgabedatei kann nicht geschrieben werden\r\n"
    L"  4  (--list) kein Archiv vorhanden\r\n"
    L"  5  das Archiv ist besch\xE4" L"digt (beim Packen: das alte Archiv, so dass\r\n"
    L"     das Ende des Programms nicht zu finden ist)\r\n"
    L"  6  ein Dateiname ist im Archiv nicht verwendbar oder doppelt\r\n"
    L"  7  die Ausgabe w\xFCrde eine Eingabedatei oder eine Datei, die kein\r\n"
    L"     Programm ist, \xFC" L"berschreiben; es wurde nichts geschrieben\r\n";

// Program and files are copied in pieces of this size, so memory does not
// grow with them.
const DWORD pieceSize = 1 << 20;
// The reader keeps offsets and sizes in signed 32 bits.
const long long largestArchiveFile = 0x7FFFFFFF;

NConsole out(NConsole::standardOutput);
NConsole err(NConsole::standardError);

void say(NConsole& to, const std::wstring& text) { to.write(text + L"\r\n"); }

std::wstring number(unsigned long long value) { return std::to_wstring(value); }

// Text as the messages show it: control characters (and the characters
// that turn the direction of text) as \xNN or \uNNNN, so that a name can
// never pose as other lines or columns or drive the terminal.
std::wstring shown(const std::wstring& raw, bool doubleBackslash)
{
    std::wstring text;
    for (wchar_t c : raw) {
        const bool control = c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || (c >= 0x202A && c <= 0x202E) ||
                             (c >= 0x2066 && c <= 0x2069);
        if (c == L'\\' && doubleBackslash) {
            text += L"\\\\";
        } else if (!control) {
            text += c;
        } else {
            static const wchar_t hex[] = L"0123456789ABCDEF";
            text += c < 0x100 ? std::wstring{L'\\', L'x', hex[c >> 4], hex[c & 15]}
                              : std::wstring{L'\\', L'u', hex[c >> 12], hex[(c >> 8) & 15], hex[(c >> 4) & 15],
                                             hex[c & 15]};
        }
    }
    return text;
}

// An archive name; its backslashes doubled so that \xNN stays unambiguous.
std::wstring shownName(const NString& name)
{
    return shown(NConsole::fromAnsi(name.getBuffer(), static_cast<size_t>(name.getLength())), true);
}

// A path the user gave; its backslashes are folder separators.
std::wstring shownPath(const std::wstring& path) { return shown(path, false); }

std::wstring systemText(DWORD code)
{
    const NString text = NSystem::getErrorText(code);
    return NConsole::fromAnsi(text.getBuffer(), static_cast<size_t>(text.getLength()));
}

// One file opened for reading; the archive reading sees its first `limit` bytes.
class InputFile : public NResourceArchive::Source {
public:
    explicit InputFile(const std::wstring& path) : error(0), size(0), limit(0)
    {
        handle = CreateFileW(NWidePath::systemForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        LARGE_INTEGER bytes = {};
        if (handle == INVALID_HANDLE_VALUE || !GetFileSizeEx(handle, &bytes))
            error = GetLastError();
        size = limit = bytes.QuadPart;
    }
    ~InputFile() override { close(); }
    void close()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
    bool isOpen() const { return error == 0; }
    long long getSize() override { return limit; }
    bool readAt(long long offset, void* buffer, int count) override
    {
        if (offset < 0 || count < 0 || offset + count > limit)
            return false;
        LARGE_INTEGER at;
        at.QuadPart = offset;
        DWORD got = 0;
        return SetFilePointerEx(handle, at, nullptr, FILE_BEGIN) &&
               (count == 0 || (ReadFile(handle, buffer, static_cast<DWORD>(count), &got, nullptr) &&
                               got == static_cast<DWORD>(count)));
    }

    DWORD error;
    long long size;
    long long limit;

private:
    HANDLE handle;
};

// Why a file cannot be read, for the message after "kann nicht gelesen werden".
std::wstring openProblem(const std::wstring& path, DWORD error)
{
    if (NWidePath::kind(path) == NWidePath::folder)
        return L"es ist ein Ordner, keine Datei";
    return systemText(error);
}

// Positions of the archive switch digit ("qovantirel" then '0' or '1')
// within the first `limit` bytes.
std::vector<long long> findSwitches(InputFile& file, long long limit)
{
    std::vector<long long> at;
    const char* marker = NResources::archiveMarker;
    const int n = NResources::archiveSwitchIndex;
    std::vector<char> piece;
    // Pieces overlap by the marker's length, so none is missed at a seam.
    for (long long low = 0; low + n < limit; low += pieceSize) {
        const long long high = low + pieceSize + n < limit ? low + pieceSize + n : limit;
        piece.resize(static_cast<size_t>(high - low));
        if (!file.readAt(low, piece.data(), static_cast<int>(piece.size())))
            break;
        for (size_t p = 0; p + n < piece.size() && p < pieceSize; ++p)
            if (memcmp(&piece[p], marker, n) == 0 && (piece[p + n] == '0' || piece[p + n] == '1'))
                at.push_back(low + static_cast<long long>(p) + n);
    }
    return at;
}

void putInt(std::string& bytes, unsigned int value)
{
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Where the program itself ends: every archive appended to it (also one
// with bytes behind it, or with its trailer cut off) is left out. -1 when a
// damaged archive hides that place.
long long programEnd(InputFile& program, std::wstring& problem)
{
    // Each round removes one archive; a program packed again and again by
    // an older tool may carry several.
    for (int round = 0; round < 1000; ++round) {
        NResourceArchive archive(program);
        if (archive.open()) {
            say(err, L"Hinweis: Das vorhandene Archiv ab Offset " + number(archive.getStart()) + L" wird ersetzt" +
                         (archive.isTooLong() ? L", ebenso die " + number(archive.getFileSize() - archive.getEnd()) +
                                                    L" Byte dahinter."
                                              : std::wstring(L".")));
            program.limit = archive.getStart();
        } else if (archive.isTrailerAtEnd()) {
            problem = L"Das Programm endet mit einer Archiv-Endekennung, aber das Archiv ist besch\xE4" L"digt (" +
                      NConsole::fromAnsi(archive.getExplanation().getBuffer(),
                                         static_cast<size_t>(archive.getExplanation().getLength())) +
                      L"); wo das Programm endet, ist nicht zu erkennen.";
            return -1;
        } else if (archive.openWithoutTrailer()) {
            say(err, L"Hinweis: Das vorhandene Archiv ab Offset " + number(archive.getStart()) +
                         L" hat keine vollst\xE4ndige Endekennung; es wird ersetzt.");
            program.limit = archive.getStart();
        } else {
            return program.limit;
        }
    }
    problem = L"Das Programm tr\xE4gt zu viele Archive.";
    return -1;
}

// A file to be packed, checked before anything is written.
struct Entry {
    std::wstring path;
    std::string name;
    long long size = 0;
};

int checkFiles(const std::vector<std::wstring>& files, std::vector<Entry>& entries)
{
    std::map<std::string, std::wstring> names;
    for (const std::wstring& path : files) {
        Entry entry;
        entry.path = path;
        const std::wstring fileName = NWidePath::fileName(path);
        NString plain;
        if (!NWidePath::toAnsi(fileName, plain)) {
            say(err, L"Fehler: Der Dateiname '" + shownPath(fileName) +
                         L"' kann nicht ins Archiv aufgenommen werden: er l\xE4sst sich im ANSI-Zeichensatz nicht "
                         L"schreiben.");
            return exitBadName;
        }
        const NString problem = NResources::fileNameProblem(plain);
        if (!problem.isEmpty()) {
            say(err, L"Fehler: Der Dateiname '" + shownPath(fileName) + L"' kann nicht ins Archiv aufgenommen werden: " +
                         NConsole::fromAnsi(problem.getBuffer(), static_cast<size_t>(problem.getLength())) + L".");
            return exitBadName;
        }
        const NString name = NResources::archiveName(plain);
        entry.name.assign(name.getBuffer(), static_cast<size_t>(name.getLength()));
        if (!names.emplace(entry.name, path).second) {
            say(err, L"Fehler: Der Dateiname '" + shownName(name) + L"' kommt doppelt vor.");
            return exitBadName;
        }
        InputFile file(path);
        if (!file.isOpen()) {
            say(err, L"Fehler: Die Datei '" + shownPath(path) + L"' kann nicht gelesen werden: " +
                         openProblem(path, file.error));
            return exitRead;
        }
        entry.size = file.size;
        entries.push_back(entry);
    }
    return exitOk;
}

// The temporary file beside the output; removed unless it was put in place.
class OutputFile {
public:
    explicit OutputFile(const std::wstring& target)
        : target(NWidePath::systemForm(target)), temp(this->target + L".nekpack-tmp"), error(0), placed(false)
    {
        handle = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            error = GetLastError();
    }
    ~OutputFile()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        if (!placed)
            DeleteFileW(temp.c_str());
    }
    bool write(const char* bytes, size_t count)
    {
        DWORD written = 0;
        if (error == 0 &&
            (!WriteFile(handle, bytes, static_cast<DWORD>(count), &written, nullptr) || written != count))
            error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
        return error == 0;
    }
    bool write(const std::string& bytes) { return write(bytes.data(), bytes.size()); }
    bool place()
    {
        if (error == 0 && !CloseHandle(handle))
            error = GetLastError();
        handle = INVALID_HANDLE_VALUE;
        if (error == 0 && !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
            error = GetLastError();
        placed = error == 0;
        return placed;
    }

    std::wstring target;
    std::wstring temp;
    DWORD error;

private:
    HANDLE handle;
    bool placed;
};

// Copies `count` bytes from `from` at `offset`, combined with `key`, and
// sets the switch digits that lie among them.
bool copyPieces(InputFile& from, long long offset, long long count, unsigned char key,
                const std::vector<long long>& switches, OutputFile& to)
{
    std::vector<char> piece(pieceSize);
    for (long long done = 0; done < count;) {
        const int n = static_cast<int>(count - done < pieceSize ? count - done : pieceSize);
        if (!from.readAt(offset + done, piece.data(), n))
            return false;
        for (int i = 0; i < n; ++i)
            piece[static_cast<size_t>(i)] ^= static_cast<char>(key);
        for (long long at : switches)
            if (at >= offset + done && at < offset + done + n)
                piece[static_cast<size_t>(at - offset - done)] = '1';
        if (!to.write(piece.data(), static_cast<size_t>(n)))
            return true;  // reported by the caller from to.error
        done += n;
    }
    return true;
}

int refuseOverwrite(const std::wstring& outputPath, const std::wstring& programPath,
                    const std::vector<std::wstring>& files)
{
    const std::wstring output = NWidePath::identity(outputPath);
    for (const std::wstring& file : files)
        if (NWidePath::identity(file) == output) {
            say(err, L"Fehler: Die Ausgabe '" + shownPath(outputPath) + L"' ist die Datei '" + shownPath(file) +
                         L"', die ins Archiv soll; sie w\xFC" L"rde \xFC" L"berschrieben. Es wurde nichts geschrieben.");
            return exitOverwrite;
        }
    if (output == NWidePath::identity(programPath) || NWidePath::kind(outputPath) != NWidePath::file)
        return exitOk;
    // A forgotten output argument makes the first resource file the output.
    InputFile existing(outputPath);
    char head[2] = {};
    if (existing.isOpen() && !(existing.readAt(0, head, 2) && head[0] == 'M' && head[1] == 'Z')) {
        say(err, L"Fehler: Die Ausgabe '" + shownPath(outputPath) +
                     L"' ist vorhanden und kein Programm; sie wird nicht \xFC" L"berschrieben (Aufruf: nekpack "
                     L"<programm> <ausgabe> <datei>...). Es wurde nichts geschrieben.");
        return exitOverwrite;
    }
    return exitOk;
}

int pack(const std::wstring& programPath, const std::wstring& outputPath, const std::vector<std::wstring>& files)
{
    const int refused = refuseOverwrite(outputPath, programPath, files);
    if (refused != exitOk)
        return refused;
    InputFile program(programPath);
    if (!program.isOpen()) {
        say(err, L"Fehler: Die Programmdatei '" + shownPath(programPath) + L"' kann nicht gelesen werden: " +
                     openProblem(programPath, program.error));
        return exitRead;
    }
    std::wstring problem;
    const long long end = programEnd(program, problem);
    if (end < 0) {
        say(err, L"Fehler: " + problem + L" Es wurde nichts geschrieben.");
        return exitDamaged;
    }
    if (end < NResources::archiveMinimumStart) {
        say(err, L"Fehler: Die Programmdatei '" + shownPath(programPath) + L"' ist kleiner als " +
                     number(NResources::archiveMinimumStart) + L" Byte.");
        return exitRead;
    }
    std::vector<Entry> entries;
    const int checked = checkFiles(files, entries);
    if (checked != exitOk)
        return checked;
    long long total = end + 18 + 10;
    for (const Entry& entry : entries)
        total += 9 + static_cast<long long>(entry.name.size()) + entry.size;
    if (total > largestArchiveFile) {
        for (const Entry& entry : entries)
            if (entry.size > largestArchiveFile)
                say(err, L"Fehler: Die Datei '" + shownPath(entry.path) + L"' ist mit " + number(entry.size) +
                             L" Byte zu gro\xDF f\xFCr ein Archiv.");
        say(err, L"Fehler: Programm und Dateien w\xE4ren zusammen " + number(total) +
                     L" Byte gro\xDF; ein Programm mit Archiv muss kleiner als 2 GB (2147483648 Byte) sein.");
        return exitRead;
    }

    const std::vector<long long> switches = findSwitches(program, end);
    if (switches.empty())
        say(err, L"Hinweis: Im Programm wurde kein Archiv-Schalter gefunden; "
                 L"ein NEK-Programm liest das Archiv nur mit eingeschaltetem Schalter.");
    OutputFile output(outputPath);
    bool readOk = copyPieces(program, 0, end, 0, switches, output);
    program.close();  // the output may replace it
    std::string bytes(6, '\0');
    NResourceArchive::startMagic(&bytes[0]);
    putInt(bytes, 12);
    putInt(bytes, 1);
    putInt(bytes, 0);
    output.write(bytes);
    for (size_t i = 0; readOk && i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        InputFile file(entry.path);
        // The file may have changed since it was checked.
        if (!file.isOpen() || file.size != entry.size) {
            say(err, L"Fehler: Die Datei '" + shownPath(entry.path) + L"' hat sich w\xE4hrend des Packens ge\xE4ndert.");
            return exitRead;
        }
        bytes.assign(1, '\0');
        putInt(bytes, static_cast<unsigned int>(entry.name.size()));
        bytes += entry.name;
        putInt(bytes, static_cast<unsigned int>(entry.size));
        output.write(bytes);
        if (!copyPieces(file, 0, entry.size, NResources::archiveKeyDefault, {}, output)) {
            say(err, L"Fehler: Die Datei '" + shownPath(entry.path) + L"' kann nicht gelesen werden.");
            return exitRead;
        }
    }
    if (!readOk) {
        say(err, L"Fehler: Die Programmdatei '" + shownPath(programPath) + L"' kann nicht gelesen werden.");
        return exitRead;
    }
    bytes.assign(6, '\0');
    NResourceArchive::endMagic(&bytes[0]);
    putInt(bytes, static_cast<unsigned int>(end));
    output.write(bytes);
    if (!output.place()) {
        say(err, L"Fehler: Die Ausgabedatei '" + shownPath(outputPath) + L"' kann nicht geschrieben werden: " +
                     systemText(output.error));
        return exitWrite;
    }
    say(::out, number(entries.size()) + L" Datei(en) an '" + shownPath(outputPath) +
                   L"' angeh\xE4ngt, Archiv ab Offset " + number(end) + L".");
    return exitOk;
}

int list(const std::wstring& programPath)
{
    InputFile program(programPath);
    if (!program.isOpen()) {
        say(err, L"Fehler: Die Programmdatei '" + shownPath(programPath) + L"' kann nicht gelesen werden: " +
                     openProblem(programPath, program.error));
        return exitRead;
    }
    NResourceArchive archive(program);
    if (!archive.open()) {
        if (archive.isTrailerAtEnd()) {
            say(err, L"Fehler: Das Archiv ist besch\xE4" L"digt. " +
                         NConsole::fromAnsi(archive.getExplanation().getBuffer(),
                                            static_cast<size_t>(archive.getExplanation().getLength())));
            return exitDamaged;
        }
        if (!archive.openWithoutTrailer()) {
            say(err, L"An '" + shownPath(programPath) + L"' ist kein Archiv angeh\xE4ngt.");
            return exitNoArchive;
        }
    }
    say(out, L"Archiv ab Offset " + number(archive.getStart()) + L", Kopf " +
                 number(static_cast<unsigned>(archive.getHeaderLength())) + L" Byte (A=" +
                 number(static_cast<unsigned>(archive.getWordA())) + L", B=" +
                 number(static_cast<unsigned>(archive.getWordB())) + L")");
    const std::vector<long long> switches = findSwitches(program, archive.getStart());
    char digit = 0;
    if (!switches.empty())
        program.readAt(switches.front(), &digit, 1);
    say(out, switches.empty() ? std::wstring(L"Archiv-Schalter: nicht gefunden")
                              : L"Archiv-Schalter: " + std::wstring(1, static_cast<wchar_t>(digit)));
    if (archive.isTooLong())
        say(out, L"Hinter dem Archiv liegen " + number(archive.getFileSize() - archive.getEnd()) + L" Byte.");

    unsigned int count = 0;
    unsigned long long total = 0;
    // Lookups lower-case names: names equal then are one file to the program.
    std::map<std::string, int> seen;
    std::vector<std::wstring> doubled;
    NResourceArchive::Block block;
    NResourceArchive::Step step;
    while ((step = archive.next(block)) == NResourceArchive::block) {
        say(out, shownName(block.name) + L"\t" + number(block.dataLength));
        ++count;
        total += block.dataLength;
        const NString lower = NResources::archiveName(block.name);
        if (++seen[std::string(lower.getBuffer(), static_cast<size_t>(lower.getLength()))] == 2)
            doubled.push_back(shownName(lower));
    }
    say(out, number(count) + L" Datei(en), " + number(total) + L" Byte");
    if (step == NResourceArchive::failure) {
        const NString& explanation = archive.getExplanation();
        std::wstring text = NConsole::fromAnsi(explanation.getBuffer(), static_cast<size_t>(explanation.getLength()));
        if (!archive.getBadName().isEmpty())
            text += L": " + shownName(archive.getBadName());
        say(err, L"Fehler: Das Archiv ist besch\xE4" L"digt. " + text);
        return exitDamaged;
    }
    for (const std::wstring& name : doubled)
        say(err, L"Fehler: Der Dateiname '" + name + L"' kommt (ohne Unterschied der Gro\xDF- und Kleinschreibung) "
                 L"mehrfach vor; das Programm verwendet nur den letzten Block.");
    return doubled.empty() ? exitOk : exitBadName;
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
        say(err, L"Fehler: Unbekannte Option '" + shownPath(args[0]) + L"'. Hilfe mit --help.");
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
            say(err, L"Fehler: Keine Datei passt zu '" + shownPath(*it) + L"'.");
            return exitRead;
        }
        files.insert(files.end(), found.begin(), found.end());
    }
    return pack(args[0], args[1], files);
}
