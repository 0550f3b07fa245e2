#include "NResourceArchive.h"

#include <cstring>
#include <vector>

#include "NResources.h"

namespace {

// The marker words scrambled, so that the program image never holds them;
// volatile, so the compiler cannot fold the plain words into the image.
volatile unsigned char magicScramble = 0x5C;
const unsigned char startScrambled[6] = {'n' ^ 0x5C, 'e' ^ 0x5C, 'k' ^ 0x5C, 'r' ^ 0x5C, 'e' ^ 0x5C, 's' ^ 0x5C};
const unsigned char endScrambled[6] = {'n' ^ 0x5C, 'e' ^ 0x5C, 'k' ^ 0x5C, 'e' ^ 0x5C, 'n' ^ 0x5C, 'd' ^ 0x5C};

void unscramble(const unsigned char* scrambled, char bytes[6])
{
    for (int i = 0; i < 6; ++i)
        bytes[i] = static_cast<char>(scrambled[i] ^ magicScramble);
}

const int trailerLength = 10;

}  // namespace

NResourceArchive::NResourceArchive(Source& source)
    : source(source), size(0), start(0), end(0), position(0), tooLong(false), withoutTrailer(false),
      headerLength(0), wordA(0), wordB(0)
{
}

NResourceArchive::~NResourceArchive() {}

const char* NResourceArchive::getName() const { return getClassName(); }
const char* NResourceArchive::getClassName() const { return "NResourceArchive"; }

void NResourceArchive::startMagic(char bytes[6]) { unscramble(startScrambled, bytes); }
void NResourceArchive::endMagic(char bytes[6]) { unscramble(endScrambled, bytes); }

bool NResourceArchive::readInt(long long offset, int& value)
{
    unsigned char bytes[4];
    if (!source.readAt(offset, bytes, 4))
        return false;
    value = static_cast<int>(static_cast<unsigned int>(bytes[0]) | static_cast<unsigned int>(bytes[1]) << 8 |
                             static_cast<unsigned int>(bytes[2]) << 16 | static_cast<unsigned int>(bytes[3]) << 24);
    return true;
}

bool NResourceArchive::fail(const NString& readerReason, const NString& text)
{
    reason = readerReason;
    explanation = text;
    return false;
}

long long NResourceArchive::findLast(const char* bytes, int count, long long limit)
{
    // Backwards in pieces, each overlapping the next by count - 1 bytes.
    const long long piece = 1 << 16;
    std::vector<char> buffer;
    for (long long high = limit; high > 0;) {
        const long long low = high > piece ? high - piece : 0;
        const long long readEnd = high + count - 1 < size ? high + count - 1 : size;
        if (readEnd - low < count)
            return -1;
        buffer.resize(static_cast<size_t>(readEnd - low));
        if (!source.readAt(low, buffer.data(), static_cast<int>(buffer.size())))
            return -1;
        for (long long p = high - 1; p >= low; --p)
            if (p + count <= readEnd && memcmp(&buffer[static_cast<size_t>(p - low)], bytes, count) == 0)
                return p;
        high = low;
    }
    return -1;
}

bool NResourceArchive::open()
{
    char endBytes[6], startBytes[6], tail[6];
    endMagic(endBytes);
    startMagic(startBytes);
    size = source.getSize();
    tooLong = false;
    withoutTrailer = false;
    end = 0;
    reason = "";
    if (size >= trailerLength && source.readAt(size - trailerLength, tail, 6) && memcmp(tail, endBytes, 6) == 0) {
        end = size;
    } else {
        // Something was appended behind the trailer, or there is no archive.
        reason = "Ressourcen-Endekennung nicht vorhanden.";
        const long long found = size >= 6 ? findLast(endBytes, 6, size - 5) : -1;
        if (found <= 0)
            return fail(reason, "Keine Endekennung gefunden.");
        end = found + trailerLength;
        tooLong = true;
    }
    int startOffset = 0;
    if (!readInt(end - 4, startOffset))
        return fail("Konnte Startoffset nicht lesen.", "Der Startoffset hinter der Endekennung fehlt.");
    if (startOffset > size || startOffset < NResources::archiveMinimumStart) {
        NString text;
        text.format("Der Startoffset %d ist ung\xFCltig.", startOffset);
        return fail(reason, text);
    }
    start = startOffset;
    char magic[6];
    if (!source.readAt(start, magic, 6) || memcmp(magic, startBytes, 6) != 0)
        return fail(reason, "Am Startoffset steht keine Archiv-Kennung.");
    // The blocks cannot begin inside the three header words.
    if (!readInt(start + 6, headerLength) || !readInt(start + 10, wordA) || !readInt(start + 14, wordB) ||
        headerLength < 12 || start + 6 + headerLength > size)
        return fail(reason, "Der Kopf ist unvollst\xE4ndig.");
    position = start + 6 + headerLength;
    return true;
}

bool NResourceArchive::openWithoutTrailer()
{
    char header[18];
    startMagic(header);
    const unsigned char words[12] = {12, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    memcpy(header + 6, words, sizeof words);
    size = source.getSize();
    const long long found = size >= 18 ? findLast(header, 18, size - 17) : -1;
    if (found < NResources::archiveMinimumStart)
        return false;
    start = found;
    headerLength = 12;
    wordA = 1;
    wordB = 0;
    position = start + 18;
    end = size + trailerLength;  // blocks may reach the end of the file
    tooLong = false;
    withoutTrailer = true;
    return true;
}

NResourceArchive::Step NResourceArchive::next(Block& found)
{
    badName = "";
    if (withoutTrailer) {
        char endBytes[6], rest[trailerLength];
        endMagic(endBytes);
        const long long left = size - position;
        if (left == 0 || (left < trailerLength && source.readAt(position, rest, static_cast<int>(left)) &&
                          memcmp(rest, endBytes, left < 6 ? static_cast<size_t>(left) : 6) == 0)) {
            fail("Ressourcen-Endekennung nicht vorhanden.",
                 "Die Endekennung fehlt: das Archiv ist abgeschnitten.");
            return failure;
        }
    } else if (position == end - trailerLength) {
        return finished;
    }
    unsigned char identifier = 0;
    if (!source.readAt(position, &identifier, 1)) {
        fail("Fehler beim Lesen der Kennung", "Ein Block ist unvollst\xE4ndig.");
        return failure;
    }
    ++position;
    if (identifier == 's')
        return finished;
    if (identifier != 0) {
        NString text;
        text.format("unbekannte Blockkennung: %d", identifier);
        fail(text, text);
        return failure;
    }
    int nameLength = 0;
    if (!readInt(position, nameLength)) {
        fail("Fehler beim Lesen der Namens-L\xE4nge", "Ein Block ist unvollst\xE4ndig.");
        return failure;
    }
    position += 4;
    if (nameLength < 1 || nameLength > NResources::archiveMaximumNameLength) {
        NString text;
        text.format("Ung\xFCltige Namens-L\xE4nge: %d", nameLength);
        fail(text, text);
        return failure;
    }
    char nameBytes[NResources::archiveMaximumNameLength];
    if (!source.readAt(position, nameBytes, nameLength)) {
        fail("Fehler beim Lesen des Namens", "Ein Block ist unvollst\xE4ndig.");
        return failure;
    }
    position += nameLength;
    const NString name(nameBytes, nameLength);
    if (memchr(nameBytes, 0, static_cast<size_t>(nameLength)) || !NResources::isPlainFileName(name)) {
        // The reader shows the name only up to a zero byte it may hide.
        badName = name;
        fail(NString("Ung\xFCltiger Dateiname im Archiv: ") + name.getBuffer(), "Ung\xFCltiger Dateiname im Archiv");
        return failure;
    }
    int lengthBits = 0;
    if (!readInt(position, lengthBits)) {
        fail("Fehler beim Lesen der Daten-L\xE4nge", "Ein Block ist unvollst\xE4ndig.");
        return failure;
    }
    position += 4;
    const unsigned int dataLength = static_cast<unsigned int>(lengthBits);
    // A length beyond the archive's end cannot be read: said before anyone
    // asks for that much memory.
    const long long available = end - trailerLength - position;
    if (available < 0 || dataLength > available) {
        NString text;
        text.format("Fehler beim Lesen der Daten: %s %u", name.getBuffer(), dataLength);
        fail(text, withoutTrailer ? "Ein Block ist unvollst\xE4ndig." : "Die Bl\xF6" "cke reichen \xFC" "ber die Endekennung.");
        return failure;
    }
    found.name = name;
    found.dataLength = dataLength;
    found.dataOffset = position;
    position += dataLength;
    return block;
}

bool NResourceArchive::readData(const Block& found, unsigned char* buffer, unsigned char key)
{
    if (found.dataLength > 0 && !source.readAt(found.dataOffset, buffer, static_cast<int>(found.dataLength))) {
        NString text;
        text.format("Fehler beim Lesen der Daten: %s %u", found.name.getBuffer(), found.dataLength);
        return fail(text, text);
    }
    for (unsigned int i = 0; i < found.dataLength; ++i)
        buffer[i] ^= key;
    return true;
}
