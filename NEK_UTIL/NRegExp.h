#ifndef NEK_NREGEXP_H
#define NEK_NREGEXP_H

#include "NString.h"

class NStringList;
class NNumList;

// NRegExp: Perl-style regular expressions on NString texts, written as
// /pattern/modifiers. Option bits are the classic PCRE values below; the
// engine's own values stay inside NRegExp.cpp.
//
//   NRegExp re;
//   NStringList groups;
//   if (re.compile("/a(b+)/i"))
//       re.findAll("xABbb ab", groups);      // ABbb, Bbb, ab, b
//   re.replace("/(\\d+)/", "a1b22", "[{{1}}:{{nr}}]");   // a[1:1]b[22:2]
class NRegExp {
public:
    enum Options {
        OPT_CASELESS = 0x1,
        OPT_MULTILINE = 0x2,
        OPT_DOTALL = 0x4,
        OPT_EXTENDED = 0x8,
        OPT_ANCHORED = 0x10,
        OPT_DOLLAR_ENDONLY = 0x20,
        OPT_EXTRA = 0x40,
        OPT_NOTBOL = 0x80,
        OPT_NOTEOL = 0x100,
        OPT_UNGREEDY = 0x200,
        OPT_NOTEMPTY = 0x400,
        OPT_UTF8 = 0x800,
        OPT_NO_AUTO_CAPTURE = 0x1000,
        OPT_NO_UTF8_CHECK = 0x2000,
        OPT_NOTEMPTY_ATSTART = 0x10000000
    };
    // Room for offset pairs as the classic interface counts it: a third of
    // the vector is its work space, so 1666 pairs (the whole match and 1665
    // groups).
    enum { OFFSET_COUNT = 5000, MAX_PAIRS = OFFSET_COUNT / 3 };

    NRegExp();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NRegExp();
    NRegExp(const NRegExp&) = delete;
    NRegExp& operator=(const NRegExp&) = delete;

    // expression: delimiter, pattern, the same delimiter, modifier letters.
    bool compile(const NString& expression);
    // One search over text from byte start; options are OPT_ bits.
    bool match(const NString& text, int start, int options);
    // Start offset of the first match, or -1.
    int findOne(const NString& text);
    // Adds every group of every match to results (and, when given, each
    // group's start offset to positions); returns the number of matches.
    int findAll(const NString& text, NStringList& results, NNumList* positions = nullptr);
    // text with each match replaced by templ, where "{{i}}" stands for group
    // i (0: the whole match) and "{{nr}}" for the match's number from 1.
    NString replace(const NString& text, const NString& templ);
    // Adds the groups of the last match to results; returns how many.
    int getGroups(NStringList& results) const;

    // The same, compiling expression first; they run only when it compiles.
    int findOne(const NString& expression, const NString& text);
    int findAll(const NString& expression, const NString& text, NStringList& results,
                NNumList* positions = nullptr);
    NString replace(const NString& expression, const NString& text, const NString& templ);

    bool matched;
    void* compiled;             // the engine's compiled pattern, null without one
    NString subject;            // copy of the text last searched
    int resultCount;            // pairs found by the last search, or a negative error code
    int offsets[OFFSET_COUNT];  // start and end byte of group i at 2i and 2i+1; -1 when unset

private:
    // Searches subject; utfChecked says subject already passed the UTF-8
    // check, which the engine otherwise must do before trusting it.
    bool execute(int start, int options, bool utfChecked);
    NString getGroup(int i) const;
    NString fillTemplate(const NString& templ, int number) const;
    void release();
    static void showError(const NString& text);

    void* matchData;
    void* matchContext;
    // Pairs of the last successful search: a search loop ends with a failed
    // one, and the groups before it must stay reachable.
    int groupCount;
    int captureCount;
    bool utf;
};

#endif
