

#include "GuiTestSupport.h"
#include "NNumList.h"
#include "NRegExp.h"
#include "NStringList.h"

namespace {

std::string joined(NStringList& list) { return str(list.join("|")); }
std::string joined(NNumList& list) { return str(list.toText(",")); }

}  // namespace

TEST(NRegExp, ModifiersAndMatchOptions)
{
    const struct { const char* expression; const char* text; int position; } cases[] = {
        {"/a(b+)/i", "xABbb ab", 1}, {"/a/I", "A", -1},  // letters are case-sensitive
        {"/^b/m", "a\nb", 2},        {"/^b/", "a\nb", -1},
        {"/a.b/s", "a\nb", 0},       {"/a.b/", "a\nb", -1},
        {"/a b # c/x", "ab", 0},     {"/a b/", "ab", -1},   {"/[ ]/x", "a b", 1},
        {"/b/A", "ab", -1},          {"/a$/D", "a\n", -1},  {"/a$/", "a\n", 0},
        {"/^.$/u", "\xC3\xA4", 0},   {"/^.$/", "\xC3\xA4", -1},
        // Any first character is the delimiter; its last occurrence ends the pattern.
        {"#a/b#i", "xA/B", 1},       {"/a/b/", "xa/b", 1},
        // With the delimiter only once the pattern is empty and the rest modifiers.
        {"/abc", "zzz", 0},          {"", "zzz", 0},
    };
    MessageBoxCatcher boxes;
    for (const auto& c : cases) {
        NRegExp re;
        ASSERT_TRUE(re.compile(c.expression)) << c.expression;
        EXPECT_EQ(re.findOne(c.text), c.position) << c.expression;
    }

    // Options of one search over "baa" from offset 0: the match's start and end.
    const struct { const char* expression; int options; int start, end; } searches[] = {
        {"/a+/U", 0, 1, 2},       {"/a+/", 0, 1, 3},     {"/a+/", NRegExp::OPT_ANCHORED, -1, -1},
        {"/^b/", NRegExp::OPT_NOTBOL, -1, -1},  {"/a$/", NRegExp::OPT_NOTEOL, -1, -1},
        {"/x*/", 0, 0, 0},        {"/x*/", NRegExp::OPT_NOTEMPTY, -1, -1},
        {"/x*/", NRegExp::OPT_NOTEMPTY_ATSTART, 1, 1},
    };
    for (const auto& s : searches) {
        NRegExp re;
        ASSERT_TRUE(re.compile(s.expression));
        EXPECT_EQ(re.match("baa", 0, s.options), s.start >= 0) << s.expression << s.options;
        const int found = re.resultCount > 0 ? re.offsets[0] * 10 + re.offsets[1] : -11;
        EXPECT_EQ(found, s.start * 10 + s.end) << s.expression << s.options;
    }
}

TEST(NRegExp, SyntaxErrorsMissingPatternsAndBadInputEndWithAnError)
{
    NRegExp re;
    MessageBoxCatcher boxes(12);
    EXPECT_FALSE(re.compile("/a(/im"));
    expectErrorBox(boxes[0], "Fehlerhafte Syntax im regul\xE4ren Ausdruck:\r\na(\r\n Modifier: im\r\n"
                             " an Offset: 2\r\nFehler: missing closing parenthesis");
    // A failed compile drops the pattern compiled before it.
    ASSERT_TRUE(re.compile("/a/"));
    EXPECT_FALSE(re.compile("/(/"));
    EXPECT_EQ(re.compiled, nullptr);
    EXPECT_EQ(re.findOne("a"), -1);
    expectErrorBox(boxes[2], "Fehler: NRegExp::findOne() wurde ohne regul\xE4ren Ausdruck aufgerufen und es "
                             "lag keiner vor.");
    EXPECT_EQ(str(re.replace("abc", "x")), "abc");
    NStringList results;
    EXPECT_EQ(re.findAll("abc", results), 0);
    // A search without a pattern is refused by the engine like any bad argument.
    EXPECT_FALSE(re.match("abc", 0, 0));
    EXPECT_EQ(re.resultCount, -2);
    // Convenience forms run only when their expression compiles.
    EXPECT_EQ(re.findAll("/(/", "(((", results), 0);
    EXPECT_EQ(results.getCount(), 0);
    EXPECT_EQ(re.findOne("/b/", "abc"), 1);

    // Backtracking without end is cut off by the match limit; a replacement
    // cut short leaves the text unchanged.
    const std::string many = std::string(40, 'a') + "!";
    ASSERT_TRUE(re.compile("/^(a+)+$/"));
    EXPECT_EQ(re.findOne(many.c_str()), -1);
    ASSERT_TRUE(re.compile("/(a+)+$|!/"));
    EXPECT_EQ(str(re.replace(("!" + many).c_str(), "x")), "!" + many);
    // Broken UTF-8 is refused under "u", also where the search trusts its text.
    ASSERT_TRUE(re.compile("/a/u"));
    EXPECT_EQ(re.findOne("b\xFF" "a"), -1);
    EXPECT_EQ(re.findAll("a\xC3", results), 0);
    EXPECT_EQ(re.findOne("/a/", "b\xFF" "a"), 2);
    // A start offset outside the text is reported, not read.
    EXPECT_FALSE(re.match("abc", 4, 0));
    const char* const texts[] = {"NRegExp::replace()", "NRegExp::findAll()", "Fehler (-2)bei NString::match()", "(",
                                 "Fehler (-8)bei NString::match()", "", "Fehler (-10)bei NString::match()", "",
                                 "Fehler (-24)bei NString::match()"};
    for (size_t i = 0; i < 9; ++i) EXPECT_NE(boxes[i + 3].text.find(texts[i]), std::string::npos) << i;
}

TEST(NRegExp, FindAllCollectsGroupsAndPositionsAndReplaceFillsTheTemplate)
{
    NRegExp re;
    NStringList results;
    NNumList positions;
    ASSERT_TRUE(re.compile("/a(b+)/i"));
    EXPECT_EQ(re.findAll("xABbb ab", results, &positions), 2);
    EXPECT_TRUE(re.matched);
    EXPECT_EQ(joined(results), "ABbb|Bbb|ab|b");
    EXPECT_EQ(joined(positions), "1,2,6,7");

    NStringList groups;  // the last match's
    EXPECT_EQ(re.getGroups(groups), 2);
    EXPECT_EQ(joined(groups), "ab|b");

    // An unset group adds an empty text at position -1.
    results.removeAll();
    positions.removeAll();
    EXPECT_EQ(re.findAll("/(x)?(\\d)/", "1x2", results, &positions), 2);
    EXPECT_EQ(joined(results), "1||1|x2|x|2");
    EXPECT_EQ(joined(positions), "0,-1,0,1,1,2");

    EXPECT_EQ(re.findAll("/z/", "abc", results), 0);
    EXPECT_FALSE(re.matched);

    // After an empty match only an anchored non-empty one is taken.
    positions.removeAll();
    EXPECT_EQ(re.findAll("/x*/", "ab", results, &positions), 1);
    EXPECT_EQ(joined(positions), "0");

    // The empty match at the end of "aa" ends the search.
    positions.removeAll();
    EXPECT_EQ(re.findAll("/a*/", "aa", results, &positions), 2);
    EXPECT_EQ(joined(positions), "0,2");
    // Once set, the rule stays: "b" right behind the empty match is taken,
    // then the blank ends the search although an empty match would fit there.
    results.removeAll();
    EXPECT_EQ(re.findAll("/a*|b/", "b b", results), 2);
    EXPECT_EQ(joined(results), "|b");
    EXPECT_EQ(re.findAll("/x*/", "", results), 1);

    EXPECT_EQ(str(re.replace("/(\\d+)/", "a1b22", "[{{1}}:{{nr}}]")), "a[1:1]b[22:2]");
    EXPECT_TRUE(re.matched);

    // Group texts are not searched for placeholders again; numbers beyond
    // the pattern's groups stay as written; unset groups are empty.
    EXPECT_EQ(str(re.replace("/<(.*?)>/", "<{{0}}>", "[{{1}}]")), "[{{0}}]");
    EXPECT_EQ(str(re.replace("/(a)(x)?/", "ab", "{{{2}}{{0}}{{3}}{{nr}}}")), "{a{{3}}1}b");

    // An empty match steps over one character (a whole one in UTF-8).
    EXPECT_EQ(str(re.replace("/x*/", "ab", "-")), "-a-b-");
    EXPECT_EQ(str(re.replace("/x*/u", "\xC3\xA4\xC3\xB6", "-")), "-\xC3\xA4-\xC3\xB6-");
    // Anchors see the whole text, not the rest behind a match.
    EXPECT_EQ(str(re.replace("/^a/", "aaa", "x")), "xaa");
}
