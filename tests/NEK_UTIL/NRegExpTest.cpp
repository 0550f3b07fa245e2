#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MessageBoxCatcher.h"
#include "NNumList.h"
#include "NRegExp.h"
#include "NStringList.h"

namespace {

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

std::vector<std::string> texts(NStringList& list)
{
    std::vector<std::string> result;
    for (int i = 0; i < list.getCount(); ++i)
        result.push_back(str(list.getAt(i)));
    return result;
}

std::vector<int> numbers(NNumList& list)
{
    std::vector<int> result;
    for (int i = 0; i < list.getCount(); ++i)
        result.push_back(list.getAt(i));
    return result;
}

const char* const NO_EXPRESSION = "() wurde ohne regul\xE4ren Ausdruck aufgerufen und es lag keiner vor.";

void expectErrorBox(const MessageBoxCatcher& boxes, size_t index, const std::string& text)
{
    ASSERT_GT(boxes.count(), index);
    EXPECT_EQ(boxes[index].title, "Fehler !");
    EXPECT_EQ(boxes[index].text, text);
    EXPECT_EQ(boxes[index].icon, static_cast<unsigned>(MB_ICONERROR));
}

// Position of the first match of expression in text, -1 for none.
int firstMatch(const char* expression, const NString& text)
{
    NRegExp re;
    EXPECT_TRUE(re.compile(expression)) << expression;
    return re.findOne(text);
}

}  // namespace

TEST(NRegExp, ModifiersAndMatchOptions)
{
    EXPECT_EQ(firstMatch("/a(b+)/i", "xABbb ab"), 1);
    EXPECT_EQ(firstMatch("/a/I", "A"), -1);  // letters are case-sensitive; others ignored
    EXPECT_EQ(firstMatch("/^b/m", "a\nb"), 2);
    EXPECT_EQ(firstMatch("/b/A", "ab"), -1);
    EXPECT_EQ(firstMatch("/a$/D", "a\n"), -1);
    EXPECT_EQ(firstMatch("/^.$/u", "\xC3\xA4"), 0);
    // Any first character is the delimiter; the last one ends the pattern.
    EXPECT_EQ(firstMatch("#a/b#i", "xA/B"), 1);
    EXPECT_EQ(firstMatch("/a/b/", "xa/b"), 1);

    NRegExp re;
    ASSERT_TRUE(re.compile("/a+/U"));
    ASSERT_TRUE(re.match("baaa", 0, 0));
    EXPECT_EQ(re.offsets[1], 2);
    // Anchored at the start offset.
    EXPECT_FALSE(re.match("baaa", 0, NRegExp::OPT_ANCHORED));
    EXPECT_EQ(re.resultCount, -1);
    EXPECT_TRUE(re.match("baaa", 2, NRegExp::OPT_ANCHORED));
}

TEST(NRegExp, SyntaxErrorsShowTheBoxAndLeaveNoPattern)
{
    NRegExp re;
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_FALSE(re.compile("/a(/"));
    expectErrorBox(boxes, 0,
                   "Fehlerhafte Syntax im regul\xE4ren Ausdruck:\r\na(\r\n Modifier: \r\n"
                   " an Offset: 2\r\nFehler: missing closing parenthesis");
    EXPECT_EQ(re.compiled, nullptr);

    // Without a closing delimiter there is no pattern to compile.
    boxes.expect(IDOK);
    EXPECT_FALSE(re.compile("/abc"));
    expectErrorBox(boxes, 1,
                   "Fehlerhafte Syntax im regul\xE4ren Ausdruck:\r\nabc\r\n Modifier: \r\n"
                   " an Offset: 3\r\nFehler: das abschlie\xDF" "ende Trennzeichen fehlt");

    // A failed compile drops the pattern compiled before it.
    ASSERT_TRUE(re.compile("/a/"));
    EXPECT_NE(re.compiled, nullptr);
    boxes.expect(IDOK);
    EXPECT_FALSE(re.compile("/(/"));
    boxes.expect(IDOK);
    EXPECT_EQ(re.findOne("a"), -1);
    expectErrorBox(boxes, 3, std::string("Fehler: NRegExp::findOne") + NO_EXPRESSION);

    boxes.expect(IDOK);
    EXPECT_EQ(str(re.replace("abc", "x")), "abc");
    expectErrorBox(boxes, 4, std::string("Fehler: NRegExp::replace") + NO_EXPRESSION);

    // Convenience forms run only when their expression compiles.
    NStringList results;
    boxes.expect(IDOK);
    EXPECT_EQ(re.findAll("/(/", "(((", results), 0);
    EXPECT_EQ(results.getCount(), 0);
    EXPECT_EQ(boxes.count(), 6u);
    EXPECT_EQ(re.findOne("/b/", "abc"), 1);
}

TEST(NRegExp, FindAllCollectsGroupsAndPositions)
{
    NRegExp re;
    NStringList results;
    NNumList positions;
    ASSERT_TRUE(re.compile("/a(b+)/i"));
    EXPECT_EQ(re.findAll("xABbb ab", results, &positions), 2);
    EXPECT_TRUE(re.matched);
    EXPECT_EQ(texts(results), (std::vector<std::string>{"ABbb", "Bbb", "ab", "b"}));
    EXPECT_EQ(numbers(positions), (std::vector<int>{1, 2, 6, 7}));

    // The last match's groups stay.
    NStringList groups;
    EXPECT_EQ(re.getGroups(groups), 2);
    EXPECT_EQ(texts(groups), (std::vector<std::string>{"ab", "b"}));

    // An unset group adds an empty text at position -1.
    results.removeAll();
    positions.removeAll();
    EXPECT_EQ(re.findAll("/(x)?(\\d)/", "1x2", results, &positions), 2);
    EXPECT_EQ(texts(results), (std::vector<std::string>{"1", "", "1", "x2", "x", "2"}));
    EXPECT_EQ(numbers(positions), (std::vector<int>{0, -1, 0, 1, 1, 2}));

    EXPECT_EQ(re.findAll("/z/", "abc", results), 0);
    EXPECT_FALSE(re.matched);
}

TEST(NRegExp, FindAllAfterAnEmptyMatchOnlyTakesAnAnchoredNonEmptyOne)
{
    NRegExp re;
    NStringList results;
    NNumList positions;
    EXPECT_EQ(re.findAll("/x*/", "ab", results, &positions), 1);
    EXPECT_EQ(texts(results), (std::vector<std::string>{""}));
    EXPECT_EQ(numbers(positions), (std::vector<int>{0}));

    // The empty match at the end of "aa" ends the search.
    results.removeAll();
    positions.removeAll();
    EXPECT_EQ(re.findAll("/a*/", "aa", results, &positions), 2);
    EXPECT_EQ(numbers(positions), (std::vector<int>{0, 2}));
    // Once set, the rule stays: "b" right behind the empty match is taken,
    // then the blank ends the search although an empty match would fit there.
    results.removeAll();
    EXPECT_EQ(re.findAll("/a*|b/", "b b", results), 2);
    EXPECT_EQ(texts(results), (std::vector<std::string>{"", "b"}));
    results.removeAll();
    EXPECT_EQ(re.findAll("/x*/", "", results), 1);
}

TEST(NRegExp, ReplaceFillsTheTemplate)
{
    NRegExp re;
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

TEST(NRegExp, TooManyGroupsFillWhatFits)
{
    std::string pattern = "/";
    std::string text;
    for (int i = 0; i < 1700; ++i) {
        pattern += "(a)";
        text += 'a';
    }
    pattern += "/";
    NRegExp re;
    ASSERT_TRUE(re.compile(pattern.c_str()));
    MessageBoxCatcher boxes;
    boxes.expect(IDOK);
    EXPECT_TRUE(re.match(text.c_str(), 0, 0));
    expectErrorBox(boxes, 0, "Fehler: Zuviel Ergebnisse, es ist nur Platz f\xFCr 1665 Elemente");
    EXPECT_EQ(re.resultCount, 1666);
    EXPECT_TRUE(re.matched);
    EXPECT_EQ(re.offsets[2 * 1665], 1664);
    EXPECT_EQ(re.offsets[2 * 1665 + 1], 1665);
}

TEST(NRegExp, BadInputEndsWithAnError)
{
    NRegExp re;
    MessageBoxCatcher boxes;

    // Backtracking without end is cut off by the match limit.
    const std::string many = std::string(40, 'a') + "!";
    ASSERT_TRUE(re.compile("/^(a+)+$/"));
    boxes.expect(IDOK);
    EXPECT_EQ(re.findOne(many.c_str()), -1);
    expectErrorBox(boxes, 0, "Fehler (-8)bei NString::match()");
    EXPECT_EQ(re.resultCount, -8);
    NStringList results;
    boxes.expect(IDOK);
    EXPECT_EQ(re.findAll(many.c_str(), results), 0);
    boxes.expect(IDOK);
    // A replacement cut short leaves the text unchanged.
    ASSERT_TRUE(re.compile("/(a+)+$|!/"));
    EXPECT_EQ(str(re.replace(("!" + many).c_str(), "x")), "!" + many);
    EXPECT_EQ(boxes.count(), 3u);

    // Broken UTF-8 is refused under "u", also where the search trusts its text.
    ASSERT_TRUE(re.compile("/a/u"));
    boxes.expect(IDOK);
    EXPECT_EQ(re.findOne("b\xFF" "a"), -1);
    expectErrorBox(boxes, 3, "Fehler (-10)bei NString::match()");
    boxes.expect(IDOK);
    EXPECT_EQ(re.findAll("a\xC3", results), 0);
    EXPECT_EQ(boxes.count(), 5u);
    // Without "u" the same bytes are plain text.
    EXPECT_EQ(re.findOne("/a/", "b\xFF" "a"), 2);

    // A start offset outside the text is reported, not read.
    ASSERT_TRUE(re.compile("/a/"));
    boxes.expect(IDOK);
    EXPECT_FALSE(re.match("abc", 4, 0));
    expectErrorBox(boxes, 5, "Fehler (-24)bei NString::match()");
}

TEST(NRegExp, LongTexts)
{
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "abc1";
    NRegExp re;
    NStringList results;
    NNumList positions;
    EXPECT_EQ(re.findAll("/\\d/", text.c_str(), results, &positions), 200000);
    ASSERT_EQ(positions.getCount(), 200000);
    EXPECT_EQ(positions.getAt(199999), 799999);

    // A pattern that can match empty text everywhere still ends.
    EXPECT_EQ(re.replace("/z*/", text.c_str(), "").getLength(), 800000);
}
