// nek_pdfscene OUT.bmp OUT.pdf OUT-uncompressed.pdf: draws one scene through
// the screen device into a BMP file and through the PDF painter into a page
// at 0.75 pt per pixel (96 dpi), and prints where painter_pixels.sh compares
// them: "point x y r g b what" (a pixel of that colour), "box x y w h r g b
// what" (text of that colour in the area), "dash x0 x1 y r g b what".
#include <windows.h>

#include <cstdio>

#include "NDevice.h"
#include "NPdfDocument.h"
#include "NPdfPainter.h"

namespace {

const int width = 400;
const int height = 320;

// The scene part by part, each with the places where it is compared.
const struct {
    const char* places;
    void (*draw)(NPainter& p);
} parts[] = {
    {"point 50 35 220 30 30 filled-rectangle\n", [](NPainter& p) {
         p.fillRectangle(NRect(0, 0, width, height), RGB(255, 255, 255));
         p.fillRectangle(NRect(10, 10, 80, 50), RGB(220, 30, 30)); }},
    {"point 100 35 0 0 200 outline-left-edge\npoint 140 35 255 255 255 outline-inside\n"
     "point 140 10 0 0 200 outline-top-edge\n", [](NPainter& p) {
         p.setPen(RGB(0, 0, 200), 1, PS_SOLID); p.rectangle(NRect(100, 10, 80, 50), -2, -1); }},
    {"point 230 35 250 220 0 filled-and-outlined-inside\npoint 190 35 0 0 0 wide-outline\n", [](NPainter& p) {
         p.setPen(RGB(0, 0, 0), 3); p.setBrush(RGB(250, 220, 0)); p.rectangle(NRect(190, 10, 80, 50)); }},
    {"point 330 35 150 230 150 round-rectangle-inside\npoint 330 10 0 100 0 round-rectangle-top-edge\n"
     "point 282 12 255 255 255 round-rectangle-cut-corner\n", [](NPainter& p) {
         p.setPen(RGB(0, 100, 0), 1); p.roundRect(NRect(280, 10, 100, 50), NSize(30, 30), -2, RGB(150, 230, 150)); }},
    {"point 60 110 255 140 0 ellipse-centre\npoint 14 84 255 255 255 ellipse-outside-corner\n",
     [](NPainter& p) { p.ellipse(NRect(10, 80, 100, 60), -1, RGB(255, 140, 0)); }},
    // The quarter from the ray to the right to the ray upwards.
    {"point 185 105 130 0 160 pie-upper-right\npoint 155 105 255 255 255 pie-upper-left\n"
     "point 185 135 255 255 255 pie-lower-right\npoint 155 135 255 255 255 pie-lower-left\n", [](NPainter& p) {
         p.pie(NRect(130, 80, 80, 80), NPoint(250, 120), NPoint(170, 40), RGB(0, 0, 0), RGB(130, 0, 160)); }},
    {"point 290 120 0 150 150 polygon-inside\npoint 245 95 255 255 255 polygon-outside\n", [](NPainter& p) {
         const NPoint triangle[] = {NPoint(230, 140), NPoint(290, 80), NPoint(350, 140)};
         p.polygon(triangle, 3, RGB(0, 0, 0), RGB(0, 150, 150)); }},
    {"point 85 160 200 0 200 bezier-middle\npoint 60 150 255 255 255 bezier-off-curve\n", [](NPainter& p) {
         const NPoint curve[] = {NPoint(10, 160), NPoint(60, 130), NPoint(110, 190), NPoint(160, 160)};
         p.bezier(curve, 3, RGB(200, 0, 200)); }},
    {"point 280 160 0 0 0 thin-line\npoint 280 175 200 0 0 wide-line-centre\npoint 280 177 200 0 0 wide-line-edge\n"
     "point 280 170 255 255 255 wide-line-beside\ndash 180 379 190 0 0 200 dashed-line\n", [](NPainter& p) {
         p.line(180, 160, 380, 160, RGB(0, 0, 0)); p.setPen(RGB(200, 0, 0), 5); p.line(180, 175, 380, 175);
         p.setPen(RGB(0, 0, 200), 1, PS_DASH); p.line(180, 190, 380, 190); p.setPen(RGB(0, 0, 0), 1, PS_SOLID); }},
    {"box 0 195 195 30 0 0 200 arial-text\n", [](NPainter& p) {
         p.setFont("Arial", 14); p.setTextColor(RGB(0, 0, 200), -1); p.textOut(10, 200, "Hallo PDF"); }},
    {"box 0 226 200 34 160 0 0 times-bold-centred\n", [](NPainter& p) {
         p.setFont("Times New Roman", 16); p.setBold(true); p.setTextColor(RGB(160, 0, 0), -2);
         NRect centred(10, 230, 180, 30); p.drawText(centred, "Zentriert \xC4\xDF", "h"); p.setBold(false); }},
    {"point 205 245 220 220 220 caption-background\nbox 200 210 190 40 0 0 0 caption-centred\n", [](NPainter& p) {
         p.fillRectangle(NRect(200, 210, 190, 40), RGB(220, 220, 220)); p.setFont("Arial", 12);
         p.setTextColor(RGB(0, 0, 0), -1); NRect caption(200, 210, 190, 40);
         p.drawText(caption, "Beschriftung", "vh"); }},
    {"box 200 258 200 60 0 120 0 wrapped-text\n", [](NPainter& p) {
         p.setFont("Arial", 10); p.setTextColor(RGB(0, 120, 0), -1); NRect wrapped(200, 260, 130, 50);
         p.drawText(wrapped, "Ein langer Text bricht hier um", "w"); }},
    // "b" without "v" leaves the line at the top, as on the screen.
    {"box 0 285 195 35 120 60 0 right-aligned\n", [](NPainter& p) {
         p.setTextColor(RGB(120, 60, 0), -1); NRect right(10, 290, 180, 24);
         p.drawText(right, "rechtsb\xFCndig", "rb"); }},
};

// The screen device's picture as a 24-bit BMP file: the rows of a bottom-up
// DIB section are the file's rows (400 * 3 bytes, no padding).
bool drawOnScreenDevice(const char* path)
{
    constexpr DWORD size = width * 3 * height;
    BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, size, 0, 0, 0, 0};
    const BITMAPFILEHEADER head = {0x4D42, sizeof head + sizeof info + size, 0, 0, sizeof head + sizeof info};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!memory || !bitmap)
        return false;
    HGDIOBJ previous = SelectObject(memory, bitmap);
    {
        NDevice device;
        device.beginPaint(memory);
        for (const auto& part : parts)
            part.draw(device);
        device.endPaint();
    }
    GdiFlush();
    FILE* file = std::fopen(path, "wb");
    bool written = file && std::fwrite(&head, sizeof head, 1, file) && std::fwrite(&info, sizeof info, 1, file) &&
                   std::fwrite(bits, size, 1, file);
    written = file && std::fclose(file) == 0 && written;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return written;
}

bool drawOnPdfPage(const char* path, bool compressed)
{
    NPdfDocument document("P", "pt");
    document.setCompression(compressed);
    document.addPage("L", NSizeF(width * 0.75f, height * 0.75f));
    NPdfPainter painter(document, 0.75f);
    for (const auto& part : parts)
        part.draw(painter);
    return document.save(path);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "Aufruf: nek_pdfscene BILD.bmp SEITE.pdf SEITE-unkomprimiert.pdf\n");
        return 2;
    }
    if (!drawOnScreenDevice(argv[1]) || !drawOnPdfPage(argv[2], true) || !drawOnPdfPage(argv[3], false)) {
        std::fprintf(stderr, "nek_pdfscene: Die Dateien konnten nicht geschrieben werden.\n");
        return 1;
    }
    for (const auto& part : parts)
        std::fputs(part.places, stdout);
    return 0;
}
