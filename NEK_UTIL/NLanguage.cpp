#include "NLanguage.h"
#include "NGlobalOrder.h"

#include <windows.h>

#include <cstring>

NLanguage globalLanguage NEK_INIT_ORDER(NEK_ORDER_LANGUAGE);

namespace {

const unsigned char markerByte = 0xB3;

// Blocks stay below 2 GB, so every offset fits the 32-bit pair records and
// every text length fits an NString.
const unsigned int blockLimit = 0x7FFFFFFFu;

// First marker in [from, end), or null.
const char* findMarker(const char* from, const char* end)
{
    while (from + 1 < end) {
        const void* hit = memchr(from, markerByte, static_cast<size_t>(end - from - 1));
        if (!hit)
            return nullptr;
        const char* p = static_cast<const char*>(hit);
        if (static_cast<unsigned char>(p[1]) == markerByte)
            return p;
        from = p + 1;
    }
    return nullptr;
}

// First marker in a zero-terminated text, or null.
const char* findMarker(const char* from)
{
    for (;;) {
        from = strchr(from, static_cast<char>(markerByte));
        if (!from)
            return nullptr;
        if (static_cast<unsigned char>(from[1]) == markerByte)
            return from;
        ++from;
    }
}

}  // namespace

NLanguage::NLanguage()
    : keys(nullptr), keysSize(0), heap(nullptr), pairs(nullptr), pairsSize(0),
      texts(nullptr), textsSize(0)
{
    languageName.append("de");
    // Appended as bytes: assigning the marker would pass it through the lookup.
    separator.append("\xB3\xB3");
    enabled = 1;
}

const char* NLanguage::getName() const { return getClassName(); }
const char* NLanguage::getClassName() const { return "NLanguage"; }

NLanguage::~NLanguage()
{
    clear();
    // Strings of globals destroyed after this one must not reach the table.
    enabled = 0;
}

void NLanguage::clear()
{
    if (!heap)
        return;
    if (keys)
        HeapFree(heap, 0, keys);
    if (pairs)
        HeapFree(heap, 0, pairs);
    if (texts)
        HeapFree(heap, 0, texts);
    keys = pairs = texts = nullptr;
    keysSize = pairsSize = textsSize = 0;
    languageName.set("de");
    errorText.set("");
    missingKeys.set("");
}

// Makes room for `need` more bytes behind `fill`. Steps of about 1000 bytes
// keep a language file's blocks tight; for very large input the step grows
// with the block so that loading stays linear.
bool NLanguage::grow(char*& block, unsigned int& capacity, unsigned int fill, unsigned int need,
                     unsigned int step)
{
    if (need <= capacity - fill)
        return true;
    if (step < fill / 2)
        step = fill / 2;
    unsigned long long size = static_cast<unsigned long long>(fill) + need + step;
    if (static_cast<unsigned long long>(fill) + need > blockLimit)
        return false;
    if (size > blockLimit)
        size = blockLimit;
    if (!heap)
        heap = GetProcessHeap();
    void* p = block ? HeapReAlloc(heap, 0, block, static_cast<SIZE_T>(size))
                    : HeapAlloc(heap, 0, static_cast<SIZE_T>(size));
    if (!p)
        return false;
    block = static_cast<char*>(p);
    capacity = static_cast<unsigned int>(size);
    return true;
}

void NLanguage::trim(char*& block, unsigned int size)
{
    if (!block)
        return;
    void* p = HeapReAlloc(heap, 0, block, size ? size : 1);
    if (p)
        block = static_cast<char*>(p);
}

bool NLanguage::load(const NString& text)
{
    const int wasEnabled = enabled;
    enabled = 0;

    // The blocks were trimmed to their fills by the previous load; the keys
    // block's final zero is overwritten by the first new key.
    unsigned int keysFill = keysSize > 0 ? keysSize - 1 : 0;
    unsigned int keysCapacity = keysSize;
    unsigned int pairsFill = pairsSize;
    unsigned int pairsCapacity = pairsSize;
    unsigned int textsFill = textsSize;
    unsigned int textsCapacity = textsSize;

    const char* p = text.getBuffer();
    const char* const end = p + text.getLength();
    int entry = 0;
    while (p < end) {
        ++entry;
        while (p < end && static_cast<unsigned char>(*p) <= ' ')
            ++p;
        // White space behind the last entry is no entry of its own: a file
        // that ends with a line break must not report an empty key.
        if (p == end)
            break;
        if (*p == ';' || *p == '#') {
            const void* lineEnd = memchr(p, '\n', static_cast<size_t>(end - p));
            p = lineEnd ? static_cast<const char*>(lineEnd) + 1 : end;
            continue;
        }
        const char* marker = findMarker(p, end);
        const char* entryEnd = marker ? marker : end;
        const void* equals = memchr(p, '=', static_cast<size_t>(entryEnd - p));
        const char* keyEnd = equals ? static_cast<const char*>(equals) : entryEnd;
        const char* textBegin = equals ? keyEnd + 1 : entryEnd;
        const char* entryBegin = p;
        p = marker ? marker + 2 : end;

        if (keyEnd == entryBegin) {
            errorText.appendFormat("NLanguage::load(..) Eintrag Nr. %d hat einen leeren Schl\xFCssel.\r\n",
                                   entry);
            continue;
        }
        const unsigned int keyLength = static_cast<unsigned int>(keyEnd - entryBegin);
        const unsigned int textLength = static_cast<unsigned int>(entryEnd - textBegin);
        if (!grow(pairs, pairsCapacity, pairsFill, sizeof(Pair), 1008) ||
            !grow(keys, keysCapacity, keysFill, keyLength + 3, 1000) ||
            !grow(texts, textsCapacity, textsFill, textLength + 1, 1000)) {
            errorText.appendFormat("NLanguage::load(..) Eintrag Nr. %d passt nicht mehr in den "
                                   "Speicher, der Rest der Datei wird nicht geladen.\r\n",
                                   entry);
            break;
        }
        Pair pair = {keysFill, textsFill};
        memcpy(pairs + pairsFill, &pair, sizeof pair);
        pairsFill += sizeof pair;
        memcpy(keys + keysFill, entryBegin, keyLength);
        keys[keysFill + keyLength] = static_cast<char>(markerByte);
        keys[keysFill + keyLength + 1] = static_cast<char>(markerByte);
        keysFill += keyLength + 2;
        memcpy(texts + textsFill, textBegin, textLength);
        texts[textsFill + textLength] = 0;
        textsFill += textLength + 1;
    }

    // Room for the final zero was kept with every key; only a load that stored
    // nothing into a never filled table still has to fetch the block.
    if (grow(keys, keysCapacity, keysFill, 1, 1)) {
        keys[keysFill] = 0;
        keysSize = keysFill + 1;
        trim(keys, keysSize);
    }
    pairsSize = pairsFill;
    trim(pairs, pairsSize);
    textsSize = textsFill;
    trim(texts, textsSize);

    enabled = wasEnabled;
    return true;
}

const char* NLanguage::translate(const char* text, int& length)
{
    // The hot path: every string assignment comes here, so an unmarked text
    // costs at most two byte tests and is never measured or scanned.
    if (!text || length == 0 || length == 1 || static_cast<unsigned char>(text[0]) != markerByte ||
        static_cast<unsigned char>(text[1]) != markerByte || !enabled)
        return text;

    const char* const keyBegin = text + 2;
    const char* const textEnd = length > 0 ? text + length : nullptr;
    const char* second = textEnd ? findMarker(keyBegin, textEnd) : findMarker(keyBegin);
    if (!second) {
        length = length > 0 ? length - 2 : static_cast<int>(strlen(keyBegin));
        return keyBegin;
    }

    // The lookup key keeps its closing marker, so only whole keys match.
    const size_t lookupLength = static_cast<size_t>(second + 2 - keyBegin);
    const Pair* pair = reinterpret_cast<const Pair*>(pairs);
    const unsigned int pairCount = pairsSize / sizeof(Pair);
    for (unsigned int i = 0; i < pairCount; ++i) {
        Pair record;
        memcpy(&record, pair + i, sizeof record);
        if (record.keyOffset >= keysSize || keysSize - record.keyOffset < lookupLength ||
            memcmp(keys + record.keyOffset, keyBegin, lookupLength) != 0)
            continue;
        const char* found = texts + record.textOffset;
        length = static_cast<int>(strlen(found));
        return found;
    }

    const char* const fallback = second + 2;
    const int logLength = textEnd ? static_cast<int>(textEnd - keyBegin) : -1;
    missingKeys.append(keyBegin, logLength);
    missingKeys.append("\r\n");
    if (length > 0)
        length -= static_cast<int>(fallback - text);
    else
        length = static_cast<int>(strlen(fallback));
    return fallback;
}
