#include "FrameConverter.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <new>

#include "ConverterBitmap.h"
#include "FrameSequence.h"
#include "NDebug.h"
#include "PictureTransform.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// What the frames may hold at most: a 32-bit process needs room for the text too.
const unsigned long long mostFrameBytes = sizeof(void*) > 4 ? 0x100000000ULL : 0x20000000ULL;

// Stored values handed to the text column by column.
class StoredColumns : public OndraSourceText::Columns {
public:
    StoredColumns(const std::vector<unsigned short>& values, int height) : values(values), height(height) {}
    const unsigned short* column(int x) override
    {
        return &values[static_cast<size_t>(x) * static_cast<size_t>(height)];
    }

private:
    const std::vector<unsigned short>& values;
    int height;
};

// Every frame's columns, as the text takes them.
struct FrameColumns {
    FrameColumns(const std::vector<std::vector<unsigned short>>& frames, int height)
    {
        for (const std::vector<unsigned short>& values : frames) {
            owned.emplace_back(new StoredColumns(values, height));
            list.push_back(owned.back().get());
        }
    }
    std::vector<std::unique_ptr<StoredColumns>> owned;
    std::vector<OndraSourceText::Columns*> list;
};

}  // namespace

FrameConverter::FrameConverter(int background, int rotation, char flip, const NSize& size)
    : background(background), rotation(rotation), flip(flip), size(size), width(0), height(0)
{
}

const char* FrameConverter::getName() const { return getClassName(); }
const char* FrameConverter::getClassName() const { return "FrameConverter"; }
FrameConverter::~FrameConverter() {}

FrameConverter::Result FrameConverter::add(ConverterBitmap& converter)
{
    if (!converter.prepareSource())
        return tooBig;
    int w = 0, h = 0;
    std::vector<unsigned short> values;
    const unsigned long long bytes = 2ULL * static_cast<unsigned long long>(converter.targetSize.cx) *
                                     static_cast<unsigned long long>(converter.targetSize.cy) * (frames.size() + 1);
    if (bytes > mostFrameBytes)
        return tooBig;
    // Within the bound above the values may still not fit into a 32-bit process.
    try {
        if (!converter.sourceValues(values, w, h))
            return unreadable;
        frames.push_back(std::move(values));
    } catch (const std::bad_alloc&) {
        return tooBig;
    }
    width = w;
    height = h;
    return done;
}

FrameConverter::Result FrameConverter::convert(ConverterBitmap& loaded, const std::wstring& path, bool everyFrame)
{
    const PictureTransform transform(background, rotation, flip);
    frames.clear();
    delays.clear();
    FrameSequence sequence;
    const bool several = everyFrame && sequence.open(path, loaded.sourceImage) && sequence.getFrameCount() > 1;
    const int count = several ? sequence.getFrameCount() : 1;
    for (int k = 0; k < count; ++k) {
        GpBitmap* frame = nullptr;
        try {
            frame = several ? sequence.frame(k) : nullptr;
        } catch (const std::bad_alloc&) {
            return tooBig;  // the canvas of a big animation in a 32-bit process
        }
        if (several && !frame)
            return tooBig;
        GpBitmap* turned = transform.apply(frame ? frame : loaded.sourceImage);
        if (frame)
            GdipDisposeImage(frame);
        if (!turned)
            return tooBig;
        ConverterBitmap converter;
        converter.targetSize = size;
        converter.adoptImage(turned);
        const Result result = add(converter);
        if (result != done)
            return result;
        delays.push_back(several ? sequence.getDelay(k) : 0);
    }
    return done;
}

unsigned long long FrameConverter::measure(const NString& name)
{
    OndraSourceText text(name, width, height);
    FrameColumns columns(frames, height);
    const std::vector<OndraSourceText::Columns*>& list = columns.list;
    if (frames.size() == 1)
        return text.measure(*list[0]);
    return text.measureFrames(list, delays);
}

void FrameConverter::write(const NString& name, char* out, OndraSourceText::Progress* progress)
{
    OndraSourceText text(name, width, height);
    FrameColumns columns(frames, height);
    const std::vector<OndraSourceText::Columns*>& list = columns.list;
    char* end = frames.size() == 1 ? text.write(*list[0], out, progress) : text.writeFrames(list, delays, out, progress);
    *end = 0;
    globalDebug.sendLine(out);
}
