#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConverterBitmap.h"
#include "ProcessRunner.h"
#include "TestFiles.h"

using namespace Gdiplus::DllExports;

namespace {

const uint32_t red = 0xFFFF0000, blue = 0xFF0000FF, clear = 0x00000000;

const char* const dotText =
    "#ifndef _bmpdot_\r\n#define _bmpdot_\r\n\r\n// header \r\n"
    "#define bmpdot\t((BitmapHeader*)_bmp_dot)\r\n\r\n#ifndef MyAppCpp\r\n"
    "\textern uint16_t _bmp_dot[];\r\n//cpp\r\n#else\r\n"
    "\tconst color_t _bmp_data_dot[] = {\r\n\t\t0x0230, 0xF800, \r\n\t\t0x001F \r\n\r\n\t};\r\n"
    "\tconst color_t* _bmp_frames_dot[] = {_bmp_data_dot};\r\n"
    "\tBitmapHeader _bmp_dot = { 'b', 1, 1, 3 , _bmp_frames_dot };\r\n#endif\r\n#endif\r\n";

std::wstring wide(const std::string& ansi)
{
    std::wstring text(ansi.size(), L'\0');
    text.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &text[0], static_cast<int>(text.size()))));
    return text;
}

// What the programs write for a message when their output is redirected.
std::string utf8(const std::wstring& text)
{
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                                                         static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

// A backslash before the closing quote would escape it.
std::wstring inQuotes(const std::wstring& path)
{
    return L"\"" + path + (!path.empty() && path.back() == L'\\' ? L"\\\"" : L"\"");
}
std::string inQuotes(const std::string& path) { return "\"" + path + "\""; }

ProcessResult converter(const std::wstring& arguments, unsigned timeoutMs = 60000)
{
    return runProcess(L"\"" + wide(programFolder()) + L"bmp2ondra.exe\" " + arguments, timeoutMs);
}

ProcessResult converter(const std::string& arguments, unsigned timeoutMs = 60000)
{
    return converter(wide(arguments), timeoutMs);
}

// The text the window makes of a picture.
std::string windowText(const std::string& path, int width = 0, int height = 0)
{
    ConverterBitmap window;
    window.targetSize.set(width, height);
    window.load(path.c_str());
    return std::string(window.sourceText.getBuffer(), window.sourceText.getLength());
}

// A picture saved by the GDI+ encoder for `mime` from 32-bit ARGB pixels, row by row.
void savePicture(const std::string& path, int w, int h, const std::vector<uint32_t>& argb, const wchar_t* mime)
{
    Gdiplus::GpBitmap* bitmap = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, &bitmap), Gdiplus::Ok);
    for (int i = 0; i < w * h; ++i)
        GdipBitmapSetPixel(bitmap, i % w, i / w, argb[static_cast<size_t>(i)]);
    UINT count = 0, size = 0;
    GdipGetImageEncodersSize(&count, &size);
    std::vector<BYTE> block(size);
    Gdiplus::ImageCodecInfo* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.data());
    GdipGetImageEncoders(count, size, codecs);
    Gdiplus::GpStatus saved = Gdiplus::UnknownImageFormat;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == mime)
            saved = GdipSaveImageToFile(bitmap, wide(path).c_str(), &codecs[i].Clsid, nullptr);
    }
    EXPECT_EQ(saved, Gdiplus::Ok) << path;
    GdipDisposeImage(bitmap);
}

// A BMP with a palette; `index(x, y)` gives each pixel's entry. A 1-bit
// picture of one colour stays small on disk however big it is.
template <class Index>
void writeIndexedBmp(const std::string& path, int w, int h, int bits, const std::vector<uint32_t>& palette, Index index)
{
    const unsigned row = ((static_cast<unsigned>(w * bits) + 31) / 32) * 4;
    const unsigned data = row * static_cast<unsigned>(h);
    const unsigned head = 54 + 4 * static_cast<unsigned>(palette.size());
    std::string bytes = "BM";
    auto put = [&](unsigned v, int n) {
        for (int i = 0; i < n; ++i)
            bytes += static_cast<char>(v >> (8 * i));
    };
    put(head + data, 4), put(0, 4), put(head, 4), put(40, 4), put(static_cast<unsigned>(w), 4), put(static_cast<unsigned>(h), 4);
    put(1, 2), put(static_cast<unsigned>(bits), 2), put(0, 4), put(data, 4), put(2835, 4), put(2835, 4);
    put(static_cast<unsigned>(palette.size()), 4), put(0, 4);
    for (uint32_t c : palette)
        put(c & 0xFFFFFF, 4);
    std::string pixels(data, '\0');
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned bit = static_cast<unsigned>(x * bits);
            const unsigned value = static_cast<unsigned>(index(x, y)) << (8 - bits - bit % 8);
            pixels[(h - 1 - y) * row + bit / 8] = static_cast<char>(pixels[(h - 1 - y) * row + bit / 8] | value);
        }
    writeBytes(path, bytes + pixels);
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(CommandLineConverter, WritesTheTextToStandardOutputOrAFile)
{
    TestFolder folder;
    writeBmp(folder.file("dot.bmp"), 1, 3, {red, red, blue});

    ProcessResult result = converter(inQuotes(folder.file("dot.bmp")));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, dotText);

    // An existing file is replaced as a whole; no temporary file stays.
    writeBytes(folder.file("out.h"), std::string(5000, 'x'));
    result = converter("-o " + inQuotes(folder.file("out.h")) + " " + inQuotes(folder.file("dot.bmp")));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(readBytes(folder.file("out.h")), dotText);
    EXPECT_EQ(listFolder(folder.path()), (std::vector<std::string>{"dot.bmp", "out.h"}));
}

// The text is the window's, whatever format the picture arrives in, also
// where transparent pixels take the drawn path.
TEST(CommandLineConverter, TextEqualsTheWindowsForEveryFormat)
{
    TestFolder folder;
    std::vector<uint32_t> pixels(9 * 7);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x0A1B2C) | (i % 4 == 0 ? 0x808080u : 0u);
    std::vector<uint32_t> seeThrough = pixels;
    seeThrough[3] = clear;
    seeThrough[10] = 0x80FF8000;
    writeBmp(folder.file("rgb.bmp"), 9, 7, pixels);
    std::vector<uint32_t> palette(256);
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = static_cast<uint32_t>(i * 0x030507);
    for (int bits : {1, 4, 8})
        writeIndexedBmp(folder.file("palette" + std::to_string(bits) + ".bmp"), 9, 7, bits,
                        std::vector<uint32_t>(palette.begin(), palette.begin() + (1 << bits)),
                        [bits](int x, int y) { return (x * 7 + y * 3) % (1 << bits); });
    savePicture(folder.file("opaque.png"), 9, 7, pixels, L"image/png");
    savePicture(folder.file("alpha.png"), 9, 7, seeThrough, L"image/png");
    savePicture(folder.file("photo.jpg"), 9, 7, pixels, L"image/jpeg");
    savePicture(folder.file("scan.tif"), 9, 7, pixels, L"image/tiff");
    // A vector picture, which GDI+ reads only as an image, not as a bitmap.
    const RECT frame = {0, 0, 900, 700};
    HDC metafile = CreateEnhMetaFileA(nullptr, folder.file("vector.emf").c_str(), &frame, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(200, 30, 90));
    const RECT area = {1, 1, 6, 5};
    FillRect(metafile, &area, brush);
    DeleteObject(brush);
    DeleteEnhMetaFile(CloseEnhMetaFile(metafile));
    for (const char* name :
         {"rgb.bmp", "palette1.bmp", "palette4.bmp", "palette8.bmp", "opaque.png", "alpha.png", "photo.jpg", "scan.tif",
          "vector.emf"}) {
        const ProcessResult result = converter(inQuotes(folder.file(name)));
        EXPECT_EQ(result.exitCode, 0) << name << result.err;
        EXPECT_EQ(result.out, windowText(folder.file(name))) << name;
    }
    // Scaled by --size as the window scales to its target size.
    const ProcessResult scaled = converter("--size 4x3 " + inQuotes(folder.file("rgb.bmp")));
    EXPECT_EQ(scaled.out, windowText(folder.file("rgb.bmp"), 4, 3));
    EXPECT_TRUE(contains(scaled.out, "{ 'b', 1, 4, 3 ,"));
}

TEST(CommandLineConverter, NothingIsOverwrittenThatThisRunReadsOrWrites)
{
    TestFolder folder;
    CreateDirectoryA(folder.file("dd").c_str(), nullptr);
    CreateDirectoryA(folder.file("out").c_str(), nullptr);
    writeBmp(folder.file("dd\\a.bmp"), 1, 3, {red, red, blue});
    savePicture(folder.file("dd\\a.png"), 1, 1, {blue}, L"image/png");
    const std::string png = readBytes(folder.file("dd\\a.png"));
    const struct {
        std::string arguments;
        std::string message;
    } cases[] = {
        {"-o " + inQuotes(folder.file("dd\\a.png")) + " " + inQuotes(folder.file("dd\\a.png")), "ist das Bild"},
        {"-o " + inQuotes(folder.file("DD\\A.PNG")) + " " + inQuotes(folder.file("dd\\a.png")), "ist das Bild"},
        {"-d " + inQuotes(folder.file("out")) + " " + inQuotes(folder.file("dd\\a.png")) + " " + inQuotes(folder.file("dd\\a.bmp")),
         folder.file("dd\\a.png") + " und " + folder.file("dd\\a.bmp") + utf8(L" erg\xE4" L"ben dieselbe Ausgabe ") +
             folder.file("out") + "\\a.h"},
        {"-d " + inQuotes(folder.file("out")) + " " + inQuotes(folder.file("dd\\*.*")), "dieselbe Ausgabe"},
    };
    for (const auto& c : cases) {
        const ProcessResult result = converter(c.arguments);
        EXPECT_EQ(result.exitCode, 5) << c.arguments << "\n" << result.err;
        EXPECT_TRUE(contains(result.err, c.message)) << result.err;
        EXPECT_TRUE(contains(result.err, "Es wurde nichts geschrieben.")) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(readBytes(folder.file("dd\\a.png")), png);
    EXPECT_EQ(listFolder(folder.file("out")), std::vector<std::string>{});
    EXPECT_EQ(listFolder(folder.file("dd")), (std::vector<std::string>{"a.bmp", "a.png"}));
    // A header given as a picture would be its own output.
    ASSERT_EQ(converter("-d " + inQuotes(folder.file("dd")) + " " + inQuotes(folder.file("dd\\a.png"))).exitCode, 0);
    const ProcessResult own = converter("-d " + inQuotes(folder.file("dd")) + " " + inQuotes(folder.file("dd\\a.h")));
    EXPECT_EQ(own.exitCode, 5) << own.err;
}

TEST(CommandLineConverter, TitlesThatAreNoCNamesAreWarnedAndNameReplacesThem)
{
    TestFolder folder;
    const struct {
        std::string title;
        std::wstring why;
    } titles[] = {
        {"my-logo", L"das Zeichen '-' an Stelle 3"},
        {"with space", L"das Leerzeichen an Stelle 5"},
        {"logo.v2", L"das Zeichen '.' an Stelle 5"},
        {"", L"er ist leer"},
        {"__", L"er besteht nur aus _"},
        {"gr\xFCn", L"das Zeichen '\xFC' an Stelle 3"},
        {"logo_2", L""},
    };
    for (const auto& t : titles) {
        const std::string path = folder.file(t.title + ".bmp");
        writeBmp(path, 1, 3, {red, red, blue});
        const ProcessResult result = converter(inQuotes(path));
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, windowText(path)) << t.title;
        if (t.why.empty()) {
            EXPECT_EQ(result.err, "");
        } else {
            EXPECT_TRUE(contains(result.err, utf8(L"kein g\xFCltiger C-Name: " + t.why))) << result.err;
            EXPECT_TRUE(contains(result.err, "--name NAME")) << result.err;
        }
    }
    // Every "my-*" picture shared the guard _bmpmy; a name of its own fixes it.
    ProcessResult named = converter("--name my_logo " + inQuotes(folder.file("my-logo.bmp")));
    EXPECT_EQ(named.exitCode, 0);
    EXPECT_EQ(named.err, "");
    std::string expected = dotText;
    for (size_t at; (at = expected.find("dot")) != std::string::npos;)
        expected.replace(at, 3, "my_logo");
    EXPECT_EQ(named.out, expected);

    for (const char* bad : {"a-b", "___", "\"\"", "gr\xFCn"}) {
        named = converter(std::string("--name ") + bad + " " + inQuotes(folder.file("logo_2.bmp")));
        EXPECT_EQ(named.exitCode, 6) << bad;
        EXPECT_TRUE(contains(named.err, utf8(L"ung\xFCltiger Symbolname"))) << named.err;
        EXPECT_EQ(named.out, "");
    }
}

TEST(CommandLineConverter, AnyFileNameWindowsAllows)
{
    TestFolder folder;
    const std::wstring base = wide(folder.path()) + L"\\";
    // The ANSI code page turns alpha into "a": the other file must never be read.
    writeBmp(folder.file("ab.bmp"), 1, 1, {red});
    writeBmp(folder.file("x.bmp"), 1, 1, {blue});
    ASSERT_TRUE(MoveFileW((base + L"x.bmp").c_str(), (base + L"\x03B1" L"b.bmp").c_str()));
    ProcessResult result = converter(L"--name alpha " + inQuotes(base + L"\x03B1" L"b.bmp"));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(contains(result.out, "\t\t0x001F \r\n")) << result.out;

    // A title the ANSI code page cannot hold needs a name; messages keep the name.
    const std::wstring photo = base + L"\x5199\x771F.bmp";
    ASSERT_TRUE(CopyFileW((base + L"\x03B1" L"b.bmp").c_str(), photo.c_str(), TRUE));
    result = converter(inQuotes(photo));
    EXPECT_EQ(result.exitCode, 6);
    EXPECT_TRUE(contains(result.err, utf8(L"'\x5199\x771F' von " + photo))) << result.err;
    EXPECT_TRUE(contains(result.err, "--name NAME")) << result.err;
    result = converter(inQuotes(base + L"\x5199.png"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(contains(result.err, utf8(L"Datei nicht gefunden: " + base + L"\x5199.png"))) << result.err;

    // A folder beyond MAX_PATH, given plainly and in the "\\?\" form, also for the output.
    std::wstring deep = base;
    while (deep.size() < 300) {
        deep += L"Ein ziemlich langer Ordnername\\";
        CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
    }
    ASSERT_TRUE(CopyFileW(photo.c_str(), (L"\\\\?\\" + deep + L"\x5199\x771F.bmp").c_str(), TRUE));
    for (const std::wstring& prefix : {std::wstring(), std::wstring(L"\\\\?\\")}) {
        result = converter(L"-d " + inQuotes(prefix + deep) + L" --name foto " + inQuotes(prefix + deep + L"\x5199\x771F.bmp"));
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(GetFileAttributesW((L"\\\\?\\" + deep + L"foto.h").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    }

    // Patterns are expanded by the program: files only, sorted; no match is an error.
    writeBmp(folder.file("b.bmp"), 1, 1, {blue});
    result = converter(L"-d " + inQuotes(deep) + L" " + inQuotes(base + L"?.bmp") + L" " + inQuotes(base + L"*.gif"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(contains(result.err, "[1/2] " + folder.file("b.bmp") + " -> " + utf8(deep) + "b.h")) << result.err;
    EXPECT_TRUE(contains(result.err, "Keine Datei passt zu " + folder.file("*.gif"))) << result.err;

    result = converter(inQuotes(folder.path()));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(contains(result.err, folder.path() + " ist ein Ordner, kein Bild")) << result.err;
}

TEST(CommandLineConverter, EveryFailureHasItsExitCode)
{
    TestFolder folder;
    writeBmp(folder.file("dot.bmp"), 1, 3, {red, red, blue});
    writeBytes(folder.file("junk.png"), "no picture");
    // A header that announces 30000 x 30000 pixels: refused before decoding.
    writeBytes(folder.file("huge.png"), std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x75\x30\0\0\x75\x30\x08\x02", 26));
    CreateDirectoryA(folder.file("taken.h").c_str(), nullptr);
    const std::string dot = inQuotes(folder.file("dot.bmp"));
    const struct {
        std::string arguments;
        int code;
        std::wstring message;
    } cases[] = {
        {inQuotes(folder.file("missing.png")), 1, L"Datei nicht gefunden"},
        {inQuotes(folder.file("junk.png")), 2, L"kein lesbares Bild"},
        {"-o " + inQuotes(folder.file("nowhere\\out.h")) + " " + dot, 3, L"nowhere"},
        // The rename onto a folder fails after the text was written.
        {"-o " + inQuotes(folder.file("taken.h")) + " " + dot, 3, L"taken.h"},
        {"--size 100000x100000 " + dot, 4, L"Die Zielgr\xF6\xDF" L"e 100000x100000"},
        {inQuotes(folder.file("huge.png")), 4, L"huge.png ist zu gro\xDF, um es im Speicher zu lesen."},
        {"--name 1-2 " + dot, 6, L"ung\xFCltiger Symbolname"},
        {"", 64, L"kein Bild angegeben"},
        {"-x " + dot, 64, L"unbekannte Option: -x"},
        {dot + " " + dot, 64, L"mehrere Bilder nur mit -d ORDNER"},
        {"-o a.h -d b " + dot, 64, L"-o und -d"},
        {"--size 3 " + dot, 64, L"ung\xFCltige Gr\xF6\xDF" L"e '3'"},
        {"--background purpur " + dot, 64, L"unbekannte Farbe 'purpur'"},
        {"--background 300,0,0 " + dot, 64, L"unbekannte Farbe"},
        {"--debug=70000 " + dot, 64, L"ung\xFCltiger Port: --debug=70000"},
        {"-o", 64, L"zu -o fehlt der Wert"},
    };
    for (const auto& c : cases) {
        const ProcessResult result = converter(c.arguments);
        EXPECT_EQ(result.exitCode, c.code) << c.arguments << "\n" << result.err;
        EXPECT_TRUE(contains(result.err, utf8(c.message))) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(listFolder(folder.path()), (std::vector<std::string>{"dot.bmp", "huge.png", "junk.png", "taken.h"}));
    EXPECT_EQ(listFolder(folder.file("taken.h")), std::vector<std::string>{});

    // A batch goes on and reports the code of its first failure.
    TestFolder target;
    ProcessResult result = converter("-d " + inQuotes(target.path()) + " " + inQuotes(folder.file("junk.png")) + " " +
                                     inQuotes(folder.file("gone.bmp")) + " " + dot);
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_EQ(listFolder(target.path()), std::vector<std::string>{"dot.h"});
    EXPECT_TRUE(contains(result.err, "[2/3] " + folder.file("gone.bmp") + ": Fehler")) << result.err;
    EXPECT_TRUE(contains(result.err, "[3/3] " + folder.file("dot.bmp") + " -> " + target.path() + "\\dot.h")) << result.err;
    result = converter("-d " + inQuotes(target.path()) + " " + inQuotes(folder.file("gone.bmp")) + " " +
                       inQuotes(folder.file("junk.png")));
    EXPECT_EQ(result.exitCode, 1) << result.err;

    for (const char* help : {"--help", "/?"}) {
        result = converter(help);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(contains(result.out, utf8(L"Exit-Code (bei mehreren Bildern der des ersten Fehlers"))) << result.out;
        EXPECT_TRUE(contains(result.out, "  64  falscher Aufruf")) << result.out;
    }
    result = converter("--version");
    EXPECT_EQ(result.out, "bmp2ondra 1.0.0.0\r\n");
    // "--" ends the options: a picture whose name begins with "-".
    writeBmp(folder.file("-x.bmp"), 1, 3, {red, red, blue});
    result = converter("-- " + inQuotes(folder.file("-x.bmp")));
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

TEST(CommandLineConverter, BackgroundFramesAndTransparencyWarnings)
{
    TestFolder folder;
    savePicture(folder.file("hole.png"), 1, 3, {red, clear, blue}, L"image/png");
    ProcessResult result = converter(inQuotes(folder.file("hole.png")));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(contains(result.out, "\t\t0xF800, 0x0000, \r\n\t\t0x001F \r\n")) << result.out;
    EXPECT_TRUE(contains(result.err, "hat durchsichtige Bildpunkte; sie werden schwarz. Mit --background FARBE"))
        << result.err;
    for (const char* colour : {"rot", "Red", "#f00", "255,0,0"}) {
        result = converter(std::string("--background ") + colour + " " + inQuotes(folder.file("hole.png")));
        EXPECT_EQ(result.exitCode, 0) << colour;
        EXPECT_EQ(result.err, "") << colour;
        EXPECT_TRUE(contains(result.out, "\t\t0x0230, 0xF800, \r\n\t\t0x001F \r\n")) << colour << result.out;
    }
    result = converter("--background gr\xFCn " + inQuotes(folder.file("hole.png")));
    EXPECT_TRUE(contains(result.out, "\t\t0xF800, 0x0400, \r\n")) << result.out;

    // Two frames: the first is converted, with a warning.
    const std::string frame = std::string("\x2C\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0", 15);
    writeBytes(folder.file("two.gif"), std::string("GIF89a\x01\0\x01\0\x80\0\0" "\0\0\0\xFF\xFF\xFF", 19) + frame +
                                           frame + ";");
    result = converter(inQuotes(folder.file("two.gif")));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(contains(result.err, "two.gif enth\xC3\xA4lt 2 Bilder oder Seiten; nur das erste wird umgewandelt."))
        << result.err;
    EXPECT_TRUE(contains(result.out, "{ 'b', 1, 1, 1 ,")) << result.out;
}

// The old limit guessed 8 characters per pixel and refused anything above
// 2^28 pixels; this one-coloured picture gives 17 MB of text.
TEST(CommandLineConverter, BigPictureIsConvertedWhenItsTextFits)
{
    TestFolder folder;
    writeIndexedBmp(folder.file("big.bmp"), 16384, 16384, 1, {0x000000, 0xFFFFFF}, [](int, int) { return 0; });
    const ProcessResult result = converter("-o " + inQuotes(folder.file("big.h")) + " " + inQuotes(folder.file("big.bmp")), 300000);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string text = readBytes(folder.file("big.h"));
    // 16384 * 16384 pixels = 1052688 runs of 255 and one of 16.
    const size_t runs = 1052688;
    const size_t data = text.find("[] = {\r\n") + 8;
    EXPECT_EQ(text.size(), data + 16385 * 4 + (runs + 1) * 16 - 1 + 7 + text.size() - text.find("\tconst color_t* _bmp_frames_"));
    EXPECT_TRUE(contains(text, "\t\t0x1030, 0x0000 \r\n\r\n\t};\r\n")) << text.substr(text.size() - 300);
    EXPECT_TRUE(contains(text, "{ 'b', 1, 16384, 16384 , _bmp_frames_big };"));
}
