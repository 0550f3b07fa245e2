#ifndef MAINWND_H
#define MAINWND_H

#include "BitmapConverterWnd.h"
#include "NFrameWindow.h"

// MainWnd: the converter's main window, "Ondra Bitmap-Konverter". It keeps
// its position and size in the user configuration file and lends its whole
// client area to the converter window, which follows every size change.
class MainWnd : public NFrameWindow {
public:
    // The creation size, which is also the smallest size: room for the
    // portrait frame (320 high), the information text beside it and the
    // button column at the right edge.
    static constexpr int creationWidth = 820;
    static constexpr int creationHeight = 460;

    MainWnd();
    const char* getName() const override;
    const char* getClassName() const override;
    ~MainWnd() override;
    void onCreate(CREATESTRUCTA* creation) override;
    void onSize(int sizeType, int width, int height) override;
    LRESULT onEraseBackground(NPainter& painter) override;
    void onSetFocus(HWND previous) override;

    BitmapConverterWnd converter;
};

#endif
