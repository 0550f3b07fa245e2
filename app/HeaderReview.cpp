#include "HeaderReview.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <new>

#include "NConsole.h"
#include "NWidePath.h"
#include "PreviewImage.h"

HeaderReview::HeaderReview(NConsole& err) : err(err) {}

const char* HeaderReview::getName() const { return getClassName(); }
const char* HeaderReview::getClassName() const { return "HeaderReview"; }
HeaderReview::~HeaderReview() {}

bool HeaderReview::read(const char* text, size_t length, bool pixels)
{
    // A big text's values may not fit beside it in a 32-bit process.
    try {
        return reader.read(text, length, pixels);
    } catch (const std::bad_alloc&) {
        problem = L"zu wenig Speicher, um den Text zur\xFC" L"ckzulesen.";
        return false;
    }
}

bool HeaderReview::readGenerated(const char* text, size_t length, const std::string& symbol, bool pixels)
{
    if (symbol.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_") == std::string::npos)
        return read(text, length, pixels);
    std::string renamed;
    try {
        renamed.assign(text, length);
        for (size_t at = renamed.find(symbol); at != std::string::npos; at = renamed.find(symbol, at + 7))
            renamed.replace(at, symbol.size(), "picture");
    } catch (const std::bad_alloc&) {
        problem = L"zu wenig Speicher, um den Text zur\xFC" L"ckzulesen.";
        return false;
    }
    return read(renamed.data(), renamed.size(), pixels);
}

bool HeaderReview::readFile(const std::wstring& path)
{
    // A text beyond 1 GB is no header of a picture GDI+ could have held.
    const bool ok = NWidePath::readWholeFile(path, 0x3FFFFFFFULL, fileText);
    if (!ok) {
        problem = L"die Datei l\xE4sst sich nicht lesen.";
        return false;
    }
    return read(reinterpret_cast<const char*>(fileText.data()), fileText.size(), true);
}

std::wstring HeaderReview::statsLine(const std::wstring& label) const
{
    const unsigned long long frames = static_cast<unsigned long long>(reader.getFrameCount());
    const unsigned long long values = reader.getValueCount();
    const unsigned long long data = 2 * values;
    const unsigned long long record = data + frames * pointerBytes + recordBytes;
    const unsigned long long plain = 2ULL * static_cast<unsigned long long>(reader.getWidth()) *
                                     static_cast<unsigned long long>(reader.getHeight()) * frames;
    wchar_t ratio[32];
    swprintf(ratio, 32, L"%.1f", plain ? 100.0 * static_cast<double>(data) / static_cast<double>(plain) : 0.0);
    std::wstring percent(ratio);
    const size_t point = percent.find(L'.');
    if (point != std::wstring::npos)
        percent[point] = L',';
    return L"Statistik " + label + L": " + std::to_wstring(reader.getWidth()) + L"x" +
           std::to_wstring(reader.getHeight()) + L", " + std::to_wstring(frames) + L" Frames, " +
           std::to_wstring(values) + L" 16-Bit-Werte, Flash: " + std::to_wstring(data) + L" Byte Daten, " +
           std::to_wstring(record) + L" Byte ganzer Datensatz, " + percent + L" % von " + std::to_wstring(plain) +
           L" Byte unkodiert";
}

bool HeaderReview::savePreview(const std::wstring& path)
{
    PreviewImage preview(reader.getWidth(), reader.getHeight(), reader.getFrameCount());
    for (int k = 0; k < reader.getFrameCount(); ++k)
        preview.setFrame(k, reader.frame(k));
    std::wstring problem;
    if (preview.save(path, problem))
        return true;
    err.write(L"bmp2ondra: Vorschau kann nicht geschrieben werden: " + path + L" (" + problem + L")\r\n");
    return false;
}
