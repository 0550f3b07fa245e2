#include "NLanguage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

#define M "\xB3\xB3"

const char* const greetings = "greeting=Hallo" M "bye=Tsch\xFCss";

std::string translated(NLanguage& table, const char* text, int length = -1)
{
    const char* result = table.translate(text, length);
    EXPECT_GE(length, 0);
    return std::string(result, static_cast<size_t>(length));
}

}  // namespace

TEST(NLanguage, TranslatesKnownKeysLogsMissingOnesAndLoadsFileSyntaxLaterLoadsClearAndLargeFiles)
{
    NLanguage table;
    EXPECT_TRUE(table.load(greetings));
    EXPECT_EQ(table.getErrorText(), "");
    EXPECT_EQ(translated(table, M "greeting" M "Hello") + translated(table, M "bye" M "Goodbye"), "HalloTsch\xFC" "ss");
    EXPECT_EQ(table.getMissingKeys(), "");
    // A given length is adjusted to the default text behind the key.
    const char* missing = M "unknown" M "Hello";
    EXPECT_EQ(translated(table, missing, static_cast<int>(strlen(missing))), "Hello");
    EXPECT_EQ(translated(table, M "other" M "Bye"), "Bye");
    EXPECT_EQ(table.getMissingKeys(), "unknown" M "Hello\r\nother" M "Bye\r\n");
    // Keys match whole: neither a prefix nor a longer key is the same key.
    EXPECT_EQ(translated(table, M "greet" M "x") + translated(table, M "greetings" M "y"), "xy");
    // Without a second marker the rest is the text itself.
    EXPECT_EQ(translated(table, M "no second marker", 10), "no secon");
    // Unmarked texts and texts with a single marker byte come back as they are.
    int length = 7;
    const char *half = "\xB3greeting" M "x", *marked = M "greeting" M "Hello";
    EXPECT_TRUE(table.translate(half, length) == half && length == 7);
    table.setEnabled(false);
    length = -1;
    EXPECT_TRUE(table.translate(marked, length) == marked && length == -1);

    NLanguage parsed;
    const std::string file = "; comment, entry 1\r\n"
        "first=1" M
        "=no key" M                     // entry 3
        "\r\n  # comment with = and " M " inside\n"
        "blank =with blank" M
        "multi= line one\r\n  line two " M "\n"
        "lf=only\n" M "\n"
        "alone" M
        "empty=" M
        "last=without final line end";
    EXPECT_TRUE(parsed.load(file.c_str()));
    // The comment above is cut at its "\n", so the marker in it counts only
    // as part of the comment; the broken entry is dropped, the rest loaded.
    EXPECT_EQ(parsed.getErrorText(), "NLanguage::load(..) Eintrag Nr. 3 hat einen leeren Schl\xFCssel.\r\n");
    EXPECT_EQ(translated(parsed, M "blank" M "d"), "d");
    EXPECT_EQ(translated(parsed, M "multi" M "d"), " line one\r\n  line two ");
    EXPECT_EQ(translated(parsed, M "lf" M "d"), "only\n");
    EXPECT_EQ(translated(parsed, M "last" M "d"), "without final line end");
    EXPECT_EQ(translated(parsed, M "# comment with " M "d"), "d");

    // Later loads append, the first entry of a key wins; clear empties all.
    parsed.setLanguageName("en");
    EXPECT_TRUE(parsed.load("key=first" M "key=second") && parsed.load("key=third" M "b=2"));
    EXPECT_EQ(translated(parsed, M "key" M "d") + translated(parsed, M "b" M "d"), "first2");
    parsed.clear();
    EXPECT_EQ(parsed.getLanguageName() + parsed.getErrorText() + parsed.getMissingKeys(), "de");
    // Filled again after clear, the old entries stay gone.
    EXPECT_TRUE(parsed.load("bye=Servus"));
    EXPECT_EQ(translated(parsed, M "bye" M "d") + translated(parsed, M "b" M "d"), "Servusd");

    // Many entries, grown past many steps, and one entry larger than any step.
    std::string large;
    int count = 0;
    for (; large.size() < (1u << 20); ++count)
        large += "key" + std::to_string(count) + "=text " + std::to_string(count) + M "\r\n";
    NLanguage big;
    EXPECT_TRUE(big.load(large.c_str()));
    const std::string last = std::to_string(count - 1);
    EXPECT_EQ(translated(big, (M "key" + last + M "d").c_str()), "text " + last);
    const std::string longText(3000000, 'x');
    EXPECT_TRUE(big.load(("long=" + longText).c_str()));
    EXPECT_EQ(translated(big, M "long" M "d"), longText);
    EXPECT_EQ(translated(big, M "key0" M "d"), "text 0");
}

TEST(NLanguage, StringAssignmentTranslatesWithTheGlobalTable)
{
    globalLanguage.setMissingKeys("");
    EXPECT_TRUE(globalLanguage.load(greetings));
    NString s = M "greeting" M "Hello";
    EXPECT_EQ(s.getLength(), 5);
    s = M "missing" M "Hello";
    s += M "bye" M "Bye";
    EXPECT_EQ(s, "HelloTsch\xFCss");
    s.format(M "greeting" M "Hi %d", 7);
    EXPECT_EQ(s, "Hallo");
    EXPECT_EQ(globalLanguage.getMissingKeys(), "missing" M "Hello\r\n");
    // Bytes appended as they are stay marked; markers inside a text do not count.
    NString raw;
    raw.append(M "greeting" M "Hello");
    EXPECT_EQ(raw.getLength(), 17);
    s = "x" M "greeting" M "Hello";
    EXPECT_EQ(s.getLength(), 18);
    // The other string tests of this program see no translations.
    globalLanguage.clear();
}
