// The PDF document in process: file structure and cross references, units
// and page formats, the page-count alias with stream lengths, compression,
// page breaks with header and footer, error-log lines for bad input and
// saving without leftovers. tests/pdf/readers.sh checks the files with the
// PDF readers of the system.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <windows.h>

#include "NError.h"
#include "NPdfDocument.h"
#include "NRect.h"
#include "PdfTestData.h"

namespace {

bool logged(const std::string& line) { return std::string(globalError.log.getBuffer()).find(line) != std::string::npos; }

// The uncompressed content of every stream, checking each /Length on the way.
std::vector<std::string> streams(const std::string& pdf)
{
    std::vector<std::string> result;
    const std::regex head("/Length (\\d+) >>\nstream\n");
    for (std::sregex_iterator it(pdf.begin(), pdf.end(), head), end; it != end; ++it) {
        const size_t start = static_cast<size_t>(it->position() + it->length()), length = std::stoul((*it)[1]);
        EXPECT_EQ(pdf.compare(start + length, 10, "\nendstream"), 0) << "wrong /Length at " << start;
        const size_t object = pdf.rfind(" obj\n", static_cast<size_t>(it->position()));
        const bool flate = pdf.substr(object, it->position() - object).find("/FlateDecode") != std::string::npos;
        result.push_back(flate ? inflated(pdf.substr(start, length), 1 << 20) : pdf.substr(start, length));
    }
    return result;
}

} // namespace

TEST(NPdfDocument, FileStructureAndCrossReferences)
{
    NPdfDocument pdf;
    pdf.setFont("Helvetica", "", 12);
    pdf.addPage();
    pdf.cell(40, 10, "Eins");
    pdf.addPage("L", "A5");
    pdf.link(10, 10, 20, 5, NPdfLink("https://example.org"));
    const std::string out = pdf.getBuffer();

    ASSERT_EQ(out.compare(0, 10, "%PDF-1.3\n%"), 0);
    for (int i = 10; i < 14; ++i)
        EXPECT_GE(static_cast<unsigned char>(out[i]), 0x80) << "binary comment byte " << i;
    std::smatch tail;
    ASSERT_TRUE(std::regex_search(out, tail, std::regex("startxref\n(\\d+)\n%%EOF\n$")));
    const size_t xref = std::stoul(tail[1]);
    ASSERT_EQ(out.compare(xref, 7, "xref\n0 "), 0);
    const size_t count = std::stoul(out.substr(xref + 7)), entries = out.find('\n', xref + 5) + 1;
    EXPECT_EQ(out.compare(entries, 20, "0000000000 65535 f \n"), 0);
    for (size_t n = 1; n < count; ++n) {
        const std::string entry = out.substr(entries + 20 * n, 20), object = std::to_string(n) + " 0 obj\n";
        ASSERT_TRUE(std::regex_match(entry, std::regex("\\d{10} 00000 n \n"))) << entry;
        EXPECT_EQ(out.compare(std::stoul(entry), object.size(), object), 0) << "object " << n;
    }
    EXPECT_EQ(out.compare(entries + 20 * count, 8, "trailer\n"), 0);
    EXPECT_NE(out.find("/Size " + std::to_string(count) + " /Root "), std::string::npos);
    EXPECT_NE(out.find(" /Info "), std::string::npos);
}

TEST(NPdfDocument, UnitsFormatsAndOrientations)
{
    const struct { const char* unit; float scale; } units[] = {
        {"pt", 1}, {"mm", 72 / 25.4f}, {"cm", 72 / 2.54f}, {"in", 72}};
    for (const auto& u : units) {
        NPdfDocument pdf("P", u.unit, "Letter");
        EXPECT_FLOAT_EQ(pdf.getScale(), u.scale) << u.unit;
        pdf.addPage();
        EXPECT_NEAR(pdf.getPageSize().cx * u.scale, 612, 0.01) << u.unit;
        pdf.addPage("", NSizeF(2, 3));
        EXPECT_NEAR(pdf.getPageSize().cy, 3, 0.001) << u.unit;
    }
    const struct { const char* format; float w, h; } formats[] = {
        {"A3", 841.89f, 1190.55f}, {"a4", 595.28f, 841.89f}, {"A5", 420.94f, 595.28f},
        {"letter", 612, 792}, {"Legal", 612, 1008}};
    NPdfDocument pdf("L", "pt");
    for (const auto& f : formats) {
        ASSERT_TRUE(pdf.addPage("", f.format));
        EXPECT_EQ(pdf.getPageSize(), NSizeF(f.h, f.w)) << f.format;
        ASSERT_TRUE(pdf.addPage("portrait", f.format));
        EXPECT_EQ(pdf.getPageSize(), NSizeF(f.w, f.h)) << f.format;
    }
    EXPECT_EQ(pdf.getPageCount(), 10);
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
    EXPECT_FALSE(pdf.addTrueTypeFont("X", "", "Z:\\nicht\\da.ttf"));
    EXPECT_FALSE(pdf.addType1Font("Y", "", "Z:\\nicht\\da.t1", "Z:\\nicht\\da.afm"));
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

TEST(NPdfDocument, AliasLengthsAndCompression)
{
    for (bool compressed : {false, true}) {
        NPdfDocument pdf("P", "mm");
        pdf.setCompression(compressed);
        pdf.setAliasNbPages("(P)");
        pdf.setFont("Courier", "", 10);
        for (int i = 0; i < 12; ++i) {
            pdf.addPage();
            pdf.cell(0, 10, "Seite von (P) und {nb}");
        }
        const std::vector<std::string> contents = streams(pdf.getBuffer());
        ASSERT_EQ(contents.size(), 12u);
        for (const std::string& content : contents)
            EXPECT_NE(content.find("(Seite von 12 und {nb}) Tj"), std::string::npos) << content;
        EXPECT_EQ(pdf.getBuffer().find("\\(P\\)"), std::string::npos);
    }
}

TEST(NPdfDocument, StringWidthsAndPageBreaksWithHeaderAndFooter)
{
    NPdfDocument pdf("P", "pt");
    int footers = 0;
    std::vector<float> headerY;
    pdf.setHeaderHook([&](NPdfDocument& doc) { headerY.push_back(doc.getY()); doc.ln(30); });
    pdf.setFooterHook([&](NPdfDocument& doc) { ++footers; EXPECT_EQ(doc.getPage(), footers); });
    pdf.setFont("Helvetica", "", 10);
    // H e l l o: 722 556 222 222 556 thousandths of an em.
    EXPECT_NEAR(pdf.getStringWidth("Hello"), 22.78f, 0.001f);
    pdf.setFont("Courier", "", 20);
    EXPECT_NEAR(pdf.getStringWidth("\xC4\xDF" "x"), 36, 0.001f);
    pdf.setMargins(20, 20);
    pdf.setAutoPageBreak(true, 50);
    pdf.addPage("P", NSizeF(300, 300));
    EXPECT_FLOAT_EQ(pdf.getY(), 50);
    for (int i = 0; i < 10; ++i)
        pdf.cell(100, 40, "Zeile", "1", 1);
    // 50 + 5 * 40 = 250 = the trigger: five rows per page.
    EXPECT_EQ(pdf.getPageCount(), 2);
    EXPECT_EQ(footers, 1);
    EXPECT_FLOAT_EQ(pdf.getY(), 250);
    EXPECT_EQ(pdf.getPageSize(), NSizeF(300, 300));
    pdf.close();
    EXPECT_EQ(footers, 2);
    EXPECT_EQ(headerY, std::vector<float>({20, 20}));
}

TEST(NPdfDocument, SaveReplacesOrLeavesNothing)
{
    TestFolder folder;
    const std::string target = folder.file("doc.pdf"), missing = folder.file("fehlt\\doc.pdf");
    writeBytes(target, "alt");
    NPdfDocument pdf;
    ASSERT_TRUE(pdf.save(target.c_str()));
    EXPECT_EQ(readBytes(target), pdf.getBuffer());
    globalError.log = "";
    EXPECT_FALSE(pdf.save(missing.c_str()));
    EXPECT_TRUE(logged("NPdfDocument::save(..): Die Datei \"" + missing + "\" konnte nicht geschrieben werden."));
    EXPECT_TRUE(logged("Fehlernummer: "));
    // A folder at the target: the temporary file is written, the rename fails.
    const std::string sub = folder.file("ordner.pdf");
    CreateDirectoryA(sub.c_str(), nullptr);
    EXPECT_FALSE(pdf.save(sub.c_str()));
    EXPECT_FALSE(fileExists(sub + ".~tmp") || fileExists(missing));
    EXPECT_EQ(listFolder(folder.path()), std::vector<std::string>({"doc.pdf", "ordner.pdf"}));
}

TEST(NPdfDocument, PictureFileChangedBetweenPlacementsIsReadAgain)
{
    TestFolder folder;
    const std::string path = folder.file("wechsel.png");
    NPdfDocument pdf;
    pdf.setCompression(false);
    pdf.addPage();
    ASSERT_TRUE(CopyFileA(pdfTestData("rgb8.png").c_str(), path.c_str(), FALSE));
    EXPECT_TRUE(pdf.image(path.c_str(), 10, 10) && pdf.image(path.c_str(), 10, 50, 20));
    ASSERT_TRUE(CopyFileA(pdfTestData("grey8.png").c_str(), path.c_str(), FALSE));
    EXPECT_TRUE(pdf.image(path.c_str(), 10, 90));
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(pdf.image(path.c_str(), 10, 130));
    const std::string out = pdf.getBuffer();
    const std::regex image("/Subtype /Image");
    EXPECT_EQ(std::distance(std::sregex_iterator(out.begin(), out.end(), image), std::sregex_iterator()), 2);
    EXPECT_NE(out.find("/I2 Do"), std::string::npos);
}

TEST(NPdfDocument, GeometryFromIntegerValues)
{
    EXPECT_EQ(NPointF(NPoint(-3, 4)), NPointF(-3, 4));
    EXPECT_EQ(NSizeF(NSize(7, 9)), NSizeF(7, 9));
    EXPECT_EQ(NRectF(NRect(1, 2, -30, 40)), NRectF(1, 2, 30, 40));
    EXPECT_STREQ(NRectF().getClassName(), "NRectF");
}
