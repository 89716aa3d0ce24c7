#include "host/call.h"

#include <gtest/gtest.h>

namespace
{
std::vector<std::string> split(const std::string& line)
{
    std::vector<std::string> words;
    std::string error;
    EXPECT_TRUE(splitScriptLine(line, words, error)) << error;
    return words;
}
}

TEST(ScriptLine, WordsQuotesAndComments)
{
    using W = std::vector<std::string>;
    EXPECT_EQ(split("  DropdownAdd   --text Sphere  "), (W{"DropdownAdd", "--text", "Sphere"}));
    EXPECT_EQ(split("A --text \"two words\" # comment"), (W{"A", "--text", "two words"}));
    EXPECT_EQ(split("A 'lit\\n' \"esc\\n\\t\\\\\\\"\""), (W{"A", "lit\\n", "esc\n\t\\\""}));
    EXPECT_EQ(split("A \"a\\0b\""), (W{"A", std::string("a\0b", 3)}));
    EXPECT_EQ(split("A pre\"mid dle\"post"), (W{"A", "premid dlepost"}));
    EXPECT_EQ(split("A \"\""), (W{"A", ""}));
    EXPECT_EQ(split("# only a comment"), W{});
    EXPECT_EQ(split(""), W{});

    std::vector<std::string> words;
    std::string error;
    EXPECT_FALSE(splitScriptLine("A \"open", words, error));
    EXPECT_FALSE(splitScriptLine("A 'open", words, error));
    EXPECT_FALSE(splitScriptLine("A \"bad \\q\"", words, error));
    EXPECT_FALSE(splitScriptLine("A \"ends\\", words, error));
}

TEST(ScriptLine, CallOptions)
{
    CallSpec call;
    std::string error;
    ASSERT_TRUE(parseCall(split("DropdownGet --value 2.5 --buf1-size 4 --no-host"), call, error)) << error;
    EXPECT_EQ(call.command, "DropdownGet");
    EXPECT_FALSE(call.text);
    EXPECT_EQ(call.value, 2.5);
    EXPECT_TRUE(call.buffer1.sizeGiven);
    EXPECT_EQ(call.buffer1.size, 4);
    EXPECT_TRUE(call.nullHost);

    ASSERT_TRUE(parseCall(split("doExport --text out.dae --list /tmp/ Head Body_TXTR --buf2 x"), call, error));
    EXPECT_EQ(*call.text, "out.dae");
    EXPECT_EQ(call.buffer1.content, std::string("/tmp/\0Head\0Body_TXTR\0", 21));
    EXPECT_EQ(call.buffer2.content, std::string("x\0", 2));

    for (const char* bad : {"--text x", "Cmd --value", "Cmd --value 1x", "Cmd --buf1-size 3000000000", "Cmd --what",
                            "Cmd --buf1-from-previous --list a", "Cmd --no-buf1 --buf1-from-previous"})
        EXPECT_FALSE(parseCall(split(bad), call, error)) << bad;
}

TEST(ScriptLine, BuffersAreAsLargeAsAnnounced)
{
    BufferSpec buffer;
    buffer.content = std::string("abc\0", 4);
    buffer.contentGiven = true;
    HostBuffer exact = makeBuffer(buffer);
    EXPECT_EQ(exact.size, 4);
    EXPECT_EQ(exact.capacity, 4u);

    buffer.sizeGiven = true;
    buffer.size = 0; // announced smaller than its content: the content is still there
    HostBuffer small = makeBuffer(buffer);
    EXPECT_EQ(small.size, 0);
    EXPECT_STREQ(small.data(), "abc");

    BufferSpec none;
    none.null = true;
    EXPECT_EQ(makeBuffer(none).data(), nullptr);
    EXPECT_EQ(makeBuffer(BufferSpec()).size, 1024);
}

TEST(ScriptLine, ResultsAndBuffersPrintReadably)
{
    EXPECT_EQ(formatResult(-1), "-1");
    EXPECT_EQ(formatResult(0.5f), "0.5");
    char bytes[] = {'a', '"', '\n', 'b', 0, 'z'};
    EXPECT_EQ(quoteBuffer(bytes, 6), "\"a\\\"\\x0ab\"");
    EXPECT_EQ(quoteBuffer(bytes, 2), "\"a\\\"\"");
    EXPECT_EQ(quoteBuffer(nullptr, 4), "null");
}

// Cut a valid script line at every length and flip every byte: each variant
// is split and parsed, or refused with a reason. A cut is refused exactly
// where it ends inside quotes, and otherwise splits into the start of the
// whole line's words; a flip inside the comment changes nothing.
TEST(ScriptLine, EveryCutAndFlipIsHandled)
{
    const std::string sample = "DropdownAdd --text \"a \\\"b\\\" c\" --value -2.5 --list x 'y z' --buf1-size 9 # end";
    std::vector<std::string> whole, words;
    std::string error;
    ASSERT_TRUE(splitScriptLine(sample, whole, error));
    // Each quoted word from its opening quote to its closing one.
    const size_t quoted[][2] = {{sample.find('"'), sample.find("\" --value")}, {sample.find('\''), sample.rfind('\'')}};
    auto check = [&](const std::string& line) {
        error.clear();
        bool split = splitScriptLine(line, words, error);
        EXPECT_TRUE(split || !error.empty()) << line;
        CallSpec call;
        std::string parseError;
        if (split && !words.empty())
        {
            bool parsed = parseCall(words, call, parseError);
            EXPECT_TRUE(parsed ? call.command == words[0] : !parseError.empty()) << line;
        }
        return split;
    };
    for (size_t length = 0; length <= sample.size(); length++)
    {
        bool inQuotes = false;
        for (auto [open, close] : quoted)
            inQuotes = inQuotes || (open < length && length <= close);
        EXPECT_EQ(check(sample.substr(0, length)), !inQuotes) << length;
        if (inQuotes)
            continue;
        ASSERT_LE(words.size(), whole.size()) << length;
        for (size_t i = 0; i < words.size(); i++)
            EXPECT_TRUE(i + 1 < words.size() ? words[i] == whole[i] : whole[i].starts_with(words[i])) << length;
    }
    for (size_t i = 0; i < sample.size(); i++)
        for (unsigned char flip : {0x01, 0x20, 0x80, 0xFF})
        {
            std::string line = sample;
            line[i] = char(line[i] ^ flip);
            bool split = check(line);
            if (i > sample.find('#'))
            {
                EXPECT_TRUE(split && words == whole) << i;
            }
        }
}
