#include <cstdlib>
#include <functional>
#include <thread>
#include "GuiTestSupport.h"
#include "NClipboard.h"
#include "ProcessRunner.h"

namespace {

// The clipboard block as another process reads it, zero byte included, polled (5 s) until `done`.
std::string readInOtherProcess(const char* what, const std::function<bool(const std::string&)>& done)
{
    ProcessResult result;
    pumpUntil([&] {
        result = runProcess("\"" + programFolder() + "nek_clipdump.exe\" " + what);
        return result.exitCode == 0 && done(result.out);
    });
    EXPECT_EQ(result.exitCode, 0) << what << " not on the clipboard";
    return result.out;
}

// `result`, after checking that another thread with its own window can open the clipboard at once.
template <class T>
T closed(T result)
{
    bool opened = false;
    std::thread([&opened] {
        HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        opened = OpenClipboard(window) && CloseClipboard();
        DestroyWindow(window);
    }).join();
    EXPECT_TRUE(opened) << "the clipboard was left open";
    return result;
}

// The number of a header line; -1 unless it has exactly eight digits.
long headerNumber(const std::string& block, const std::string& key)
{
    const size_t digits = block.find("\r\n" + key + ":") + key.size() + 3;
    const size_t end = block.find("\r\n", digits);
    if (end - digits != 8 || block.find_first_not_of("0123456789", digits) != end)
        return -1;
    return std::strtol(block.substr(digits, 8).c_str(), nullptr, 10);
}

}  // namespace

TEST(NClipboard, TextAndHtmlReachAnotherProcessAndSetDataDoesNotEmpty)
{
    const std::string text = "Zeile 1\r\nZeile 2 \xE4\xF6\xFC\r\n";  // every write closes the clipboard again
    ASSERT_TRUE(closed(NClipboard::clear()));
    ASSERT_TRUE(closed(NClipboard::setText(text.c_str())));
    const std::string expected = text + std::string(1, '\0');
    EXPECT_EQ(readInOtherProcess("text", [&](const std::string& out) { return out == expected; }), expected);
    // An empty text is refused and leaves what is there.
    EXPECT_FALSE(closed(NClipboard::setText("")));
    EXPECT_EQ(str(closed(NClipboard::getText())), text);

    const UINT own = RegisterClipboardFormatA("NEK test format");
    ASSERT_TRUE(closed(NClipboard::setData(own, "abc", 3)));
    EXPECT_TRUE(NClipboard::isFormatAvailable(own));
    EXPECT_EQ(str(NClipboard::getText()), text);
    ASSERT_TRUE(NClipboard::clear());
    EXPECT_FALSE(NClipboard::isFormatAvailable(own));

    // HTML: the header's offsets slice the block.
    const struct { std::string head, fragment, tail; } cases[] = {
        {"", "x", ""}, {"<html><body>\r\n", "<b>F\xFC" "ller</b>\r\n<i>2</i>", "\r\n</body></html>"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fragment);
        ASSERT_TRUE(NClipboard::clear());
        ASSERT_TRUE(closed(NClipboard::setHtml(c.fragment.c_str(), c.head.c_str(), c.tail.c_str())));
        const std::string block =
            readInOtherProcess("html", [&](const std::string& out) { return out.find(c.fragment) != std::string::npos; });
        ASSERT_EQ(block.compare(0, 13, "Version:1.0\r\n"), 0);
        const long startHtml = headerNumber(block, "StartHTML"), endHtml = headerNumber(block, "EndHTML");
        const long startFragment = headerNumber(block, "StartFragment"), endFragment = headerNumber(block, "EndFragment");
        EXPECT_EQ(block.find("EndSelection:"), size_t(startHtml) - 23);  // the last of seven header lines
        EXPECT_EQ(headerNumber(block, "StartSelection"), startFragment);
        EXPECT_EQ(headerNumber(block, "EndSelection"), endFragment);
        ASSERT_EQ(block.substr(size_t(endHtml)), std::string(1, '\0'));  // the block ends with the zero byte
        EXPECT_EQ(block.substr(startHtml, endHtml - startHtml),
                  c.head + "<!--StartFragment -->" + c.fragment + "<!--EndFragment -->" + c.tail);
        EXPECT_EQ(block.substr(startFragment, endFragment - startFragment), c.fragment);
    }

    // An empty fragment puts nothing there.
    ASSERT_TRUE(NClipboard::clear());
    EXPECT_FALSE(NClipboard::setHtml(""));
    EXPECT_FALSE(NClipboard::isFormatAvailable(NClipboard::getHtmlFormat()));
}
