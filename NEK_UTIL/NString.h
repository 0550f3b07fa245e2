#ifndef NEK_NSTRING_H
#define NEK_NSTRING_H

#include <cstdarg>

// OLE's VARIANT (oaidl.h), declared here so users need no Windows headers.
struct tagVARIANT;

// NString: zero-terminated 8-bit ANSI text with its length beside it.
// Positions and lengths are 0-based byte counts; "not found" is -1.
// Every assignment passes the language lookup (NLanguage::translate), so
// marked literals are translated wherever they are stored.

class NString {
public:
    NString();
    NString(const NString& other);
    NString(const char* text);
    NString(const char* text, int length);
    explicit NString(char c);
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NString();

    // --- assignment (replaces the whole content) ---------------------------
    void set(const char* text, int length = -1);
    NString& operator=(const NString& other);
    NString& operator=(const char* text);
    NString& operator=(char c);
    NString& operator=(int value);
    NString& operator=(double value);

    // --- wide text and OLE automation (NStringEncodings.cpp) -------------
    // `bstr` must be a real BSTR: its length is read from the length prefix.
    // Explicit, so a plain wide literal never slips in by implicit conversion.
    explicit NString(const wchar_t* bstr);
    explicit NString(const tagVARIANT& variant);
    NString& operator=(const wchar_t* bstr);
    // A variant that cannot be converted to text leaves the string unchanged.
    NString& operator=(const tagVARIANT& variant);
    // UTF-16 copy of the text, valid until the next call or the string's end.
    const wchar_t* toWide();

    // --- access -----------------------------------------------------------
    int getLength() const { return length; }
    bool isEmpty() const { return length < 1; }
    const char* getBuffer() const { return buffer; }
    const char* getBufferOrNull() const { return length > 0 ? buffer : nullptr; }
    operator const char*() const { return buffer; }
    char getAt(int index) const;
    bool setAt(int index, char c);
    int getCapacity() const { return capacity; }
    int getPrecision() const { return precision; }
    void setPrecision(int digits);

    // --- appending ---------------------------------------------------------
    void append(const char* other, int maxLength = -1);
    NString& operator+=(const NString& other);
    NString& operator+=(const char* other);
    NString& operator+=(char c);
    NString& operator+=(int value);
    void appendRepeated(const char* other, int count);
    void format(const char* fmt, ...) __attribute__((format(gnu_printf, 2, 3)));
    void appendFormat(const char* fmt, ...) __attribute__((format(gnu_printf, 2, 3)));
    friend NString operator+(const NString& a, const NString& b);

    // --- substrings --------------------------------------------------------
    NString mid(int start, int count) const;
    NString mid(int start) const;
    NString left(int n) const;
    NString right(int n) const;

    // --- searching ---------------------------------------------------------
    int find(const char* what, int start = 0, bool ignoreCase = false) const;
    int findChar(char c, int start = 0) const;
    int findLastChar(char c) const;
    int findReverse(const char* what, bool ignoreCase = false) const;
    int countOf(const char* what) const;

    // --- editing in place --------------------------------------------------
    void insert(int pos, const char* other);
    void remove(int pos, int count = -1);
    int replace(const char* what, const char* with, bool repeat = false);
    void replaceChars(const char* set, char c);
    void mapChars(const char* from, const char* to);
    NString cutToken(const char* separator);
    bool appendToken(const char* separator, const char* item, bool unique = false,
                     bool allowEmpty = false);

    // --- comparison --------------------------------------------------------
    int compare(const char* other, bool ignoreCase = false) const;
    bool operator==(const NString& other) const;
    bool operator==(const char* other) const;
    bool operator!=(const NString& other) const;
    bool operator!=(const char* other) const;
    bool operator<(const NString& other) const;
    bool operator>(const NString& other) const;
    bool operator<=(const NString& other) const;
    bool operator>=(const NString& other) const;
    bool startsWith(const char* other, bool ignoreCase = false) const;
    bool endsWith(const char* other, bool ignoreCase = false) const;

    // --- case and blanks ---------------------------------------------------
    void makeLower();
    void makeUpper();
    void trim();
    void trimLeft();
    void trimRight();

    // --- numbers -----------------------------------------------------------
    int toInt() const;
    double toDouble() const;
    static NString fromNumber(int value, bool thousands = false, int radix = 10,
                              int minWidth = -1);

    // --- encodings and checks (NStringEncodings.cpp) ----------------------
    void urlEncode();
    void urlDecode();
    void htmlEncode();
    void htmlDecode();
    static NString htmlEncodeChar(char c);
    void escape();
    void unescape();
    // Length of the quoted literal at the start of `text`, quotes included;
    // 0 when there is none or it is not closed.
    static int quotedLength(const char* text);
    static NString extractQuoted(NString& source, int pos, bool removeFromSource = false,
                                 bool unescapeIt = false);
    // kind: 'h' 0x-hex, 'b' 0b-binary, 'c' #colour, 'd' integer, 'f' decimal.
    bool isNumber(char kind, bool ignoreBlanks = false) const;

private:
    // Replaces the text by `count` bytes as they are (no language lookup).
    void store(const char* bytes, int count);
    void setFromBstr(const wchar_t* bstr);
    // Makes room for n characters; the block follows n in 128-byte steps.
    void ensureRoom(int n);
    void formatAt(int offset, const char* fmt, va_list args);
    void appendBytes(const char* bytes, int count);
    int replacePass(const char* what, int whatLength, const char* with, int withLength);
    bool ownsPointer(const char* p) const;

    int precision;
    int capacity;
    char* buffer;
    int length;
    wchar_t* wideBuffer;
    int wideBufferSize;
};

#endif
