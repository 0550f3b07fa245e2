// pdf_samples OUTDIR TTF T1 AFM PNG JPG BMP: writes the documents readers.sh
// checks, compressed (NAME.pdf) and not (NAME-raw.pdf); exit code 0 when
// all were saved without an error-log line.
#include "NError.h"
#include "NPdfDocument.h"

#include <cstdio>

namespace {

struct Inputs { NString ttf, t1, afm, png, jpg, bmp; };

const time_t sampleDate = 1715941230;   // 2024-05-17 10:20:30 UTC

void formats(NPdfDocument& pdf, const Inputs&)
{
    pdf.setTitle("Pr\xFC" "fbericht (Gr\xF6\xDF" "en)");
    pdf.setAuthor("J\xF6rg Wei\xDF");
    pdf.setSubject("Ma\xDF" "e & Gewichte \\ 100 \x80");
    pdf.setKeywords("PDF, Seitenformate");
    pdf.setCreator("pdf_samples");
    pdf.setFont("Helvetica", "", 12);
    const char* const pages[][2] = {{"P", "A3"}, {"L", "A4"}, {"P", "a5"}, {"landscape", "Letter"},
                                    {"portrait", "LEGAL"}};
    for (const auto& page : pages) {
        pdf.addPage(page[0], page[1]);
        pdf.cell(0, 10, NString(page[1]) + " " + page[0], "", 1);
    }
    pdf.addPage("P", NSizeF(100, 150));
    pdf.addPage("L", NSizeF(100, 150));
    pdf.addPage();   // the document's default: A4 portrait
}

// A footer with the page-count alias, automatic page breaks from flowing
// text, and lines whose breaks the font widths decide.
void text(NPdfDocument& pdf, const Inputs&)
{
    pdf.setFooterHook([](NPdfDocument& doc) {
        doc.setY(-15);
        doc.setFont("Helvetica", "I", 8);
        doc.cell(0, 10, NString("Seite ") + NString::fromNumber(doc.getPage()) + " von {nb}", "", 0, "C");
    });
    pdf.addPage();
    pdf.setFont("Times", "", 12);
    pdf.cell(0, 8, "Gr\xFC\xDF" "e aus K\xF6ln: \xC4\xD6\xDC \xE4\xF6\xFC \xDF (Klammern) \\ Ende", "", 1);
    // Courier: every glyph is 0.6 em, 6 pt at 10 pt, so exactly 20 fit.
    pdf.setFont("Courier", "", 10);
    const float margin = 28.35f / pdf.getScale() / 10;
    pdf.multiCell(2 * margin + 120.0f / pdf.getScale(), 5, "aaaa bbbb cccc dddd eeee ffff gggggggggggggggggggggggghh", "1");
    pdf.ln(5);
    pdf.setFont("Helvetica", "U", 12);
    const NString first = "Zw\xF6lf Boxk\xE4mpfer jagen";
    pdf.multiCell(2 * margin + pdf.getStringWidth(first), 6, first + " Viktor quer \xFC" "ber den Deich");
    pdf.ln(5);
    pdf.setFont("Helvetica", "", 11);
    for (int i = 1; i <= 120; ++i)
        pdf.write(6, NString("Wort") + NString::fromNumber(i) + " ist ein Teil eines langen Absatzes. ");
}

void fonts(NPdfDocument& pdf, const Inputs& in)
{
    pdf.addTrueTypeFont("DejaVu", "", in.ttf);
    pdf.addType1Font("Nimbus", "", in.t1, in.afm);
    pdf.addPage();
    const char* const families[][3] = {{"Helvetica", "B"}, {"Times", "I"}, {"Courier", ""}, {"Arial", "BI"},
        {"DejaVu", ""}, {"Nimbus", ""}, {"Symbol", "", "abg"}, {"ZapfDingbats", "", "3456"}};
    for (const auto& font : families) {
        pdf.setFont(font[0], font[1], 12);
        pdf.cell(0, 8, font[2] ? NString(font[2]) : NString(font[0]) + ": \xC4pfel \xFC" "ber Stra\xDF" "en", "", 1);
    }
}

void images(NPdfDocument& pdf, const Inputs& in)
{
    pdf.addPage();
    pdf.image(in.png, 10, 10);
    pdf.image(in.png, 10, 100, 50);   // the same picture again: stored once
    pdf.image(in.jpg, 100, 10, 0, 40);
    pdf.image(in.bmp, 100, 100, 30, 30, NPdfLink("https://example.org/bild"));
}

void links(NPdfDocument& pdf, const Inputs&)
{
    pdf.setDisplayMode("fullwidth", "two");
    pdf.addPage();
    const int target = pdf.addLink();
    pdf.setFont("Helvetica", "U", 12);
    pdf.setTextColor(0, 0, 255);
    pdf.cell(60, 10, "Zur zweiten Seite", "", 1, "L", false, NPdfLink(target));
    pdf.write(10, "Besuchen Sie ", NPdfLink());
    pdf.write(10, "example.org", NPdfLink("https://example.org/?a=(1)"));
    pdf.link(10, 50, 40, 20, NPdfLink("https://example.org/rechteck"));
    pdf.addPage();
    pdf.setLink(target, 30);
    pdf.cell(0, 10, "Ziel", "", 1);
}

// Red filled rectangle at 20..60 x 20..40 mm on white, a blue circle around
// (100, 100) mm with radius 20 mm, an underline at (20, 280) mm; the rest
// shows every drawing operation.
void shapes(NPdfDocument& pdf, const Inputs&)
{
    pdf.setDisplayMode("150", "continuous");
    pdf.addPage();
    pdf.setFillColor(255, 0, 0);
    pdf.rect(20, 20, 40, 20, "F");
    pdf.setFillColor(0, 0, 255);
    pdf.setDrawColor(0);
    pdf.circle(100, 100, 20, "DF");
    pdf.setDrawColor(0, 128, 0);
    pdf.setLineWidth(1);
    pdf.setLineCap(1);
    pdf.setLineJoin(2);
    const float pattern[] = {3, 1.5f};
    pdf.setDash(pattern, 2, 0);
    pdf.line(10, 150, 200, 150);
    pdf.setDash();
    pdf.ellipse(60, 200, 40, 15);
    const NPointF triangle[] = {NPointF(120, 180), NPointF(190, 180), NPointF(155, 230)};
    pdf.setFillColor(200);
    pdf.polygon(triangle, 3, "FD");
    pdf.bezier(NPointF(10, 250), NPointF(50, 220), NPointF(90, 280), NPointF(130, 250));
    // Only the underline shows: 2 to 3 pt below the baseline at 280 mm.
    pdf.setFont("Helvetica", "U", 20);
    pdf.text(20, 280, "    ");
}

}

int main(int argc, char** argv)
{
    if (argc < 8) {
        std::fprintf(stderr, "usage: pdf_samples OUTDIR TTF T1 AFM PNG JPG BMP\n");
        return 2;
    }
    const Inputs in{argv[2], argv[3], argv[4], argv[5], argv[6], argv[7]};
    const std::pair<const char*, void (*)(NPdfDocument&, const Inputs&)> samples[] = {
        {"formats", formats}, {"text", text}, {"fonts", fonts}, {"images", images}, {"links", links}, {"shapes", shapes}};
    int failures = 0;
    for (const auto& [name, fill] : samples)
        for (bool raw : {false, true}) {
            NPdfDocument pdf("P", "mm", "A4");
            pdf.setCompression(!raw);
            pdf.setCreationDate(sampleDate);
            fill(pdf, in);
            failures += !pdf.save(NString(argv[1]) + "\\" + name + (raw ? "-raw" : "") + ".pdf");
        }
    if (!globalError.log.isEmpty()) {
        std::fprintf(stderr, "%s\n", globalError.log.getBuffer());
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
