#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ConverterBitmap.h"
#include "TestFiles.h"

using namespace Gdiplus::DllExports;

namespace {

const uint32_t red = 0xFFFF0000, blue = 0xFF0000FF, green = 0xFF00FF00, white = 0xFFFFFFFF;

// The text around the data lines, as the generator must write it.
std::string wrap(const std::string& n, int w, int h, const std::vector<std::string>& dataLines)
{
    std::string text = "#ifndef _bmp" + n + "_\r\n#define _bmp" + n + "_\r\n\r\n// header \r\n" +
                       "#define bmp" + n + "\t((BitmapHeader*)_bmp_" + n + ")\r\n\r\n" +
                       "#ifndef MyAppCpp\r\n\textern uint16_t _bmp_" + n + "[];\r\n//cpp\r\n#else\r\n" +
                       "\tconst color_t _bmp_data_" + n + "[] = {\r\n";
    for (const std::string& line : dataLines)
        text += "\t\t" + line + "\r\n";
    text += "\r\n\t};\r\n\tconst color_t* _bmp_frames_" + n + "[] = {_bmp_data_" + n + "};\r\n" +
            "\tBitmapHeader _bmp_" + n + " = { 'b', 1, " + std::to_string(w) + ", " +
            std::to_string(h) + " , _bmp_frames_" + n + " };\r\n#endif\r\n#endif\r\n";
    return text;
}

std::string textOf(const ConverterBitmap& c)
{
    return std::string(c.sourceText.getBuffer(), c.sourceText.getLength());
}

std::string convertPicture(const TestFolder& folder, const std::string& name, int w, int h,
                           const std::vector<uint32_t>& pixels)
{
    writeBmp(folder.file(name), w, h, pixels);
    ConverterBitmap converter;
    converter.load(folder.file(name).c_str());
    return textOf(converter);
}

}  // namespace

TEST(ConverterBitmap, RunsSpanColumnsAndStripsAreCutAt255PixelsKeepFiveBitsAndTheTitleNamesThem)
{
    TestFolder folder;
    // Red, red, blue: a run of two, then a single pixel without marker; one colour: each column extends the run.
    EXPECT_EQ(convertPicture(folder, "dot.bmp", 1, 3, {red, red, blue}), wrap("dot", 1, 3, {"0x0230, 0xF800, ", "0x001F "}));
    EXPECT_EQ(convertPicture(folder, "flat.bmp", 2, 2, std::vector<uint32_t>(4, green)),
              wrap("flat", 2, 2, {"", "", "0x0430, 0x07C0 "}));

    EXPECT_EQ(convertPicture(folder, "tall.bmp", 1, 600, std::vector<uint32_t>(600, blue)),
              wrap("tall", 1, 600, {"0xFF30, 0x001F, 0xFF30, 0x001F, ", "0x5A30, 0x001F "}));  // 255 + 255 + 90

    // Columns red, red | blue, red: the run of column 0 ends in column 1 and is written on its line.
    EXPECT_EQ(convertPicture(folder, "mixed.bmp", 2, 2, {red, blue, red, red}),
              wrap("mixed", 2, 2, {"", "0x0230, 0xF800, 0x001F, ", "0xF800 "}));
    EXPECT_EQ(convertPicture(folder, "my pic-1.v2.bmp", 1, 1, {blue}), wrap("my pic-1.v2", 1, 1, {"", "0x001F "}));
    EXPECT_EQ(ConverterBitmap::symbolName("C:\\pics\\logo.small.png"), "logo.small");
    EXPECT_EQ(ConverterBitmap::symbolName("Z:/a.b/noext"), "noext");

    // 514 columns of 2 pixels, read in strips of 512: red over green, but column 512 blue.
    const int w = 514;
    std::vector<uint32_t> pixels(2 * w, red);
    for (int x = 0; x < w; ++x)
        pixels[w + x] = green;
    pixels[512] = pixels[w + 512] = blue;
    std::vector<std::string> lines(512, "0x07C0, 0xF800, ");
    lines[0] = "0xF800, ";
    lines.insert(lines.end(), {"0x07C0, ", "0x0230, 0x001F, 0xF800, ", "0x07C0 "});
    EXPECT_EQ(convertPicture(folder, "strips.bmp", w, 2, pixels), wrap("strips", w, 2, lines));

    // Five bits per channel, also in a picture kept at 32 bits.
    EXPECT_EQ(convertPicture(folder, "white.bmp", 1, 1, {white}), wrap("white", 1, 1, {"", "0xFFDF "}));
    // The exception is for the whole 32-bit value 0x00000400 only.
    const uint32_t cases[][2] = {{0x00000400, 0x0020}, {0xFF000400, 0x0000}, {0x00000800, 0x0040}};
    for (const auto& c : cases)
        EXPECT_EQ(ConverterBitmap::pixelValue(c[0]), c[1]) << std::hex << c[0];

    // A picture that kept its 32-bit format (a failed conversion) can hold 0x00000400 itself.
    ConverterBitmap converter;
    Gdiplus::GpBitmap* bitmap = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(2, 1, 0, 0x26200A, nullptr, &bitmap), Gdiplus::Ok);
    GdipBitmapSetPixel(bitmap, 0, 0, 0x00000400);
    GdipBitmapSetPixel(bitmap, 1, 0, 0xFF000000);
    converter.convertedImage = bitmap;
    converter.filePath = "C:\\pics\\alpha.test.png";
    converter.createSource();
    const std::string text = wrap("alpha.test", 2, 1, {"", "0x0020, ", "0x0000 "});
    EXPECT_EQ(textOf(converter), text);
    // Another pixel format leaves the old text alone.
    converter.pixelFormat = 0x21006;
    converter.filePath = "other.png";
    converter.createSource();
    EXPECT_EQ(textOf(converter), text);
}

TEST(ConverterBitmap, ScalesToTargetSizeConvertsTo16BitAndSurvivesMissingAndUnreadableFiles)
{
    TestFolder folder;
    writeBmp(folder.file("big.bmp"), 8, 6, std::vector<uint32_t>(48, red));
    ConverterBitmap converter;
    converter.targetSize.set(4, 0);
    converter.load(folder.file("big.bmp").c_str());
    EXPECT_EQ(converter.targetSize, NSize(4, 6));
    EXPECT_EQ(converter.getConvertStatus(), 0);
    Gdiplus::PixelFormat format = 0;
    GdipGetImagePixelFormat(converter.convertedImage, &format);
    EXPECT_EQ(static_cast<int>(format), 0x21005);
    EXPECT_NE(textOf(converter).find("{ 'b', 1, 4, 6 , _bmp_frames_big };"), std::string::npos);

    writeBmp(folder.file("good.bmp"), 1, 1, {red});
    converter.targetSize.set(0, 0);
    converter.load(folder.file("good.bmp").c_str());
    const std::string good = textOf(converter);

    // A missing file, or a name with wildcards, changes nothing.
    for (const char* name : {"missing.bmp", "g*.bmp"}) {
        converter.load(folder.file(name).c_str());
        EXPECT_EQ(textOf(converter), good);
        EXPECT_EQ(std::string(converter.filePath.getBuffer()), folder.file("good.bmp"));
    }
    // No picture, or an empty file: its path is taken, no text comes out; the next picture loads again.
    writeBytes(folder.file("bad.png"), "this is no picture at all");
    writeBytes(folder.file("empty.bmp"), "");
    for (const char* name : {"bad.png", "empty.bmp"}) {
        converter.targetSize.set(0, 0);
        converter.load(folder.file(name).c_str());
        EXPECT_EQ(std::string(converter.filePath.getBuffer()), folder.file(name));
        EXPECT_TRUE(converter.sourceText.isEmpty());
        EXPECT_FALSE(converter.hasPicture());
        EXPECT_NE(converter.getConvertStatus(), 0);
    }
    converter.targetSize.set(0, 0);
    converter.load(folder.file("good.bmp").c_str());
    EXPECT_EQ(textOf(converter), good);
}

