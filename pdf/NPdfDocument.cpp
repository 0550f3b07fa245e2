#include "NPdfDocument.h"
#include "NError.h"
#include "NPdfWriter.h"

#include <cstdio>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

struct Format {
    const char* name;
    float width, height;   // portrait, points
};

const Format formats[] = {
    {"a3", 841.89f, 1190.55f}, {"a4", 595.28f, 841.89f}, {"a5", 420.94f, 595.28f},
    {"letter", 612.0f, 792.0f}, {"legal", 612.0f, 1008.0f},
};

void replaceAll(std::string& text, const std::string& what, const std::string& with)
{
    if (what.empty())
        return;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + with.size()))
        text.replace(pos, what.size(), with);
}

NString quoted(const char* head, const NString& value, const char* tail)
{
    NString text(head);
    text += "\"";
    text += value;
    text += "\"";
    text += tail;
    return text;
}

}

NPdfDocument::NPdfDocument(const NString& orientation, const NString& unit, const NString& format)
    : defaultOrientation('P'), defaultFormatPt(595.28f, 841.89f), scale(72.0f / 25.4f),
      currentPage(0), closed(false), inHeaderFooter(false), pageWidth(0), pageHeight(0),
      x(0), y(0), lastHeight(0), autoPageBreak(true), currentFont(-1), underline(false),
      fontSizePt(12), drawColor("0.000 G"), fillColor("0.000 g"), textColor("0.000 g"), lineCap(0),
      lineJoin(0), creationDate(std::time(nullptr)), zoomMode("default"), layoutMode("default"),
      compress(true), aliasNbPages("{nb}")
{
    NString u(unit);
    u.makeLower();
    if (u == "pt")
        scale = 1.0f;
    else if (u == "cm")
        scale = 72.0f / 2.54f;
    else if (u == "in")
        scale = 72.0f;
    else if (u != "mm")
        globalError.addError(quoted("NPdfDocument::NPdfDocument(..): Unbekannte Ma\xDF" "einheit ", unit,
                                    ", es wird mm verwendet."));
    char o = 'P';
    if (parseOrientation(orientation, o, "NPdfDocument"))
        defaultOrientation = o;
    NSizeF size;
    if (parseFormat(format, size))
        defaultFormatPt = size;
    else
        globalError.addError(quoted("NPdfDocument::NPdfDocument(..): Unbekanntes Seitenformat ", format,
                                    ", es wird A4 verwendet."));
    const NSizeF first = defaultOrientation == 'L' ? NSizeF(defaultFormatPt.cy, defaultFormatPt.cx)
                                                   : defaultFormatPt;
    pageWidth = first.cx / scale;
    pageHeight = first.cy / scale;
    // 1 cm page margins, a tenth of it inside cells, 0.2 mm lines.
    const float margin = 28.35f / scale;
    leftMargin = topMargin = rightMargin = margin;
    cellMargin = margin / 10;
    lineWidth = 0.567f / scale;
    setAutoPageBreak(true, 2 * margin);
}

const char* NPdfDocument::getName() const { return getClassName(); }
const char* NPdfDocument::getClassName() const { return "NPdfDocument"; }
NPdfDocument::~NPdfDocument() {}

bool NPdfDocument::parseOrientation(const NString& text, char& orientation, const char* operation) const
{
    NString o(text);
    o.makeLower();
    if (o == "p" || o == "portrait")
        orientation = 'P';
    else if (o == "l" || o == "landscape")
        orientation = 'L';
    else if (o.isEmpty())
        orientation = defaultOrientation;
    else {
        NString message("NPdfDocument::");
        message += operation;
        globalError.addError(quoted(message + "(..): Unbekannte Ausrichtung ", text, "."));
        return false;
    }
    return true;
}

bool NPdfDocument::parseFormat(const NString& text, NSizeF& sizePt) const
{
    NString f(text);
    f.makeLower();
    if (f.isEmpty()) {
        sizePt = defaultFormatPt;
        return true;
    }
    for (const Format& format : formats) {
        if (f == format.name) {
            sizePt = NSizeF(format.width, format.height);
            return true;
        }
    }
    return false;
}

bool NPdfDocument::addPage(const NString& orientation, const NString& format)
{
    NSizeF size;
    if (!parseFormat(format, size)) {
        globalError.addError(quoted("NPdfDocument::addPage(..): Unbekanntes Seitenformat ", format, "."));
        return false;
    }
    char o = 'P';
    if (!parseOrientation(orientation, o, "addPage"))
        return false;
    return startPage(o, size);
}

bool NPdfDocument::addPage(const NString& orientation, const NSizeF& size)
{
    if (!(size.cx > 0 && size.cy > 0 && size.cx * scale < 14400 && size.cy * scale < 14400)) {
        globalError.addError("NPdfDocument::addPage(..): Die Seitengr\xF6\xDF" "e ist ung\xFCltig.");
        return false;
    }
    char o = 'P';
    if (!parseOrientation(orientation, o, "addPage"))
        return false;
    // The size is taken as given for portrait; landscape puts the longer side across.
    NSizeF pt(size.cx * scale, size.cy * scale);
    if (pt.cx > pt.cy)
        pt = NSizeF(pt.cy, pt.cx);
    return startPage(o, pt);
}

bool NPdfDocument::startPage(char orientation, NSizeF sizePt)
{
    if (closed) {
        globalError.addError("NPdfDocument::addPage(..): Das Dokument ist bereits abgeschlossen.");
        return false;
    }
    if (orientation == 'L')
        sizePt = NSizeF(sizePt.cy, sizePt.cx);
    // What the previous page had set carries over to the new one.
    const NString family = fontFamily, style = fontStyle + (underline ? "U" : "");
    const float size = fontSizePt;
    const NString draw = drawColor, fill = fillColor, textCol = textColor;
    const float width = lineWidth;
    if (currentPage > 0)
        callFooter();
    Page page;
    page.widthPt = sizePt.cx;
    page.heightPt = sizePt.cy;
    pages.push_back(page);
    currentPage = static_cast<int>(pages.size());
    pageWidth = sizePt.cx / scale;
    pageHeight = sizePt.cy / scale;
    pageBreakTrigger = pageHeight - bottomMargin;
    x = leftMargin;
    y = topMargin;
    lastHeight = 0;
    applyGraphicsState();
    callHeader();
    // The header may change the state; the page body continues with the old one.
    if (lineWidth != width)
        setLineWidth(width);
    if (!family.isEmpty() && (family != fontFamily || style != fontStyle + (underline ? "U" : "") ||
                              size != fontSizePt))
        setFont(family, style, size);
    if (drawColor != draw)
        out(drawColor = draw);
    if (fillColor != fill)
        out(fillColor = fill);
    textColor = textCol;
    return true;
}

void NPdfDocument::callHeader()
{
    inHeaderFooter = true;
    if (headerHook)
        headerHook(*this);
    header();
    inHeaderFooter = false;
}

void NPdfDocument::callFooter()
{
    inHeaderFooter = true;
    if (footerHook)
        footerHook(*this);
    footer();
    inHeaderFooter = false;
}

int NPdfDocument::getPageCount() const { return static_cast<int>(pages.size()); }
int NPdfDocument::getPage() const { return currentPage; }
NSizeF NPdfDocument::getPageSize() const { return NSizeF(pageWidth, pageHeight); }
float NPdfDocument::getScale() const { return scale; }

void NPdfDocument::setMargins(float left, float top, float right)
{
    leftMargin = left;
    topMargin = top;
    rightMargin = right < 0 ? left : right;
}

void NPdfDocument::setAutoPageBreak(bool on, float margin)
{
    autoPageBreak = on;
    bottomMargin = margin;
    pageBreakTrigger = pageHeight - margin;
}

void NPdfDocument::setTitle(const NString& text) { title = text; }
void NPdfDocument::setAuthor(const NString& text) { author = text; }
void NPdfDocument::setSubject(const NString& text) { subject = text; }
void NPdfDocument::setKeywords(const NString& text) { keywords = text; }
void NPdfDocument::setCreator(const NString& text) { creator = text; }
void NPdfDocument::setCreationDate(time_t when) { creationDate = when; }

bool NPdfDocument::setDisplayMode(const NString& zoom, const NString& layout)
{
    NString z(zoom), l(layout);
    z.makeLower();
    l.makeLower();
    const bool zoomOk = z == "fullpage" || z == "fullwidth" || z == "real" || z == "default" ||
                        (z.isNumber('d') && z.toInt() > 0 && z.toInt() <= 6400);
    if (!zoomOk) {
        globalError.addError(quoted("NPdfDocument::setDisplayMode(..): Unbekannter Zoom ", zoom, "."));
        return false;
    }
    if (l != "single" && l != "continuous" && l != "two" && l != "default") {
        globalError.addError(quoted("NPdfDocument::setDisplayMode(..): Unbekanntes Layout ", layout, "."));
        return false;
    }
    zoomMode = z;
    layoutMode = l;
    return true;
}

void NPdfDocument::setCompression(bool on) { compress = on; }
void NPdfDocument::setAliasNbPages(const NString& alias) { aliasNbPages = alias; }

void NPdfDocument::setHeaderHook(std::function<void(NPdfDocument&)> hook) { headerHook = std::move(hook); }
void NPdfDocument::setFooterHook(std::function<void(NPdfDocument&)> hook) { footerHook = std::move(hook); }

bool NPdfDocument::acceptsDrawing(const char* operation) const
{
    if (currentPage > 0 && !closed)
        return true;
    NString message("NPdfDocument::");
    message += operation;
    message += closed ? "(..): Das Dokument ist bereits abgeschlossen."
                      : "(..): Es gibt noch keine Seite, zuerst addPage() aufrufen.";
    globalError.addError(message);
    return false;
}

void NPdfDocument::out(const NString& operators)
{
    if (currentPage <= 0 || closed)
        return;
    std::string& content = pages[currentPage - 1].content;
    content.append(operators.getBuffer(), static_cast<size_t>(operators.getLength()));
    content += '\n';
}

void NPdfDocument::appendContent(const NString& operators)
{
    if (acceptsDrawing("appendContent"))
        out(operators);
}

const NString& NPdfDocument::getCurrentFontResource() const { return currentFontResource; }

NString NPdfDocument::formatNumber(float value) const
{
    return NPdfWriter::number(value);
}

void NPdfDocument::close()
{
    if (closed)
        return;
    if (pages.empty())
        addPage();
    callFooter();
    writeDocument();
    closed = true;
}

const std::string& NPdfDocument::getBuffer()
{
    close();
    return buffer;
}

bool NPdfDocument::save(const NString& path)
{
    close();
    const NString temp = path + ".~tmp";
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD code = 0;
    if (file == INVALID_HANDLE_VALUE) {
        code = GetLastError();
    } else {
        DWORD written = 0;
        const BOOL ok = WriteFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &written, nullptr);
        if (!ok || written != buffer.size())
            code = ok ? ERROR_WRITE_FAULT : GetLastError();
        if (!CloseHandle(file) && code == 0)
            code = GetLastError();
        if (code == 0 && !MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            code = GetLastError();
        if (code != 0)
            DeleteFileA(temp);
    }
    if (code != 0) {
        globalError.addError(quoted("NPdfDocument::save(..): Die Datei ", path, " konnte nicht geschrieben werden."),
                             code);
        return false;
    }
    return true;
}

void NPdfDocument::writeDocument()
{
    NPdfWriter writer;
    writeFonts(writer);
    writeImages(writer);

    NString resources("<< /ProcSet [/PDF /Text /ImageB /ImageC /ImageI]");
    NString fontList, imageList;
    for (const Font& font : fonts)
        if (font.object > 0)
            fontList.appendFormat(" /%s %d 0 R", font.resource.getBuffer(), font.object);
    for (const Image& image : images)
        imageList.appendFormat(" /%s %d 0 R", image.resource.getBuffer(), image.object);
    if (!fontList.isEmpty())
        resources += NString(" /Font <<") + fontList + " >>";
    if (!imageList.isEmpty())
        resources += NString(" /XObject <<") + imageList + " >>";
    resources += " >>";
    const int resourceObject = writer.begin();
    writer.put(resources);
    writer.end();

    const int pagesObject = writer.reserve();
    std::vector<int> pageObjects;
    for (size_t i = 0; i < pages.size(); ++i)
        pageObjects.push_back(writer.reserve());
    char count[16];
    std::snprintf(count, sizeof count, "%d", getPageCount());
    // The alias as it stands inside a string operand of the content.
    const NString escaped = NPdfWriter::literal(aliasNbPages);
    const std::string alias(escaped.getBuffer() + 1, static_cast<size_t>(escaped.getLength() - 2));
    for (size_t i = 0; i < pages.size(); ++i) {
        const Page& page = pages[i];
        std::string content = page.content;
        // Before compressing, so that /Length counts the final bytes.
        replaceAll(content, alias, count);
        const int contentObject = writer.stream("", content, compress);
        NString dict;
        dict.format("<< /Type /Page /Parent %d 0 R /MediaBox [0 0 %s %s] /Resources %d 0 R /Contents %d 0 R",
                    pagesObject, formatNumber(page.widthPt).getBuffer(),
                    formatNumber(page.heightPt).getBuffer(), resourceObject, contentObject);
        if (!page.annotations.empty()) {
            dict += "\n/Annots [";
            for (const Annotation& a : page.annotations) {
                dict.appendFormat("\n<< /Type /Annot /Subtype /Link /Rect [%s %s %s %s] /Border [0 0 0] ",
                                  formatNumber(a.x).getBuffer(), formatNumber(a.y - a.h).getBuffer(),
                                  formatNumber(a.x + a.w).getBuffer(), formatNumber(a.y).getBuffer());
                if (a.link.isInternal()) {
                    const size_t id = static_cast<size_t>(a.link.getInternalId());
                    const LinkTarget target = id <= linkTargets.size() ? linkTargets[id - 1] : LinkTarget();
                    const size_t to = target.page >= 1 && target.page <= getPageCount() ? target.page - 1 : 0;
                    dict.appendFormat("/Dest [%d 0 R /XYZ 0 %s null] >>", pageObjects[to],
                                      formatNumber(pages[to].heightPt - target.y * scale).getBuffer());
                } else {
                    dict += "/A << /S /URI /URI ";
                    dict += NPdfWriter::literal(a.link.getUri());
                    dict += " >> >>";
                }
            }
            dict += "\n]";
        }
        dict += " >>";
        writer.begin(pageObjects[i]);
        writer.put(dict);
        writer.end();
    }
    NString kids;
    for (int object : pageObjects)
        kids.appendFormat("%s%d 0 R", kids.isEmpty() ? "" : " ", object);
    writer.begin(pagesObject);
    writer.put(NString("<< /Type /Pages /Kids [") + kids + "] /Count " + count + " >>");
    writer.end();

    NString info("<< /Producer (NEK PDF)");
    const struct { const char* key; const NString& value; } entries[] = {
        {"Title", title}, {"Author", author}, {"Subject", subject}, {"Keywords", keywords},
        {"Creator", creator}};
    for (const auto& entry : entries)
        if (!entry.value.isEmpty())
            info += NString(" /") + entry.key + " " + NPdfWriter::textString(entry.value);
    struct tm when = {};
    const time_t stamp = creationDate;
    if (const struct tm* utc = std::gmtime(&stamp)) {
        when = *utc;
        info.appendFormat(" /CreationDate (D:%04d%02d%02d%02d%02d%02dZ)", when.tm_year + 1900,
                          when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
    }
    info += " >>";
    const int infoObject = writer.begin();
    writer.put(info);
    writer.end();

    NString catalog;
    catalog.format("<< /Type /Catalog /Pages %d 0 R", pagesObject);
    const int first = pageObjects[0];
    if (zoomMode == "fullpage")
        catalog.appendFormat(" /OpenAction [%d 0 R /Fit]", first);
    else if (zoomMode == "fullwidth")
        catalog.appendFormat(" /OpenAction [%d 0 R /FitH null]", first);
    else if (zoomMode == "real")
        catalog.appendFormat(" /OpenAction [%d 0 R /XYZ null null 1]", first);
    else if (zoomMode != "default")
        catalog.appendFormat(" /OpenAction [%d 0 R /XYZ null null %s]", first,
                             formatNumber(zoomMode.toInt() / 100.0f).getBuffer());
    if (layoutMode == "single")
        catalog += " /PageLayout /SinglePage";
    else if (layoutMode == "continuous")
        catalog += " /PageLayout /OneColumn";
    else if (layoutMode == "two")
        catalog += " /PageLayout /TwoColumnLeft";
    catalog += " >>";
    const int catalogObject = writer.begin();
    writer.put(catalog);
    writer.end();

    writer.finish(catalogObject, infoObject);
    buffer = writer.getData();
}
