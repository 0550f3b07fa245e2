#include "OndraSourceText.h"

#include <cstdint>
#include <cstring>

namespace {

// "0x%04X, " for every 16-bit value, eight bytes each: one load per value
// is faster than forming the digits.
const uint64_t* valueTexts()
{
    static const uint64_t* table = [] {
        static uint64_t texts[65536];
        static const char hex[] = "0123456789ABCDEF";
        for (unsigned v = 0; v < 65536; ++v) {
            const char text[8] = {'0', 'x', hex[v >> 12], hex[(v >> 8) & 15], hex[(v >> 4) & 15], hex[v & 15],
                                  ',', ' '};
            memcpy(&texts[v], text, 8);
        }
        return texts;
    }();
    return table;
}

// The run-length coding: a pending value and its count, carried across
// columns. A run holds at most 255 values; a run of one is written as the
// value alone, a longer one as the marker (count << 8) + 0x30 and the value.
// `sink` gets every written value and every line end.
template <class Sink>
void code(OndraSourceText::Columns& columns, int width, int height, Sink& sink)
{
    unsigned pending = 0;
    unsigned count = 0;
    auto emit = [&] {
        if (count != 1)
            sink.value((count << 8) + 0x30);
        sink.value(pending);
    };
    for (int x = 0; x < width; ++x) {
        const unsigned short* values = columns.column(x);
        int y = 0;
        if (x == 0) {
            pending = values[0];
            count = 1;
            y = 1;
        }
        for (; y < height; ++y) {
            const unsigned v = values[y];
            if (v == pending && count <= 254) {
                ++count;
            } else {
                emit();
                pending = v;
                count = 1;
            }
        }
        sink.lineEnd();
    }
    emit();
    sink.lastLineEnd();
}

struct Counter {
    unsigned long long values = 0;
    void value(unsigned) { ++values; }
    void lineEnd() {}
    void lastLineEnd() {}
};

const size_t progressStep = 4 << 20;

struct Writer {
    char* out;
    const uint64_t* texts;
    OndraSourceText::Progress* progress;
    char* reported;
    void value(unsigned v)
    {
        memcpy(out, &texts[v], 8);
        out += 8;
    }
    // Closes the current line and opens the next.
    void lineEnd()
    {
        memcpy(out, "\r\n\t\t", 4);
        out += 4;
        if (progress && static_cast<size_t>(out - reported) > progressStep) {
            reported = out - 2;
            progress->written(reported);
        }
    }
    void lastLineEnd()
    {
        memcpy(out, "\r\n", 2);
        out += 2;
    }
};

}  // namespace

OndraSourceText::Columns::~Columns() {}
OndraSourceText::Progress::~Progress() {}

OndraSourceText::OndraSourceText(const NString& name, int width, int height)
    : symbol(name), width(width), height(height)
{
}

const char* OndraSourceText::getName() const { return getClassName(); }
const char* OndraSourceText::getClassName() const { return "OndraSourceText"; }
OndraSourceText::~OndraSourceText() {}

NString OndraSourceText::headText() const
{
    const NString& n = symbol;
    return "#ifndef _bmp" + n + "_\r\n#define _bmp" + n + "_\r\n\r\n// header \r\n#define bmp" + n +
           "\t((BitmapHeader*)_bmp_" + n + ")\r\n\r\n#ifndef MyAppCpp\r\n\textern uint16_t _bmp_" + n +
           "[];\r\n//cpp\r\n#else\r\n\tconst color_t _bmp_data_" + n + "[] = {\r\n";
}

NString OndraSourceText::tailText() const
{
    const NString& n = symbol;
    NString tail = "\r\n\t};\r\n\tconst color_t* _bmp_frames_" + n + "[] = {_bmp_data_" + n +
                   "};\r\n\tBitmapHeader _bmp_" + n + " = { 'b', ";
    // The frame count is always 1: one picture gives one frame.
    tail.appendFormat("1, %d, %d , _bmp_frames_", width, height);
    return tail + n + " };\r\n#endif\r\n#endif\r\n";
}

unsigned long long OndraSourceText::measure(Columns& columns) const
{
    Counter counter;
    code(columns, width, height, counter);
    // Every data line is two tabs, its values and CR LF; the comma after the
    // very last value is left out.
    const unsigned long long lines = static_cast<unsigned long long>(width) + 1;
    return static_cast<unsigned long long>(headText().getLength()) + lines * 4 + counter.values * 8 - 1 +
           static_cast<unsigned long long>(tailText().getLength());
}

char* OndraSourceText::write(Columns& columns, char* out, Progress* progress) const
{
    const NString head = headText();
    memcpy(out, head.getBuffer(), static_cast<size_t>(head.getLength()));
    Writer writer{out + head.getLength(), valueTexts(), progress, out};
    memcpy(writer.out, "\t\t", 2);
    writer.out += 2;
    code(columns, width, height, writer);
    // The comma after the very last value goes.
    char* end = writer.out;
    end[-4] = ' ';
    end[-3] = '\r';
    end[-2] = '\n';
    --end;
    const NString tail = tailText();
    memcpy(end, tail.getBuffer(), static_cast<size_t>(tail.getLength()));
    return end + tail.getLength();
}

NString OndraSourceText::framesHead(const std::vector<unsigned>& delays) const
{
    const NString& n = symbol;
    NString comment = "// frame delays (ms):";
    for (size_t k = 0; k < delays.size(); ++k)
        comment.appendFormat(k == 0 ? " %u" : ", %u", delays[k]);
    return "#ifndef _bmp" + n + "_\r\n#define _bmp" + n + "_\r\n" + comment + "\r\n\r\n// header \r\n#define bmp" + n +
           "\t((BitmapHeader*)_bmp_" + n + ")\r\n\r\n#ifndef MyAppCpp\r\n\textern uint16_t _bmp_" + n +
           "[];\r\n//cpp\r\n#else\r\n";
}

NString OndraSourceText::frameOpening(size_t k) const
{
    NString opening = "\tconst color_t _bmp_data_" + symbol;
    opening.appendFormat("_%u[] = {\r\n\t\t", static_cast<unsigned>(k));
    return opening;
}

NString OndraSourceText::framesTail(size_t count) const
{
    const NString& n = symbol;
    NString table = "\tconst color_t* _bmp_frames_" + n + "[] = {";
    for (size_t k = 0; k < count; ++k) {
        table += (k == 0 ? "_bmp_data_" : ", _bmp_data_") + n;
        table.appendFormat("_%u", static_cast<unsigned>(k));
    }
    table += "};\r\n\tBitmapHeader _bmp_" + n + " = { 'b', ";
    table.appendFormat("%u, %d, %d , _bmp_frames_", static_cast<unsigned>(count), width, height);
    return table + n + " };\r\n#endif\r\n#endif\r\n";
}

namespace {
const char frameClosing[] = "\r\n\t};\r\n";
}

unsigned long long OndraSourceText::measureFrames(const std::vector<Columns*>& frames,
                                                  const std::vector<unsigned>& delays) const
{
    unsigned long long length = static_cast<unsigned long long>(framesHead(delays).getLength()) +
                                static_cast<unsigned long long>(framesTail(frames.size()).getLength());
    const unsigned long long lines = static_cast<unsigned long long>(width) + 1;
    for (size_t k = 0; k < frames.size(); ++k) {
        Counter counter;
        code(*frames[k], width, height, counter);
        // As for one picture: two tabs and CR LF a line, no comma after the last value.
        length += static_cast<unsigned long long>(frameOpening(k).getLength()) - 2 + lines * 4 + counter.values * 8 - 1 +
                  (sizeof frameClosing - 1);
    }
    return length;
}

char* OndraSourceText::writeFrames(const std::vector<Columns*>& frames, const std::vector<unsigned>& delays,
                                   char* out, Progress* progress) const
{
    const NString head = framesHead(delays);
    memcpy(out, head.getBuffer(), static_cast<size_t>(head.getLength()));
    out += head.getLength();
    for (size_t k = 0; k < frames.size(); ++k) {
        const NString opening = frameOpening(k);
        memcpy(out, opening.getBuffer(), static_cast<size_t>(opening.getLength()));
        Writer writer{out + opening.getLength(), valueTexts(), progress, out};
        code(*frames[k], width, height, writer);
        char* end = writer.out;
        end[-4] = ' ';
        end[-3] = '\r';
        end[-2] = '\n';
        --end;
        memcpy(end, frameClosing, sizeof frameClosing - 1);
        out = end + sizeof frameClosing - 1;
    }
    const NString tail = framesTail(frames.size());
    memcpy(out, tail.getBuffer(), static_cast<size_t>(tail.getLength()));
    return out + tail.getLength();
}
