/* The document of pdf_bench.cpp written with libharu (Debian's libhpdf-dev),
 * built natively by bench/pdf_vs_libharu.sh: 500 A4 pages, each with the
 * same PNG and JPEG picture, a table of 5 x 4 bordered cells, about 60
 * lines of wrapped Helvetica text and two links, compressed.
 *
 *   pdf_libharu PICTURE.png PICTURE.jpg OUT.pdf */
#include <hpdf.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define PAGES 500
#define WORDS_PER_PAGE 1350
#define MM (72.0f / 25.4f)

static const char* const words[] = {
    "Zeichen", "Fl\xE4" "che", "Bibliothek", "Seite", "und", "der", "die", "das", "Gr\xF6\xDF" "e",
    "Schrift", "Text", "Bild", "Tabelle", "Verweis", "\xFC" "ber", "Ma\xDF", "Fenster", "Datei",
    "PDF", "Kreis", "Raster", "Linie", "Farbe", "Punkt", "Zeile", "umbrechen", "Dokument", "mit"};

/* The first error ends the run: the figures of a broken document count for nothing. */
static void error_handler(HPDF_STATUS error, HPDF_STATUS detail, void* data)
{
    (void)data;
    fprintf(stderr, "libharu error 0x%04X, detail %u\n", (unsigned)error, (unsigned)detail);
    exit(1);
}

static void page_text(int page, char* text, size_t size)
{
    unsigned long state = (unsigned long)page + 1;
    size_t used = 0;
    const size_t count = sizeof words / sizeof words[0];
    for (int i = 0; i < WORDS_PER_PAGE; ++i) {
        state = (state * 1103515245UL + 12345UL) & 0x7FFFFFFFUL;
        used += snprintf(text + used, size - used, "%s%s", i ? " " : "", words[(state >> 16) % count]);
    }
}

int main(int argc, char** argv)
{
    static char text[40000];
    if (argc != 4) {
        fprintf(stderr, "usage: pdf_libharu PICTURE.png PICTURE.jpg OUT.pdf\n");
        return 2;
    }
    HPDF_Doc pdf = HPDF_New(error_handler, NULL);
    if (!pdf)
        return 1;
    HPDF_SetCompressionMode(pdf, HPDF_COMP_ALL);
    HPDF_Image png = HPDF_LoadPngImageFromFile(pdf, argv[1]);
    HPDF_Image jpeg = HPDF_LoadJpegImageFromFile(pdf, argv[2]);
    HPDF_Font regular = HPDF_GetFont(pdf, "Helvetica", "WinAnsiEncoding");
    HPDF_Font bold = HPDF_GetFont(pdf, "Helvetica-Bold", "WinAnsiEncoding");
    if (!png || !jpeg || !regular || !bold)
        return 1;
    const float pictureHeight = 60 * MM * HPDF_Image_GetHeight(png) / HPDF_Image_GetWidth(png);
    const float jpegHeight = 60 * MM * HPDF_Image_GetHeight(jpeg) / HPDF_Image_GetWidth(jpeg);
    HPDF_Destination first = NULL;
    for (int p = 0; p < PAGES; ++p) {
        HPDF_Page page = HPDF_AddPage(pdf);
        HPDF_Page_SetSize(page, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
        const float height = HPDF_Page_GetHeight(page);
        if (!first) {
            first = HPDF_Page_CreateDestination(page);
            HPDF_Destination_SetXYZ(first, 0, height, 1);
        }
        HPDF_Page_DrawImage(page, png, 10 * MM, height - 10 * MM - pictureHeight, 60 * MM, pictureHeight);
        HPDF_Page_DrawImage(page, jpeg, 80 * MM, height - 10 * MM - jpegHeight, 60 * MM, jpegHeight);

        /* The table: bordered cells, the first row bold. */
        HPDF_Page_SetLineWidth(page, 0.2f * MM);
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 4; ++column)
                HPDF_Page_Rectangle(page, (10 + 47.5f * column) * MM, height - (60 + 6 * (row + 1)) * MM,
                                    47.5f * MM, 6 * MM);
        HPDF_Page_Stroke(page);
        HPDF_Page_BeginText(page);
        for (int row = 0; row < 5; ++row) {
            HPDF_Page_SetFontAndSize(page, row ? regular : bold, 9);
            for (int column = 0; column < 4; ++column) {
                char cell[32];
                snprintf(cell, sizeof cell, "Zeile %d, Spalte %d", row + 1, column + 1);
                HPDF_Page_TextOut(page, (11 + 47.5f * column) * MM, height - (64.2f + 6 * row) * MM, cell);
            }
        }
        HPDF_Page_SetFontAndSize(page, regular, 8);
        HPDF_Page_SetTextLeading(page, 3.2f * MM);
        page_text(p, text, sizeof text);
        HPDF_Page_TextRect(page, 10 * MM, height - 95 * MM, 200 * MM, 10 * MM, text, HPDF_TALIGN_LEFT, NULL);
        HPDF_Page_EndText(page);

        char uri[64];
        snprintf(uri, sizeof uri, "https://www.example.org/seite/%d", p + 1);
        HPDF_Rect web = {150 * MM, height - 20 * MM, 200 * MM, height - 10 * MM};
        HPDF_Rect back = {150 * MM, height - 35 * MM, 200 * MM, height - 25 * MM};
        HPDF_LinkAnnot_SetBorderStyle(HPDF_Page_CreateURILinkAnnot(page, web, uri), 0, 0, 0);
        HPDF_LinkAnnot_SetBorderStyle(HPDF_Page_CreateLinkAnnot(page, back, first), 0, 0, 0);
    }
    const HPDF_STATUS saved = HPDF_SaveToFile(pdf, argv[3]);
    HPDF_Free(pdf);
    return saved == HPDF_OK ? 0 : 1;
}
