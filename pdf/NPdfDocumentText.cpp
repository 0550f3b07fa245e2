#include "NPdfDocument.h"

bool NPdfDocument::setFont(const NString&, const NString&, float) { return false; }
void NPdfDocument::setFontSize(float) {}
bool NPdfDocument::addTrueTypeFont(const NString&, const NString&, const NString&) { return false; }
bool NPdfDocument::addType1Font(const NString&, const NString&, const NString&, const NString&) { return false; }
float NPdfDocument::getStringWidth(const NString&) const { return 0; }
void NPdfDocument::text(float, float, const NString&) {}
void NPdfDocument::cell(float, float, const NString&, const NString&, int, const NString&, bool, const NPdfLink&) {}
void NPdfDocument::multiCell(float, float, const NString&, const NString&, const NString&, bool) {}
void NPdfDocument::write(float, const NString&, const NPdfLink&) {}
void NPdfDocument::ln(float) {}
float NPdfDocument::getX() const { return x; }
float NPdfDocument::getY() const { return y; }
void NPdfDocument::setX(float) {}
void NPdfDocument::setY(float) {}
void NPdfDocument::setXY(float, float) {}
