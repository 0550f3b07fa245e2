#include "NMapStringToString.h"

NMapStringToString::NMapStringToString() = default;
NMapStringToString::NMapStringToString(const NMapStringToString& other) = default;
NMapStringToString& NMapStringToString::operator=(const NMapStringToString& other) = default;

const char* NMapStringToString::getName() const { return getClassName(); }
const char* NMapStringToString::getClassName() const { return "NMapStringToString"; }

NMapStringToString::~NMapStringToString() = default;

// --- text -----------------------------------------------------------------------

NString NMapStringToString::replaceVariables(const NString& text, const char* prefix,
                                             const char* suffix) const
{
    NString result(text);
    NString pattern;
    for (int i = 0; i < count; ++i) {
        pattern = prefix;
        pattern += *entries[i].key;
        pattern += suffix;
        result.replace(pattern, *entries[i].value);
    }
    return result;
}

NString NMapStringToString::toText(const char* pairSeparator, const char* itemSeparator) const
{
    NString text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += itemSeparator;
        text += *entries[i].key;
        text += pairSeparator;
        text += *entries[i].value;
    }
    return text;
}

// Items are cut without the list classes: the map must stand on its own.
// An empty item is skipped; an item without pairSeparator is a key with an
// empty value; the value is everything after the first pairSeparator.
int NMapStringToString::fromText(const NString& text, const char* itemSeparator,
                                 const char* pairSeparator, bool clearFirst)
{
    const NString items(text);  // `text` may be one of our own values
    if (clearFirst)
        removeAll();
    const NString itemCut(itemSeparator);
    const NString pairCut(pairSeparator);
    int read = 0;
    int start = 0;
    const int end = items.getLength();
    while (start <= end) {
        int stop = itemCut.isEmpty() ? -1 : items.find(itemCut, start);
        if (stop < 0)
            stop = end;
        if (stop > start) {
            const NString item = items.mid(start, stop - start);
            const int pair = pairCut.isEmpty() ? -1 : item.find(pairCut);
            if (pair < 0)
                setAt(item, NString());
            else
                setAt(item.left(pair), item.mid(pair + pairCut.getLength()));
            ++read;
        }
        start = stop + itemCut.getLength();
        if (stop == end)
            break;
    }
    return read;
}
