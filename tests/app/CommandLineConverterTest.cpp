#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProcessRunner.h"
#include "TestFiles.h"

namespace {

const uint32_t red = 0xFFFF0000, blue = 0xFF0000FF;

const char* const dotText =
    "#ifndef _bmpdot_\r\n#define _bmpdot_\r\n\r\n// header \r\n"
    "#define bmpdot\t((BitmapHeader*)_bmp_dot)\r\n\r\n#ifndef MyAppCpp\r\n"
    "\textern uint16_t _bmp_dot[];\r\n//cpp\r\n#else\r\n"
    "\tconst color_t _bmp_data_dot[] = {\r\n\t\t0x0230, 0xF800, \r\n\t\t0x001F \r\n\r\n\t};\r\n"
    "\tconst color_t* _bmp_frames_dot[] = {_bmp_data_dot};\r\n"
    "\tBitmapHeader _bmp_dot = { 'b', 1, 1, 3 , _bmp_frames_dot };\r\n#endif\r\n#endif\r\n";

ProcessResult converter(const std::string& arguments)
{
    return runProcess("\"" + programFolder() + "bmp2ondra.exe\" " + arguments);
}

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

TEST(CommandLineConverter, WritesTheTextToStandardOutputOrAFile)
{
    TestFolder folder;
    writeBmp(folder.file("dot.bmp"), 1, 3, {red, red, blue});

    ProcessResult result = converter(quoted(folder.file("dot.bmp")));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, dotText);

    // An existing file is replaced as a whole; no temporary file stays.
    writeBytes(folder.file("out.h"), std::string(5000, 'x'));
    result = converter("-o " + quoted(folder.file("out.h")) + " " + quoted(folder.file("dot.bmp")));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(readBytes(folder.file("out.h")), dotText);
    EXPECT_EQ(listFolder(folder.path()), (std::vector<std::string>{"dot.bmp", "out.h"}));
}

TEST(CommandLineConverter, FailuresHaveTheirExitCodesAndLeaveNothingBehind)
{
    TestFolder folder;
    writeBmp(folder.file("dot.bmp"), 1, 3, {red, red, blue});
    writeBytes(folder.file("junk.png"), "no picture");

    ProcessResult result = converter(quoted(folder.file("missing.png")));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("Datei nicht gefunden"), std::string::npos) << result.err;

    result = converter(quoted(folder.file("junk.png")));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("kein lesbares Bild"), std::string::npos) << result.err;

    // The output folder does not exist: no file, no temporary file.
    result = converter("-o " + quoted(folder.file("nowhere\\out.h")) + " " + quoted(folder.file("dot.bmp")));
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.err.find("nowhere"), std::string::npos) << result.err;
    EXPECT_EQ(listFolder(folder.path()), (std::vector<std::string>{"dot.bmp", "junk.png"}));

    // No picture, or an unknown option: the usage text and code 1.
    result = converter("");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("bmp2ondra -d ORDNER"), std::string::npos) << result.err;
    result = converter("-x " + quoted(folder.file("dot.bmp")));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("-x"), std::string::npos) << result.err;

    result = converter("--help");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("Exit-Code"), std::string::npos);
}

TEST(CommandLineConverter, BatchGoesOnAfterAFailureAndReportsIt)
{
    TestFolder pictures;
    TestFolder target;
    writeBmp(pictures.file("dot.bmp"), 1, 3, {red, red, blue});
    writeBmp(pictures.file("two words.bmp"), 1, 1, {blue});

    ProcessResult result = converter("-d " + quoted(target.path()) + " " + quoted(pictures.file("dot.bmp")) +
                                     " " + quoted(pictures.file("gone.bmp")) + " " +
                                     quoted(pictures.file("two words.bmp")));
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(listFolder(target.path()), (std::vector<std::string>{"dot.h", "two words.h"}));
    EXPECT_EQ(readBytes(target.file("dot.h")), dotText);
    EXPECT_NE(readBytes(target.file("two words.h")).find("_bmp_data_two words[]"), std::string::npos);
    EXPECT_NE(result.err.find("[1/3] " + pictures.file("dot.bmp") + " -> " + target.file("dot.h")),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("[2/3] " + pictures.file("gone.bmp") + ": Fehler"), std::string::npos)
        << result.err;
}
