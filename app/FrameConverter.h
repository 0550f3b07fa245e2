#ifndef FRAMECONVERTER_H
#define FRAMECONVERTER_H

#include <string>
#include <vector>

#include "NSize.h"
#include "NString.h"
#include "OndraSourceText.h"

class ConverterBitmap;

// FrameConverter: the pixels of a picture that is turned or mirrored, or of
// every frame of an animation or page of a TIFF: each frame is put over the
// background, transformed, scaled to the target size and converted to 16-bit
// values, then kept until the text is written.
class FrameConverter {
public:
    enum Result { done, unreadable, tooBig };

    FrameConverter(int background, int rotation, char flip, const NSize& size);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~FrameConverter();

    // Converts the picture `loaded` holds (read from `path`): every frame
    // when `everyFrame`, otherwise the first only.
    Result convert(ConverterBitmap& loaded, const std::wstring& path, bool everyFrame);
    int getFrameCount() const { return static_cast<int>(frames.size()); }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    const std::vector<unsigned>& getDelays() const { return delays; }

    // The text: one frame as the converter writes it, several as an animation.
    unsigned long long measure(const NString& name);
    // Writes measure() bytes and a terminating zero.
    void write(const NString& name, char* out, OndraSourceText::Progress* progress = nullptr);

private:
    Result add(ConverterBitmap& converter);

    int background;
    int rotation;
    char flip;
    NSize size;
    int width;
    int height;
    std::vector<unsigned> delays;
    // Each frame's values, column by column.
    std::vector<std::vector<unsigned short>> frames;
};

#endif
