#include "DecodeTestUtil.h"

#include "decode/TextSource.h"

#include <gtest/gtest.h>

namespace tw::testing {
namespace {

TEST(TextSourceTest, LinesEndWithCrLfAndCommentLinesGo) {
    struct Case {
        const char* name;
        std::string source;
        std::string expected;
    };
    const Case cases[] = {
        {"empty", "", ""},
        {"LF ends", "a\nb\n", "a\r\nb\r\n"},
        {"CR LF ends kept", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"mixed ends", "a\r\nb\nc\r\n", "a\r\nb\r\nc\r\n"},
        {"last line without an end", "a\nb", "a\r\nb"},
        {"comment lines dropped", "# about\n[NVIDIA]\n#x\r\nC:\\a.dll\n",
         "[NVIDIA]\r\nC:\\a.dll\r\n"},
        {"comment as last line", "a\n# end", "a\r\n"},
        {"only a later '#' is data", "a # b\n #c\n", "a # b\r\n #c\r\n"},
        {"empty lines kept", "\n\r\n\n", "\r\n\r\n\r\n"},
        {"lone CR is not a line end", "a\rb\n", "a\rb\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out = PrepareTextSource(ToBytes(c.source));
        EXPECT_EQ(std::string(out.begin(), out.end()), c.expected);
    }
}

} // namespace
} // namespace tw::testing
