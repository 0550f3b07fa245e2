// Prints what writing a large PDF document costs with the library's writer:
// 500 A4 pages, each with a picture as PNG and as JPEG (the same two files
// on every page, stored once), a table of 5 x 4 bordered cells, about 60
// lines of wrapped Helvetica text and two links (one to a web address, one
// to the first page), compressed; the time, the file's size and the peak
// memory. bench/pdf_libharu.c writes the same document with libharu and
// bench/pdf_vs_libharu.sh runs both.
//
//   pdf_bench PICTURE.png PICTURE.jpg OUT.pdf
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "NPdfDocument.h"

namespace {

const int pages = 500;

// The same words and generator as pdf_libharu.c, so both write the same text.
const char* const words[] = {
    "Zeichen", "Fl\xE4" "che", "Bibliothek", "Seite", "und", "der", "die", "das", "Gr\xF6\xDF" "e",
    "Schrift", "Text", "Bild", "Tabelle", "Verweis", "\xFC" "ber", "Ma\xDF", "Fenster", "Datei",
    "PDF", "Kreis", "Raster", "Linie", "Farbe", "Punkt", "Zeile", "umbrechen", "Dokument", "mit"};
const int wordCount = sizeof words / sizeof words[0];
const int wordsPerPage = 1350;

std::string pageText(int page)
{
    unsigned long state = static_cast<unsigned long>(page) + 1;
    std::string text;
    for (int i = 0; i < wordsPerPage; ++i) {
        state = (state * 1103515245UL + 12345UL) & 0x7FFFFFFFUL;
        if (i)
            text += ' ';
        text += words[(state >> 16) % wordCount];
    }
    return text;
}

double seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: pdf_bench PICTURE.png PICTURE.jpg OUT.pdf\n");
        return 2;
    }
    const double start = seconds();
    NPdfDocument pdf("P", "mm", "A4");
    pdf.setCompression(true);
    pdf.setAutoPageBreak(false);
    pdf.setMargins(10, 10);
    int first = 0;
    for (int page = 0; page < pages; ++page) {
        pdf.addPage();
        if (page == 0) {
            first = pdf.addLink();
            pdf.setLink(first, 0, 1);
        }
        pdf.image(argv[1], 10, 10, 60);
        pdf.image(argv[2], 80, 10, 60);
        pdf.setFont("Helvetica", "B", 9);
        pdf.setXY(10, 60);
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 4; ++column) {
                char cell[32];
                std::snprintf(cell, sizeof cell, "Zeile %d, Spalte %d", row + 1, column + 1);
                pdf.cell(47.5f, 6, cell, "1", column == 3 ? 1 : 0);
            }
            pdf.setFont("Helvetica", "", 9);
        }
        pdf.setXY(10, 95);
        pdf.setFont("Helvetica", "", 8);
        pdf.multiCell(190, 3.2f, pageText(page).c_str());
        pdf.link(150, 10, 50, 10, NPdfLink(("https://www.example.org/seite/" + std::to_string(page + 1)).c_str()));
        pdf.link(150, 25, 50, 10, NPdfLink(first));
    }
    if (!pdf.save(argv[3])) {
        std::fprintf(stderr, "pdf_bench: %s could not be written\n", argv[3]);
        return 1;
    }
    const double elapsed = seconds() - start;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(argv[3], GetFileExInfoStandard, &data);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("pages %d\ntime %.3f\nsize %lu\npeak_working_set_mb %.1f\npeak_commit_mb %.1f\n",
                pages, elapsed, static_cast<unsigned long>(data.nFileSizeLow),
                memory.PeakWorkingSetSize / 1048576.0, memory.PeakPagefileUsage / 1048576.0);
    return 0;
}
