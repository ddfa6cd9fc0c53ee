// The note file as the note field shows it: line ends made whole, NUL
// bytes kept as blanks, and never more than the field's room.
#include <gtest/gtest.h>

#include <string>

#include "explorer/note_text.h"

namespace {

std::string Field(const std::string& bytes, size_t room = 0)
{
    std::string out(room != 0 ? room : NoteFieldRoom(bytes.size()), 'X');
    size_t n = NoteFieldText(bytes.data(), bytes.size(), &out[0], out.size());
    EXPECT_EQ('\0', out[n]);
    return out.substr(0, n);
}

TEST(NoteText, LineEndsAndNulBytes)
{
    EXPECT_EQ("", Field(""));
    EXPECT_EQ("a\r\nb\r\n", Field("a\nb\n"));
    EXPECT_EQ("a\r\nb", Field("a\r\nb"));
    EXPECT_EQ("\r\n\r\n", Field("\n\n"));
    EXPECT_EQ("\r\n\r\n", Field("\r\n\n"));
    EXPECT_EQ("a b ", Field(std::string("a\0b\0", 4)));
}

// The worst case fits the room NoteFieldRoom gives; a smaller room cuts
// before a pair, never inside it.
TEST(NoteText, RoomIsKept)
{
    std::string lines(1000, '\n');
    EXPECT_EQ(2000u, Field(lines).size());
    EXPECT_EQ("ab", Field("ab\ncd", 4));
    EXPECT_EQ("ab\r\n", Field("ab\ncd", 5));
    EXPECT_EQ("", Field("abc", 1));
}

}  // namespace
