#include "NPdfDocument.h"

bool NPdfDocument::setDrawColor(int, int, int) { return false; }
bool NPdfDocument::setFillColor(int, int, int) { return false; }
bool NPdfDocument::setTextColor(int, int, int) { return false; }
void NPdfDocument::setLineWidth(float) {}
void NPdfDocument::setLineCap(int) {}
void NPdfDocument::setLineJoin(int) {}
void NPdfDocument::setDash(const float*, int, float) {}
void NPdfDocument::line(float, float, float, float) {}
void NPdfDocument::rect(float, float, float, float, const NString&) {}
void NPdfDocument::ellipse(float, float, float, float, const NString&) {}
void NPdfDocument::circle(float, float, float, const NString&) {}
void NPdfDocument::polygon(const NPointF*, int, const NString&) {}
void NPdfDocument::bezier(const NPointF&, const NPointF&, const NPointF&, const NPointF&, const NString&) {}
bool NPdfDocument::image(const NString&, float, float, float, float, const NPdfLink&) { return false; }
int NPdfDocument::addLink() { return 0; }
void NPdfDocument::setLink(int, float, int) {}
void NPdfDocument::link(float, float, float, float, const NPdfLink&) {}
