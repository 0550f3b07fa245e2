// NPdfImage on the pictures of tests/pdf/data (made by make-images.sh with
// ImageMagick) and on hand-made PNG files for the rarer cases.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>

#include "NPdfImage.h"
#include "PdfTestData.h"

namespace {

const int W = 9, H = 6;

// The pattern of make-images.sh.
unsigned channel(int x, int y, int c) { return c == 0 ? 28 * x : c == 1 ? 50 * y : 12 * (x + y); }
unsigned alphaAt(int x) { return 255 - 30 * x; }
unsigned greyAt(int x, int y) { return (x + y) % 2 * 255; }
unsigned overWhite(unsigned c, unsigned a) { return (c * a + 255 * (255 - a) + 127) / 255; }

// Checks every sample of a decoded picture against expected(x, y, c).
void expectPixels(const std::string& samples, int channels, const std::function<unsigned(int, int, int)>& expected,
                  int tolerance, const std::string& what)
{
    ASSERT_EQ(samples.size(), static_cast<size_t>(W * H * channels)) << what;
    int wrong = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int c = 0; c < channels; ++c) {
                int got = static_cast<unsigned char>(samples[(y * W + x) * channels + c]);
                int want = static_cast<int>(expected(x, y, c));
                if (std::abs(got - want) > tolerance && wrong++ < 3)
                    ADD_FAILURE() << what << " at " << x << "," << y << " channel " << c << ": " << got
                                  << " instead of " << want;
            }
}

// The palette of an /Indexed colour space in the dictionary, as bytes.
std::string paletteOf(const std::string& dictionary)
{
    size_t open = dictionary.find('<'), close = dictionary.find('>');
    std::string out;
    for (size_t i = open + 1; open != std::string::npos && i + 1 < close; i += 2)
        out += static_cast<char>(std::stoi(dictionary.substr(i, 2), nullptr, 16));
    return out;
}

// Indices (1 or 8 bits, rows padded to bytes) through the palette to RGB.
std::string throughPalette(const std::string& indices, const std::string& palette, int bits)
{
    std::string rgb;
    size_t rowBytes = (W * bits + 7) / 8;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            unsigned char b = static_cast<unsigned char>(indices.at(y * rowBytes + x * bits / 8));
            unsigned index = bits == 8 ? b : (b >> (7 - x % 8)) & 1;
            rgb += palette.substr(3 * index, 3);
        }
    return rgb;
}

std::string idatOf(const std::string& png)
{
    std::string out;
    for (size_t pos = 8; pos + 12 <= png.size();) {
        size_t length = static_cast<unsigned char>(png[pos]) << 24 | static_cast<unsigned char>(png[pos + 1]) << 16 |
                        static_cast<unsigned char>(png[pos + 2]) << 8 | static_cast<unsigned char>(png[pos + 3]);
        if (png.compare(pos + 4, 4, "IDAT") == 0)
            out += png.substr(pos + 8, length);
        pos += 12 + length;
    }
    return out;
}

bool contains(const NString& text, const char* part) { return std::string(text.getBuffer()).find(part) != std::string::npos; }

const char* const dataFiles[] = {"rgb8.png", "rgb8-interlaced.png", "rgb16.png", "rgba8.png",
                                 "rgba8-interlaced.png", "palette8.png", "grey8.png", "grey1.png",
                                 "grey1-interlaced.png", "grey-alpha.png", "grey8-key.png", "rgb24.bmp",
                                 "palette8.bmp", "palette8-rle.bmp", "grey1.bmp", "rgb565.bmp", "rgba32.bmp", "rgb.jpg",
                                 "progressive.jpg", "grey.jpg", "cmyk.jpg"};

} // namespace

TEST(NPdfImage, PngKeepsPlainDataAndDecodesTheRest)
{
    auto rgb = [](int x, int y, int c) { return channel(x, y, c); };
    auto rgba = [](int x, int y, int c) { return overWhite(channel(x, y, c), alphaAt(x)); };
    auto grey = [](int x, int y, int) { return greyAt(x, y); };
    auto greyAlpha = [](int x, int y, int) { return overWhite(greyAt(x, y), alphaAt(x)); };
    struct Case {
        const char* file;
        const char* dictionary;   // whole dictionary, or its start for decoded ones
        std::function<unsigned(int, int, int)> expected;
        int channels;
    };
    const Case cases[] = {
        {"rgb8.png", "/Width 9 /Height 6 /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode "
                     "/DecodeParms << /Predictor 15 /Colors 3 /BitsPerComponent 8 /Columns 9 >>", nullptr, 3},
        {"grey8.png", "/Width 9 /Height 6 /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /FlateDecode "
                      "/DecodeParms << /Predictor 15 /Colors 1 /BitsPerComponent 8 /Columns 9 >>", nullptr, 1},
        {"grey1.png", "/Width 9 /Height 6 /ColorSpace /DeviceGray /BitsPerComponent 1 /Filter /FlateDecode "
                      "/DecodeParms << /Predictor 15 /Colors 1 /BitsPerComponent 1 /Columns 9 >>", nullptr, 1},
        {"grey8-key.png", "/Width 9 /Height 6 /ColorSpace /DeviceGray /BitsPerComponent 8 /Mask [0 0] "
                          "/Filter /FlateDecode /DecodeParms << /Predictor 15 /Colors 1 /BitsPerComponent 8 "
                          "/Columns 9 >>", nullptr, 1},
        {"rgb8-interlaced.png", "/Width 9 /Height 6 /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode",
         rgb, 3},
        {"rgb16.png", "/Width 9 /Height 6 /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode", rgb, 3},
        {"rgba8.png", "/Width 9 /Height 6 /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode", rgba, 3},
        {"rgba8-interlaced.png", "/Width 9 /Height 6 /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode",
         rgba, 3},
        {"grey1-interlaced.png", "/Width 9 /Height 6 /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /FlateDecode",
         grey, 1},
        {"grey-alpha.png", "/Width 9 /Height 6 /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /FlateDecode",
         greyAlpha, 1},
    };
    for (const Case& c : cases) {
        NPdfImage image;
        ASSERT_TRUE(image.load(pdfTestData(c.file).c_str())) << c.file << ": " << image.getError().getBuffer();
        EXPECT_EQ(image.getWidth(), W);
        EXPECT_EQ(image.getHeight(), H);
        EXPECT_STREQ(image.getDictionary().getBuffer(), c.dictionary) << c.file;
        if (c.expected)
            expectPixels(inflated(image.getData(), W * H * c.channels), c.channels, c.expected, 1, c.file);
        else
            EXPECT_EQ(image.getData(), idatOf(readBytes(pdfTestData(c.file)))) << c.file;
    }

    // A palette picture keeps its data and names its colours.
    NPdfImage palette;
    ASSERT_TRUE(palette.load(pdfTestData("palette8.png").c_str()));
    std::string colors = paletteOf(palette.getDictionary().getBuffer());
    EXPECT_EQ(colors.size(), 256u * 3);
    EXPECT_NE(colors.find(std::string{char(28 * 8), char(50 * 5), char(12 * 13)}), std::string::npos);
    EXPECT_TRUE(contains(palette.getDictionary(), "/Predictor 15 /Colors 1 /BitsPerComponent 8 /Columns 9"));
}

TEST(NPdfImage, HandMadePngTransparencyDepthsAndFilters)
{
    // 2 x 2 palette picture: 4 entries, entry 1 fully transparent, entry 2 half.
    std::string plte = pngChunk("PLTE", std::string("\x00\x00\x00\xFF\x00\x00\x00\x00\xFF\x10\x20\x30", 12));
    std::string rows = std::string("\x00\x01\x02\x00\x03\x00", 6);   // filter 0, indices 1 2 / 3 0
    struct Case {
        std::string trns;
        const char* part;        // expected in the dictionary
        const char* absent;      // must not be in it
        int entry;               // palette entry checked, and its colour
        std::string color;
    };
    const Case cases[] = {
        {pngChunk("tRNS", std::string("\xFF\x00", 2)), "/Mask [1 1]", "/Mask [0", 1, std::string("\xFF\x00\x00", 3)},
        {pngChunk("tRNS", std::string("\xFF\xFF\x80", 3)), "/ColorSpace [/Indexed /DeviceRGB 255", "/Mask", 2,
         std::string("\x7F\x7F\xFF", 3)},
        {pngChunk("tRNS", std::string("\x00\x00", 2)), "/ColorSpace [/Indexed /DeviceRGB 255", "/Mask", 1,
         "\xFF\xFF\xFF"},
    };
    for (const Case& c : cases) {
        NPdfImage image;
        std::string png = makePng(2, 2, 8, 3, plte + c.trns, rows);
        ASSERT_TRUE(image.loadMemory(png.data(), png.size(), "p.png")) << image.getError().getBuffer();
        std::string dictionary = image.getDictionary().getBuffer();
        EXPECT_NE(dictionary.find(c.part), std::string::npos) << dictionary;
        EXPECT_EQ(dictionary.find(c.absent), std::string::npos) << dictionary;
        EXPECT_EQ(paletteOf(dictionary).substr(3 * c.entry, 3), c.color) << dictionary;
    }

    // 16-bit grey with a colour key: the key pixel is painted white, the
    // others keep their high byte.
    std::string grey16 = makePng(2, 1, 16, 0, pngChunk("tRNS", std::string("\x12\x34", 2)),
                                 std::string("\x00\x12\x34\x12\x35", 5));
    NPdfImage key;
    ASSERT_TRUE(key.loadMemory(grey16.data(), grey16.size(), "k.png")) << key.getError().getBuffer();
    EXPECT_EQ(inflated(key.getData(), 2), std::string("\xFF\x12", 2));
    EXPECT_FALSE(contains(key.getDictionary(), "/Mask"));

    // Every row filter, worked out by hand: grey + alpha (decoded, 2 bytes a
    // pixel), 2 pixels, rows Sub, Up, Average, Paeth.
    std::string filtered = std::string("\x01\x0A\xFF\x01\x00", 5) + std::string("\x02\x02\x00\x02\x00", 5) +
                           std::string("\x03\x0E\x80\x0E\x00", 5) + std::string("\x04\x05\x00\x0A\x00", 5);
    std::string greyAlpha = makePng(2, 4, 8, 4, "", filtered);
    NPdfImage filters;
    ASSERT_TRUE(filters.loadMemory(greyAlpha.data(), greyAlpha.size(), "f.png")) << filters.getError().getBuffer();
    EXPECT_EQ(inflated(filters.getData(), 8), std::string("\x0A\x0B\x0C\x0D\x14\x1E\x19\x28", 8));
    std::string badFilter = makePng(2, 1, 8, 2, "", std::string("\x05\x01\x02\x03\x04\x05\x06", 7));
    EXPECT_FALSE(filters.loadMemory(badFilter.data(), badFilter.size(), "f.png"));
    EXPECT_STREQ(filters.getError().getBuffer(),
                 "NPdfImage::loadMemory(..): Die Datei \x84""f.png\x93 ist kein lesbares PNG-Bild "
                 "(unbekannter Zeilenfilter).");
}

TEST(NPdfImage, BmpBecomesRgbOrIndexed)
{
    auto rgb = [](int x, int y, int c) { return channel(x, y, c); };
    // 24-bit, bottom-up as written, and the same rows turned top-down.
    std::string bottomUp = readBytes(pdfTestData("rgb24.bmp"));
    size_t offBits = static_cast<unsigned char>(bottomUp[10]), stride = 28;
    std::string topDown = bottomUp.substr(0, offBits);
    for (int y = H - 1; y >= 0; --y)
        topDown += bottomUp.substr(offBits + y * stride, stride);
    topDown[22] = static_cast<char>(-H);
    topDown[23] = topDown[24] = topDown[25] = '\xFF';
    for (const std::string& bytes : {bottomUp, topDown}) {
        NPdfImage image;
        ASSERT_TRUE(image.loadMemory(bytes.data(), bytes.size(), "rgb24.bmp")) << image.getError().getBuffer();
        EXPECT_STREQ(image.getDictionary().getBuffer(),
                     "/Width 9 /Height 6 /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode");
        expectPixels(inflated(image.getData(), W * H * 3), 3, rgb, 0, bytes == topDown ? "top-down" : "bottom-up");
    }
    struct Case {
        const char* file;
        int indexBits;   // 0: DeviceRGB
        std::function<unsigned(int, int, int)> expected;
        int tolerance;
    };
    const Case cases[] = {
        {"rgb565.bmp", 0, rgb, 9},   // 5 and 6 bits a channel, BI_BITFIELDS, V5 header
        {"rgba32.bmp", 0, [](int x, int y, int c) { return overWhite(channel(x, y, c), alphaAt(x)); }, 1},
        {"palette8.bmp", 8, rgb, 0},
        {"palette8-rle.bmp", 8, rgb, 0},
        {"grey1.bmp", 1, [](int x, int y, int) { return greyAt(x, y); }, 0},
    };
    for (const Case& c : cases) {
        NPdfImage image;
        ASSERT_TRUE(image.load(pdfTestData(c.file).c_str())) << c.file << ": " << image.getError().getBuffer();
        std::string dictionary = image.getDictionary().getBuffer();
        std::string samples;
        if (c.indexBits) {
            EXPECT_NE(dictionary.find(c.indexBits == 8 ? "[/Indexed /DeviceRGB 255 <" : "[/Indexed /DeviceRGB 1 <"),
                      std::string::npos) << dictionary;
            samples = throughPalette(inflated(image.getData(), H * ((W * c.indexBits + 7) / 8)), paletteOf(dictionary),
                                     c.indexBits);
        } else {
            EXPECT_NE(dictionary.find("/DeviceRGB /BitsPerComponent 8"), std::string::npos);
            samples = inflated(image.getData(), W * H * 3);
        }
        expectPixels(samples, 3, c.expected, c.tolerance, c.file);
    }

    // RLE4, 4 x 2: bottom row a run of 1 2 1 2, top row absolute 3 4 5 0.
    std::string rle4 = std::string("BM") + std::string(8, '\0') + std::string("\x76\0\0\0", 4) +
                       std::string("\x28\0\0\0\x04\0\0\0\x02\0\0\0\x01\0\x04\0\x02\0\0\0", 20) +
                       std::string(20, '\0');
    for (int i = 0; i < 16; ++i)
        rle4 += std::string{char(i * 16), char(i), char(i * 2), '\0'};
    rle4 += std::string("\x04\x12\x00\x00\x00\x04\x34\x50\x00\x01", 10);
    NPdfImage image;
    ASSERT_TRUE(image.loadMemory(rle4.data(), rle4.size(), "rle4.bmp")) << image.getError().getBuffer();
    EXPECT_EQ(inflated(image.getData(), 8), std::string("\x03\x04\x05\x00\x01\x02\x01\x02", 8));
    EXPECT_EQ(paletteOf(image.getDictionary().getBuffer()).substr(9, 6), std::string("\x06\x03\x30\x08\x04\x40", 6));
    EXPECT_FALSE(image.loadMemory(rle4.data(), rle4.size() - 2, "rle4.bmp"));
}

TEST(NPdfImage, JpegIsStoredAsItIs)
{
    const std::pair<const char*, const char*> cases[] = {
        {"rgb.jpg", "/ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode"},
        {"progressive.jpg", "/ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode"},
        {"grey.jpg", "/ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /DCTDecode"},
        {"cmyk.jpg", "/ColorSpace /DeviceCMYK /BitsPerComponent 8 /Decode [1 0 1 0 1 0 1 0] /Filter /DCTDecode"}};
    for (const auto& [file, dictionary] : cases) {
        NPdfImage image;
        ASSERT_TRUE(image.load(pdfTestData(file).c_str())) << file << ": " << image.getError().getBuffer();
        EXPECT_EQ(std::string(image.getDictionary().getBuffer()), std::string("/Width 9 /Height 6 ") + dictionary);
        EXPECT_EQ(image.getData(), readBytes(pdfTestData(file)));
    }
    // CMYK without Adobe's marker is not inverted.
    std::string cmyk = readBytes(pdfTestData("cmyk.jpg"));
    ASSERT_EQ(cmyk.compare(2, 2, "\xFF\xEE"), 0);
    cmyk[3] = '\xEC';   // APP14 -> APP12
    NPdfImage plain;
    ASSERT_TRUE(plain.loadMemory(cmyk.data(), cmyk.size(), "c.jpg"));
    EXPECT_FALSE(contains(plain.getDictionary(), "/Decode"));
}

TEST(NPdfImage, DamagedOrUnusualFilesFailWithAMessage)
{
    NPdfImage image;
    EXPECT_FALSE(image.load("Z:\\no\\such\\picture.png"));
    EXPECT_STREQ(image.getError().getBuffer(),
                 "NPdfImage::load(..): Die Datei \x84Z:\\no\\such\\picture.png\x93 konnte nicht ge\xF6""ffnet werden.");
    EXPECT_TRUE(image.getDictionary().isEmpty());

    struct Case {
        std::string bytes;
        const char* reason;
    };
    std::string rgb8 = readBytes(pdfTestData("rgb8.png"));
    std::string badCrc = rgb8;
    badCrc[40] = static_cast<char>(badCrc[40] ^ 0x10);   // inside the IDAT body
    std::string bmp = readBytes(pdfTestData("rgb24.bmp"));
    std::string rle = bmp;
    rle[30] = 1;   // RLE8 on a 24-bit picture
    std::string jpeg = readBytes(pdfTestData("rgb.jpg"));
    const Case cases[] = {
        {"GIF89a....", "ist kein Bild im Format PNG, JPEG oder BMP"},
        {"", "ist kein Bild im Format PNG, JPEG oder BMP"},
        {rgb8.substr(0, rgb8.size() - 12), "ist kein lesbares PNG-Bild (abgeschnitten)"},
        {badCrc, "ist kein lesbares PNG-Bild (Pr\xFC""fsumme falsch, Datei besch\xE4""digt)"},
        {makePng(100000, 100000, 8, 2, "", "x"), "ist mit 100000 x 100000 Bildpunkten zu gro\xDF"},
        {makePng(60000, 60000, 8, 2, "", "x"), "ist mit 60000 x 60000 Bildpunkten zu gro\xDF"},
        {makePng(2, 2, 8, 2, "", std::string(7, '\0')),
         "ist kein lesbares PNG-Bild (Bilddaten abgeschnitten oder besch\xE4""digt)"},
        {makePng(2, 2, 16, 3, "", std::string(10, '\0')),
         "ist kein lesbares PNG-Bild (Farbtyp, Bittiefe oder Verfahren ung\xFCltig)"},
        {rle, "ist kein lesbares BMP-Bild (RLE-Kompression passt nicht zur Farbtiefe)"},
        {bmp.substr(0, bmp.size() - 3), "ist kein lesbares BMP-Bild (abgeschnitten)"},
        {jpeg.substr(0, 30), "ist kein lesbares JPEG-Bild (abgeschnitten vor dem Bildkopf)"},
        {std::string("\xFF\xD8\xFF\xD0\xFF\xC0", 6),
         "ist kein lesbares JPEG-Bild (unerwartete Markierung 0xFFD0 vor dem Bildkopf)"},
        {std::string("\xFF\xD8\xFF\xDA\x00\x02", 6),
         "ist kein lesbares JPEG-Bild (unerwartete Markierung 0xFFDA vor dem Bildkopf)"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(image.loadMemory(c.bytes.data(), c.bytes.size(), "x.bin"));
        EXPECT_EQ(std::string(image.getError().getBuffer()),
                  std::string("NPdfImage::loadMemory(..): Die Datei \x84x.bin\x93 ") + c.reason + ".");
        EXPECT_TRUE(image.getData().empty());
    }

    // Every cut of every test picture fails with a message; a PNG cut
    // anywhere is "abgeschnitten" (a missing IEND counts).
    for (const char* file : dataFiles) {
        std::string whole = readBytes(pdfTestData(file));
        ASSERT_FALSE(whole.empty()) << file;
        bool isJpeg = std::string(file).find(".jpg") != std::string::npos;
        for (size_t cut = 0; cut < whole.size(); ++cut) {
            bool ok = image.loadMemory(whole.data(), cut, file);
            if (isJpeg && ok)
                continue;   // past the frame header the data is not read
            ASSERT_FALSE(ok) << file << " cut at " << cut;
            ASSERT_TRUE(contains(image.getError(), file)) << image.getError().getBuffer();
            if (cut >= 8 && std::string(file).find(".png") != std::string::npos) {
                ASSERT_TRUE(contains(image.getError(), "abgeschnitten")) << image.getError().getBuffer();
            }
        }
    }
}

TEST(NPdfImage, RandomByteFlipsNeverCrash)
{
    std::mt19937 random(20261207);
    for (const char* file : dataFiles) {
        std::string whole = readBytes(pdfTestData(file));
        ASSERT_FALSE(whole.empty()) << file;
        for (int round = 0; round < 150; ++round) {
            std::string bytes = whole;
            int flips = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < flips; ++i)
                bytes[random() % bytes.size()] = static_cast<char>(random());
            NPdfImage image;
            if (image.loadMemory(bytes.data(), bytes.size(), file)) {
                EXPECT_GT(image.getWidth() * image.getHeight(), 0);
                EXPECT_FALSE(image.getDictionary().isEmpty());
                EXPECT_FALSE(image.getData().empty());
            } else {
                EXPECT_EQ(std::string(image.getError().getBuffer()).rfind("NPdfImage::loadMemory(..): ", 0), 0u)
                    << file;
            }
        }
    }
}

TEST(NPdfImage, KeyFollowsTheStoredPicture)
{
    NPdfImage a, b, c;
    std::string bytes = readBytes(pdfTestData("rgb8.png"));
    ASSERT_TRUE(a.load(pdfTestData("rgb8.png").c_str()));
    ASSERT_TRUE(b.loadMemory(bytes.data(), bytes.size(), "other name"));
    ASSERT_TRUE(c.load(pdfTestData("rgb8-interlaced.png").c_str()));
    EXPECT_FALSE(a.getKey().isEmpty());
    EXPECT_STREQ(a.getKey().getBuffer(), b.getKey().getBuffer());
    EXPECT_STRNE(a.getKey().getBuffer(), c.getKey().getBuffer());
    // A failed load leaves no key behind.
    EXPECT_FALSE(a.loadMemory("xx", 2, "a"));
    EXPECT_TRUE(a.getKey().isEmpty());
}
