// Multi-line tip texts turned into one line with the configured separator,
// within a 256-byte row buffer.
#include <cstring>

#include "tests/fakes/list_fixture.h"
#include "traylist/tiptext.h"

namespace {

using NewLinesTest = ListTest;

// Converts into a 256-byte buffer that lies inside a larger one, so that a
// write past its end shows up as a changed guard byte.
std::string Convert(const std::string& source, const char* separator = " / ") {
    std::strcpy(config.converted_new_line, separator);
    char buffer[TIP_BUFFER_SIZE + 16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(ConvertNewLines(buffer, source.c_str(), TIP_BUFFER_SIZE), buffer);
    EXPECT_EQ(std::string(buffer + TIP_BUFFER_SIZE, 16), std::string(16, '#'));
    return buffer;
}

std::string LineFeedAt(int position, int length) {
    std::string text(length, 'x');
    text[position] = '\n';
    return text;
}

TEST_F(NewLinesTest, LineBreaksBecomeTheSeparator) {
    EXPECT_EQ(Convert("Volume 40%\r\nMuted"), "Volume 40% / Muted");
    EXPECT_EQ(Convert("one line"), "one line");
    EXPECT_EQ(Convert("a\rb"), "ab");
    EXPECT_EQ(Convert("a\r\r\nb"), "a / b");
    EXPECT_EQ(Convert("\nb\n"), " / b / ");
    EXPECT_EQ(Convert("a\nb", ""), "ab");
    EXPECT_EQ(Convert("a\nb\r\nc", "<br>"), "a<br>b<br>c");
    EXPECT_EQ(Convert("a\nb", "123456789012345"), "a123456789012345b");
    EXPECT_EQ(Convert(""), "");
}

TEST_F(NewLinesTest, LongTextsAreCutAt255Bytes) {
    EXPECT_EQ(Convert(std::string(300, 'x')), std::string(255, 'x'));
    // The separator fits with one byte to spare and the text goes on to the cut.
    EXPECT_EQ(Convert(LineFeedAt(251, 300)), std::string(251, 'x') + " / x");
    // A separator that would leave no byte after it ends the text there.
    EXPECT_EQ(Convert(LineFeedAt(252, 300)), std::string(252, 'x'));
    // Dropped carriage returns take no room.
    std::string text = LineFeedAt(253, 300);
    text[100] = '\r';
    EXPECT_EQ(Convert(text), std::string(252, 'x'));
    // What follows a separator that does not fit is lost, even where it would fit.
    EXPECT_EQ(Convert(std::string(245, 'x') + "\ny", "123456789012345"), std::string(245, 'x'));
}

}  // namespace
