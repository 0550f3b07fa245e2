// bmp2ondra's frames, rotation and mirroring, figures, preview and header
// decoding, run as a user runs it. The animated and multi-page pictures and
// how ImageMagick shows them are made at build time (frame-pictures/).
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ConverterBitmap.h"
#include "ProcessRunner.h"
#include "TestFiles.h"

using namespace Gdiplus::DllExports;

namespace {

std::string q(const std::string& path) { return "\"" + path + "\""; }
std::string built(const std::string& name) { return programFolder() + "frame-pictures\\" + name; }

ProcessResult bmp2ondra(const std::string& arguments)
{
    return runProcess("\"" + programFolder() + "bmp2ondra.exe\" " + arguments, 120000);
}

std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
    uint32_t at(int x, int y) const { return argb[size_t(y * width + x)]; }
};

Pixels readPixels(Gdiplus::GpBitmap* bitmap)
{
    Pixels p;
    UINT w = 0, h = 0;
    GdipGetImageWidth(bitmap, &w);
    GdipGetImageHeight(bitmap, &h);
    p.width = int(w);
    p.height = int(h);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            Gdiplus::ARGB c = 0;
            GdipBitmapGetPixel(bitmap, x, y, &c);
            p.argb.push_back(c);
        }
    return p;
}

// A picture file as GDI+ reads it; empty when it cannot.
Pixels readPicture(const std::string& path)
{
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(wide(path).c_str(), &bitmap) != Gdiplus::Ok)
        return Pixels();
    Pixels p = readPixels(bitmap);
    GdipDisposeImage(bitmap);
    return p;
}

// What the converter window shows of a picture: its converted bitmap drawn.
Pixels windowPreview(const std::string& path)
{
    ConverterBitmap window;
    window.load(path.c_str());
    Gdiplus::GpBitmap* screen = nullptr;
    Gdiplus::GpGraphics* graphics = nullptr;
    GdipCreateBitmapFromScan0(window.targetSize.cx, window.targetSize.cy, 0, PixelFormat32bppARGB, nullptr, &screen);
    GdipGetImageGraphicsContext(screen, &graphics);
    window.draw(graphics);
    GdipDeleteGraphics(graphics);
    Pixels p = readPixels(screen);
    GdipDisposeImage(screen);
    return p;
}

// The top five bits of each channel: what survives the 16-bit display.
uint32_t top5(uint32_t argb) { return argb & 0xF8F8F8; }

// Every pixel's top five bits equal; the first difference is reported.
void expectSameShown(const Pixels& a, const Pixels& b, const std::string& what)
{
    ASSERT_EQ(a.width, b.width) << what;
    ASSERT_EQ(a.height, b.height) << what;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (top5(a.at(x, y)) != top5(b.at(x, y))) {
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") " << std::hex << a.at(x, y) << " vs "
                              << b.at(x, y);
                return;
            }
}

void savePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb)
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
    while (i < count && std::wstring(codecs[i].MimeType) != L"image/png")
        ++i;
    ASSERT_LT(i, count);
    EXPECT_EQ(GdipSaveImageToFile(bitmap, wide(path).c_str(), &codecs[i].Clsid, nullptr), Gdiplus::Ok);
    GdipDisposeImage(bitmap);
}

// "<text> F, W, H ," of the record: frames, width and height.
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

// Picture -> text -> --decode gives the pixels --preview wrote and the window
// shows (top five bits), also turned and mirrored, where an asymmetric picture
// shows where each pixel went; --background comes before the turn, --size after.
TEST(Bmp2ondraFrames, PreviewAndDecodeShowTheTextsPixelsTurnedAndMirrored)
{
    TestFolder folder;
    // A B C / D E F, six colours whose top five bits differ; A is transparent in the PNG.
    const std::map<char, uint32_t> colour = {{'A', 0xFFF80000}, {'B', 0xFF00F800}, {'C', 0xFF0000F8},
                                             {'D', 0xFFF8F800}, {'E', 0xFF00F8F8}, {'F', 0xFF808080}};
    std::vector<uint32_t> abc;
    for (char c : std::string("ABCDEF"))
        abc.push_back(colour.at(c));
    writeBmp(folder.file("abc.bmp"), 3, 2, abc);
    std::vector<uint32_t> seeThrough = abc;
    seeThrough[0] = 0;
    savePng(folder.file("clear.png"), 3, 2, seeThrough);

    struct Case {
        const char* options;
        const char* picture;
        const char* rows;  // letters of the result, rows separated by '/'; 'K' for blue background
    };
    const Case cases[] = {
        {"", "abc.bmp", "ABC/DEF"},
        {"--rotate 90", "abc.bmp", "DA/EB/FC"},
        {"--rotate=180", "abc.bmp", "FED/CBA"},
        {"--rotate 270", "abc.bmp", "CF/BE/AD"},
        {"--flip h", "abc.bmp", "CBA/FED"},
        {"--flip=v", "abc.bmp", "DEF/ABC"},
        {"--rotate 90 --flip h", "abc.bmp", "AD/BE/CF"},
        {"--rotate 90 --flip v", "abc.bmp", "FC/EB/DA"},
        {"--background blue --rotate 90", "clear.png", "DK/EB/FC"},
    };
    std::map<char, uint32_t> shown = colour;
    shown['K'] = 0xFF0000FF;
    for (const Case& c : cases) {
        const std::string options = c.options;
        const ProcessResult made = bmp2ondra(options + " -o " + q(folder.file("out.h")) + " --preview " +
                                             q(folder.file("preview.png")) + " " + q(folder.file(c.picture)));
        ASSERT_EQ(made.exitCode, 0) << options << "\n" << made.err;
        const Pixels preview = readPicture(folder.file("preview.png"));
        std::string rows = c.rows;
        const int width = int(rows.find('/')), height = int(rows.size() + 1) / (width + 1);
        ASSERT_EQ(preview.width, width) << options;
        ASSERT_EQ(preview.height, height) << options;
        EXPECT_EQ(recordFields(readBytes(folder.file("out.h"))), (std::vector<long>{1, width, height})) << options;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(top5(preview.at(x, y)), top5(shown[rows[size_t(y * (width + 1) + x)]]))
                    << options << " at " << x << ", " << y;
        const ProcessResult decoded =
            bmp2ondra("--decode " + q(folder.file("out.h")) + " -o " + q(folder.file("decoded.png")));
        ASSERT_EQ(decoded.exitCode, 0) << decoded.err;
        EXPECT_EQ(readPicture(folder.file("decoded.png")).argb, preview.argb) << options;
    }
    // The turned picture is scaled: --size gives the result's size.
    ASSERT_EQ(bmp2ondra("--rotate 90 --size 4x6 -o " + q(folder.file("big.h")) + " " + q(folder.file("abc.bmp"))).exitCode, 0);
    EXPECT_EQ(recordFields(readBytes(folder.file("big.h"))), (std::vector<long>{1, 4, 6}));

    // A photo: the preview, the decoded header and the window show the same.
    const std::string rose = built("rose.png");
    ASSERT_EQ(bmp2ondra("-o " + q(folder.file("rose.h")) + " --preview " + q(folder.file("rose-preview.png")) + " " +
                        q(rose)).exitCode, 0);
    ASSERT_EQ(bmp2ondra("--decode " + q(folder.file("rose.h"))  + " -d " + q(folder.path())).exitCode, 0);
    const Pixels preview = readPicture(folder.file("rose-preview.png"));
    EXPECT_EQ(readPicture(folder.file("rose.png")).argb, preview.argb);  // named after the header's symbol
    expectSameShown(preview, windowPreview(rose), "rose: preview and window");
    expectSameShown(preview, readPicture(rose), "rose: preview and picture");
}

// --frames: every GIF frame composed as a viewer shows it (ImageMagick's
// frames are the reference), every TIFF page; frames side by side in the
// preview; the delays in the comment, one array per frame, the frame table.
TEST(Bmp2ondraFrames, AnimationFramesAndPagesWithTheirDelays)
{
    TestFolder folder;
    struct Case {
        const char* picture;
        const char* reference;
        int frames, width, height;
        const char* delays;
    };
    const Case cases[] = {{"three.gif", "three-frames.png", 3, 12, 8, "100, 200, 350"},
                          {"back.gif", "back-frames.png", 3, 10, 9, "50, 500, 70"},
                          {"two.tif", "two-pages.png", 2, 5, 4, "0, 0"}};
    for (const Case& c : cases) {
        const ProcessResult made = bmp2ondra("--frames --name anim -o " + q(folder.file("anim.h")) + " --preview " +
                                             q(folder.file("strip.png")) + " " + q(built(c.picture)));
        ASSERT_EQ(made.exitCode, 0) << c.picture << "\n" << made.err;
        EXPECT_EQ(made.err.find("Warnung"), std::string::npos) << made.err;
        const std::string text = readBytes(folder.file("anim.h"));
        const std::string head = "#ifndef _bmpanim_\r\n#define _bmpanim_\r\n// frame delays (ms): " +
                                 std::string(c.delays) + "\r\n\r\n// header \r\n";
        EXPECT_EQ(text.substr(0, head.size()), head);
        std::string table = "\tconst color_t* _bmp_frames_anim[] = {";
        for (int k = 0; k < c.frames; ++k) {
            const std::string array = "_bmp_data_anim_" + std::to_string(k);
            table += (k ? ", " : "") + array;
            EXPECT_NE(text.find("\tconst color_t " + array + "[] = {\r\n\t\t"), std::string::npos) << array;
        }
        EXPECT_NE(text.find(table + "};\r\n"), std::string::npos) << text;
        EXPECT_EQ(recordFields(text), (std::vector<long>{c.frames, c.width, c.height}));

        const Pixels strip = readPicture(folder.file("strip.png"));
        expectSameShown(strip, readPicture(built(c.reference)), c.picture);
        ASSERT_EQ(bmp2ondra("--decode " + q(folder.file("anim.h")) + " -o " + q(folder.file("back.png"))).exitCode, 0);
        EXPECT_EQ(readPicture(folder.file("back.png")).argb, strip.argb) << c.picture;
    }
    // A cut-off animation is read as far as it goes, or refused; never a crash.
    const std::string whole = readBytes(built("back.gif"));
    for (size_t keep : {whole.size() / 2, whole.size() - 2}) {
        writeBytes(folder.file("cut.gif"), whole.substr(0, keep));
        const int code = bmp2ondra("--frames --preview " + q(folder.file("cut.png")) + " " + q(folder.file("cut.gif"))).exitCode;
        EXPECT_TRUE(code == 0 || code == 2) << keep << ": " << code;
    }
}

// With one frame, or without --frames, the text is that of a plain run (and
// the window's); the warning about further frames stays without --frames.
TEST(Bmp2ondraFrames, OneFrameKeepsTheTextAndBadValuesAreUsageErrors)
{
    TestFolder folder;
    writeBmp(folder.file("abc.bmp"), 3, 2, {0xFF102030, 0xFFFFFFFF, 0xFF000000, 0xFF405060, 0xFF708090, 0xFFA0B0C0});
    for (const std::string& picture : {folder.file("abc.bmp"), built("rose.png"), built("three.gif")}) {
        ConverterBitmap window;
        window.load(picture.c_str());
        const std::string windowText(window.sourceText.getBuffer(), size_t(window.sourceText.getLength()));
        const ProcessResult plain = bmp2ondra(q(picture));
        EXPECT_EQ(plain.out, windowText) << picture;
        const bool animated = picture == built("three.gif");
        EXPECT_EQ(plain.err.find("enth\xC3\xA4lt 3 Bilder oder Seiten") != std::string::npos, animated) << plain.err;
        if (!animated) {
            EXPECT_EQ(bmp2ondra("--frames " + q(picture)).out, windowText) << picture;
        }
    }
    // An animation's frame arrays may not be another picture's data.
    ASSERT_TRUE(CopyFileA(built("three.gif").c_str(), folder.file("x.gif").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(folder.file("abc.bmp").c_str(), folder.file("x_0.bmp").c_str(), FALSE));
    const ProcessResult clash = bmp2ondra("--frames -d " + q(folder.file("out")) + " " + q(folder.file("x*.*")));
    EXPECT_EQ(clash.exitCode, 5) << clash.err;
    EXPECT_NE(clash.err.find("_bmp_data_x_0"), std::string::npos) << clash.err;
    EXPECT_EQ(bmp2ondra("-d " + q(folder.file("out")) + " " + q(folder.file("x*.*"))).exitCode, 0);
    for (const char* bad : {"--rotate 45", "--rotate=", "--flip x", "--flip hv", "--frames --decode x.h pic.png",
                            "--preview a.png --decode x.h", "-d . --preview a.png a.bmp b.bmp"}) {
        const ProcessResult result = bmp2ondra(bad);
        EXPECT_EQ(result.exitCode, 64) << bad << "\n" << result.err;
    }
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
    ASSERT_EQ(bmp2ondra("--decode=" + q(folder.file("h.h")) + " -o " + q(folder.file("h.png"))).exitCode, 0);
    const Pixels h = readPicture(folder.file("h.png"));
    EXPECT_EQ(h.argb, (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF, 0xFFFF0000, 0xFF00FF00, 0xFFFF0000, 0xFF00FF00}));

    struct Damage {
        const char* from;
        const char* to;
        int line;
        const char* says;
    };
    const Damage damages[] = {
        {"0x0230, 0x07C0", "0x0330, 0x07C0", 5, "geht \xC3\xBC" "ber das Bild hinaus"},
        {"0x001F, 0x0230, 0x07C0 }", "0x001F }", 5, "endet nach 4 von 6 Bildpunkten"},
        {"_bmp_frames_h[] =", "_bmp_other[] =", 8, "die Bildtabelle _bmp_frames_h fehlt"},
        {"{ _bmp_data_h }", "{ _bmp_data_x }", 7, "Datenfeld _bmp_data_x"},
        {" 0x001F,", " 0x1001F,", 5, "kein 16-Bit-Wert"},
        {"0xF800,", "0x1F800,", 4, "statt einer Farbe"},
        {"{ 0x0330,", "{ 0x0130,", 3, "weniger als 2 Bildpunkte"},
        {"0x001F, 0x0230, 0x07C0 }", "0x001F, 0x0230, 0x07C0, 0x0230 }", 5, "fehlt in _bmp_data_h die Farbe"},
        {"   2, 3,", "   0, 3,", 9, "Breite '0' liegt nicht zwischen 1 und 65535"},
        {"'b', 1,", "'b', 2,", 6, "nennt 1 Bilder, der Datensatz 2"},
        {"BitmapHeader _bmp_h = {", "int _bmp_h[] = {", 11, "kein BitmapHeader-Datensatz"},
    };
    for (const Damage& d : damages) {
        std::string text = good;
        text.replace(text.find(d.from), strlen(d.from), d.to);
        writeBytes(folder.file("bad.h"), text);
        const ProcessResult result = bmp2ondra("--decode " + q(folder.file("bad.h")) + " -o " + q(folder.file("bad.png")));
        EXPECT_EQ(result.exitCode, 2) << d.to;
        EXPECT_NE(result.err.find("bad.h, Zeile " + std::to_string(d.line) + ": "), std::string::npos)
            << d.to << "\n" << result.err;
        EXPECT_NE(result.err.find(d.says), std::string::npos) << result.err;
        EXPECT_EQ(listFolder(folder.path()), (std::vector<std::string>{"bad.h", "h.h", "h.png"})) << d.to;
    }
    EXPECT_EQ(bmp2ondra("--decode " + q(folder.file("missing.h"))).exitCode, 1);
}

// --stats: the figures agree with the text written: its 16-bit values, its
// frame table of 4-byte pointers and the 12-byte record.
TEST(Bmp2ondraFrames, StatsAgreeWithTheText)
{
    // A file title that is no C name still gives its figures.
    TestFolder folder;
    ASSERT_TRUE(CopyFileA(built("three.gif").c_str(), folder.file("my anim.gif").c_str(), FALSE));
    for (const std::string& options : {std::string(q(built("rose.png"))), "--frames " + q(built("three.gif")),
                                       "--frames " + q(folder.file("my anim.gif"))}) {
        const ProcessResult result = bmp2ondra("--stats " + options);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::string& text = result.out;
        const std::vector<long> record = recordFields(text);
        ASSERT_EQ(record.size(), 3u);
        const size_t values = occurrences(text, "0x");
        const size_t tableEntries = occurrences(text.substr(text.find("_bmp_frames_")), "_bmp_data_");
        EXPECT_EQ(tableEntries, size_t(record[0]));
        const unsigned long long plain = 2ULL * record[1] * record[2] * record[0];
        char ratio[32];
        snprintf(ratio, sizeof ratio, "%.1f", 100.0 * double(2 * values) / double(plain));
        *strchr(ratio, '.') = ',';
        const std::string expected = ": " + std::to_string(record[1]) + "x" + std::to_string(record[2]) + ", " +
                                     std::to_string(record[0]) + " Frames, " + std::to_string(values) +
                                     " 16-Bit-Werte, Flash: " + std::to_string(2 * values) + " Byte Daten, " +
                                     std::to_string(2 * values + 4 * tableEntries + 4 * 2 + 4) +
                                     " Byte ganzer Datensatz, " + ratio + " % von " + std::to_string(plain) +
                                     " Byte unkodiert\r\n";
        EXPECT_NE(result.err.find(expected), std::string::npos) << expected << "\n" << result.err;
        EXPECT_EQ(occurrences(result.err, "Statistik "), 1u);
    }
}
