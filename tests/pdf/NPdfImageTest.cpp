// NPdfImage on the pictures of tests/pdf/data (made by make-images.sh with
// ImageMagick) and on hand-made PNG and BMP files for the rarer cases.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>

#include "NPdfImage.h"
#include "PdfTestData.h"

namespace {

const int W = 9, H = 6;
using Pattern = std::function<unsigned(int x, int y, int c)>;

// The pattern of make-images.sh, alpha painted over white.
unsigned overWhite(unsigned c, unsigned a) { return (c * a + 255 * (255 - a) + 127) / 255; }
const Pattern rgb = [](int x, int y, int c) { return c == 0 ? 28u * x : c == 1 ? 50u * y : 12u * (x + y); };
const Pattern rgba = [](int x, int y, int c) { return overWhite(rgb(x, y, c), 255 - 30 * x); };
const Pattern grey = [](int x, int y, int) { return (x + y) % 2 * 255u; };
const Pattern greyAlpha = [](int x, int y, int) { return overWhite(grey(x, y, 0), 255 - 30 * x); };

void expectPixels(const std::string& samples, int channels, const Pattern& expected, int tolerance, const std::string& what)
{
    ASSERT_EQ(samples.size(), static_cast<size_t>(W * H * channels)) << what;
    for (int i = 0; i < W * H * channels; ++i) {
        int want = static_cast<int>(expected(i / channels % W, i / channels / W, i % channels));
        ASSERT_LE(std::abs(static_cast<unsigned char>(samples[i]) - want), tolerance) << what << " sample " << i;
    }
}

// The colour table of an /Indexed colour space, as bytes.
std::string paletteOf(const std::string& dictionary)
{
    std::string out;
    for (size_t i = dictionary.find('<') + 1; i + 1 < dictionary.find('>'); i += 2)
        out += static_cast<char>(std::stoi(dictionary.substr(i, 2), nullptr, 16));
    return out;
}

std::string idatOf(const std::string& png)
{
    std::string out;
    for (size_t pos = 8; pos + 12 <= png.size(); pos += 12 + get32(png, pos))
        if (png.compare(pos + 4, 4, "IDAT") == 0)
            out += png.substr(pos + 8, get32(png, pos));
    return out;
}

const std::string flate = " /BitsPerComponent 8 /Filter /FlateDecode", dct = " /BitsPerComponent 8 /Filter /DCTDecode",
                  parms = " /Filter /FlateDecode /DecodeParms << /Predictor 15 /Colors ";
// Data: 'i' the PNG's own IDAT, 'f' the whole file, 'p' samples of the
// pattern, 'x' palette indices that give the pattern; an entry ending in
// "<" starts the dictionary's colour table.
struct Picture { const char* file; std::string entries; char data; const Pattern* pattern = nullptr; int tolerance = 0; };
const Picture pictures[] = {
    {"rgb8.png", "/DeviceRGB /BitsPerComponent 8" + parms + "3 /BitsPerComponent 8 /Columns 9 >>", 'i'},
    {"grey1.png", "/DeviceGray /BitsPerComponent 1" + parms + "1 /BitsPerComponent 1 /Columns 9 >>", 'i'},
    {"grey8.png", "/DeviceGray /BitsPerComponent 8" + parms + "1 /BitsPerComponent 8 /Columns 9 >>", 'i'},
    {"grey8-key.png", "/DeviceGray /BitsPerComponent 8 /Mask [0 0]" + parms + "1 /BitsPerComponent 8 /Columns 9 >>", 'i'},
    {"palette8.png", "[/Indexed /DeviceRGB 255 <", 'i'},
    {"rgb8-interlaced.png", "/DeviceRGB" + flate, 'p', &rgb, 1}, {"rgb16.png", "/DeviceRGB" + flate, 'p', &rgb, 1},
    {"rgba8.png", "/DeviceRGB" + flate, 'p', &rgba, 1}, {"rgba8-interlaced.png", "/DeviceRGB" + flate, 'p', &rgba, 1},
    {"grey1-interlaced.png", "/DeviceGray" + flate, 'p', &grey, 1},
    {"grey-alpha.png", "/DeviceGray" + flate, 'p', &greyAlpha, 1},
    {"rgb24.bmp", "/DeviceRGB" + flate, 'p', &rgb, 0}, {"rgb565.bmp", "/DeviceRGB" + flate, 'p', &rgb, 9},
    {"rgba32.bmp", "/DeviceRGB" + flate, 'p', &rgba, 1}, {"grey1.bmp", "[/Indexed /DeviceRGB 1 <", 'x', &grey},
    {"palette8.bmp", "[/Indexed /DeviceRGB 255 <", 'x', &rgb}, {"palette8-rle.bmp", "[/Indexed /DeviceRGB 255 <", 'x', &rgb},
    {"rgb.jpg", "/DeviceRGB" + dct, 'f'}, {"progressive.jpg", "/DeviceRGB" + dct, 'f'},
    {"grey.jpg", "/DeviceGray" + dct, 'f'},
    {"cmyk.jpg", "/DeviceCMYK /BitsPerComponent 8 /Decode [1 0 1 0 1 0 1 0] /Filter /DCTDecode", 'f'}};

} // namespace

TEST(NPdfImage, EachPictureKindGivesItsDictionaryAndData)
{
    for (const auto& c : pictures) {
        NPdfImage image;
        ASSERT_TRUE(image.load(pdfTestData(c.file).c_str())) << c.file << ": " << image.getError().getBuffer();
        const std::string dictionary = image.getDictionary().getBuffer();
        const std::string start = "/Width 9 /Height 6 /ColorSpace " + c.entries;
        const bool indexed = c.entries.back() == '<';
        EXPECT_EQ(indexed ? dictionary.substr(0, start.size()) : dictionary, start);
        const std::string file = readBytes(pdfTestData(c.file)), &data = image.getData();
        const std::string palette = indexed ? paletteOf(dictionary) : "";
        const int channels = c.entries[7] == 'R' ? 3 : 1, bits = c.entries.find(" 1 <") != std::string::npos ? 1 : 8;
        const size_t rowBytes = (W * bits + 7) / 8;
        if (c.data == 'i' || c.data == 'f') {
            EXPECT_EQ(data, c.data == 'i' ? idatOf(file) : file) << c.file;
        } else if (c.data == 'p') {
            expectPixels(inflated(data, W * H * channels), channels, *c.pattern, c.tolerance, c.file);
        } else {
            const std::string indices = inflated(data, H * rowBytes);
            std::string pixels;
            for (int i = 0; i < W * H; ++i) {
                unsigned char b = static_cast<unsigned char>(indices.at(i / W * rowBytes + i % W * bits / 8));
                pixels += palette.substr(3 * (bits == 8 ? b : (b >> (7 - i % W % 8)) & 1), 3);
            }
            expectPixels(pixels, 3, *c.pattern, 0, c.file);
        }
        const std::string colour{char(28 * 8), char(50 * 5), char(12 * 13)};   // pixel (8, 5)
        EXPECT_TRUE(!indexed || palette.size() == 3u << bits) << c.file;
        EXPECT_TRUE(bits == 1 || !indexed || palette.find(colour) != std::string::npos) << c.file;
    }
}

TEST(NPdfImage, HandMadeAndAlteredPictures)
{
    // 2 x 2 palette picture, 4 entries; tRNS makes one entry transparent
    // (a /Mask), or blends entries over white.
    const std::string plte = pngChunk("PLTE", std::string("\0\0\0\xFF\0\0\0\0\xFF\x10\x20\x30", 12));
    const struct { std::string trns; bool mask; int entry; std::string color; } cases[] = {
        {std::string("\xFF\0", 2), true, 1, std::string("\xFF\0\0", 3)}, {"\xFF\xFF\x80", false, 2, "\x7F\x7F\xFF"},
        {std::string("\0\0", 2), false, 1, "\xFF\xFF\xFF"}};
    NPdfImage image;
    for (const auto& c : cases) {
        const std::string png = makePng(2, 2, 8, 3, plte + pngChunk("tRNS", c.trns), std::string("\0\x01\x02\0\x03\0", 6));
        ASSERT_TRUE(image.loadMemory(png.data(), png.size(), "p.png")) << image.getError().getBuffer();
        const std::string dictionary = image.getDictionary().getBuffer();
        EXPECT_EQ(dictionary.find("/Mask [1 1]") != std::string::npos, c.mask) << dictionary;
        EXPECT_EQ(paletteOf(dictionary).substr(3 * c.entry, 3), c.color) << dictionary;
    }
    // Row filters Sub, Up, Average, Paeth, worked out by hand on grey +
    // alpha (2 bytes a pixel, 2 pixels a row).
    const std::string rows("\x01\x0A\xFF\x01\0\x02\x02\0\x02\0\x03\x0E\x80\x0E\0\x04\x05\0\x0A\0", 20);
    const std::string png = makePng(2, 4, 8, 4, "", rows);
    ASSERT_TRUE(image.loadMemory(png.data(), png.size(), "f.png")) << image.getError().getBuffer();
    EXPECT_EQ(inflated(image.getData(), 8), "\x0A\x0B\x0C\x0D\x14\x1E\x19\x28");

    // rgb24.bmp with its rows turned top-down.
    const std::string bottomUp = readBytes(pdfTestData("rgb24.bmp"));
    const size_t offBits = static_cast<unsigned char>(bottomUp[10]), stride = 28;
    std::string topDown = bottomUp.substr(0, offBits);
    for (int y = H - 1; y >= 0; --y)
        topDown += bottomUp.substr(offBits + y * stride, stride);
    topDown.replace(22, 4, std::string("\xFA\xFF\xFF\xFF", 4));   // height -6
    ASSERT_TRUE(image.loadMemory(topDown.data(), topDown.size(), "rgb24.bmp")) << image.getError().getBuffer();
    expectPixels(inflated(image.getData(), W * H * 3), 3, rgb, 0, "top-down");
    // RLE4, 4 x 2: bottom row a run "1 2 1 2", top row absolute "3 4 5 0".
    std::string rle4 = std::string("BM\0\0\0\0\0\0\0\0\x76\0\0\0\x28\0\0\0\x04\0\0\0\x02\0\0\0\x01\0\x04\0\x02", 31) +
                       std::string(23, '\0');
    for (int i = 0; i < 16; ++i)
        rle4 += std::string{char(i * 16), char(i), char(i * 2), '\0'};
    rle4 += std::string("\x04\x12\0\0\0\x04\x34\x50\0\x01", 10);
    ASSERT_TRUE(image.loadMemory(rle4.data(), rle4.size(), "rle4.bmp")) << image.getError().getBuffer();
    EXPECT_EQ(inflated(image.getData(), 8), std::string("\x03\x04\x05\0\x01\x02\x01\x02", 8));
    EXPECT_EQ(paletteOf(image.getDictionary().getBuffer()).substr(9, 6), "\x06\x03\x30\x08\x04\x40");
    EXPECT_FALSE(image.loadMemory(rle4.data(), rle4.size() - 2, "rle4.bmp"));   // no end code
    // CMYK without Adobe's APP14 marker is not inverted.
    std::string cmyk = readBytes(pdfTestData("cmyk.jpg"));
    ASSERT_EQ(cmyk.compare(2, 2, "\xFF\xEE"), 0);
    cmyk[3] = '\xEC';
    ASSERT_TRUE(image.loadMemory(cmyk.data(), cmyk.size(), "c.jpg"));
    EXPECT_EQ(std::string(image.getDictionary().getBuffer()).find("/Decode"), std::string::npos);
}

TEST(NPdfImage, DamagedFilesFailWithAMessage)
{
    NPdfImage image;
    EXPECT_FALSE(image.load("Z:\\no\\such\\picture.png"));
    EXPECT_STREQ(image.getError().getBuffer(),
                 "NPdfImage::load(..): Die Datei \"Z:\\no\\such\\picture.png\" konnte nicht ge\xF6""ffnet werden.");
    std::string rgb8 = readBytes(pdfTestData("rgb8.png")), badCrc = rgb8, bmp = readBytes(pdfTestData("rgb24.bmp"));
    badCrc[40] ^= 0x10;   // inside the IDAT body
    std::string rle = bmp;
    rle[30] = 1;          // RLE8 on a 24-bit picture
    const std::pair<std::string, const char*> cases[] = {
        {"GIF89a....", "ist kein Bild im Format PNG, JPEG oder BMP"},
        {rgb8.substr(0, rgb8.size() - 12), "ist kein lesbares PNG-Bild (abgeschnitten)"},
        {badCrc, "ist kein lesbares PNG-Bild (Pr\xFC""fsumme falsch, Datei besch\xE4""digt)"},
        {makePng(100000, 2, 8, 2, "", "x"), "ist mit 100000 x 2 Bildpunkten zu gro\xDF"},
        {makePng(60000, 60000, 8, 2, "", "x"), "ist mit 60000 x 60000 Bildpunkten zu gro\xDF"},
        {makePng(2, 2, 8, 2, "", std::string(7, '\0')),
         "ist kein lesbares PNG-Bild (Bilddaten abgeschnitten oder besch\xE4""digt)"},
        {makePng(2, 1, 8, 2, "", "\x05\x01\x02\x03\x04\x05\x06"), "ist kein lesbares PNG-Bild (unbekannter Zeilenfilter)"},
        {makePng(2, 2, 16, 3, "", "x"), "ist kein lesbares PNG-Bild (Farbtyp, Bittiefe oder Verfahren ung\xFCltig)"},
        {rle, "ist kein lesbares BMP-Bild (RLE-Kompression passt nicht zur Farbtiefe)"},
        {bmp.substr(0, bmp.size() - 3), "ist kein lesbares BMP-Bild (abgeschnitten)"},
        {std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10), "ist kein lesbares JPEG-Bild (abgeschnitten vor dem Bildkopf)"},
        {"\xFF\xD8\xFF\xD0\xFF\xC0", "ist kein lesbares JPEG-Bild (unerwartete Markierung 0xFFD0 vor dem Bildkopf)"},
        {"\xFF\xD8\xFF\xDA", "ist kein lesbares JPEG-Bild (unerwartete Markierung 0xFFDA vor dem Bildkopf)"}};
    for (const auto& [bytes, reason] : cases) {
        EXPECT_FALSE(image.loadMemory(bytes.data(), bytes.size(), "x.bin"));
        EXPECT_EQ(std::string(image.getError().getBuffer()),
                  std::string("NPdfImage::loadMemory(..): Die Datei \"x.bin\" ") + reason + ".");
        EXPECT_TRUE(image.getData().empty() && image.getKey().isEmpty() && image.getWidth() == 0);
    }
    // Every cut of every picture fails and names the file; a cut PNG is
    // "abgeschnitten". JPEG data after the frame header is not read.
    std::mt19937 random(20261207);
    for (const auto& picture : pictures) {
        const char* file = picture.file;
        const std::string whole = readBytes(pdfTestData(file));
        ASSERT_FALSE(whole.empty()) << file;
        size_t frame = whole.find("\xFF\xC0") != std::string::npos ? whole.find("\xFF\xC0") : whole.find("\xFF\xC2");
        size_t end = std::string(file).find(".jpg") != std::string::npos ? frame + 10 : whole.size();
        for (size_t cut = 0; cut < end; ++cut) {
            ASSERT_FALSE(image.loadMemory(whole.data(), cut, file)) << file << " cut at " << cut;
            std::string error = image.getError().getBuffer();
            ASSERT_NE(error.find(file), std::string::npos) << error;
            ASSERT_TRUE(cut < 8 || error.find("PNG") == std::string::npos || error.find("abgeschnitten") != std::string::npos)
                << error;
        }
        for (int round = 0; round < 150; ++round) {
            std::string bytes = whole;
            for (int i = 0, flips = 1 + random() % 4; i < flips; ++i)
                bytes[random() % bytes.size()] = static_cast<char>(random());
            if (image.loadMemory(bytes.data(), bytes.size(), file))
                EXPECT_TRUE(image.getWidth() > 0 && !image.getDictionary().isEmpty() && !image.getData().empty());
            else
                EXPECT_EQ(std::string(image.getError().getBuffer()).rfind("NPdfImage::loadMemory(..): ", 0), 0u);
        }
    }
}
