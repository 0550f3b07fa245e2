#ifndef BITMAPCONVERTERWND_H
#define BITMAPCONVERTERWND_H

#include <string>

#include "ConverterBitmap.h"
#include "NButton.h"
#include "NFrameWindow.h"
#include "NStatic.h"

// BitmapConverterWnd: the converter's working area, the one child of the
// main window. It holds the generator, shows the converted picture with two
// dotted frames that mark a 320 x 240 display in landscape and portrait
// position, and offers three buttons: "Laden" loads a picture, "Ausgabe"
// puts its source text on the clipboard, "Ende" closes the program. A
// picture file dropped on the window is loaded like "Laden" does.
class BitmapConverterWnd : public NFrameWindow {
public:
    // Background of the preview.
    static constexpr int backgroundColour = 0xF0F0F0;
    // The display the dotted frames mark.
    static constexpr int displayWidth = 320;
    static constexpr int displayHeight = 240;

    BitmapConverterWnd();
    const char* getName() const override;
    const char* getClassName() const override;
    ~BitmapConverterWnd() override;
    void onCreate(CREATESTRUCTA* creation) override;
    void onPaint(NPainter& painter) override;
    void onDropFiles(NStringList& files, const NPoint& point) override;
    bool onKeyDown(wchar_t character, signed char scanCode, int virtualKey,
                   bool firstPress) override;

    void onLoad();
    void onOutput();
    void onEnd();

    // Loads, converts and generates the picture at `path` (read through
    // `widePath` when given) at its own size and shows it. A file that is
    // missing, a folder, or a name that cannot give an ANSI symbol name is
    // refused with a message box, and the previous picture and its text are gone.
    void loadPicture(const NString& path, const std::wstring& widePath = std::wstring());

    // The text the information text shows.
    static NString informationText();
    // The file types the "Laden" dialog offers.
    static NString fileFilter();

    ConverterBitmap converter;
    NButton endButton;
    NButton loadButton;
    NButton outputButton;
    NStatic infoText;

private:
    void createButton(NButton& button, const char* caption, int y, void (BitmapConverterWnd::*handler)());
};

#endif
