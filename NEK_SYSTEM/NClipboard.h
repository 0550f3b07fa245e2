#ifndef NEK_NCLIPBOARD_H
#define NEK_NCLIPBOARD_H

#include "NString.h"

// NClipboard: text and HTML to the Windows clipboard, text from it. All
// operations are class-level; setData adds a format without emptying the
// clipboard, so callers that replace its contents call clear first.
class NClipboard {
public:
    NClipboard();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NClipboard();

    static bool clear();
    // An empty text leaves the clipboard alone and returns false.
    static bool setText(const NString& text);
    // Empty when the clipboard holds no text or cannot be opened.
    static NString getText();
    // The "HTML Format" block around `fragment`; an empty fragment does nothing.
    static bool setHtml(const NString& fragment, const NString& head = NString(),
                        const NString& tail = NString());
    // The block setHtml puts on the clipboard (without its zero byte).
    static NString makeHtmlBlock(const NString& fragment, const NString& head,
                                 const NString& tail);
    // False only when the clipboard cannot be opened.
    static bool setData(unsigned int format, const void* bytes, int size);
    static bool isFormatAvailable(unsigned int format);
    // The registered "HTML Format" identifier (registered on first use).
    static unsigned int getHtmlFormat();
};

#endif
