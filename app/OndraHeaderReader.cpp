#include "OndraHeaderReader.h"

#include <cctype>
#include <map>

namespace {

bool nameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
// Generated names keep the file title as it is, so '.' and '-' stay inside a name.
bool namePart(char c) { return nameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-'; }

std::wstring wide(const std::string& text)
{
    std::wstring result;
    for (unsigned char c : text)
        result += static_cast<wchar_t>(c);
    return result;
}

std::wstring number(unsigned long long value) { return std::to_wstring(value); }

// A run marker: (count << 8) + 0x30. Colour values never end in 0x30: their
// bit 5 is clear, except for 0x0020.
bool isMarker(unsigned long long v) { return (v & 0xFF) == 0x30; }

}  // namespace

OndraHeaderReader::OndraHeaderReader()
    : source(nullptr), sourceLength(0), lastLine(1), width(0), height(0), valueCount(0)
{
}

const char* OndraHeaderReader::getName() const { return getClassName(); }
const char* OndraHeaderReader::getClassName() const { return "OndraHeaderReader"; }
OndraHeaderReader::~OndraHeaderReader() {}

bool OndraHeaderReader::fail(int line, const std::wstring& text)
{
    error = L"Zeile " + number(static_cast<unsigned>(line)) + L": " + text;
    return false;
}

bool OndraHeaderReader::next(Cursor& cursor, Token& token)
{
    const char* text = source;
    const size_t length = sourceLength;
    size_t i = cursor.at;
    for (;;) {
        if (i >= length) {
            token = Token{Token::end, cursor.line, length, 0, 0};
            cursor.at = i;
            return true;
        }
        const char c = text[i];
        if (c == '\n') {
            ++cursor.line;
            cursor.lineStart = true;
            ++i;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++i;
        } else if (c == '#' && cursor.lineStart) {
            // A preprocessor line, with its continuations.
            while (i < length && text[i] != '\n') {
                if (text[i] == '\\' && i + 1 < length && text[i + 1] == '\n') {
                    ++cursor.line;
                    ++i;
                } else if (text[i] == '\\' && i + 2 < length && text[i + 1] == '\r' && text[i + 2] == '\n') {
                    ++cursor.line;
                    i += 2;
                }
                ++i;
            }
        } else if (c == '/' && i + 1 < length && text[i + 1] == '/') {
            while (i < length && text[i] != '\n')
                ++i;
        } else if (c == '/' && i + 1 < length && text[i + 1] == '*') {
            const int opened = cursor.line;
            i += 2;
            while (i + 1 < length && !(text[i] == '*' && text[i + 1] == '/')) {
                if (text[i] == '\n')
                    ++cursor.line;
                ++i;
            }
            if (i + 1 >= length)
                return fail(opened, L"Kommentar ohne Ende.");
            i += 2;
        } else {
            break;
        }
    }
    cursor.lineStart = false;
    const char c = text[i];
    token = Token{Token::symbol, cursor.line, i, 1, 0};
    if (nameStart(c)) {
        size_t end = i;
        while (end < length && namePart(text[end]))
            ++end;
        token = Token{Token::name, cursor.line, i, end - i, 0};
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
        size_t end = i;
        while (end < length && std::isalnum(static_cast<unsigned char>(text[end])))
            ++end;
        const bool hex = end - i > 2 && c == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X');
        unsigned long long value = 0;
        size_t at = hex ? i + 2 : i;
        for (; at < end; ++at) {
            const char d = static_cast<char>(std::tolower(static_cast<unsigned char>(text[at])));
            const int v = d >= '0' && d <= '9' ? d - '0' : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10 : -1;
            if (v < 0)
                break;
            value = value * (hex ? 16 : 10) + static_cast<unsigned>(v);
            if (value > 0xFFFFFFFFULL)
                return fail(cursor.line, L"Zahl " + wide(std::string(text + i, end - i)) + L" ist zu gro\xDF.");
        }
        // Only the usual unsigned and long suffixes may follow.
        for (; at < end; ++at)
            if (std::string("uUlL").find(text[at]) == std::string::npos)
                return fail(cursor.line, L"ung\xFCltige Zahl " + wide(std::string(text + i, end - i)) + L".");
        token = Token{Token::number, cursor.line, i, end - i, static_cast<unsigned>(value)};
    } else if (c == '\'') {
        if (i + 2 >= length || text[i + 2] != '\'')
            return fail(cursor.line, L"ung\xFCltiges Zeichen-Literal.");
        token = Token{Token::character, cursor.line, i + 1, 1, static_cast<unsigned char>(text[i + 1])};
        cursor.at = i + 3;
        return true;
    }
    cursor.at = token.start + token.length;
    return true;
}

// Collects every "NAME [ ] = { ... }" and "NAME = { ... }"; everything else
// (types, qualifiers, declarations without initializer) is passed over.
bool OndraHeaderReader::parse(std::vector<Initializer>& found)
{
    Cursor cursor{0, 1, true};
    // The last four tokens before an opening brace tell what it opens.
    Token seen[4] = {};
    int seenCount = 0;
    for (;;) {
        Token t;
        if (!next(cursor, t))
            return false;
        if (t.kind == Token::end) {
            lastLine = t.line;
            return true;
        }
        if (!is(t, '{')) {
            for (int k = 3; k > 0; --k)
                seen[k] = seen[k - 1];
            seen[0] = t;
            seenCount = seenCount < 4 ? seenCount + 1 : 4;
            continue;
        }
        // seen[0] is the token right before the brace.
        const bool plain = seenCount >= 2 && is(seen[0], '=') && seen[1].kind == Token::name;
        const bool array = seenCount >= 4 && is(seen[0], '=') && is(seen[1], ']') && is(seen[2], '[') &&
                           seen[3].kind == Token::name;
        seenCount = 0;
        if (!plain && !array)
            continue;
        const Token& name = array ? seen[3] : seen[1];
        Initializer init{textOf(name), array, name.line, 0, cursor, 0, {}};
        for (;;) {
            Token item;
            if (!next(cursor, item))
                return false;
            if (item.kind == Token::end)
                return fail(init.line, L"'{' von " + wide(init.name) + L" wird nicht geschlossen.");
            if (is(item, '}')) {
                init.closingLine = item.line;
                break;
            }
            if (item.kind == Token::symbol)
                return fail(item.line, L"unerwartet '" + wide(textOf(item)) + L"' in " + wide(init.name) + L".");
            // Arrays of numbers are read again when expanded.
            if (!array || (init.count == 0 ? item.kind != Token::number : !init.stored.empty()))
                init.stored.push_back(item);
            ++init.count;
            Token after;
            if (!next(cursor, after))
                return false;
            if (is(after, '}')) {
                init.closingLine = after.line;
                break;
            }
            if (!is(after, ','))
                return fail(after.line, L"',' fehlt nach '" + wide(textOf(item)) + L"' in " + wide(init.name) + L".");
        }
        found.push_back(init);
    }
}

// Expands one frame's runs into `pixels` (row by row); the values are read
// column by column, top to bottom.
bool OndraHeaderReader::expand(const Initializer& data, std::vector<unsigned short>* pixels)
{
    const unsigned long long total = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height);
    if (pixels)
        pixels->assign(static_cast<size_t>(total), 0);
    unsigned long long filled = 0;
    Cursor cursor = data.items;
    // Every item is followed by ',' or the closing brace: parse() saw to that.
    auto item = [&](Token& t) {
        Token separator;
        next(cursor, t);
        next(cursor, separator);
    };
    for (size_t i = 0; i < data.count; ++i) {
        Token t;
        item(t);
        if (t.kind != Token::number || t.value > 0xFFFF)
            return fail(t.line, L"'" + wide(textOf(t)) + L"' in " + wide(data.name) +
                                    L" ist kein 16-Bit-Wert (0 bis 0xFFFF).");
        unsigned long long count = 1;
        unsigned colour = t.value;
        if (isMarker(t.value)) {
            count = t.value >> 8;
            if (count < 2)
                return fail(t.line, L"Laufl\xE4ngen-Marke " + wide(textOf(t)) + L" in " + wide(data.name) +
                                        L" z\xE4hlt weniger als 2 Bildpunkte.");
            if (i + 1 >= data.count)
                return fail(data.closingLine, L"nach der Laufl\xE4ngen-Marke " + wide(textOf(t)) + L" fehlt in " +
                                                  wide(data.name) + L" die Farbe.");
            Token c;
            item(c);
            ++i;
            if (c.kind != Token::number || c.value > 0xFFFF || isMarker(c.value))
                return fail(c.line, L"nach der Laufl\xE4ngen-Marke " + wide(textOf(t)) + L" steht '" +
                                        wide(textOf(c)) + L"' statt einer Farbe (0 bis 0xFFFF).");
            colour = c.value;
            valueCount += 1;
        }
        valueCount += 1;
        if (filled + count > total)
            return fail(t.line, L"der Lauf von " + number(count) + L" Bildpunkten in " + wide(data.name) +
                                    L" geht \xFC" L"ber das Bild hinaus (" + number(static_cast<unsigned>(width)) +
                                    L"x" + number(static_cast<unsigned>(height)) + L", " + number(total) +
                                    L" Bildpunkte, davon " + number(filled) + L" schon gef\xFCllt).");
        for (unsigned long long k = 0; pixels && k < count; ++k) {
            const unsigned long long x = (filled + k) / static_cast<unsigned long long>(height);
            const unsigned long long y = (filled + k) % static_cast<unsigned long long>(height);
            (*pixels)[static_cast<size_t>(y * static_cast<unsigned long long>(width) + x)] =
                static_cast<unsigned short>(colour);
        }
        filled += count;
    }
    if (filled < total)
        return fail(data.closingLine, wide(data.name) + L" endet nach " + number(filled) + L" von " + number(total) +
                                          L" Bildpunkten.");
    return true;
}

bool OndraHeaderReader::read(const char* text, size_t length, bool pixels)
{
    error.clear();
    symbol.clear();
    frames.clear();
    width = height = 0;
    valueCount = 0;
    source = text;
    sourceLength = length;
    lastLine = 1;
    std::vector<Initializer> found;
    return parse(found) && interpret(found, pixels);
}

bool OndraHeaderReader::interpret(const std::vector<Initializer>& found, bool pixels)
{
    // The record: { 'b', frames, width, height, table }.
    const Initializer* record = nullptr;
    std::map<std::string, const Initializer*> arrays;
    for (const Initializer& init : found) {
        if (init.array)
            arrays[init.name] = &init;
        else if (!record && !init.stored.empty() && init.stored[0].kind == Token::character)
            record = &init;
    }
    if (!record)
        return fail(lastLine, L"kein BitmapHeader-Datensatz { 'b', Bilder, Breite, H\xF6he, Tabelle } gefunden.");
    const Token* fields = record->stored.data();
    if (record->count != 5 || fields[0].value != 'b' || fields[4].kind != Token::name)
        return fail(record->line, wide(record->name) + L" ist kein Datensatz { 'b', Bilder, Breite, H\xF6he, Tabelle }.");
    static const wchar_t* const fieldNames[] = {L"", L"Bildanzahl", L"Breite", L"H\xF6he"};
    for (int f = 1; f <= 3; ++f)
        if (fields[f].kind != Token::number || fields[f].value < 1 || fields[f].value > 0xFFFF)
            return fail(fields[f].line, std::wstring(fieldNames[f]) + L" '" + wide(textOf(fields[f])) +
                                            L"' liegt nicht zwischen 1 und 65535.");
    width = static_cast<int>(fields[2].value);
    height = static_cast<int>(fields[3].value);
    if (pixels && static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) * fields[1].value >
                      (sizeof(size_t) > 4 ? 0x40000000ULL : 0x4000000ULL))
        return fail(record->line, L"das Bild ist zu gro\xDF, um es im Speicher zu entpacken.");
    symbol = record->name.compare(0, 5, "_bmp_") == 0 ? record->name.substr(5) : record->name;

    const std::string tableName = textOf(fields[4]);
    auto table = arrays.find(tableName);
    if (table == arrays.end())
        return fail(record->line, L"die Bildtabelle " + wide(tableName) + L" fehlt.");
    if (table->second->count != fields[1].value)
        return fail(table->second->line, L"die Bildtabelle " + wide(tableName) + L" nennt " +
                                             number(table->second->count) + L" Bilder, der Datensatz " +
                                             wide(textOf(fields[1])) + L".");
    if (table->second->stored.size() != table->second->count)
        return fail(table->second->line, L"die Bildtabelle " + wide(tableName) + L" nennt keine Datenfelder.");
    for (const Token& entry : table->second->stored) {
        auto data = entry.kind == Token::name ? arrays.find(textOf(entry)) : arrays.end();
        if (data == arrays.end())
            return fail(entry.line, L"das Datenfeld " + wide(textOf(entry)) + L" aus der Bildtabelle fehlt.");
        frames.emplace_back();
        if (!expand(*data->second, pixels ? &frames.back() : nullptr)) {
            frames.clear();
            return false;
        }
    }
    return true;
}
