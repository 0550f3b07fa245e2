#include "NFileIni.h"

#include <windows.h>

#include <vector>

#include "NMapStringToNum.h"
#include "NMapStringToString.h"
#include "NStringList.h"

// Whole-section operations: entries and maps, section name patterns,
// most-recent-first lists, copying and merging, and [import].

namespace {

// Nested imports deeper than this are not followed (a chain of files that
// import each other would otherwise never end).
const int maxImportDepth = 16;

struct Header {
    NString name;
    int close;  // index of the "]"
};

// Every "[name]" at the start of a line, in text order. A "[" without a
// "]" on its own line is no header.
std::vector<Header> findHeaders(const NString& text)
{
    std::vector<Header> headers;
    int p = text.getAt(0) == '[' && text.getLength() > 0 ? 0 : -1;
    if (p < 0) {
        const int next = text.find("\r\n[");
        p = next < 0 ? -1 : next + 2;
    }
    while (p >= 0) {
        int close = p + 1;
        while (close < text.getLength() && text.getAt(close) != ']' &&
               text.getAt(close) != '\r' && text.getAt(close) != '\n')
            ++close;
        if (text.getAt(close) == ']' && close < text.getLength())
            headers.push_back(Header{text.mid(p + 1, close - p - 1), close});
        const int next = text.find("\r\n[", p + 1);
        p = next < 0 ? -1 : next + 2;
    }
    return headers;
}

bool sameBytes(const NString& a, const NString& b)
{
    return a.getLength() == b.getLength() &&
           memcmp(a.getBuffer(), b.getBuffer(), static_cast<size_t>(a.getLength())) == 0;
}

bool matchesAlternative(const NString& name, NString alternative)
{
    bool inverted = false;
    if (alternative.startsWith("!")) {
        inverted = true;
        alternative.remove(0, 1);
    }
    bool match;
    if (alternative == "*")
        match = true;
    else if (alternative.endsWith("*"))
        match = name.startsWith(alternative.left(alternative.getLength() - 1));
    else if (alternative.startsWith("*"))
        match = name.endsWith(alternative.mid(1));
    else
        match = sameBytes(name, alternative);
    return match != inverted;
}

int listLimit(const NFileIni& ini, const NString& section)
{
    const int limit = ini.getValueInt(section, "maxEntries", 10);
    return limit < 0 ? 0 : limit;
}

NString keyOfEntry(const NString& entry)
{
    const int eq = entry.findChar('=');
    return eq < 0 ? entry : entry.left(eq);
}

// A path in the form used to recognise a file again in an import chain.
NString comparablePath(const NString& path)
{
    char full[MAX_PATH * 4];
    const DWORD n = GetFullPathNameA(path, sizeof(full), full, nullptr);
    NString result = n > 0 && n < sizeof(full) ? NString(full) : path;
    result.makeLower();
    return result;
}

bool isAbsolutePath(const NString& path)
{
    return path.startsWith("\\") || path.startsWith("/") || path.getAt(1) == ':';
}

}  // namespace

// --- entries and maps ---------------------------------------------------------------

int NFileIni::getSectionEntries(const NString& section, NStringList& keys, NStringList* values,
                                bool skipComments) const
{
    keys.removeAll();
    if (values)
        values->removeAll();
    NString body = getSectionText(section);
    body.trim();
    int taken = 0;
    int pos = 0;
    while (pos < body.getLength()) {
        const int lineBreak = body.findChar('\n', pos);
        const int lineEnd = lineBreak < 0 ? body.getLength() : lineBreak;
        NString line = body.mid(pos, lineEnd - pos);
        pos = lineEnd + 1;
        line.trim();
        if (line.isEmpty() || (skipComments && line.startsWith(";")))
            continue;
        if (!values) {
            keys.add(line);
        } else {
            const int eq = line.findChar('=');
            NString key = eq < 0 ? line : line.left(eq);
            NString value = eq < 0 ? NString() : line.mid(eq + 1);
            key.trim();
            value.trim();
            keys.add(key);
            values->add(value);
        }
        ++taken;
    }
    return taken;
}

int NFileIni::getSectionMap(const NString& section, NMapStringToString& map,
                            bool clearFirst) const
{
    if (clearFirst)
        map.removeAll();
    NStringList keys, values;
    getSectionEntries(section, keys, &values, true);
    // A key listed twice: the first line counts, as for getValue.
    NMapStringToString seen;
    for (int i = 0; i < keys.getCount(); ++i) {
        if (seen.contains(keys.getAt(i)))
            continue;
        seen.setAt(keys.getAt(i), values.getAt(i));
        map.setAt(keys.getAt(i), values.getAt(i));
    }
    return seen.getCount();
}

int NFileIni::getSectionMap(const NString& section, NMapStringToNum& map, bool clearFirst) const
{
    if (clearFirst)
        map.removeAll();
    NMapStringToString texts;
    const int n = getSectionMap(section, texts, true);
    for (int i = 0; i < texts.getCount(); ++i)
        map.setAt(texts.getKeyAt(i), texts.getValueAt(i).toInt());
    return n;
}

bool NFileIni::setSectionMap(const NString& section, const NMapStringToString& map)
{
    NString body;
    NString key, value;
    for (int i = 0; i < map.getCount(); ++i) {
        map.getAt(i, key, value);
        body += key + NString("=") + value + NString("\r\n");
    }
    return setSectionText(section, body);
}

bool NFileIni::setSectionMap(const NString& section, const NMapStringToNum& map)
{
    NString body;
    NString key;
    int value = 0;
    for (int i = 0; i < map.getCount(); ++i) {
        map.getAt(i, key, value);
        body += key + NString("=") + NString::fromNumber(value) + NString("\r\n");
    }
    return setSectionText(section, body);
}

// --- section names ---------------------------------------------------------------------

int NFileIni::getSectionNames(NStringList& names, const NString& pattern,
                              NStringList* texts) const
{
    names.removeAll();
    if (texts)
        texts->removeAll();
    const std::vector<Header> headers = findHeaders(text);
    NString alternatives = pattern;
    int added = 0;
    for (;;) {
        const NString alternative = alternatives.cutToken("|");
        if (alternative.isEmpty())
            break;
        for (const Header& header : headers) {
            if (!matchesAlternative(header.name, alternative))
                continue;
            bool known = false;
            for (int i = 0; i < names.getCount() && !known; ++i)
                known = sameBytes(names.getAt(i), header.name);
            if (known)
                continue;
            names.add(header.name);
            ++added;
            if (texts) {
                const int next = text.find("\r\n[", header.close + 1);
                const int end = next < 0 ? text.getLength() : next + 2;
                NString body = text.mid(header.close + 1, end - header.close - 1);
                body.trim();
                texts->add(body);
            }
        }
    }
    return added;
}

// --- most-recent-first lists -------------------------------------------------------------

int NFileIni::getListEntries(const NString& section, NStringList& list) const
{
    getSectionEntries(section, list, nullptr, true);
    if (list.getCount() > 0 && list.getAt(0).startsWith("maxEntries="))
        list.removeAt(0);
    return list.getCount();
}

void NFileIni::addListEntry(const NString& section, const NString& entry)
{
    const int limit = listLimit(*this, section);
    NStringList list;
    getListEntries(section, list);
    list.insertAt(0, entry);
    // The new entry replaces every later line that begins with its key (the
    // part before "="): the line of the same key and any line that extends it.
    const NString key = keyOfEntry(entry);
    for (int i = list.getCount() - 1; i >= 1; --i) {
        const NString& line = list.getAt(i);
        if (sameBytes(line, key) || line.startsWith(key))
            list.removeAt(i);
    }
    while (list.getCount() > limit)
        list.removeAt(list.getCount() - 1);
    list.insertAt(0, NString("maxEntries=") + NString::fromNumber(limit));
    setSectionText(section, list.join("\r\n"));
}

void NFileIni::removeListEntry(const NString& section, const NString& entry)
{
    const int limit = listLimit(*this, section);
    NStringList list;
    getListEntries(section, list);
    for (int i = list.getCount() - 1; i >= 0; --i)
        if (sameBytes(list.getAt(i), entry))
            list.removeAt(i);
    list.insertAt(0, NString("maxEntries=") + NString::fromNumber(limit));
    setSectionText(section, list.join("\r\n"));
}

// --- other files ---------------------------------------------------------------------------

void NFileIni::copySections(const NFileIni& other, const NString& pattern)
{
    NStringList names;
    other.getSectionNames(names, pattern);
    for (int i = 0; i < names.getCount(); ++i)
        setSectionText(names.getAt(i), other.getSectionText(names.getAt(i)));
}

void NFileIni::mergeSections(const NFileIni& other, const NString& pattern)
{
    NStringList names;
    other.getSectionNames(names, pattern);
    NMapStringToString map;
    for (int i = 0; i < names.getCount(); ++i) {
        getSectionMap(names.getAt(i), map, true);
        other.getSectionMap(names.getAt(i), map, false);
        setSectionMap(names.getAt(i), map);
    }
}

bool NFileIni::import()
{
    NStringList chain;
    return importFrom(0, chain);
}

bool NFileIni::importFrom(int depth, NStringList& chain)
{
    NStringList lines;
    getSectionEntries("import", lines, nullptr, true);
    if (lines.getCount() == 0)
        return true;
    chain.add(comparablePath(path));
    NString folder = path;
    int slash = folder.getLength() - 1;
    while (slash >= 0 && folder.getAt(slash) != '\\' && folder.getAt(slash) != '/')
        --slash;
    folder = slash < 0 ? NString() : folder.left(slash);

    bool result = true;
    for (int l = 0; l < lines.getCount(); ++l) {
        result = true;
        NString rest = lines.getAt(l);
        NString kind = rest.cutToken("=");
        NString file = rest.cutToken(",");
        NString pattern = rest.cutToken(",");
        NString option = rest;
        kind.trim();
        file.trim();
        pattern.trim();
        option.trim();
        const bool sections = kind == "sections";
        const bool entries = kind == "entries";

        const NString otherPath =
            isAbsolutePath(file) || slash < 0 ? file : folder + NString("\\") + file;
        NFileIni other;
        if (file.isEmpty() || !other.open(otherPath, false, true)) {
            result = false;
            continue;
        }
        // A file already on the way here is not imported into itself again.
        if (depth >= maxImportDepth || chain.find(comparablePath(otherPath)) >= 0 ||
            !other.importFrom(depth + 1, chain))
            result = false;
        if (!sections && !entries)
            result = false;

        NStringList names;
        other.getSectionNames(names, pattern);
        for (int i = 0; i < names.getCount(); ++i) {
            const NString& name = names.getAt(i);
            int headerStart, bodyStart, end;
            if (!findSection(name, headerStart, bodyStart, end)) {
                setSectionText(name, other.getSectionText(name));
                continue;
            }
            if (sections) {
                if (option == "ignore")
                    continue;
                if (option == "addContent")
                    setSectionText(name, getSectionText(name) + other.getSectionText(name));
                else
                    setSectionText(name, other.getSectionText(name));
            } else if (entries) {
                NMapStringToString map;
                if (option == "ignore") {
                    other.getSectionMap(name, map, true);
                    getSectionMap(name, map, false);
                } else {
                    getSectionMap(name, map, true);
                    other.getSectionMap(name, map, false);
                }
                setSectionMap(name, map);
            } else {
                break;
            }
        }
    }
    chain.removeAt(chain.getCount() - 1);
    return result;
}
