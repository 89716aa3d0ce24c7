#include "call.h"

#include <charconv>
#include <algorithm>
#include <cstring>
#include <limits>

HostBuffer makeBuffer(const BufferSpec& request)
{
    HostBuffer buffer;
    buffer.null = request.null;
    int64_t size = request.sizeGiven ? request.size : request.contentGiven ? int64_t(request.content.size()) : 1024;
    buffer.size = int32_t(size);
    buffer.capacity = std::max(size_t(std::max<int64_t>(size, 0)), request.content.size());
    buffer.bytes.reset(new char[buffer.capacity]());
    memcpy(buffer.bytes.get(), request.content.data(), request.content.size());
    return buffer;
}

BufferSpec passOn(const HostBuffer& buffer)
{
    BufferSpec next;
    next.null = buffer.null;
    next.contentGiven = true;
    next.content.assign(buffer.bytes.get(), strnlen(buffer.bytes.get(), buffer.capacity));
    next.content.push_back('\0');
    next.sizeGiven = true;
    next.size = buffer.size;
    return next;
}

static bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The character that the escape \e stands for; false for an unknown escape.
static bool unescape(char e, char& c)
{
    switch (e)
    {
    case 'n': c = '\n'; return true;
    case 't': c = '\t'; return true;
    case '0': c = '\0'; return true;
    case '\\': c = '\\'; return true;
    case '"': c = '"'; return true;
    default: return false;
    }
}

// A "..." group from line[i], its opening quote, to its closing one.
static bool readDoubleQuoted(std::string_view line, size_t& i, std::string& word, std::string& error)
{
    i++;
    for (;;)
    {
        if (i >= line.size())
            return error = "unterminated \"", false;
        char d = line[i++];
        if (d == '"')
            return true;
        if (d != '\\')
        {
            word.push_back(d);
            continue;
        }
        if (i >= line.size())
            return error = "unterminated \"", false;
        char e = line[i++];
        char c = 0;
        if (!unescape(e, c))
            return error = std::string("unknown escape \\") + e, false;
        word.push_back(c);
    }
}

// One word from line[i], a non-blank, up to the next blank outside quotes.
static bool readWord(std::string_view line, size_t& i, std::string& word, std::string& error)
{
    while (i < line.size() && !isBlank(line[i]))
    {
        char q = line[i];
        if (q == '\'')
        {
            size_t end = line.find('\'', i + 1);
            if (end == std::string_view::npos)
                return error = "unterminated '", false;
            word.append(line.substr(i + 1, end - i - 1));
            i = end + 1;
        }
        else if (q == '"')
        {
            if (!readDoubleQuoted(line, i, word, error))
                return false;
        }
        else
        {
            word.push_back(q);
            i++;
        }
    }
    return true;
}

bool splitScriptLine(std::string_view line, std::vector<std::string>& words, std::string& error)
{
    words.clear();
    size_t i = 0;
    while (i < line.size())
    {
        if (isBlank(line[i]))
        {
            i++;
            continue;
        }
        if (line[i] == '#')
            break;
        std::string word;
        if (!readWord(line, i, word, error))
            return false;
        words.push_back(std::move(word));
    }
    return true;
}

static bool parseNumber(const std::string& word, double& number)
{
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, number);
    return ec == std::errc() && ptr == end;
}

static bool parseSize(const std::string& word, int64_t& size)
{
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, size);
    return ec == std::errc() && ptr == end && size >= std::numeric_limits<int32_t>::min() &&
           size <= std::numeric_limits<int32_t>::max();
}

// The value after option, words[i], moving i past it.
static bool takeValue(const std::vector<std::string>& words, size_t& i, const std::string& option, std::string& value,
                      std::string& error)
{
    if (i >= words.size())
        return error = option + " needs a value", false;
    value = words[i++];
    return true;
}

// The options that fill buffer 1 or 2 (which one, the option's name says);
// false with a message on another option or a wrong value.
static bool parseBufferOption(const std::string& option, const std::vector<std::string>& words, size_t& i,
                              BufferSpec& buffer, std::string& error)
{
    std::string word;
    if (option == "--buf1" || option == "--buf2")
    {
        if (!takeValue(words, i, option, word, error))
            return false;
        buffer.content = word;
        buffer.content.push_back('\0');
        buffer.contentGiven = true;
    }
    else if (option == "--list")
    {
        // Entries, each with its NUL, up to the next option.
        buffer.content.clear();
        buffer.contentGiven = true;
        while (i < words.size() && words[i].rfind("--", 0) != 0)
        {
            buffer.content += words[i++];
            buffer.content.push_back('\0');
        }
    }
    else if (option == "--buf1-size" || option == "--buf2-size")
    {
        if (!takeValue(words, i, option, word, error))
            return false;
        if (!parseSize(word, buffer.size))
            return error = option + " takes a 32-bit integer, not '" + word + "'", false;
        buffer.sizeGiven = true;
    }
    else if (option == "--no-buf1" || option == "--no-buf2")
        buffer.null = true;
    else if (option == "--buf1-from-previous")
        buffer.fromPrevious = true;
    else
        return error = "unknown option '" + option + "'", false;
    return true;
}

// One option, words[i - 1], and its values.
static bool parseOption(const std::string& option, const std::vector<std::string>& words, size_t& i, CallSpec& call,
                        std::string& error)
{
    std::string word;
    if (option == "--text")
    {
        if (!takeValue(words, i, option, word, error))
            return false;
        call.text = word;
    }
    else if (option == "--value")
    {
        if (!takeValue(words, i, option, word, error))
            return false;
        if (!parseNumber(word, call.value))
            return error = "--value takes a number, not '" + word + "'", false;
    }
    else if (option == "--no-host")
        call.nullHost = true;
    else
        return parseBufferOption(option, words, i, option.find("buf2") != std::string::npos ? call.buffer2 : call.buffer1,
                                 error);
    return true;
}

bool parseCall(const std::vector<std::string>& words, CallSpec& call, std::string& error)
{
    call = CallSpec();
    if (words.empty() || words[0].empty() || words[0][0] == '-')
        return error = "expected a command name", false;
    call.command = words[0];
    for (size_t i = 1; i < words.size();)
    {
        std::string option = words[i++];
        if (!parseOption(option, words, i, call, error))
            return false;
    }
    if (call.buffer1.fromPrevious && (call.buffer1.contentGiven || call.buffer1.null))
    {
        error = "--buf1-from-previous gives buffer 1 its content: not with --buf1, --list or --no-buf1";
        return false;
    }
    return true;
}

std::string formatResult(float result)
{
    char text[64];
    auto [end, ec] = std::to_chars(text, text + sizeof(text), result);
    return ec == std::errc() ? std::string(text, end) : std::string("?");
}

std::string quoteBuffer(const char* data, int32_t size)
{
    if (!data)
        return "null";
    std::string out = "\"";
    for (int32_t i = 0; i < size && data[i] != '\0'; i++)
    {
        unsigned char c = (unsigned char)data[i];
        if (c == '"' || c == '\\')
        {
            out.push_back('\\');
            out.push_back(char(c));
        }
        else if (c < 0x20 || c == 0x7F)
        {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
        else
        {
            out.push_back(char(c));
        }
    }
    return out + "\"";
}
