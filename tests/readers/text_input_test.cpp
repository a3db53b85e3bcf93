#include "readers/text_input.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/process_stop.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

TEST(FreeFormatItems, SeparatorsQuotesNullsAndSlash) {
    auto s = splitItems("  6.5 7,24\t2.5 / 9");
    ASSERT_EQ(s.items.size(), 4u);
    EXPECT_EQ(s.items[0].text, "6.5");
    EXPECT_EQ(s.items[1].text, "7");
    EXPECT_EQ(s.items[2].text, "24");
    EXPECT_EQ(s.items[3].text, "2.5");
    EXPECT_TRUE(s.slash);

    auto q = splitItems("'a quoted, text' \"it''s\" word");
    ASSERT_EQ(q.items.size(), 3u);
    EXPECT_EQ(q.items[0].text, "a quoted, text");
    EXPECT_TRUE(q.items[0].quoted);
    EXPECT_EQ(q.items[2].text, "word");

    auto n = splitItems("1,,2 , 3");
    ASSERT_EQ(n.items.size(), 4u);
    EXPECT_EQ(n.items[1].kind, FreeItem::Kind::Null);
    EXPECT_EQ(n.items[3].text, "3");
    EXPECT_EQ(splitItems(",5").items[0].kind, FreeItem::Kind::Null);
    EXPECT_TRUE(splitItems("   ").items.empty());
}

TEST(FreeFormatItems, NumberSyntax) {
    EXPECT_EQ(parseReal("7"), 7.0);
    EXPECT_EQ(parseReal("7."), 7.0);
    EXPECT_EQ(parseReal("0.7e1"), 7.0);
    EXPECT_EQ(parseReal(".5"), 0.5);
    EXPECT_EQ(parseReal("-.5"), -0.5);
    EXPECT_EQ(parseReal("+2.5D2"), 250.0);
    EXPECT_FALSE(parseReal("m"));
    EXPECT_FALSE(parseReal("1e"));
    EXPECT_FALSE(parseReal("nan"));
    EXPECT_FALSE(parseReal("inf"));
    EXPECT_FALSE(parseReal("1e999"));
    EXPECT_EQ(parseReal("1e-400"), 0.0);
    EXPECT_EQ(parseReal("4.9e-324"), 4.9e-324);
    EXPECT_FALSE(parseReal("0x10"));
    EXPECT_FALSE(parseReal("3*1.0"));
    EXPECT_EQ(parseInteger("-12"), -12);
    EXPECT_FALSE(parseInteger("2.9"));
    EXPECT_EQ(parseInteger("+7"), 7);
    EXPECT_FALSE(parseInteger("+-3"));  // one sign at most
    EXPECT_FALSE(parseInteger("--3"));
    EXPECT_FALSE(parseInteger("-"));
    EXPECT_FALSE(parseInteger("99999999999"));
}

TEST(FreeFormatItems, FirstItemOfAFieldText) {
    EXPECT_EQ(firstReal("6,5"), 6.0);
    EXPECT_EQ(firstReal("6.5 m"), 6.5);
    EXPECT_EQ(firstReal("  7"), 7.0);
    EXPECT_FALSE(firstReal("six"));
    EXPECT_FALSE(firstReal(""));
    EXPECT_FALSE(firstReal(",6"));
    EXPECT_FALSE(firstReal("/6"));
    EXPECT_EQ(firstText("my file.ldt"), "my");
    EXPECT_EQ(firstText("'my file.ldt'"), "my file.ldt");
    EXPECT_EQ(firstText("a/b"), "a");
    EXPECT_FALSE(firstText("   "));
}

TEST(InputFileReads, EachReadStartsOnANewLineAndSkipsEmptyLines) {
    test::ScratchDir dir;
    dir.write("in.txt", "first line words\r\n\r\n   \n2.5 ignored rest\r\n7\n\"quoted text\" x\nfixed\n");
    InputFile file("in.txt");
    EXPECT_EQ(file.readText(78), "first");
    EXPECT_EQ(file.readReal(), 2.5);
    EXPECT_EQ(file.readInteger(), 7);
    EXPECT_EQ(file.readText(78), "quoted text");
    EXPECT_EQ(file.readFixedText(8), "fixed   ");
    EXPECT_TRUE(file.atEnd());
}

TEST(InputFileReads, MultiItemReadContinuesOnNextLines) {
    test::ScratchDir dir;
    dir.write("g.txt", "1 10 c\n\n6 c 60.0\n1.5 0.25 0.75 extra\n");
    InputFile file("g.txt");
    int number = 0, nx = 0, ny = 0;
    char fx = ' ', fy = ' ';
    double d = 0, h = 0, f1 = 0, f2 = 0;
    ListRead read(file);
    read.integer(number);
    read.integer(nx);
    read.character(fx);
    read.integer(ny);
    read.character(fy);
    read.real(d);
    read.real(h);
    read.real(f1);
    read.real(f2);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(nx, 10);
    EXPECT_EQ(fx, 'c');
    EXPECT_EQ(ny, 6);
    EXPECT_EQ(d, 60.0);
    EXPECT_EQ(f2, 0.75);
}

TEST(InputFileReads, FixedWidthReadTakesEmptyLinesAndCuts) {
    test::ScratchDir dir;
    dir.write("f.txt", "\nabcdefghij\n");
    InputFile file("f.txt");
    EXPECT_EQ(file.readFixedText(4), "    ");
    EXPECT_EQ(file.readFixedText(4), "abcd");
}

// Every read error names the file, the line, what was expected there and what was found.
TEST(InputFileReads, FailuresNameFileLineExpectedAndFound) {
    test::ScratchDir dir;
    auto messageOf = [](const std::function<void()>& read) {
        try {
            asRunStep(read);
        } catch (const ProcessStop& stop) {
            EXPECT_EQ(stop.status, 2);
            return stop.errorMessage;
        }
        ADD_FAILURE() << "no stop";
        return std::string();
    };
    dir.write("bad.txt", "\n  1.5  word\n");
    InputFile bad("bad.txt");
    EXPECT_EQ(messageOf([&] {
                  double a = 0, b = 0;
                  ListRead read(bad);
                  read.real(a);
                  read.real(b, "the road width");
              }),
              "vesperluminal: file \"bad.txt\": line 2: expected the road width (a number), found \"word\"");
    // The end of the file: the first line that is not there, and how long the file is.
    dir.write("short.txt", "1\n2\n");
    InputFile cut("short.txt");
    EXPECT_EQ(messageOf([&] {
                  cut.readInteger();
                  cut.readInteger();
                  cut.readInteger();
              }),
              "vesperluminal: file \"short.txt\": line 3: expected an integer, found the end of the file "
              "(the file has 2 lines)");
    // A missing file is created empty, its first read fails, and the message says both.
    InputFile missing("missing.txt");
    EXPECT_TRUE(std::filesystem::exists("missing.txt"));
    EXPECT_EQ(std::filesystem::file_size("missing.txt"), 0u);
    EXPECT_EQ(messageOf([&] { missing.readInteger(); }),
              "vesperluminal: file \"missing.txt\": did not exist, so an empty file of that name now stands in "
              "its place; line 1: expected an integer, found the end of the file (the file is empty)");
    // An empty file that was there says only that it is empty.
    dir.write("empty.txt", "");
    InputFile empty("empty.txt");
    EXPECT_EQ(messageOf([&] { empty.readFixedText(5); }),
              "vesperluminal: file \"empty.txt\": line 1: expected a line of text, found the end of the file "
              "(the file is empty)");
}

TEST(InputFileReads, ErrorMessagesCarryNoControlBytes) {
    test::ScratchDir dir;
    dir.write("ctl.txt", std::string("\x1b[2J\x07zz\n", 8));
    InputFile file("ctl.txt");
    try {
        asRunStep([&] { file.readReal(); });
        FAIL();
    } catch (const ProcessStop& stop) {
        EXPECT_EQ(stop.errorMessage.find('\x1b'), std::string::npos);
        EXPECT_EQ(stop.errorMessage.find('\x07'), std::string::npos);
        EXPECT_NE(stop.errorMessage.find("?[2J?zz"), std::string::npos) << stop.errorMessage;
    }
}

}  // namespace
}  // namespace vl
