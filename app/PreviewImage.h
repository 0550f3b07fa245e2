#ifndef PREVIEWIMAGE_H
#define PREVIEWIMAGE_H

#include <memory>
#include <string>
#include <vector>

// PreviewImage: a picture's frames as the display shows them, side by side
// in one strip, made of the 16-bit values of the source text and saved as
// PNG. Each 5-bit channel is widened to 8 bits as GDI+ widens the converter
// window's 16-bit picture: the five bits, then their top three again.
class PreviewImage {
public:
    PreviewImage(int width, int height, int frames);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~PreviewImage();

    // Frame k from one 16-bit value per pixel, row by row.
    void setFrame(int k, const std::vector<unsigned short>& values);
    // The opaque 32-bit ARGB colour a 16-bit value shows.
    static unsigned int colour(unsigned int value);
    // 32-bit ARGB of the strip at (x, y).
    unsigned int pixel(int x, int y) const;
    int getStripWidth() const { return width * frames; }

    // Writes the strip as PNG through a temporary file beside `path`; false
    // with a German reason in `problem`.
    bool save(const std::wstring& path, std::wstring& problem) const;

private:
    int width;
    int height;
    int frames;
    // Null when the strip does not fit into memory.
    std::unique_ptr<unsigned int[]> strip;
};

#endif
