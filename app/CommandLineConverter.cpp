#include "CommandLineConverter.h"

#include <windows.h>

#include "ConverterBitmap.h"
#include "NDebug.h"

CommandLineConverter::CommandLineConverter(FILE* out, FILE* err) : out(out), err(err) {}

const char* CommandLineConverter::getName() const { return getClassName(); }
const char* CommandLineConverter::getClassName() const { return "CommandLineConverter"; }
CommandLineConverter::~CommandLineConverter() {}

void CommandLineConverter::printUsage(FILE* to)
{
    fputs("Ondra Bitmap-Konverter f\xFCr die Kommandozeile\n"
          "\n"
          "Aufruf:\n"
          "  bmp2ondra BILD                 Quelltext auf die Standardausgabe schreiben\n"
          "  bmp2ondra -o DATEI BILD        Quelltext in DATEI schreiben\n"
          "  bmp2ondra -d ORDNER BILD...    jedes BILD nach ORDNER\\<Dateititel>.h schreiben\n"
          "  bmp2ondra --help               diese Hilfe zeigen\n"
          "\n"
          "Mit --debug oder --debug=PORT gehen Umwandlungsstatus und Quelltext zus\xE4tzlich\n"
          "an den Debug-Kanal (debuglisten auf localhost, Port 5001 oder PORT).\n"
          "\n"
          "BILD ist eine BMP-, GIF-, JPEG-, PNG-, TIFF-, WMF- oder EMF-Datei. Der Text ist\n"
          "derselbe, den der Konverter in die Zwischenablage legt (RGB565, laufl\xE4ngencodiert,\n"
          "Zeilenenden CR LF).\n"
          "\n"
          "Exit-Code: 0 alles umgewandelt, 1 Datei nicht gefunden, 2 kein lesbares Bild,\n"
          "3 Ausgabe nicht schreibbar (bei mehreren Bildern der Code des ersten Fehlers).\n",
          to);
}

int CommandLineConverter::convertPicture(const NString& picture, NString& text)
{
    ConverterBitmap converter;
    converter.load(picture);
    if (converter.filePath.isEmpty()) {
        fprintf(err, "bmp2ondra: Datei nicht gefunden: %s\n", picture.getBuffer());
        return missingFile;
    }
    if (!converter.hasPicture() || converter.sourceText.isEmpty()) {
        fprintf(err, "bmp2ondra: Datei ist kein lesbares Bild: %s\n", picture.getBuffer());
        return unreadablePicture;
    }
    text = converter.sourceText;
    return ok;
}

int CommandLineConverter::writeFile(const NString& path, const NString& text)
{
    NString temp;
    temp.format("%s.%lu.tmp", path.getBuffer(), GetCurrentProcessId());
    HANDLE h = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    bool written = false;
    if (h != INVALID_HANDLE_VALUE) {
        DWORD done = 0;
        written = WriteFile(h, text.getBuffer(), static_cast<DWORD>(text.getLength()), &done,
                            nullptr) &&
                  done == static_cast<DWORD>(text.getLength());
        written = CloseHandle(h) && written;
        written = written && MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (!written)
            DeleteFileA(temp);
    }
    if (!written) {
        fprintf(err, "bmp2ondra: Ausgabedatei kann nicht geschrieben werden: %s\n", path.getBuffer());
        return cannotWrite;
    }
    return ok;
}

int CommandLineConverter::run(int argc, const char* const* argv)
{
    NString outputFile;
    NString outputDir;
    bool toFile = false;
    bool toDir = false;
    int first = 0;
    while (first < argc && argv[first][0] == '-' && argv[first][1] != 0) {
        NString option(argv[first]);
        if (option == "--help" || option == "-h" || option == "/?") {
            printUsage(out);
            return ok;
        }
        if ((option == "-o" || option == "-d") && first + 1 < argc) {
            (option == "-o" ? outputFile : outputDir) = argv[first + 1];
            (option == "-o" ? toFile : toDir) = true;
            first += 2;
            continue;
        }
        if (option == "--debug" || option.startsWith("--debug=")) {
            const int port = option == "--debug" ? globalDebug.debugPort : option.mid(8).toInt();
            if (port < 1 || port > 65535) {
                fprintf(err, "bmp2ondra: ung\xFCltiger Port: %s\n", option.getBuffer());
                return missingFile;
            }
            globalDebug.debugPort = port;
            globalDebug.off = false;
            ++first;
            continue;
        }
        if (option == "--") {
            ++first;
            break;
        }
        fprintf(err, "bmp2ondra: unbekannte oder unvollst\xE4ndige Option: %s\n", option.getBuffer());
        printUsage(err);
        return missingFile;
    }
    const int count = argc - first;
    if (count < 1)
        fputs("bmp2ondra: kein Bild angegeben\n\n", err);
    if (count < 1 || (toFile && toDir) || (!toDir && count > 1)) {
        printUsage(err);
        return missingFile;
    }

    if (!toDir) {
        NString text;
        int result = convertPicture(argv[first], text);
        if (result != ok)
            return result;
        if (toFile)
            return writeFile(outputFile, text);
        if (fwrite(text.getBuffer(), 1, text.getLength(), out) != static_cast<size_t>(text.getLength()) ||
            fflush(out) != 0) {
            fputs("bmp2ondra: Ausgabe kann nicht geschrieben werden: Standardausgabe\n", err);
            return cannotWrite;
        }
        return ok;
    }

    // A batch goes on after a failure and reports the first one.
    int firstFailure = ok;
    NString dir = outputDir;
    if (!dir.isEmpty() && !dir.endsWith("\\") && !dir.endsWith("/"))
        dir += "\\";
    for (int i = 0; i < count; ++i) {
        NString picture(argv[first + i]);
        NString target = dir + ConverterBitmap::symbolName(picture) + ".h";
        NString text;
        int result = convertPicture(picture, text);
        if (result == ok)
            result = writeFile(target, text);
        if (result == ok)
            fprintf(err, "[%d/%d] %s -> %s\n", i + 1, count, picture.getBuffer(), target.getBuffer());
        else
            fprintf(err, "[%d/%d] %s: Fehler\n", i + 1, count, picture.getBuffer());
        if (firstFailure == ok)
            firstFailure = result;
    }
    return firstFailure;
}
