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

OndraHeaderReader::OndraHeaderReader() : source(nullptr), width(0), height(0), valueCount(0) {}

const char* OndraHeaderReader::getName() const { return getClassName(); }
const char* OndraHeaderReader::getClassName() const { return "OndraHeaderReader"; }
OndraHeaderReader::~OndraHeaderReader() {}

bool OndraHeaderReader::fail(int line, const std::wstring& text)
{
    error = L"Zeile " + number(static_cast<unsigned>(line)) + L": " + text;
    return false;
}

bool OndraHeaderReader::tokenize(size_t length)
{
    const char* text = source;
    int line = 1;
    bool lineStart = true;
    size_t i = 0;
    auto add = [&](Token::Kind kind, size_t from, size_t to, unsigned value) {
        tokens.push_back(Token{kind, false, line, static_cast<unsigned>(from), static_cast<unsigned>(to - from), value});
    };
    while (i < length) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            lineStart = true;
            ++i;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++i;
        } else if (c == '#' && lineStart) {
            // A preprocessor line, with its continuations.
            while (i < length && text[i] != '\n') {
                if (text[i] == '\\' && i + 1 < length && text[i + 1] == '\n') {
                    ++line;
                    ++i;
                } else if (text[i] == '\\' && i + 2 < length && text[i + 1] == '\r' && text[i + 2] == '\n') {
                    ++line;
                    i += 2;
                }
                ++i;
            }
        } else if (c == '/' && i + 1 < length && text[i + 1] == '/') {
            while (i < length && text[i] != '\n')
                ++i;
        } else if (c == '/' && i + 1 < length && text[i + 1] == '*') {
            const int opened = line;
            i += 2;
            while (i + 1 < length && !(text[i] == '*' && text[i + 1] == '/')) {
                if (text[i] == '\n')
                    ++line;
                ++i;
            }
            if (i + 1 >= length)
                return fail(opened, L"Kommentar ohne Ende.");
            i += 2;
        } else if (c == ',' && !tokens.empty() && !tokens.back().commaAfter && tokens.back().kind != Token::symbol) {
            lineStart = false;
            tokens.back().commaAfter = true;
            ++i;
        } else if (nameStart(c)) {
            lineStart = false;
            size_t end = i;
            while (end < length && namePart(text[end]))
                ++end;
            add(Token::name, i, end, 0);
            i = end;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            lineStart = false;
            size_t end = i;
            while (end < length && std::isalnum(static_cast<unsigned char>(text[end])))
                ++end;
            const std::string digits(text + i, end - i);
            const bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
            unsigned long long value = 0;
            size_t at = hex ? 2 : 0;
            for (; at < digits.size(); ++at) {
                const char d = static_cast<char>(std::tolower(static_cast<unsigned char>(digits[at])));
                const int v = d >= '0' && d <= '9' ? d - '0' : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10 : -1;
                if (v < 0)
                    break;
                value = value * (hex ? 16 : 10) + static_cast<unsigned>(v);
                if (value > 0xFFFFFFFFULL)
                    return fail(line, L"Zahl " + wide(digits) + L" ist zu gro\xDF.");
            }
            // Only the usual unsigned and long suffixes may follow.
            for (; at < digits.size(); ++at)
                if (std::string("uUlL").find(digits[at]) == std::string::npos)
                    return fail(line, L"ung\xFCltige Zahl " + wide(digits) + L".");
            add(Token::number, i, end, static_cast<unsigned>(value));
            i = end;
        } else if (c == '\'') {
            lineStart = false;
            if (i + 2 >= length || text[i + 2] != '\'')
                return fail(line, L"ung\xFCltiges Zeichen-Literal.");
            add(Token::character, i + 1, i + 2, static_cast<unsigned char>(text[i + 1]));
            i += 3;
        } else {
            lineStart = false;
            add(Token::symbol, i, i + 1, 0);
            ++i;
        }
    }
    add(Token::end, length, length, 0);
    return true;
}

// Collects every "NAME [ ] = { ... }" and "NAME = { ... }"; everything else
// (types, qualifiers, declarations without initializer) is passed over.
bool OndraHeaderReader::parse(std::vector<Initializer>& found)
{
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i].kind != Token::name)
            continue;
        size_t at = i + 1;
        const bool array = is(tokens[at], '[') && is(tokens[at + 1], ']');
        if (array)
            at += 2;
        if (!is(tokens[at], '=') || !is(tokens[at + 1], '{'))
            continue;
        Initializer init{textOf(tokens[i]), array, tokens[i].line, 0, at + 2, 0};
        for (at += 2;; ++at) {
            const Token& t = tokens[at];
            if (t.kind == Token::end)
                return fail(init.line, L"'{' von " + wide(init.name) + L" wird nicht geschlossen.");
            if (is(t, '}')) {
                init.closingLine = t.line;
                break;
            }
            if (t.kind == Token::symbol)
                return fail(t.line, L"unerwartet '" + wide(textOf(t)) + L"' in " + wide(init.name) + L".");
            if (!t.commaAfter && !is(tokens[at + 1], '}'))
                return fail(tokens[at + 1].line, L"',' fehlt nach '" + wide(textOf(t)) + L"' in " + wide(init.name) + L".");
        }
        init.count = at - init.first;
        found.push_back(init);
        i = at;
    }
    return true;
}

// Expands one frame's runs into `pixels` (row by row); the values are read
// column by column, top to bottom.
bool OndraHeaderReader::expand(const Initializer& data, std::vector<unsigned short>* pixels)
{
    const unsigned long long total = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height);
    if (pixels)
        pixels->assign(static_cast<size_t>(total), 0);
    unsigned long long filled = 0;
    const Token* items = &tokens[data.first];
    for (size_t i = 0; i < data.count; ++i) {
        const Token& t = items[i];
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
            const Token& c = items[++i];
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
    tokens.clear();
    width = height = 0;
    valueCount = 0;
    source = text;
    std::vector<Initializer> found;
    if (length > 0xFFFFFFF0u)
        return fail(1, L"die Datei ist zu gro\xDF.");
    const bool parsed = tokenize(length) && parse(found) && interpret(found, pixels);
    tokens.clear();
    tokens.shrink_to_fit();
    return parsed;
}

bool OndraHeaderReader::interpret(const std::vector<Initializer>& found, bool pixels)
{
    // The record: { 'b', frames, width, height, table }.
    const Initializer* record = nullptr;
    std::map<std::string, const Initializer*> arrays;
    for (const Initializer& init : found) {
        if (init.array)
            arrays[init.name] = &init;
        else if (!record && init.count > 0 && tokens[init.first].kind == Token::character)
            record = &init;
    }
    if (!record)
        return fail(tokens.back().line, L"kein BitmapHeader-Datensatz { 'b', Bilder, Breite, H\xF6he, Tabelle } gefunden.");
    const Token* fields = &tokens[record->first];
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
    for (size_t k = 0; k < table->second->count; ++k) {
        const Token& entry = tokens[table->second->first + k];
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
