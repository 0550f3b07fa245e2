#include "NStringList.h"

NStringList::NStringList(bool ignoreCase) : NListCore(true), ignoreCase(ignoreCase) {}

NStringList::NStringList(const NStringList& other) : NStringList(other.ignoreCase)
{
    assign(other);
}

NStringList& NStringList::operator=(const NStringList& other)
{
    ignoreCase = other.ignoreCase;
    assign(other);
    return *this;
}

const char* NStringList::getName() const { return getClassName(); }
const char* NStringList::getClassName() const { return "NStringList"; }

NStringList::~NStringList() = default;

int NStringList::compareWith(int i, const NString& text)
{
    const int result = getAt(i).compare(text, ignoreCase);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int NStringList::compareAt(int i, int j)
{
    const NString& a = getAt(i);
    const NString& b = getAt(j);
    return a < b ? -1 : (b < a ? 1 : 0);
}

// --- text ---------------------------------------------------------------------

int NStringList::split(const NString& text, const NString& separator)
{
    removeAll();
    int pos = 0;
    // Without a separator the whole text is the one piece.
    if (!separator.isEmpty()) {
        for (int found = text.find(separator, pos); found >= 0; found = text.find(separator, pos)) {
            add(text.mid(pos, found - pos));
            pos = found + separator.getLength();
        }
    }
    add(text.mid(pos));
    return count;
}

NString NStringList::join(const NString& separator) const
{
    NString text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += separator;
        text += *data[i];
    }
    return text;
}

int NStringList::splitWords(const NString& text)
{
    removeAll();
    const char* bytes = text.getBuffer();
    const int length = text.getLength();
    int start = 0;
    bool quoted = false;
    for (int i = 0; i <= length; ++i) {
        const unsigned char c = i < length ? static_cast<unsigned char>(bytes[i]) : 0;
        if (c == '"')
            quoted = !quoted;
        if (i < length && (quoted || c > 32))
            continue;
        NString word(bytes + start, i - start);
        word.trim();
        if (word.getLength() >= 2 && word.startsWith("\"") && word.endsWith("\"")) {
            word = word.mid(1, word.getLength() - 2);
            word.trim();
        }
        if (!word.isEmpty())
            add(word);
        start = i + 1;
    }
    return count;
}

int NStringList::addTokens(const NString& text, const NString& separator, bool unique)
{
    const int before = count;
    if (separator.isEmpty()) {
        // cutToken would find the empty separator at 0 forever.
        if (!text.isEmpty())
            add(text, unique);
        return count - before;
    }
    NString rest(text);
    while (!rest.isEmpty())
        add(rest.cutToken(separator), unique);
    return count - before;
}
