#include "NClipboard.h"

#include <windows.h>

#include <cstring>

namespace {

unsigned int htmlFormat = 0;

const char* const startMarker = "<!--StartFragment -->";
const char* const endMarker = "<!--EndFragment -->";

NString htmlHeader(int startHtml, int endHtml, int startFragment, int endFragment)
{
    NString header;
    header.format("Version:1.0\r\n"
                  "StartHTML:%08d\r\n"
                  "EndHTML:%08d\r\n"
                  "StartFragment:%08d\r\n"
                  "EndFragment:%08d\r\n"
                  "StartSelection:%08d\r\n"
                  "EndSelection:%08d\r\n",
                  startHtml, endHtml, startFragment, endFragment, startFragment, endFragment);
    return header;
}

}  // namespace

NClipboard::NClipboard() {}
NClipboard::~NClipboard() {}

const char* NClipboard::getName() const { return getClassName(); }
const char* NClipboard::getClassName() const { return "NClipboard"; }

bool NClipboard::clear()
{
    if (!OpenClipboard(nullptr))
        return false;
    const bool emptied = EmptyClipboard() != 0;
    CloseClipboard();
    return emptied;
}

bool NClipboard::setText(const NString& text)
{
    if (text.isEmpty())
        return false;
    return setData(CF_TEXT, text.getBuffer(), text.getLength() + 1);
}

NString NClipboard::getText()
{
    NString text;
    if (!OpenClipboard(nullptr))
        return text;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* bytes = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (bytes) {
        // The block may lack its zero byte: never read past its end.
        const SIZE_T size = GlobalSize(data);
        const void* zero = std::memchr(bytes, 0, size);
        const SIZE_T length = zero ? static_cast<const char*>(zero) - bytes : size;
        text.set(bytes, static_cast<int>(length));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

unsigned int NClipboard::getHtmlFormat()
{
    if (htmlFormat == 0)
        htmlFormat = RegisterClipboardFormatA("HTML Format");
    return htmlFormat;
}

NString NClipboard::makeHtmlBlock(const NString& fragment, const NString& head,
                                  const NString& tail)
{
    // Every number has eight digits, so the header is as long with zeros as
    // with the real offsets.
    const int headerLength = htmlHeader(0, 0, 0, 0).getLength();
    const int startFragment = headerLength + head.getLength() +
                              static_cast<int>(std::strlen(startMarker));
    const int endFragment = startFragment + fragment.getLength();
    const int endHtml = endFragment + static_cast<int>(std::strlen(endMarker)) + tail.getLength();
    NString block = htmlHeader(headerLength, endHtml, startFragment, endFragment);
    block += head;
    block += startMarker;
    block += fragment;
    block += endMarker;
    block += tail;
    return block;
}

bool NClipboard::setHtml(const NString& fragment, const NString& head, const NString& tail)
{
    if (fragment.isEmpty())
        return false;
    const NString block = makeHtmlBlock(fragment, head, tail);
    return setData(getHtmlFormat(), block.getBuffer(), block.getLength() + 1);
}

bool NClipboard::setData(unsigned int format, const void* bytes, int size)
{
    if (!OpenClipboard(nullptr))
        return false;
    if (size < 0)
        size = 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT,
                                static_cast<SIZE_T>(size) + 1);
    void* target = block ? GlobalLock(block) : nullptr;
    if (target) {
        if (bytes && size > 0)
            std::memcpy(target, bytes, static_cast<size_t>(size));
        GlobalUnlock(block);
        // The clipboard owns the block only when it took it.
        if (!SetClipboardData(format, block))
            GlobalFree(block);
    } else if (block) {
        GlobalFree(block);
    }
    CloseClipboard();
    return true;
}

bool NClipboard::isFormatAvailable(unsigned int format)
{
    return IsClipboardFormatAvailable(format) != 0;
}
