// bmp2ondra as a user runs it: a separate process, its output, messages, exit
// code and the files it leaves; frames, turning, figures, preview and header
// decoding. The animated and multi-page pictures and how ImageMagick shows
// them are made at build time (frame-pictures/).
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "ConverterBitmap.h"
#include "OutputFile.h"
#include "ProcessRunner.h"
#include "TestFiles.h"

using namespace Gdiplus::DllExports;

namespace {

const uint32_t red = 0xFFFF0000, blue = 0xFF0000FF, clear = 0x00000000;

// The text of a 1 x 3 picture, red, red, blue, named "dot".
const std::string dotText =
    "#ifndef _bmpdot_\r\n#define _bmpdot_\r\n\r\n// header \r\n#define bmpdot\t((BitmapHeader*)_bmp_dot)\r\n\r\n"
    "#ifndef MyAppCpp\r\n\textern uint16_t _bmp_dot[];\r\n//cpp\r\n#else\r\n\tconst color_t _bmp_data_dot[] = {\r\n"
    "\t\t0x0230, 0xF800, \r\n\t\t0x001F \r\n\r\n\t};\r\n\tconst color_t* _bmp_frames_dot[] = {_bmp_data_dot};\r\n"
    "\tBitmapHeader _bmp_dot = { 'b', 1, 1, 3 , _bmp_frames_dot };\r\n#endif\r\n#endif\r\n";

// Latin-1 text as UTF-16 (the ANSI code page's letters used here are the same).
std::wstring w(const std::string& latin1)
{
    std::wstring text;
    for (unsigned char c : latin1)
        text += wchar_t(c);
    return text;
}

// What the program writes for a message when its output is redirected.
std::string utf8(const std::wstring& text)
{
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &bytes[0], int(bytes.size()), 0, 0)));
    return bytes;
}

// A backslash before the closing quote would escape it.
std::wstring q(const std::wstring& path) { return L"\"" + path + (path.back() == L'\\' ? L"\\\"" : L"\""); }
std::string q(const std::string& path) { return "\"" + path + "\""; }
std::string built(const std::string& name) { return programFolder() + "frame-pictures\\" + name; }

bool contains(const std::string& text, const std::wstring& part) { return text.find(utf8(part)) != std::string::npos; }

ProcessResult bmp2ondra(const std::wstring& arguments)
{
    return runProcess(L"\"" + w(programFolder()) + L"bmp2ondra.exe\" " + arguments, 300000);
}

// Runs bmp2ondra; its exit code must be `code` and its messages contain `message`.
ProcessResult run(const std::wstring& arguments, int code = 0, const std::wstring& message = L"")
{
    const ProcessResult result = bmp2ondra(arguments);
    EXPECT_EQ(result.exitCode, code) << utf8(arguments) << "\n" << result.err;
    EXPECT_TRUE(contains(result.err, message)) << utf8(arguments) << "\n" << result.err;
    return result;
}
ProcessResult run(const std::string& a, int code = 0, const std::wstring& m = L"") { return run(w(a), code, m); }

// The text the window makes of a picture.
std::string windowText(const std::string& path, int width = 0, int height = 0)
{
    ConverterBitmap window;
    window.targetSize.set(width, height);
    window.load(path.c_str());
    return std::string(window.sourceText.getBuffer(), size_t(window.sourceText.getLength()));
}

// A picture saved by the GDI+ encoder for `mime` from 32-bit ARGB pixels, row by row.
void savePicture(const std::string& path, int width, int height, const std::vector<uint32_t>& argb,
                 const wchar_t* mime = L"image/png")
{
    Gdiplus::GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    for (int i = 0; i < width * height; ++i)
        GdipBitmapSetPixel(bitmap, i % width, i / width, argb[size_t(i)]);
    UINT count = 0, size = 0;
    GdipGetImageEncodersSize(&count, &size);
    std::vector<Gdiplus::ImageCodecInfo> codecs(size / sizeof(Gdiplus::ImageCodecInfo) + 1);
    GdipGetImageEncoders(count, size, codecs.data());
    UINT i = 0;
    while (i < count && std::wstring(codecs[i].MimeType) != mime)
        ++i;
    EXPECT_EQ(GdipSaveImageToFile(bitmap, w(path).c_str(), &codecs[i].Clsid, nullptr), Gdiplus::Ok);
    GdipDisposeImage(bitmap);
}

// A BMP with a palette; `index(x, y)` gives each pixel's entry. A 1-bit
// picture of one colour stays small on disk however big it is.
template <class Index>
void writeIndexedBmp(const std::string& path, int w, int h, int bits, std::vector<uint32_t> palette, Index index)
{
    const unsigned row = (unsigned(w * bits) + 31) / 32 * 4, head = 54 + 4 * unsigned(palette.size());
    // File and info header, little-endian: planes 1 and the bit count share a field.
    const unsigned fields[] = {head + row * h, 0, head, 40, unsigned(w), unsigned(h), 1 | unsigned(bits) << 16, 0,
                               row * h, 2835, 2835, unsigned(palette.size()), 0};
    for (uint32_t& c : palette)
        c &= 0xFFFFFF;
    std::string pixels(row * h, '\0');
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels[(h - 1 - y) * row + x * bits / 8] |= char(unsigned(index(x, y)) << (8 - bits - x * bits % 8));
    writeBytes(path, "BM" + std::string(reinterpret_cast<const char*>(fields), sizeof fields) +
                         std::string(reinterpret_cast<const char*>(palette.data()), 4 * palette.size()) + pixels);
}

struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
    uint32_t at(int x, int y) const { return argb[size_t(y * width + x)]; }
};

// A picture file as GDI+ reads it; empty when it cannot.
Pixels readPicture(const std::string& path)
{
    Pixels p;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(w(path).c_str(), &bitmap) != Gdiplus::Ok)
        return p;
    GdipGetImageWidth(bitmap, reinterpret_cast<UINT*>(&p.width));
    GdipGetImageHeight(bitmap, reinterpret_cast<UINT*>(&p.height));
    for (int i = 0; i < p.width * p.height; ++i) {
        Gdiplus::ARGB c = 0;
        GdipBitmapGetPixel(bitmap, i % p.width, i / p.width, &c);
        p.argb.push_back(c);
    }
    GdipDisposeImage(bitmap);
    return p;
}

// The top five bits of each channel: what survives the 16-bit display.
uint32_t top5(uint32_t argb) { return argb & 0xF8F8F8; }

// Every pixel's top five bits equal; the first difference is reported.
void expectSameShown(const Pixels& a, const Pixels& b, const std::string& what)
{
    ASSERT_EQ(std::make_pair(a.width, a.height), std::make_pair(b.width, b.height)) << what;
    for (size_t i = 0; i < a.argb.size(); ++i)
        if (top5(a.argb[i]) != top5(b.argb[i])) {
            ADD_FAILURE() << what << ": pixel (" << i % size_t(a.width) << ", " << i / size_t(a.width) << ") "
                          << std::hex << a.argb[i] << " vs " << b.argb[i];
            return;
        }
}

// "= { 'b', F, W, H ," of the record: frames, width and height.
std::vector<long> recordFields(const std::string& text)
{
    const size_t at = text.find("= { 'b', ");
    long f = 0, w = 0, h = 0;
    if (at == std::string::npos || sscanf(text.c_str() + at, "= { 'b', %ld, %ld, %ld ,", &f, &w, &h) != 3)
        return {};
    return {f, w, h};
}

size_t occurrences(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

}  // namespace
// The text is the window's, whatever format the picture arrives in, also
// where transparent pixels take the drawn path.
TEST(CommandLineConverter, TextEqualsTheWindowsForEveryFormat)
{
    TestFolder folder;
    std::vector<uint32_t> pixels(9 * 7), palette(256);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | uint32_t(i * 0x0A1B2C) | (i % 4 == 0 ? 0x808080u : 0u);
    std::vector<uint32_t> seeThrough = pixels;
    seeThrough[3] = clear;
    seeThrough[10] = 0x80FF8000;
    writeBmp(folder.file("rgb.bmp"), 9, 7, pixels);
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = uint32_t(i * 0x030507);
    for (int bits : {1, 4, 8})
        writeIndexedBmp(folder.file("palette" + std::to_string(bits) + ".bmp"), 9, 7, bits,
                        std::vector<uint32_t>(palette.begin(), palette.begin() + (1 << bits)),
                        [bits](int x, int y) { return (x * 7 + y * 3) % (1 << bits); });
    savePicture(folder.file("opaque.png"), 9, 7, pixels);
    savePicture(folder.file("alpha.png"), 9, 7, seeThrough);
    savePicture(folder.file("photo.jpg"), 9, 7, pixels, L"image/jpeg");
    savePicture(folder.file("scan.tif"), 9, 7, pixels, L"image/tiff");
    // A vector picture, which GDI+ reads only as an image, not as a bitmap.
    const RECT frame = {0, 0, 900, 700}, area = {1, 1, 6, 5};
    HDC metafile = CreateEnhMetaFileA(nullptr, folder.file("vector.emf").c_str(), &frame, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(200, 30, 90));
    FillRect(metafile, &area, brush);
    DeleteObject(brush);
    DeleteEnhMetaFile(CloseEnhMetaFile(metafile));
    for (const char* name : {"rgb.bmp", "palette1.bmp", "palette4.bmp", "palette8.bmp", "opaque.png", "alpha.png",
                             "photo.jpg", "scan.tif", "vector.emf"})
        EXPECT_EQ(run(q(folder.file(name))).out, windowText(folder.file(name))) << name;
    // Scaled by --size as the window scales to its target size.
    EXPECT_EQ(run("--size=4x3 " + q(folder.file("rgb.bmp"))).out, windowText(folder.file("rgb.bmp"), 4, 3));
}

TEST(CommandLineConverter, TextGoesToStandardOutputOrAFileNamedAfterTheTitleOrName)
{
    TestFolder folder;
    writeBmp(folder.file("dot.bmp"), 1, 3, {red, red, blue});
    EXPECT_EQ(run(q(folder.file("dot.bmp"))).out, dotText);
    // An existing file is replaced as a whole; no temporary file stays.
    writeBytes(folder.file("out.h"), std::string(5000, 'x'));
    EXPECT_EQ(run("-o " + q(folder.file("out.h")) + " " + q(folder.file("dot.bmp"))).out, "");
    EXPECT_EQ(readBytes(folder.file("out.h")), dotText);
    EXPECT_EQ(run("-o=" + q(folder.file("out.h")) + " --name=dot " + q(folder.file("dot.bmp"))).out, "");
    EXPECT_EQ(readBytes(folder.file("out.h")), dotText);
    EXPECT_EQ(listFolder(folder.path()), (std::vector<std::string>{"dot.bmp", "out.h"}));
    // The null device is a target; a missing output folder is made with its parents.
    EXPECT_EQ(run("-o NUL " + q(folder.file("dot.bmp"))).out, "");
    run("-d " + q(folder.file("new\\deeper")) + " " + q(folder.file("dot.bmp")));
    EXPECT_EQ(readBytes(folder.file("new\\deeper\\dot.h")), dotText);

    // Titles that are no C names are warned about.
    const std::pair<std::string, std::wstring> titles[] = {
        {"my-logo", L"das Zeichen '-' an Stelle 3"}, {"with space", L"das Leerzeichen an Stelle 5"},
        {"", L"er ist leer"}, {"__", L"er besteht nur aus _"}, {"gr\xFCn", L"das Zeichen '\xFC' an Stelle 3"},
        {"logo_2", L""}};
    for (const auto& t : titles) {
        const std::string path = folder.file(t.first + ".bmp");
        writeBmp(path, 1, 3, {red, red, blue});
        const std::wstring warning = t.second.empty() ? L"" : L"kein g\xFCltiger C-Name: " + t.second;
        const ProcessResult result = run(q(path), 0, warning);
        EXPECT_EQ(result.out, windowText(path)) << t.first;
        EXPECT_EQ(contains(result.err, L"--name NAME"), !t.second.empty()) << result.err;
    }
}

TEST(CommandLineConverter, AnyFileNameWindowsAllows)
{
    TestFolder folder;
    const std::wstring base = w(folder.path()) + L"\\", photo = base + L"\x5199\x771F.bmp";
    // The ANSI code page turns alpha into "a": the other file must never be read.
    writeBmp(folder.file("ab.bmp"), 1, 1, {red});
    writeBmp(folder.file("x.bmp"), 1, 1, {blue});
    ASSERT_TRUE(MoveFileW((base + L"x.bmp").c_str(), (base + L"\x03B1" L"b.bmp").c_str()));
    EXPECT_TRUE(contains(run(L"--name alpha " + q(base + L"\x03B1" L"b.bmp")).out, L"\t\t0x001F \r\n"));
    // A title the ANSI code page cannot hold needs a name; messages keep the name.
    ASSERT_TRUE(CopyFileW((base + L"\x03B1" L"b.bmp").c_str(), photo.c_str(), TRUE));
    EXPECT_TRUE(contains(run(q(photo), 6, L"'\x5199\x771F' von " + photo).err, L"--name NAME"));
    run(q(base + L"\x5199.png"), 1, L"Datei nicht gefunden: " + base + L"\x5199.png");

    // A folder beyond MAX_PATH, given plainly and in the "\\?\" form, also for the output.
    std::wstring deep = base;
    while (deep.size() < 300) {
        deep += L"Ein ziemlich langer Ordnername\\";
        CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
    }
    ASSERT_TRUE(CopyFileW(photo.c_str(), (L"\\\\?\\" + deep + L"\x5199\x771F.bmp").c_str(), TRUE));
    for (const std::wstring& prefix : {std::wstring(), std::wstring(L"\\\\?\\")}) {
        run(L"-d " + q(prefix + deep) + L" --name foto " + q(prefix + deep + L"\x5199\x771F.bmp"));
        EXPECT_EQ(GetFileAttributesW((L"\\\\?\\" + deep + L"foto.h").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    }

    // Patterns are expanded by the program: files only, sorted; no match is an error.
    writeBmp(folder.file("b.bmp"), 1, 1, {blue});
    writeBmp(folder.file("a.bmp"), 1, 1, {blue});
    CreateDirectoryA(folder.file("c.bmp").c_str(), nullptr);
    const std::string err = run(L"-d " + q(deep) + L" " + q(base + L"?.bmp") + L" " + q(base + L"*.gif"), 1,
                                L"Keine Datei passt zu " + base + L"*.gif").err;
    EXPECT_TRUE(contains(err, L"[1/3] " + base + L"a.bmp -> ")) << err;
    EXPECT_TRUE(contains(err, L"[2/3] " + base + L"b.bmp -> " + deep + L"b.h")) << err;
    run(q(folder.path()), 1, w(folder.path()) + L" ist ein Ordner, kein Bild");
    // A pattern in a folder part takes the matching folders, sorted.
    for (const char* sub : {"sub2", "sub1", "sub3.bmp"})
        CreateDirectoryA(folder.file(sub).c_str(), nullptr);
    writeBmp(folder.file("sub2\\q.bmp"), 1, 1, {blue});
    writeBmp(folder.file("sub1\\p.bmp"), 1, 1, {blue});
    const std::string subs = run(L"-d " + q(deep) + L" " + q(base + L"sub*\\?.bmp")).err;
    EXPECT_TRUE(contains(subs, L"[1/2] " + base + L"sub1\\p.bmp -> " + deep + L"p.h\r\n[2/2] " + base + L"sub2\\q.bmp")) << subs;
}

TEST(CommandLineConverter, EveryFailureHasItsExitCode)
{
    TestFolder folder;
    writeBmp(folder.file("dot.bmp"), 1, 3, {red, red, blue});
    writeBytes(folder.file("junk.png"), "no picture");
    // A header that announces 30000 x 30000 pixels: refused before decoding.
    writeBytes(folder.file("huge.png"), std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x75\x30\0\0\x75\x30\x08\x02", 26));
    CreateDirectoryA(folder.file("taken.h").c_str(), nullptr);
    writeBytes(folder.file("x.h"), "kein Bild");
    writeBytes(folder.file("dot.png"), "kein Bild");
    writeBmp(folder.file("data_dot.bmp"), 1, 1, {blue});
    const std::string dot = q(folder.file("dot.bmp")), junk = q(folder.file("junk.png")), gone = q(folder.file("gone.bmp"));
    const std::string bytes = readBytes(folder.file("dot.bmp")), in = " -d " + q(folder.path()) + " ";
    const std::tuple<std::string, int, std::wstring> cases[] = {
        {gone, 1, L"Datei nicht gefunden"}, {junk, 2, L"kein lesbares Bild"},
        {"-o " + q(folder.file("nowhere\\out.h")) + " " + dot, 3, L"nowhere"},
        // The rename onto a folder fails after the text was written.
        {"-o " + q(folder.file("taken.h")) + " " + dot, 3, L"taken.h"},
        {"--size 100000x100000 " + dot, 4, L"Die Zielgr\xF6\xDF" L"e 100000x100000"},
        {q(folder.file("huge.png")), 4, L"huge.png ist zu gro\xDF, um es im Speicher zu lesen."},
        // Nothing is written when an output would overwrite a picture or another output.
        {"-o " + dot + " " + dot, 5, L"Es wurde nichts geschrieben."},
        {"-o " + q(folder.file("DOT.BMP")) + " " + dot, 5, L"ist das Bild"},
        {in + q(folder.file("x.h")), 5, L"ist das Bild"},
        {in + dot + " " + q(folder.file("dot.png")),
         5, w(folder.file("dot.bmp") + " und " + folder.file("dot.png") + " erg\xE4" "ben dieselbe Ausgabe " + folder.file("dot.h"))},
        // Both texts would define _bmp_data_dot.
        {in + dot + " " + q(folder.file("data_dot.bmp")), 5, L"erg\xE4" L"ben denselben Namen _bmp_data_dot im Quelltext"},
        {"--name 1-2 " + dot, 6, L"ung\xFCltiger Symbolname"}, {"", 64, L"kein Bild angegeben"},
        {"-x " + dot, 64, L"unbekannte Option: -x"}, {dot + " " + dot, 64, L"mehrere Bilder nur mit -d ORDNER"},
        {"--name a -d b " + dot + " " + dot, 64, L"--name gilt nur f\xFCr ein einzelnes Bild"},
        {"-o a.h -d b " + dot, 64, L"-o und -d"}, {"--size 3 " + dot, 64, L"ung\xFCltige Gr\xF6\xDF" L"e '3'"},
        {"--background purpur " + dot, 64, L"unbekannte Farbe 'purpur'"},
        {"--debug=70000 " + dot, 64, L"ung\xFCltiger Port: --debug=70000"}, {"-o", 64, L"zu -o fehlt der Wert"},
        // Empty values and repeated options are refused, not replaced by defaults.
        {"-o \"\" " + dot, 64, L"zu -o fehlt der Wert (leer angegeben)"},
        {"--debug= " + dot, 64, L"zu --debug fehlt der Wert (leer angegeben)"},
        {"-o a.h -o=b.h " + dot, 64, L"-o ist mehrfach angegeben"},
        {"--version=2 " + dot, 64, L"unbekannte Option: --version=2"},
    };
    for (const auto& [arguments, code, message] : cases)
        EXPECT_EQ(run(arguments, code, message).out, "");
    // Only the 32-bit program points to the 64-bit one for pictures beyond its address space.
    EXPECT_EQ(contains(run(q(folder.file("huge.png")), 4).err, L"die 64-Bit-Ausgabe (Archiv win64)"), sizeof(void*) == 4);
    EXPECT_EQ(readBytes(folder.file("dot.bmp")), bytes);
    EXPECT_EQ(listFolder(folder.path()),
              (std::vector<std::string>{"data_dot.bmp", "dot.bmp", "dot.png", "huge.png", "junk.png", "taken.h", "x.h"}));

    // A batch goes on and reports the code of its first failure.
    TestFolder target;
    const std::string err = run("-d " + q(target.path()) + " " + junk + " " + gone + " " + dot, 2).err;
    EXPECT_EQ(listFolder(target.path()), std::vector<std::string>{"dot.h"});
    EXPECT_TRUE(contains(err, w("[2/3] " + folder.file("gone.bmp") + ": Fehler"))) << err;
    EXPECT_TRUE(contains(err, w("[3/3] " + folder.file("dot.bmp") + " -> " + target.path() + "\\dot.h"))) << err;
    run("-d " + q(target.path()) + " " + gone + " " + junk, 1);

    EXPECT_TRUE(contains(run("/?").out, L"Exit-Code (bei mehreren Bildern der des ersten Fehlers"));
    EXPECT_EQ(run("--version").out, "bmp2ondra 1.0.0.0\r\n");
    // "--" ends the options: a picture whose name begins with "-".
    writeBmp(folder.file("-x.bmp"), 1, 3, {red, red, blue});
    run("-- " + q(folder.file("-x.bmp")));
}

TEST(CommandLineConverter, BackgroundTransparencyAndBigPictures)
{
    TestFolder folder;
    savePicture(folder.file("hole.png"), 1, 3, {red, clear, blue});
    const std::string hole = " " + q(folder.file("hole.png"));
    EXPECT_TRUE(contains(run(hole, 0, L"hat durchsichtige Bildpunkte; sie werden schwarz. Mit --background FARBE").out,
                         L"\t\t0xF800, 0x0000, \r\n\t\t0x001F \r\n"));
    // The hole's colour: red joins the first run.
    const std::wstring joined = L"\t\t0x0230, 0xF800, \r\n\t\t0x001F \r\n", white = L"\t\t0xF800, 0xFFDF, \r\n";
    const std::pair<std::string, std::wstring> colours[] = {{"rot", joined}, {"Red", joined}, {"#f00", joined},
        {"255,0,0", joined}, {"gr\xFCn", L"\t\t0xF800, 0x0400, \r\n"}, {"wei\xDF", white}, {"weiss", white}};
    for (const auto& [name, text] : colours) {
        const ProcessResult result = run("--background " + name + hole);
        EXPECT_EQ(result.err, "") << name;
        EXPECT_TRUE(contains(result.out, text)) << name << result.out;
    }

    // The old limit refused anything above 2^28 pixels; this one-coloured
    // picture gives 17 MB of text: 1052688 runs of 255 and one of 16.
    writeIndexedBmp(folder.file("big.bmp"), 16384, 16384, 1, {0x000000, 0xFFFFFF}, [](int, int) { return 0; });
    run("-o " + q(folder.file("big.h")) + " " + q(folder.file("big.bmp")));
    const std::string text = readBytes(folder.file("big.h"));
    EXPECT_EQ(text.size(), 16908902u);
    EXPECT_TRUE(contains(text, L"\t\t0x1030, 0x0000 \r\n\r\n\t};\r\n\tconst color_t* _bmp_frames_big[] = {_bmp_data_big};\r\n"
                               L"\tBitmapHeader _bmp_big = { 'b', 1, 16384, 16384 , _bmp_frames_big };"));
}

// What bmp2ondra's console control handler does on Ctrl+C or a closed
// console while a text is being written (Wine cannot deliver those events
// to a child reliably, so the clean-up is called here directly): the
// temporary file goes, the target is never put in place, later outputs work.
TEST(CommandLineConverter, InterruptionRemovesTheFileBeingWritten)
{
    TestFolder folder;
    const std::string text(100000, 'x');
    OutputFile file(w(folder.file("out.h")), text.data());
    ASSERT_TRUE(file.open());
    file.written(text.data() + 50000);
    ASSERT_EQ(listFolder(folder.path()).size(), 1u);
    OutputFile::discardUnfinished(false);
    EXPECT_FALSE(file.finish(text.data() + text.size()));
    EXPECT_EQ(listFolder(folder.path()), std::vector<std::string>{});
    OutputFile next(w(folder.file("next.h")), text.data());
    ASSERT_TRUE(next.open());
    EXPECT_TRUE(next.finish(text.data() + text.size()));
    EXPECT_EQ(readBytes(folder.file("next.h")), text);
}

// Picture -> text -> --decode gives the pixels --preview wrote (top five bits
// of the picture's), also turned and mirrored, where an asymmetric picture
// shows where each pixel went; --background comes before the turn, --size after.
TEST(Bmp2ondraFrames, PreviewAndDecodeShowTheTextsPixelsTurnedAndMirrored)
{
    TestFolder folder;
    // A B C / D E F, six colours whose top five bits differ; A is transparent in the PNG; K is blue.
    const std::map<char, uint32_t> colour = {{'A', 0xFFF80000}, {'B', 0xFF00F800}, {'C', 0xFF0000F8},
                                             {'D', 0xFFF8F800}, {'E', 0xFF00F8F8}, {'F', 0xFF808080}, {'K', blue}};
    std::vector<uint32_t> abc;
    for (char c : std::string("ABCDEF"))
        abc.push_back(colour.at(c));
    writeBmp(folder.file("abc.bmp"), 3, 2, abc);
    abc[0] = clear;
    savePicture(folder.file("clear.png"), 3, 2, abc);
    // Options, picture, the result's letters with rows separated by '/'.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"", "abc.bmp", "ABC/DEF"}, {"--rotate 90", "abc.bmp", "DA/EB/FC"}, {"--rotate=180", "abc.bmp", "FED/CBA"},
        {"--rotate 270", "abc.bmp", "CF/BE/AD"}, {"--flip h", "abc.bmp", "CBA/FED"}, {"--flip=v", "abc.bmp", "DEF/ABC"},
        {"--rotate 90 --flip h", "abc.bmp", "AD/BE/CF"}, {"--background blue --rotate 90", "clear.png", "DK/EB/FC"}};
    const std::string out = q(folder.file("out.h")), preview = folder.file("preview.png");
    for (const auto& [options, picture, rows] : cases) {
        run(options + " -o " + out + " --preview " + q(preview) + " " + q(folder.file(picture)));
        const Pixels shown = readPicture(preview);
        const int width = int(rows.find('/')), height = int(rows.size() + 1) / (width + 1);
        ASSERT_EQ(std::make_pair(shown.width, shown.height), std::make_pair(width, height)) << options;
        EXPECT_EQ(recordFields(readBytes(folder.file("out.h"))), (std::vector<long>{1, width, height})) << options;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(top5(shown.at(x, y)), top5(colour.at(rows[size_t(y * (width + 1) + x)])))
                    << options << " at " << x << ", " << y;
        run("--decode " + out + " -o " + q(folder.file("decoded.png")));
        EXPECT_EQ(readPicture(folder.file("decoded.png")).argb, shown.argb) << options;
    }
    run("--rotate 90 --size 4x6 -o " + out + " " + q(folder.file("abc.bmp")));
    EXPECT_EQ(recordFields(readBytes(folder.file("out.h"))), (std::vector<long>{1, 4, 6}));

    // A photo: the preview and the decoded header show the picture.
    const std::string rose = built("rose.png");
    run("-o " + q(folder.file("rose.h")) + " --preview " + q(preview) + " " + q(rose));
    run("--decode " + q(folder.file("rose.h")) + " -d " + q(folder.path()));
    const Pixels shown = readPicture(preview);
    EXPECT_EQ(readPicture(folder.file("rose.png")).argb, shown.argb);  // named after the header's symbol
    expectSameShown(shown, readPicture(rose), "rose");
}

// --frames: every GIF frame composed as a viewer shows it (ImageMagick's
// frames are the reference), every TIFF page; frames side by side in the
// preview; the delays in the comment, one array per frame, the frame table.
TEST(Bmp2ondraFrames, AnimationFramesAndPagesWithTheirDelays)
{
    TestFolder folder;
    const std::string anim = q(folder.file("anim.h")), strip = folder.file("strip.png");
    // Picture, its frames side by side, frames, width, height, delays.
    const std::tuple<std::string, std::string, long, long, long, std::string> cases[] = {
        {"three.gif", "three-frames.png", 3, 12, 8, "100, 200, 350"},
        {"back.gif", "back-frames.png", 3, 10, 9, "50, 500, 70"},
        {"two.tif", "two-pages.png", 2, 5, 4, "0, 0"}};
    for (const auto& [picture, reference, frames, width, height, delays] : cases) {
        const ProcessResult made = run("--frames --name anim -o " + anim + " --preview " + q(strip) + " " + q(built(picture)));
        EXPECT_FALSE(contains(made.err, L"Warnung")) << made.err;
        const std::string text = readBytes(folder.file("anim.h"));
        EXPECT_EQ(text.rfind("#ifndef _bmpanim_\r\n#define _bmpanim_\r\n// frame delays (ms): " + delays +
                             "\r\n\r\n// header \r\n", 0), 0u) << text.substr(0, 200);
        std::string table = "\tconst color_t* _bmp_frames_anim[] = {";
        for (long k = 0; k < frames; ++k) {
            const std::string array = "_bmp_data_anim_" + std::to_string(k);
            table += (k ? ", " : "") + array;
            EXPECT_NE(text.find("\tconst color_t " + array + "[] = {\r\n\t\t"), std::string::npos) << array;
        }
        EXPECT_NE(text.find(table + "};\r\n"), std::string::npos) << text;
        EXPECT_EQ(recordFields(text), (std::vector<long>{frames, width, height}));
        const Pixels shown = readPicture(strip);
        expectSameShown(shown, readPicture(built(reference)), picture);
        run("--decode " + anim + " -o " + q(folder.file("back.png")));
        EXPECT_EQ(readPicture(folder.file("back.png")).argb, shown.argb) << picture;
    }
    // A cut-off animation is read as far as it goes, or refused; never a crash.
    const std::string whole = readBytes(built("back.gif"));
    for (size_t keep : {whole.size() / 2, whole.size() - 2}) {
        writeBytes(folder.file("cut.gif"), whole.substr(0, keep));
        const int code = bmp2ondra(w("--frames --preview " + q(folder.file("cut.png")) + " " + q(folder.file("cut.gif")))).exitCode;
        EXPECT_TRUE(code == 0 || code == 2) << keep << ": " << code;
    }
}

// With one frame, or without --frames, the text is that of a plain run (and
// the window's); the warning about further frames stays without --frames.
TEST(Bmp2ondraFrames, OneFrameKeepsTheTextAndBadValuesAreUsageErrors)
{
    TestFolder folder;
    const std::string rose = built("rose.png"), three = built("three.gif");
    EXPECT_EQ(run(q(three), 0, L"three.gif enth\xE4lt 3 Bilder oder Seiten; nur das erste wird umgewandelt.").out,
              windowText(three));
    const std::string text = windowText(rose);
    EXPECT_EQ(run(q(rose)).out, text);
    EXPECT_EQ(run("--frames " + q(rose)).out, text);
    // An animation's frame arrays may not be another picture's data.
    ASSERT_TRUE(CopyFileA(three.c_str(), folder.file("x.gif").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(rose.c_str(), folder.file("x_0.png").c_str(), FALSE));
    run("--frames -d " + q(folder.file("out")) + " " + q(folder.file("x*.*")), 5, L"_bmp_data_x_0");
    run("-d " + q(folder.file("out")) + " " + q(folder.file("x*.*")));
    for (const char* bad : {"--rotate 45", "--flip x", "--flip hv", "--frames --decode x.h pic.png",
                            "--preview a.png --decode x.h", "-d . --preview a.png a.bmp b.bmp"})
        run(bad, 64);
}

// A damaged header is refused with a message naming the line, exit code 2,
// and nothing is written; a hand-formatted one is read.
TEST(Bmp2ondraFrames, DecodeReadsHandFormattedHeadersAndRefusesDamagedOnes)
{
    TestFolder folder;
    // 2 x 3: red, red, red | blue, green, green.
    const std::string good = "/* made by hand */\n"                              // 1
                             "#ifndef X\n"                                        // 2
                             "const color_t _bmp_data_h[] = { 0x0330,\n"          // 3
                             "   0xF800,   // red column\n"                       // 4
                             " 0x001F, 0x0230, 0x07C0 };\n"                       // 5
                             "const color_t* _bmp_frames_h[] =\n"                 // 6
                             "  { _bmp_data_h };\n"                               // 7
                             "BitmapHeader _bmp_h = { 'b', 1,\n"                  // 8
                             "   2, 3, _bmp_frames_h };\n"                        // 9
                             "#endif\n";                                          // 10
    writeBytes(folder.file("h.h"), good);
    run("--decode=" + q(folder.file("h.h")) + " -o " + q(folder.file("h.png")));
    EXPECT_EQ(readPicture(folder.file("h.png")).argb, (std::vector<uint32_t>{red, blue, red, 0xFF00FF00, red, 0xFF00FF00}));
    // Replaced text, its replacement, the line named and the reason.
    const std::tuple<std::string, std::string, int, std::wstring> damages[] = {
        {"0x0230, 0x07C0", "0x0330, 0x07C0", 5, L"geht \xFC" L"ber das Bild hinaus"},
        {"0x001F, 0x0230, 0x07C0 }", "0x001F }", 5, L"endet nach 4 von 6 Bildpunkten"},
        {"_bmp_frames_h[] =", "_bmp_other[] =", 8, L"die Bildtabelle _bmp_frames_h fehlt"},
        {"{ _bmp_data_h }", "{ _bmp_data_x }", 7, L"Datenfeld _bmp_data_x"},
        {" 0x001F,", " 0x1001F,", 5, L"kein 16-Bit-Wert"}, {"0xF800,", "0x1F800,", 4, L"statt einer Farbe"},
        {"{ 0x0330,", "{ 0x0130,", 3, L"weniger als 2 Bildpunkte"},
        {"0x001F, 0x0230, 0x07C0 }", "0x001F, 0x0230, 0x07C0, 0x0230 }", 5, L"fehlt in _bmp_data_h die Farbe"},
        {"   2, 3,", "   0, 3,", 9, L"Breite '0' liegt nicht zwischen 1 und 65535"},
        {"'b', 1,", "'b', 2,", 6, L"nennt 1 Bilder, der Datensatz 2"},
        {"BitmapHeader _bmp_h = {", "int _bmp_h[] = {", 11, L"kein BitmapHeader-Datensatz"},
    };
    for (const auto& [from, to, line, says] : damages) {
        std::string text = good;
        writeBytes(folder.file("bad.h"), text.replace(text.find(from), from.size(), to));
        const std::string err = run("--decode " + q(folder.file("bad.h")) + " -o " + q(folder.file("bad.png")), 2,
                                    L"bad.h, Zeile " + std::to_wstring(line) + L": ").err;
        EXPECT_TRUE(contains(err, says)) << err;
        EXPECT_EQ(listFolder(folder.path()), (std::vector<std::string>{"bad.h", "h.h", "h.png"})) << to;
    }
    run("--decode " + q(folder.file("missing.h")), 1);
}

// --stats: the figures agree with the text written: its 16-bit values, its
// frame table of 4-byte pointers and the 12-byte record.
TEST(Bmp2ondraFrames, StatsAgreeWithTheText)
{
    // A file title that is no C name still gives its figures.
    TestFolder folder;
    ASSERT_TRUE(CopyFileA(built("three.gif").c_str(), folder.file("my anim.gif").c_str(), FALSE));
    for (const std::string& options : {q(built("rose.png")), "--frames " + q(folder.file("my anim.gif"))}) {
        const ProcessResult result = run("--stats " + options);
        const std::string& text = result.out;
        const std::vector<long> record = recordFields(text);
        ASSERT_EQ(record.size(), 3u);
        const size_t values = occurrences(text, "0x");
        const size_t tableEntries = occurrences(text.substr(text.find("_bmp_frames_")), "_bmp_data_");
        EXPECT_EQ(tableEntries, size_t(record[0]));
        const unsigned long long plain = 2ULL * record[1] * record[2] * record[0], data = 2ULL * values;
        char expected[300];
        snprintf(expected, sizeof expected, ": %ldx%ld, %ld Frames, %llu 16-Bit-Werte, Flash: %llu Byte Daten, %llu Byte "
                 "ganzer Datensatz, %.1f %% von %llu Byte unkodiert\r\n", record[1], record[2], record[0], data / 2, data,
                 data + 4 * tableEntries + 4 * 2 + 4, 100.0 * double(data) / double(plain), plain);
        *strchr(expected, '.') = ',';
        EXPECT_NE(result.err.find(expected), std::string::npos) << expected << "\n" << result.err;
        EXPECT_EQ(occurrences(result.err, "Statistik "), 1u);
    }
}
