#include "NLanguage.h"
#include "NString.h"

#include <windows.h>

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

NString fileText(const std::string& bytes)
{
    return NString(bytes.data(), static_cast<int>(bytes.size()));
}

// Fills the global table for one test and empties it again, so that the
// other string tests of this program see no translations.
class GlobalLanguage : public ::testing::Test {
protected:
    void SetUp() override { globalLanguage.setMissingKeys(""); }
    void TearDown() override { globalLanguage.clear(); }
};

// A readable page followed by an inaccessible one: a text placed at the end
// of the first page faults when anything reads past it.
class GuardedPage {
public:
    GuardedPage()
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        size = info.dwPageSize;
        base = static_cast<char*>(VirtualAlloc(nullptr, 2 * size, MEM_RESERVE | MEM_COMMIT,
                                               PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base + size, size, PAGE_NOACCESS, &old);
    }
    ~GuardedPage() { VirtualFree(base, 0, MEM_RELEASE); }
    // Copies bytes (without terminator) so that they end at the guard.
    const char* place(const std::string& bytes)
    {
        char* at = base + size - bytes.size();
        memcpy(at, bytes.data(), bytes.size());
        return at;
    }

private:
    char* base;
    size_t size;
};

}  // namespace

TEST(NLanguage, TranslatesKnownKeysAndLogsMissingOnes)
{
    NLanguage table;
    EXPECT_STREQ(table.getClassName(), "NLanguage");
    EXPECT_STREQ(table.getName(), "NLanguage");
    EXPECT_EQ(table.getLanguageName(), "de");
    EXPECT_TRUE(table.isEnabled());

    EXPECT_TRUE(table.load(greetings));
    EXPECT_EQ(table.getErrorText(), "");
    EXPECT_EQ(translated(table, M "greeting" M "Hello"), "Hallo");
    EXPECT_EQ(translated(table, M "bye" M "Goodbye"), "Tsch\xFC" "ss");
    EXPECT_EQ(table.getMissingKeys(), "");

    // A given length is adjusted to the default text behind the key.
    const char* missing = M "unknown" M "Hello";
    EXPECT_EQ(translated(table, missing, static_cast<int>(strlen(missing))), "Hello");
    EXPECT_EQ(translated(table, M "other" M "Bye"), "Bye");
    EXPECT_EQ(table.getMissingKeys(), "unknown" M "Hello\r\nother" M "Bye\r\n");

    // Keys match whole: neither a prefix nor a longer key is the same key.
    EXPECT_EQ(translated(table, M "greet" M "x"), "x");
    EXPECT_EQ(translated(table, M "greetings" M "y"), "y");
    EXPECT_EQ(translated(table, M "" M "empty key"), "empty key");

    // Without a second marker the rest is the text itself.
    const char* unclosed = M "no second marker";
    EXPECT_EQ(translated(table, unclosed), "no second marker");
    EXPECT_EQ(translated(table, unclosed, 10), "no secon");

    // Unmarked texts and texts with a single marker byte come back as they are.
    int length = -1;
    const char* plain = "greeting";
    EXPECT_EQ(table.translate(plain, length), plain);
    EXPECT_EQ(length, -1);
    const char* half = "\xB3greeting" M "x";
    length = 7;
    EXPECT_EQ(table.translate(half, length), half);
    EXPECT_EQ(length, 7);

    table.setEnabled(false);
    const char* marked = M "greeting" M "Hello";
    length = -1;
    EXPECT_EQ(table.translate(marked, length), marked);
    EXPECT_EQ(length, -1);
}

TEST(NLanguage, FileSyntaxCommentsBlanksAndOddEntries)
{
    NLanguage table;
    const std::string file =
        "; comment, entry 1\r\n"
        "first=1" M
        "=no key" M                     // entry 3
        "\r\n  # comment with = and " M " inside\n"
        "blank =with blank" M
        "multi= line one\r\n  line two " M "\n"
        "lf=only\n" M "\n"
        "alone" M
        "empty=" M
        "last=without final line end";
    EXPECT_TRUE(table.load(fileText(file)));

    // The comment above is cut at its "\n", so the marker in it counts only
    // as part of the comment; the broken entry is dropped, the rest loaded.
    EXPECT_EQ(table.getErrorText(),
              "NLanguage::load(..) Eintrag Nr. 3 hat einen leeren Schl\xFCssel.\r\n");
    EXPECT_EQ(translated(table, M "first" M "d"), "1");
    EXPECT_EQ(translated(table, M "blank " M "d"), "with blank");
    EXPECT_EQ(translated(table, M "blank" M "d"), "d");
    EXPECT_EQ(translated(table, M "multi" M "d"), " line one\r\n  line two ");
    EXPECT_EQ(translated(table, M "lf" M "d"), "only\n");
    EXPECT_EQ(translated(table, M "alone" M "d"), "");
    EXPECT_EQ(translated(table, M "empty" M "d"), "");
    EXPECT_EQ(translated(table, M "last" M "d"), "without final line end");
    EXPECT_EQ(translated(table, M "# comment with " M "d"), "d");

    // Trailing white space is no entry, a comment may end with the file.
    NLanguage tail;
    EXPECT_TRUE(tail.load("a=1" M "\r\n\r\n"));
    EXPECT_TRUE(tail.load("# just a comment"));
    EXPECT_TRUE(tail.load(""));
    EXPECT_TRUE(tail.load(" \r\n\t"));
    EXPECT_EQ(tail.getErrorText(), "");
    EXPECT_EQ(translated(tail, M "a" M "d"), "1");

    // An empty entry between two markers is reported with its number.
    NLanguage doubled;
    EXPECT_TRUE(doubled.load("a=1" M M "b=2"));
    EXPECT_EQ(doubled.getErrorText(),
              "NLanguage::load(..) Eintrag Nr. 2 hat einen leeren Schl\xFCssel.\r\n");
    EXPECT_EQ(translated(doubled, M "b" M "d"), "2");
}

TEST(NLanguage, LaterLoadsAppendAndTheFirstEntryWins)
{
    NLanguage table;
    EXPECT_TRUE(table.load("key=first" M "key=second" M "a=1"));
    EXPECT_TRUE(table.load("key=third" M "b=2" M "a=3"));
    EXPECT_EQ(translated(table, M "key" M "d"), "first");
    EXPECT_EQ(translated(table, M "a" M "d"), "1");
    EXPECT_EQ(translated(table, M "b" M "d"), "2");

    // The flag is restored after loading, whichever it was.
    table.setEnabled(false);
    EXPECT_TRUE(table.load("c=3"));
    EXPECT_FALSE(table.isEnabled());
    table.setEnabled(true);
    EXPECT_EQ(translated(table, M "c" M "d"), "3");
}

TEST(NLanguage, ClearEmptiesAFilledTableOnly)
{
    NLanguage fresh;
    fresh.setLanguageName("en");
    fresh.setErrorText("kept");
    fresh.clear();
    EXPECT_EQ(fresh.getLanguageName(), "en");
    EXPECT_EQ(fresh.getErrorText(), "kept");

    NLanguage table;
    table.setLanguageName("en");
    EXPECT_TRUE(table.load(fileText(std::string(greetings) + M "=x")));
    EXPECT_EQ(translated(table, M "nope" M "d"), "d");
    EXPECT_NE(table.getErrorText(), "");
    EXPECT_NE(table.getMissingKeys(), "");

    table.clear();
    EXPECT_EQ(table.getLanguageName(), "de");
    EXPECT_EQ(table.getErrorText(), "");
    EXPECT_EQ(table.getMissingKeys(), "");
    EXPECT_EQ(translated(table, M "greeting" M "Hello"), "Hello");

    // Filled again after clear, the old entries stay gone.
    EXPECT_TRUE(table.load("bye=Servus"));
    EXPECT_EQ(translated(table, M "bye" M "d"), "Servus");
    EXPECT_EQ(translated(table, M "greeting" M "Hello"), "Hello");
}

TEST(NLanguage, BinaryGarbageAndHugeFiles)
{
    // Bytes of every value, markers, '=' and zeros included.
    std::string garbage;
    unsigned int seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage += static_cast<char>(seed >> 16);
        if (i % 97 == 0)
            garbage += M;
    }
    NLanguage table;
    EXPECT_TRUE(table.load(fileText(garbage)));
    EXPECT_TRUE(table.isEnabled());
    for (size_t at = 0; at + 40 < garbage.size(); at += 997) {
        std::string probe = M + garbage.substr(at, 40) + M "default";
        int length = -1;
        const char* result = table.translate(probe.c_str(), length);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(length, static_cast<int>(strlen(result)));
    }

    // 16 MB in 600 000 entries, loaded in one piece.
    std::string huge;
    huge.reserve(16u << 20);
    int count = 0;
    while (huge.size() < (16u << 20)) {
        huge += "key" + std::to_string(count) + "=text number " + std::to_string(count) + M "\r\n";
        ++count;
    }
    const std::string lastKey = M "key" + std::to_string(count - 1) + M "d";
    NLanguage big;
    EXPECT_TRUE(big.load(fileText(huge)));
    EXPECT_EQ(big.getErrorText(), "");
    EXPECT_EQ(translated(big, M "key0" M "d"), "text number 0");
    EXPECT_EQ(translated(big, lastKey.c_str()), "text number " + std::to_string(count - 1));
    EXPECT_EQ(translated(big, M "key" M "d"), "d");

    // One entry larger than any growth step.
    std::string longText(5000000, 'x');
    NLanguage wide;
    EXPECT_TRUE(wide.load(fileText(std::string(3000, 'k') + "=" + longText)));
    EXPECT_EQ(translated(wide, (M + std::string(3000, 'k') + M "d").c_str()), longText);
}

TEST(NLanguage, ReadsNothingBeyondTheTextItIsGiven)
{
    NLanguage table;
    EXPECT_TRUE(table.load(greetings));
    GuardedPage page;

    // An unmarked text is neither measured nor scanned.
    const char* plain = page.place("A");
    int length = -1;
    EXPECT_EQ(table.translate(plain, length), plain);
    EXPECT_EQ(length, -1);
    const char* marker = page.place("\xB3");
    length = 1;
    EXPECT_EQ(table.translate(marker, length), marker);
    EXPECT_EQ(length, 1);

    // A marked text with a given length is searched only within it.
    const char* unclosed = page.place(M "greeting" "\xB3");
    length = 11;
    EXPECT_EQ(std::string(table.translate(unclosed, length), 9), "greeting\xB3");
    EXPECT_EQ(length, 9);
    const char* found = page.place(M "greeting" M "Hello");
    length = 17;
    EXPECT_STREQ(table.translate(found, length), "Hallo");
    EXPECT_EQ(length, 5);
    const char* missing = page.place(M "nope" M "Hello");
    length = 13;
    EXPECT_EQ(std::string(table.translate(missing, length), 5), "Hello");
    EXPECT_EQ(length, 5);
    EXPECT_EQ(table.getMissingKeys(), "nope" M "Hello\r\n");
}

TEST_F(GlobalLanguage, StringAssignmentTranslates)
{
    EXPECT_TRUE(globalLanguage.load(greetings));

    NString s = M "greeting" M "Hello";
    EXPECT_EQ(s, "Hallo");
    EXPECT_EQ(s.getLength(), 5);
    s = M "missing" M "Hello";
    EXPECT_EQ(s, "Hello");
    s += M "bye" M "Bye";
    EXPECT_EQ(s, "HelloTsch\xFCss");
    s.format(M "greeting" M "Hi %d", 7);
    EXPECT_EQ(s, "Hallo");
    EXPECT_FALSE(NString("Hallo") != M "greeting" M "x");
    EXPECT_EQ(NString(M "unclosed"), "unclosed");
    EXPECT_EQ(globalLanguage.getMissingKeys(), "missing" M "Hello\r\n");

    // Bytes appended or inserted as they are stay marked.
    NString raw;
    raw.append(M "greeting" M "Hello");
    EXPECT_EQ(raw.getLength(), 17);
}

TEST_F(GlobalLanguage, LongUnmarkedTextPassesUnchanged)
{
    EXPECT_TRUE(globalLanguage.load(greetings));

    // Markers inside the text do not count, only at its start.
    std::string big(32u << 20, 'a');
    for (size_t i = 2; i + 1 < big.size(); i += 4099)
        big[i] = '\xB3', big[i + 1] = '\xB3';
    big[0] = '\xB3';
    NString s(big.data(), static_cast<int>(big.size()));
    ASSERT_EQ(s.getLength(), static_cast<int>(big.size()));
    EXPECT_EQ(memcmp(s.getBuffer(), big.data(), big.size()), 0);
    NString copy(s);
    ASSERT_EQ(copy.getLength(), s.getLength());
    EXPECT_EQ(memcmp(copy.getBuffer(), big.data(), big.size()), 0);
    EXPECT_EQ(globalLanguage.getMissingKeys(), "");
}
