// The PDF document in process; tests/pdf/readers.sh checks its files with
// the PDF readers of the system.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <windows.h>

#include "NError.h"
#include "NPdfDocument.h"
#include "PdfTestData.h"

namespace {

bool logged(const std::string& line) { return std::string(globalError.log.getBuffer()).find(line) != std::string::npos; }

} // namespace

// Cross references, lengths and page sizes: see qpdf and pdfinfo in readers.sh.
TEST(NPdfDocument, HeaderTrailerAndUnits)
{
    NPdfDocument pdf;
    pdf.addPage();
    const std::string out = pdf.getBuffer();
    // A comment of bytes above 127 after the version marks the file as binary.
    EXPECT_TRUE(std::regex_search(out, std::regex("^%PDF-1\\.3\n%[\x80-\xFF]{4}\n")));
    EXPECT_TRUE(std::regex_search(out, std::regex("trailer\n<< /Size \\d+ /Root \\d+ 0 R /Info \\d+ 0 R >>\n"
                                                  "startxref\n\\d+\n%%EOF\n$")));

    const struct { const char* unit; float scale; } units[] = {{"pt", 1}, {"mm", 72 / 25.4f}, {"cm", 72 / 2.54f}, {"in", 72}};
    for (const auto& u : units) {
        NPdfDocument doc("P", u.unit, "Letter");
        EXPECT_FLOAT_EQ(doc.getScale(), u.scale) << u.unit;
        doc.addPage("L");
        EXPECT_NEAR(doc.getPageSize().cy * u.scale, 612, 0.01) << u.unit;
    }
}

TEST(NPdfDocument, BadInputLogsALineAndLeavesTheDocumentUsable)
{
    globalError.log = "";
    TestFolder folder;
    const std::string damaged = folder.file("kaputt.png"), damagedFont = folder.file("kaputt.ttf");
    writeBytes(damaged, "\x89PNG\r\n\x1a\nkaputt");
    writeBytes(damagedFont, std::string("\0\1\0\0\0\5kaputt", 12));
    NPdfDocument pdf("P", "mm", "A4");
    pdf.text(10, 10, "vor der ersten Seite");
    EXPECT_FALSE(pdf.addPage("P", "B5") || pdf.addPage("quer", "A4") || pdf.addPage("P", NSizeF(0, 10)));
    EXPECT_EQ(pdf.getPageCount(), 0);
    ASSERT_TRUE(pdf.addPage());
    EXPECT_FALSE(pdf.setFont("Garamond") || pdf.setDrawColor(256) || pdf.setFillColor(0, -1, 3) ||
                 pdf.setTextColor(1, 2, 300) || pdf.setDisplayMode("gross"));
    EXPECT_FALSE(pdf.image("Z:\\nicht\\da.png", 10, 10) || pdf.image(damaged.c_str(), 10, 10));
    EXPECT_FALSE(pdf.addTrueTypeFont("Z", "", damagedFont.c_str()) || pdf.setFont("Z"));
    EXPECT_FALSE(pdf.addTrueTypeFont("X", "", "Z:\\nicht\\da.ttf") ||
                 pdf.addType1Font("Y", "", "Z:\\nicht\\da.t1", "Z:\\nicht\\da.afm"));
    const std::string lines[] = {"text(..): Es gibt noch keine Seite",
        "addPage(..): Unbekanntes Seitenformat \"B5\"", "addPage(..): Unbekannte Ausrichtung \"quer\"",
        "addPage(..): Die Seitengr\xF6\xDF" "e ist ung\xFCltig", "setFont(..): Unbekannte Schriftart \"Garamond\"",
        "setDrawColor(..): Ung\xFCltige Farbe (256, -1, -1)", "setFillColor(..): Ung\xFCltige Farbe (0, -1, 3)",
        "setTextColor(..): Ung\xFCltige Farbe (1, 2, 300)", "setDisplayMode(..): Unbekannter Zoom \"gross\"",
        "image(..): Die Bilddatei \"Z:\\nicht\\da.png\"", "addTrueTypeFont(..): Die Schriftdatei \"Z:\\nicht\\da.ttf\"",
        "addType1Font(..): Die Schriftdatei \"Z:\\nicht\\da.t1\"", "image(..): Die Bilddatei \"" + damaged,
        "addTrueTypeFont(..): Die Schriftdatei \"" + damagedFont};
    for (const std::string& line : lines)
        EXPECT_TRUE(logged("NPdfDocument::" + line)) << line;
    // Still usable, with the default colours.
    ASSERT_TRUE(pdf.setFont("Arial", "B", 10));
    pdf.setCompression(false);
    pdf.cell(20, 5, "weiter");
    pdf.line(NAN, 0, INFINITY, -INFINITY);
    const std::string out = pdf.getBuffer();
    EXPECT_NE(out.find("\n0 841.89 m 0 0 l S\n"), std::string::npos);
    EXPECT_NE(out.find("(weiter) Tj"), std::string::npos);
    EXPECT_EQ(out.find(" RG"), std::string::npos);
    EXPECT_NE(out.find("/BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding"), std::string::npos);
}

TEST(NPdfDocument, PageBreaksHeaderFooterAndOwnAlias)
{
    NPdfDocument pdf("P", "pt");
    pdf.setCompression(false);
    pdf.setAliasNbPages("(P)");
    int footers = 0;
    std::vector<float> headerY;
    pdf.setHeaderHook([&](NPdfDocument& doc) { headerY.push_back(doc.getY()); doc.ln(30); });
    pdf.setFooterHook([&](NPdfDocument& doc) { ++footers; EXPECT_EQ(doc.getPage(), footers); });
    // Bytes above 127 have their widths too: 3 x 0.6 em at 20 pt.
    pdf.setFont("Courier", "", 20);
    EXPECT_NEAR(pdf.getStringWidth("\xC4\xDF" "x"), 36, 0.001f);
    pdf.setMargins(20, 20);
    pdf.setAutoPageBreak(true, 50);
    pdf.addPage("P", NSizeF(300, 300));
    EXPECT_FLOAT_EQ(pdf.getY(), 50);
    for (int i = 0; i < 10; ++i)
        pdf.cell(100, 40, "Zeile von (P) {nb}", "1", 1);
    // 50 + 5 * 40 = 250 = the trigger: five rows per page.
    EXPECT_EQ(pdf.getPageCount(), 2);
    EXPECT_EQ(footers, 1);
    EXPECT_FLOAT_EQ(pdf.getY(), 250);
    EXPECT_EQ(pdf.getPageSize(), NSizeF(300, 300));
    pdf.close();
    EXPECT_EQ(footers, 2);
    EXPECT_EQ(headerY, std::vector<float>({20, 20}));
    // The alias is found in its escaped form on every page.
    const std::string out = pdf.getBuffer();
    const std::regex shown("\\(Zeile von 2 \\{nb\\}\\) Tj");
    EXPECT_EQ(std::distance(std::sregex_iterator(out.begin(), out.end(), shown), std::sregex_iterator()), 10);
    EXPECT_EQ(out.find("\\(P\\)"), std::string::npos);
}

TEST(NPdfDocument, ChangedPictureIsReadAgainAndSaveLeavesNothingHalfWritten)
{
    TestFolder folder;
    const std::string picture = folder.file("wechsel.png"), target = folder.file("doc.pdf");
    NPdfDocument pdf;
    pdf.setCompression(false);
    pdf.addPage();
    ASSERT_TRUE(CopyFileA(pdfTestData("rgb8.png").c_str(), picture.c_str(), FALSE));
    EXPECT_TRUE(pdf.image(picture.c_str(), 10, 10) && pdf.image(picture.c_str(), 10, 50, 20));
    ASSERT_TRUE(CopyFileA(pdfTestData("grey8.png").c_str(), picture.c_str(), FALSE));
    EXPECT_TRUE(pdf.image(picture.c_str(), 10, 90));
    const std::string out = pdf.getBuffer();
    const std::regex image("/Subtype /Image");
    EXPECT_EQ(std::distance(std::sregex_iterator(out.begin(), out.end(), image), std::sregex_iterator()), 2);
    EXPECT_NE(out.find("/I2 Do"), std::string::npos);

    writeBytes(target, "alt");
    ASSERT_TRUE(pdf.save(target.c_str()));
    EXPECT_EQ(readBytes(target), out);
    globalError.log = "";
    const std::string missing = folder.file("fehlt\\doc.pdf");
    EXPECT_FALSE(pdf.save(missing.c_str()));
    EXPECT_TRUE(logged("NPdfDocument::save(..): Die Datei \"" + missing + "\" konnte nicht geschrieben werden."));
    EXPECT_TRUE(logged("Fehlernummer: "));
    // A folder at the target: the temporary file is written, the rename fails.
    CreateDirectoryA(folder.file("ordner.pdf").c_str(), nullptr);
    EXPECT_FALSE(pdf.save(folder.file("ordner.pdf").c_str()));
    EXPECT_EQ(listFolder(folder.path()), std::vector<std::string>({"doc.pdf", "ordner.pdf", "wechsel.png"}));
}
