#include "CommandLineConverter.h"

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <map>
#include <memory>
#include <new>

#include "ConverterBitmap.h"
#include "FrameConverter.h"
#include "HeaderReview.h"
#include "NColorMap.h"
#include "NConsole.h"
#include "NDebug.h"
#include "NSystem.h"
#include "NWidePath.h"
#include "OutputFile.h"

namespace {

const wchar_t* const usageHint = L"Hilfe: bmp2ondra --help";

std::wstring number(unsigned long long value) { return std::to_wstring(value); }

bool isDigits(const std::wstring& text, size_t maxLength)
{
    return !text.empty() && text.size() <= maxLength && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

// "1.0.0.0" from the program's own version resource.
std::wstring programVersion()
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size())));
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    std::vector<BYTE> block(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return L"?";
    return number(HIWORD(info->dwFileVersionMS)) + L"." + number(LOWORD(info->dwFileVersionMS)) + L"." +
           number(HIWORD(info->dwFileVersionLS)) + L"." + number(LOWORD(info->dwFileVersionLS));
}

std::wstring systemText(DWORD code)
{
    const NString text = NSystem::getErrorText(code);
    return NConsole::fromAnsi(text.getBuffer(), static_cast<size_t>(text.getLength()));
}

// Creates `folder` (in the "\\?\" form) and its missing parents; 0 or the
// Windows error code.
DWORD makeFolder(const std::wstring& folder)
{
    std::wstring path = folder;
    while (path.size() > 4 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    if (CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) ? 0 : ERROR_ALREADY_EXISTS;
    if (GetLastError() != ERROR_PATH_NOT_FOUND)
        return GetLastError();
    const size_t parent = path.find_last_of(L"\\/");
    // The root of the "\\?\" form is never made here.
    if (parent == std::wstring::npos || parent <= 6)
        return ERROR_PATH_NOT_FOUND;
    const DWORD failure = makeFolder(path.substr(0, parent));
    if (failure != 0)
        return failure;
    return CreateDirectoryW(path.c_str(), nullptr) ? 0 : GetLastError();
}

}  // namespace

CommandLineConverter::CommandLineConverter(NConsole& out, NConsole& err)
    : out(out), err(err), background(-1), everyFrame(false), showStats(false), rotation(0), flip(0)
{
}

const char* CommandLineConverter::getName() const { return getClassName(); }
const char* CommandLineConverter::getClassName() const { return "CommandLineConverter"; }
CommandLineConverter::~CommandLineConverter() {}

void CommandLineConverter::printUsage(NConsole& to)
{
    to.write(
        L"Ondra Bitmap-Konverter f\xFCr die Kommandozeile\r\n"
        L"\r\n"
        L"Aufruf:\r\n"
        L"  bmp2ondra [Optionen] BILD               Quelltext auf die Standardausgabe schreiben\r\n"
        L"  bmp2ondra [Optionen] -o DATEI BILD      Quelltext in DATEI schreiben (auch NUL)\r\n"
        L"  bmp2ondra [Optionen] -d ORDNER BILD...  jedes BILD nach ORDNER\\<Name>.h schreiben;\r\n"
        L"                                          ein fehlender ORDNER wird angelegt\r\n"
        L"  bmp2ondra [-o BILD.png] --decode DATEI.h  das Bild einer Kopfdatei als PNG schreiben\r\n"
        L"  bmp2ondra --help  oder  /?              diese Hilfe zeigen\r\n"
        L"  bmp2ondra --version                     die Programmversion zeigen\r\n"
        L"\r\n"
        L"Optionen:\r\n"
        L"  --name NAME         Symbolname im Text statt des Dateititels (nur f\xFCr ein\r\n"
        L"                      Bild): Buchstaben A-Z und a-z, Ziffern und _, nicht nur _.\r\n"
        L"  --size BxH          Zielgr\xF6\xDF" L"e in Bildpunkten, z. B. 320x240: das Bild wird auf\r\n"
        L"                      genau diese Gr\xF6\xDF" L"e gestreckt (das Seitenverh\xE4ltnis bleibt\r\n"
        L"                      nicht erhalten); 0 beh\xE4lt die eigene Breite oder H\xF6he.\r\n"
        L"  --background FARBE  durchsichtige Bildpunkte bekommen FARBE statt Schwarz:\r\n"
        L"                      #RRGGBB, #RGB, R,G,B (je 0-255) oder ein Name (schwarz,\r\n"
        L"                      wei\xDF, rot, gr\xFCn, blau, gelb, grau, silber, black, white,\r\n"
        L"                      red, green, blue, yellow, gray, silver, lime, navy, ...).\r\n"
        L"  --debug[=PORT]      Umwandlungsstatus und Quelltext zus\xE4tzlich an den\r\n"
        L"                      Debug-Kanal (debuglisten, localhost, Port 5001 oder PORT).\r\n"
        L"  --frames            jedes Bild einer GIF-Animation und jede Seite eines TIFF\r\n"
        L"                      wird ein Frame, so wie ein Betrachter es zeigt, jedes f\xFCr\r\n"
        L"                      sich kodiert in _bmp_data_<Name>_<k>; ihre Anzeigedauer in ms\r\n"
        L"                      steht als Kommentar nach der Include-Wache (Seiten: 0).\r\n"
        L"  --rotate 90|180|270 im Uhrzeigersinn drehen, nach --background, vor --size.\r\n"
        L"  --flip h|v          nach dem Drehen spiegeln: h links-rechts, v oben-unten.\r\n"
        L"  --stats             je Bild eine Zeile auf die Standardfehlerausgabe: Gr\xF6\xDF" L"e,\r\n"
        L"                      Frames, 16-Bit-Werte, Flash-Bytes der Daten (2 je Wert) und\r\n"
        L"                      des ganzen Datensatzes (Daten + Bildtabelle mit 4-Byte-\r\n"
        L"                      Zeigern eines 32-Bit-Controllers + 12 Byte BitmapHeader),\r\n"
        L"                      Anteil an unkodiert (Breite x H\xF6he x 2 Byte je Frame).\r\n"
        L"  --preview BILD.png  das Bild, wie das Display es zeigt, aus den erzeugten Werten\r\n"
        L"                      zur\xFC" L"ckgelesen, als PNG; mehrere Frames nebeneinander.\r\n"
        L"  --decode DATEI.h    liest eine Kopfdatei dieses Formats (auch von Hand umgebrochen,\r\n"
        L"                      mit Kommentaren) und schreibt ihr Bild als PNG nach -o, in\r\n"
        L"                      -d ORDNER oder als <Name>.png; Frames nebeneinander. Eine\r\n"
        L"                      besch\xE4" L"digte Kopfdatei wird mit ihrer Zeile abgelehnt.\r\n"
        L"  --                  alles Weitere sind Bilder, auch Namen, die mit - beginnen.\r\n"
        L"Ein Wert folgt als n\xE4" L"chstes Argument oder nach = (--size=320x240, -o=DATEI);\r\n"
        L"er darf nicht leer sein. Jede Option gilt nur einmal.\r\n"
        L"\r\n"
        L"BILD ist eine BMP-, GIF-, JPEG-, PNG-, TIFF-, WMF- oder EMF-Datei; * und ? im\r\n"
        L"Dateinamen w\xE4hlen alle passenden Dateien, in Ordnernamen alle passenden\r\n"
        L"Ordner (ein Muster ohne Treffer ist ein Fehler). Von mehreren Bildern oder\r\n"
        L"Seiten einer Datei wird ohne --frames das erste umgewandelt. Der Text ist\r\n"
        L"derselbe, den der Konverter in die Zwischenablage\r\n"
        L"legt (RGB565, laufl\xE4ngencodiert, Zeilenenden CR LF, ANSI-Zeichensatz).\r\n"
        L"\r\n"
        L"Name: der Dateititel (Dateiname ohne Endung), wie im Konverter-Fenster, oder\r\n"
        L"--name. Ist der Dateititel kein g\xFCltiger C-Name (etwa mit - . oder Leerzeichen),\r\n"
        L"warnt bmp2ondra, denn der Text l\xE4sst sich so nicht \xFC" L"bersetzen. Kann der\r\n"
        L"ANSI-Zeichensatz ihn nicht darstellen, wird das Bild nicht umgewandelt: dann\r\n"
        L"--name angeben oder die Datei umbenennen.\r\n"
        L"\r\n"
        L"Bevor etwas geschrieben wird, pr\xFC" L"ft bmp2ondra, dass keine Ausgabe ein\r\n"
        L"Eingabebild oder eine andere Ausgabe desselben Laufs \xFC" L"berschreibt und dass\r\n"
        L"keine zwei Bilder denselben Namen im Quelltext definieren (x.png und\r\n"
        L"data_x.png: _bmp_data_x). Bei Strg+C oder geschlossener Konsole bleibt keine\r\n"
        L"halbe Datei zur\xFC" L"ck.\r\n"
        L"Meldungen gehen an die Standardfehlerausgabe, in einer Konsole als Unicode,\r\n"
        L"umgeleitet als UTF-8.\r\n"
        L"\r\n"
        L"Exit-Code (bei mehreren Bildern der des ersten Fehlers; Warnungen z\xE4hlen nicht):\r\n"
        L"  0   alles umgewandelt\r\n"
        L"  1   Datei nicht gefunden, ein Ordner statt einer Datei, Muster ohne Treffer\r\n"
        L"  2   kein lesbares Bild; bei --decode: Kopfdatei besch\xE4" L"digt\r\n"
        L"  3   Ausgabe nicht schreibbar\r\n"
        L"  4   zu gro\xDF: Bild, Zielgr\xF6\xDF" L"e oder Quelltext passen nicht in den Speicher\r\n"
        L"  5   eine Ausgabe w\xFCrde ein Eingabebild oder eine andere Ausgabe\r\n"
        L"      \xFC" L"berschreiben, oder zwei Bilder definierten denselben Namen; es\r\n"
        L"      wurde nichts geschrieben\r\n"
        L"  6   Symbolname unbrauchbar: --name ung\xFCltig oder Dateititel nicht im\r\n"
        L"      ANSI-Zeichensatz darstellbar\r\n"
        L"  64  falscher Aufruf\r\n"
        L"  130 abgebrochen (Strg+C, Konsole geschlossen); die angefangene Datei ist\r\n"
        L"      entfernt\r\n");
}

void CommandLineConverter::report(const std::wstring& text) { err.write(L"bmp2ondra: " + text + L"\r\n"); }

std::wstring CommandLineConverter::symbolProblem(const std::wstring& name)
{
    if (name.empty())
        return L"er ist leer";
    for (size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        if ((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'_')
            continue;
        const std::wstring what = c == L' ' ? std::wstring(L"das Leerzeichen") : L"das Zeichen '" + name.substr(i, 1) + L"'";
        return what + L" an Stelle " + number(i + 1) + L" ist in C-Namen nicht erlaubt";
    }
    // The guard "_bmp" N "_" and the record "_bmp_" N are one name then.
    if (name.find_first_not_of(L'_') == std::wstring::npos)
        return L"er besteht nur aus _, so fiele die Include-Wache mit dem Namen der Daten zusammen";
    return std::wstring();
}

bool CommandLineConverter::parseSize(const std::wstring& text)
{
    const size_t x = text.find_first_of(L"xX");
    if (x == std::wstring::npos || !isDigits(text.substr(0, x), 9) || !isDigits(text.substr(x + 1), 9))
        return false;
    size.set(std::stoi(text.substr(0, x)), std::stoi(text.substr(x + 1)));
    return true;
}

bool CommandLineConverter::parseBackground(const std::wstring& text)
{
    // The colour map's names are lower case and Latin-1 ("gr\xFCn").
    std::wstring lower = text;
    CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    // The map spells white "weis"; people write it with sharp s or "ss".
    if (lower == L"wei\xDF" || lower == L"weiss")
        lower = L"weis";
    char bytes[64] = "";
    BOOL lost = FALSE;
    const int length = WideCharToMultiByte(1252, 0, lower.c_str(), static_cast<int>(lower.size()), bytes,
                                           sizeof bytes - 1, nullptr, &lost);
    if (lower.empty() || length <= 0 || lost)
        return false;
    const NString colour(bytes, length);
    if (lower[0] == L'#') {
        if (!colour.isNumber('c'))
            return false;
    } else if (lower[0] >= L'0' && lower[0] <= L'9') {
        // Three decimal parts of 0 to 255; the map alone would cut 300 to 44.
        size_t start = 0;
        for (int part = 0; part < 3; ++part) {
            const size_t end = part < 2 ? lower.find(L',', start) : lower.size();
            if (end == std::wstring::npos || !isDigits(lower.substr(start, end - start), 3) ||
                std::stoi(lower.substr(start, end - start)) > 255)
                return false;
            start = end + 1;
        }
    } else if (globalColorMap.getColorByName(colour) < 0) {
        return false;
    }
    background = globalColorMap.getColor(colour);
    return background >= 0;
}

// Each option that takes a value: its name and what it does with the value.
// A value follows as the next argument or after "=" ("--size=2x2").
const CommandLineConverter::ValueOption CommandLineConverter::valueOptions[] = {
    {L"-o", nullptr, &CommandLineConverter::outputFile},
    {L"-d", nullptr, &CommandLineConverter::outputFolder},
    {L"--name", &CommandLineConverter::setSymbolName, nullptr},
    {L"--size", &CommandLineConverter::setSize, nullptr},
    {L"--background", &CommandLineConverter::setBackground, nullptr},
    {L"--debug", &CommandLineConverter::setDebugPort, nullptr},
    {L"--rotate", &CommandLineConverter::setRotation, nullptr},
    {L"--flip", &CommandLineConverter::setFlip, nullptr},
    {L"--preview", nullptr, &CommandLineConverter::previewFile},
    {L"--decode", nullptr, &CommandLineConverter::decodeFile},
};

int CommandLineConverter::setRotation(const std::wstring& value)
{
    if (value == L"90" || value == L"180" || value == L"270") {
        rotation = std::stoi(value);
        return ok;
    }
    report(L"ung\xFCltige Drehung '" + value + L"': erwartet 90, 180 oder 270 (Grad im Uhrzeigersinn).");
    return usageError;
}

int CommandLineConverter::setFlip(const std::wstring& value)
{
    if (value == L"h" || value == L"v") {
        flip = static_cast<char>(value[0]);
        return ok;
    }
    report(L"ung\xFCltige Spiegelung '" + value + L"': erwartet h (links-rechts) oder v (oben-unten).");
    return usageError;
}

int CommandLineConverter::setSymbolName(const std::wstring& value)
{
    symbolName = value;
    const std::wstring problem = symbolProblem(value);
    if (problem.empty())
        return ok;
    report(L"ung\xFCltiger Symbolname '" + value + L"': " + problem + L".");
    return badName;
}

int CommandLineConverter::setSize(const std::wstring& value)
{
    if (parseSize(value))
        return ok;
    report(L"ung\xFCltige Gr\xF6\xDF" L"e '" + value + L"': erwartet BxH, z. B. 320x240.");
    return usageError;
}

int CommandLineConverter::setBackground(const std::wstring& value)
{
    if (parseBackground(value))
        return ok;
    report(L"unbekannte Farbe '" + value + L"': erwartet #RRGGBB, #RGB, R,G,B oder einen Farbnamen.");
    return usageError;
}

int CommandLineConverter::setDebugPort(const std::wstring& value)
{
    if (!isDigits(value, 5) || std::stoi(value) < 1 || std::stoi(value) > 65535) {
        report(L"ung\xFCltiger Port: --debug=" + value);
        return usageError;
    }
    globalDebug.debugPort = std::stoi(value);
    globalDebug.off = false;
    return ok;
}

// Options may stand anywhere before "--"; the rest are pictures. Each
// option may be given once.
int CommandLineConverter::parseArguments(const std::vector<std::wstring>& arguments,
                                         std::vector<std::wstring>& pictures)
{
    bool optionsEnd = false;
    std::vector<std::wstring> seen;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& a = arguments[i];
        if (optionsEnd || a.size() < 2 || (a[0] != L'-' && a != L"/?")) {
            pictures.push_back(a);
            continue;
        }
        const size_t equals = a.find(L'=');
        const std::wstring name = a.substr(0, equals);
        if (a == L"--") {
            optionsEnd = true;
        } else if (a == L"--help" || a == L"-h" || a == L"/?") {
            printUsage(out);
            return -1;
        } else if (a == L"--version") {
            out.write(L"bmp2ondra " + programVersion() + L"\r\n");
            return -1;
        } else if (a == L"--frames") {
            everyFrame = true;
        } else if (a == L"--stats") {
            showStats = true;
        } else {
            const ValueOption* option = nullptr;
            for (const ValueOption& candidate : valueOptions)
                if (name == candidate.name)
                    option = &candidate;
            if (!option) {
                report(L"unbekannte Option: " + a + L" (ein Bild, dessen Name mit - beginnt, steht hinter --)");
                return usageError;
            }
            std::wstring value;
            if (equals != std::wstring::npos) {
                value = a.substr(equals + 1);
            } else if (name == L"--debug") {
                value = L"5001";  // the port is optional
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                report(L"zu " + name + L" fehlt der Wert");
                return usageError;
            }
            if (value.empty()) {
                report(L"zu " + name + L" fehlt der Wert (leer angegeben)");
                return usageError;
            }
            if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
                report(name + L" ist mehrfach angegeben");
                return usageError;
            }
            seen.push_back(name);
            if (!option->apply)
                this->*option->text = value;
            const int result = option->apply ? (this->*option->apply)(value) : ok;
            if (result != ok)
                return result;
        }
    }
    return ok;
}

void CommandLineConverter::planPicture(Picture& picture)
{
    if (picture.failure != ok)
        return;
    const NWidePath::Kind kind = NWidePath::kind(picture.argument);
    if (kind != NWidePath::file) {
        picture.failure = missingFile;
        picture.message = kind == NWidePath::folder ? picture.argument + L" ist ein Ordner, kein Bild"
                                                    : L"Datei nicht gefunden: " + picture.argument;
        return;
    }
    const std::wstring name = symbolName.empty() ? NWidePath::fileTitle(picture.argument) : symbolName;
    if (!NWidePath::toAnsi(name, picture.symbol)) {
        picture.failure = badName;
        picture.message = L"Der Dateititel '" + name + L"' von " + picture.argument +
                          L" l\xE4sst sich im ANSI-Zeichensatz nicht schreiben; mit --name NAME einen "
                          L"Symbolnamen angeben oder die Datei umbenennen.";
        return;
    }
    if (!outputFile.empty())
        picture.output = outputFile;
    if (!outputFolder.empty()) {
        const wchar_t last = outputFolder.back();
        picture.output = outputFolder + (last == L'\\' || last == L'/' || last == L':' ? L"" : L"\\") + name + L".h";
    }
}

void CommandLineConverter::plan(const std::vector<std::wstring>& arguments)
{
    for (const std::wstring& argument : arguments) {
        if (!NWidePath::isPattern(argument)) {
            jobs.push_back(Picture(argument));
            continue;
        }
        const std::vector<std::wstring> found = NWidePath::expand(argument);
        if (found.empty())
            jobs.push_back(Picture(argument, missingFile, L"Keine Datei passt zu " + argument));
        for (const std::wstring& path : found)
            jobs.push_back(Picture(path));
    }
}

// Every output must differ from every picture read and from every other
// output of this run; otherwise nothing at all is written.
bool CommandLineConverter::refuseOverwrites()
{
    std::map<std::wstring, const Picture*> inputs;
    std::map<std::wstring, const Picture*> outputs;
    for (const Picture& picture : jobs)
        if (picture.failure == ok || NWidePath::kind(picture.argument) == NWidePath::file)
            inputs.emplace(NWidePath::identity(picture.argument), &picture);
    bool refused = false;
    for (const Picture& picture : jobs) {
        if (picture.failure != ok || picture.output.empty())
            continue;
        const std::wstring key = NWidePath::identity(picture.output);
        auto input = inputs.find(key);
        if (input != inputs.end()) {
            report(L"Die Ausgabe " + picture.output + L" ist das Bild " + input->second->argument +
                   L" selbst; es w\xFC" L"rde \xFC" L"berschrieben.");
            refused = true;
        }
        auto earlier = outputs.emplace(key, &picture);
        if (!earlier.second) {
            report(earlier.first->second->argument + L" und " + picture.argument + L" erg\xE4" L"ben dieselbe Ausgabe " +
                   picture.output + L".");
            refused = true;
        }
    }
    // Every name a text defines: "x.png" and "data_x.png" would both define
    // _bmp_data_x, so their texts could not be compiled together.
    std::map<std::string, const Picture*> names;
    for (const Picture& picture : jobs) {
        if (picture.failure != ok || picture.output.empty())
            continue;
        const std::string symbol(picture.symbol.getBuffer(), static_cast<size_t>(picture.symbol.getLength()));
        for (const std::string& name : {"_bmp" + symbol + "_", "bmp" + symbol, "_bmp_" + symbol, "_bmp_data_" + symbol,
                                        "_bmp_frames_" + symbol}) {
            auto earlier = names.emplace(name, &picture);
            if (!earlier.second && earlier.first->second->symbol != picture.symbol) {
                report(earlier.first->second->argument + L" und " + picture.argument + L" erg\xE4" L"ben denselben Namen " +
                       NConsole::fromAnsi(name.data(), name.size()) +
                       L" im Quelltext; zusammen lie\xDF" L"en sich die Texte nicht \xFC" L"bersetzen.");
                refused = true;
                break;
            }
        }
    }
    // With --frames an animation "x" defines _bmp_data_x_0, _bmp_data_x_1, ...,
    // one of which a picture named "x_0" defines as well.
    for (const auto& entry : names) {
        const std::string& name = entry.first;
        const size_t cut = name.find_last_of('_');
        if (!everyFrame || name.compare(0, 10, "_bmp_data_") != 0 || cut < 10 || cut + 1 == name.size() ||
            name.find_first_not_of("0123456789", cut + 1) != std::string::npos)
            continue;
        auto animation = names.find(name.substr(0, cut));
        if (animation != names.end() && animation->second != entry.second) {
            report(animation->second->argument + L" und " + entry.second->argument + L" erg\xE4" L"ben mit --frames "
                   L"denselben Namen " + NConsole::fromAnsi(name.data(), name.size()) + L" im Quelltext.");
            refused = true;
        }
    }
    if (refused)
        report(L"Es wurde nichts geschrieben.");
    return refused;
}

// A 32-bit process has at most 2 GB of address space: a picture it cannot
// hold may still fit the 64-bit program, so the message says where to go.
int CommandLineConverter::refuseTooBig()
{
    if (sizeof(void*) == 4)
        report(L"Hinweis: Als 32-Bit-Programm hat bmp2ondra h\xF6" L"chstens 2 GB Adressraum; "
               L"die 64-Bit-Ausgabe (Archiv win64) wandelt gr\xF6\xDF" L"ere Bilder um.");
    return tooBig;
}

int CommandLineConverter::convert(Picture& picture)
{
    ConverterBitmap converter;
    converter.targetSize = size;
    converter.background = background;
    NWidePath::toAnsi(picture.argument, converter.filePath);
    const int status = converter.loadFile(NWidePath::systemForm(picture.argument).c_str());
    if (status == Gdiplus::OutOfMemory) {
        report(picture.argument + L" ist zu gro\xDF, um es im Speicher zu lesen.");
        return refuseTooBig();
    }
    if (status != Gdiplus::Ok) {
        report(L"Datei ist kein lesbares Bild: " + picture.argument);
        return unreadablePicture;
    }
    if (symbolName.empty()) {
        const std::wstring title = NWidePath::fileTitle(picture.argument);
        const std::wstring problem = symbolProblem(title);
        if (!problem.empty())
            report(L"Warnung: Der Dateititel '" + title + L"' von " + picture.argument +
                   L" ist kein g\xFCltiger C-Name: " + problem + L". Der Text l\xE4sst sich so nicht \xFC" L"bersetzen; "
                   L"Abhilfe: --name NAME angeben (A-Z, a-z, 0-9, _) oder die Datei umbenennen.");
    }
    const int frames = converter.getFrameCount();
    if (frames > 1 && !everyFrame)
        report(L"Warnung: " + picture.argument + L" enth\xE4lt " + number(static_cast<unsigned>(frames)) +
               L" Bilder oder Seiten; nur das erste wird umgewandelt.");
    if (background < 0 && converter.hasTransparency())
        report(L"Warnung: " + picture.argument + L" hat durchsichtige Bildpunkte; sie werden schwarz. "
               L"Mit --background FARBE bekommen sie eine Farbe.");
    // Turned, mirrored or animated pictures go through the frame converter.
    const bool framed = rotation != 0 || flip != 0 || (everyFrame && frames > 1);
    FrameConverter frameConverter(background, rotation, flip, size);
    const FrameConverter::Result framing =
        framed ? frameConverter.convert(converter, NWidePath::systemForm(picture.argument), everyFrame)
               : FrameConverter::done;
    if (framing == FrameConverter::unreadable) {
        report(L"Datei ist kein lesbares Bild: " + picture.argument);
        return unreadablePicture;
    }
    if (framing == FrameConverter::tooBig) {
        report(L"Die Bilder von " + picture.argument + L" passen " + (size.cx || size.cy ? L"in dieser Gr\xF6\xDF" L"e " : L"") +
               L"nicht zusammen in den Speicher.");
        return refuseTooBig();
    }
    if (!framed && !converter.prepareSource()) {
        report(L"Die Zielgr\xF6\xDF" L"e " + number(static_cast<unsigned>(converter.targetSize.cx)) + L"x" +
               number(static_cast<unsigned>(converter.targetSize.cy)) + L" von " + picture.argument +
               L" ist zu gro\xDF f\xFCr den Speicher.");
        return refuseTooBig();
    }
    const unsigned long long length =
        framed ? frameConverter.measure(picture.symbol) : converter.sourceLength(picture.symbol);
    if (length == 0) {
        report(L"Datei ist kein lesbares Bild: " + picture.argument);
        return unreadablePicture;
    }
    // The text is made once, straight into its final buffer.
    std::unique_ptr<char[]> text;
    if (length < static_cast<size_t>(-1))
        text.reset(new (std::nothrow) char[static_cast<size_t>(length) + 1]);
    if (!text) {
        report(L"Der Quelltext von " + picture.argument + L" w\xE4re " + number(length) +
               L" Byte gro\xDF; daf\xFCr reicht der Speicher nicht.");
        return refuseTooBig();
    }
    if (picture.output.empty()) {
        if (framed)
            frameConverter.write(picture.symbol, text.get());
        else
            converter.writeSource(picture.symbol, text.get());
        if (!out.writeAnsi(text.get(), static_cast<size_t>(length))) {
            report(L"Ausgabe kann nicht geschrieben werden: Standardausgabe");
            return cannotWrite;
        }
        return review(picture, text.get(), length);
    }
    OutputFile file(picture.output, text.get());
    if (file.open()) {
        if (framed)
            frameConverter.write(picture.symbol, text.get(), &file);
        else
            converter.writeSource(picture.symbol, text.get(), &file);
        if (file.finish(text.get() + length))
            return review(picture, text.get(), length);
    }
    report(L"Ausgabedatei kann nicht geschrieben werden: " + picture.output + L" (" + systemText(file.getError()) +
           L")");
    return cannotWrite;
}

int CommandLineConverter::review(const Picture& picture, const char* text, unsigned long long length)
{
    if (!showStats && previewFile.empty())
        return ok;
    HeaderReview check(err);
    // The text was just made from these pixels; damage here is a fault of the generator.
    const std::string symbol(picture.symbol.getBuffer(), static_cast<size_t>(picture.symbol.getLength()));
    if (!check.readGenerated(text, static_cast<size_t>(length), symbol, !previewFile.empty())) {
        report(L"Der erzeugte Text von " + picture.argument + L" l\xE4sst sich nicht zur\xFC" L"cklesen: " +
               check.getError());
        return unreadablePicture;
    }
    if (showStats)
        report(check.statsLine(picture.argument));
    if (!previewFile.empty() && !check.savePreview(previewFile))
        return cannotWrite;
    return ok;
}

int CommandLineConverter::decodeHeader()
{
    const NWidePath::Kind kind = NWidePath::kind(decodeFile);
    if (kind != NWidePath::file) {
        report(kind == NWidePath::folder ? decodeFile + L" ist ein Ordner, keine Kopfdatei"
                                         : L"Datei nicht gefunden: " + decodeFile);
        return missingFile;
    }
    HeaderReview check(err);
    if (!check.readFile(NWidePath::systemForm(decodeFile))) {
        report(decodeFile + L", " + check.getError() + L" Es wurde nichts geschrieben.");
        return unreadablePicture;
    }
    std::wstring target = outputFile;
    if (target.empty()) {
        NString symbol(check.getReader().getSymbol().c_str());
        target = NConsole::fromAnsi(symbol.getBuffer(), static_cast<size_t>(symbol.getLength())) + L".png";
        if (!outputFolder.empty()) {
            const wchar_t last = outputFolder.back();
            target = outputFolder + (last == L'\\' || last == L'/' || last == L':' ? L"" : L"\\") + target;
        }
    }
    if (NWidePath::identity(target) == NWidePath::identity(decodeFile)) {
        report(L"Die Ausgabe " + target + L" ist die Kopfdatei selbst; es w\xFC" L"rde \xFC" L"berschrieben.");
        return wouldOverwrite;
    }
    if (showStats)
        report(check.statsLine(decodeFile));
    if (outputFile.empty() && !outputFolder.empty() && NWidePath::kind(outputFolder) != NWidePath::folder) {
        const DWORD failure = makeFolder(NWidePath::systemForm(outputFolder));
        if (failure != 0) {
            report(L"Der Ausgabeordner " + outputFolder + L" kann nicht angelegt werden (" + systemText(failure) + L")");
            return cannotWrite;
        }
    }
    return check.savePreview(target) ? ok : cannotWrite;
}

int CommandLineConverter::run(const std::vector<std::wstring>& arguments)
{
    std::vector<std::wstring> pictures;
    const int parsed = parseArguments(arguments, pictures);
    if (parsed != ok) {
        if (parsed == usageError)
            err.write(std::wstring(usageHint) + L"\r\n");
        return parsed < 0 ? ok : parsed;
    }
    std::wstring usage;
    if (!decodeFile.empty()) {
        if (pictures.empty() && previewFile.empty() && !everyFrame && rotation == 0 && flip == 0)
            return decodeHeader();
        usage = L"--decode liest nur eine Kopfdatei; Bilder, --preview, --frames, --rotate und --flip passen nicht dazu";
    } else if (pictures.empty())
        usage = L"kein Bild angegeben";
    else if (!outputFile.empty() && !outputFolder.empty())
        usage = L"-o und -d schlie\xDF" L"en einander aus";
    if (usage.empty()) {
        plan(pictures);
        if (jobs.size() > 1 && outputFolder.empty())
            usage = L"mehrere Bilder nur mit -d ORDNER";
        else if (jobs.size() > 1 && !symbolName.empty())
            usage = L"--name gilt nur f\xFCr ein einzelnes Bild";
        else if (jobs.size() > 1 && !previewFile.empty())
            usage = L"--preview gilt nur f\xFCr ein einzelnes Bild";
    }
    if (!usage.empty()) {
        report(usage);
        err.write(std::wstring(usageHint) + L"\r\n");
        return usageError;
    }

    for (Picture& picture : jobs)
        planPicture(picture);
    if (refuseOverwrites())
        return wouldOverwrite;
    for (const Picture& picture : jobs)
        if (!previewFile.empty() && (NWidePath::identity(previewFile) == NWidePath::identity(picture.argument) ||
                                     (!picture.output.empty() &&
                                      NWidePath::identity(previewFile) == NWidePath::identity(picture.output)))) {
            report(L"Die Vorschau " + previewFile + L" w\xFC" L"rde " + picture.argument + L" oder seine Ausgabe "
                   L"\xFC" L"berschreiben. Es wurde nichts geschrieben.");
            return wouldOverwrite;
        }

    // A missing output folder is made, with its parents.
    if (!outputFolder.empty() && NWidePath::kind(outputFolder) != NWidePath::folder) {
        const DWORD failure = makeFolder(NWidePath::systemForm(outputFolder));
        if (failure != 0) {
            report(L"Der Ausgabeordner " + outputFolder + L" kann nicht angelegt werden (" + systemText(failure) + L")");
            return cannotWrite;
        }
    }

    // A batch goes on after a failure and reports the first one.
    int firstFailure = ok;
    const size_t count = jobs.size();
    for (size_t i = 0; i < count; ++i) {
        Picture& picture = jobs[i];
        int result = picture.failure;
        if (result != ok)
            report(picture.message);
        else
            result = convert(picture);
        if (!outputFolder.empty()) {
            const std::wstring step = L"[" + number(i + 1) + L"/" + number(count) + L"] " + picture.argument;
            err.write(step + (result == ok ? L" -> " + picture.output : std::wstring(L": Fehler")) + L"\r\n");
        }
        if (firstFailure == ok)
            firstFailure = result;
    }
    return firstFailure;
}
