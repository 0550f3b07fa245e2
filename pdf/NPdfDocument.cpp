#include "NPdfDocument.h"

NPdfDocument::NPdfDocument(const NString&, const NString&, const NString&)
    : defaultOrientation('P'), scale(1), currentPage(0), closed(false), inHeaderFooter(false),
      pageWidth(0), pageHeight(0), leftMargin(0), topMargin(0), rightMargin(0), bottomMargin(0),
      cellMargin(0), x(0), y(0), lastHeight(0), autoPageBreak(true), pageBreakTrigger(0),
      currentFont(-1), underline(false), fontSizePt(12), lineWidth(0), lineCap(0), lineJoin(0),
      creationDate(0), compress(true)
{
}
const char* NPdfDocument::getName() const { return getClassName(); }
const char* NPdfDocument::getClassName() const { return "NPdfDocument"; }
NPdfDocument::~NPdfDocument() {}
bool NPdfDocument::addPage(const NString&, const NString&) { return false; }
bool NPdfDocument::addPage(const NString&, const NSizeF&) { return false; }
int NPdfDocument::getPageCount() const { return 0; }
int NPdfDocument::getPage() const { return 0; }
NSizeF NPdfDocument::getPageSize() const { return NSizeF(); }
float NPdfDocument::getScale() const { return scale; }
void NPdfDocument::setMargins(float, float, float) {}
void NPdfDocument::setAutoPageBreak(bool, float) {}
void NPdfDocument::setTitle(const NString&) {}
void NPdfDocument::setAuthor(const NString&) {}
void NPdfDocument::setSubject(const NString&) {}
void NPdfDocument::setKeywords(const NString&) {}
void NPdfDocument::setCreator(const NString&) {}
void NPdfDocument::setCreationDate(time_t) {}
bool NPdfDocument::setDisplayMode(const NString&, const NString&) { return false; }
void NPdfDocument::setCompression(bool) {}
void NPdfDocument::setAliasNbPages(const NString&) {}
void NPdfDocument::close() {}
bool NPdfDocument::save(const NString&) { return false; }
const std::string& NPdfDocument::getBuffer() { return buffer; }
void NPdfDocument::setHeaderHook(std::function<void(NPdfDocument&)>) {}
void NPdfDocument::setFooterHook(std::function<void(NPdfDocument&)>) {}
void NPdfDocument::appendContent(const NString&) {}
const NString& NPdfDocument::getCurrentFontResource() const { return currentFontResource; }
