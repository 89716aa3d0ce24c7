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

bool splitScriptLine(std::string_view line, std::vector<std::string>& words, std::string& error)
{
    words.clear();
    size_t i = 0;
    while (i < line.size())
    {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
        {
            i++;
            continue;
        }
        if (c == '#')
            break;
        std::string word;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '\n')
        {
            char q = line[i];
            if (q == '\'')
            {
                size_t end = line.find('\'', i + 1);
                if (end == std::string_view::npos)
                {
                    error = "unterminated '";
                    return false;
                }
                word.append(line.substr(i + 1, end - i - 1));
                i = end + 1;
            }
            else if (q == '"')
            {
                i++;
                for (;;)
                {
                    if (i >= line.size())
                    {
                        error = "unterminated \"";
                        return false;
                    }
                    char d = line[i++];
                    if (d == '"')
                        break;
                    if (d != '\\')
                    {
                        word.push_back(d);
                        continue;
                    }
                    if (i >= line.size())
                    {
                        error = "unterminated \"";
                        return false;
                    }
                    char e = line[i++];
                    switch (e)
                    {
                    case 'n': word.push_back('\n'); break;
                    case 't': word.push_back('\t'); break;
                    case '0': word.push_back('\0'); break;
                    case '\\': word.push_back('\\'); break;
                    case '"': word.push_back('"'); break;
                    default:
                        error = std::string("unknown escape \\") + e;
                        return false;
                    }
                }
            }
            else
            {
                word.push_back(q);
                i++;
            }
        }
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

bool parseCall(const std::vector<std::string>& words, CallSpec& call, std::string& error)
{
    call = CallSpec();
    if (words.empty() || words[0].empty() || words[0][0] == '-')
    {
        error = "expected a command name";
        return false;
    }
    call.command = words[0];
    size_t i = 1;
    auto argument = [&](const std::string& option, std::string& out) {
        if (i >= words.size())
        {
            error = option + " needs a value";
            return false;
        }
        out = words[i++];
        return true;
    };
    while (i < words.size())
    {
        std::string option = words[i++];
        std::string word;
        bool second = option.find("buf2") != std::string::npos;
        BufferSpec& buffer = second ? call.buffer2 : call.buffer1;
        if (option == "--text")
        {
            if (!argument(option, word))
                return false;
            call.text = word;
        }
        else if (option == "--value")
        {
            if (!argument(option, word))
                return false;
            if (!parseNumber(word, call.value))
            {
                error = "--value takes a number, not '" + word + "'";
                return false;
            }
        }
        else if (option == "--buf1" || option == "--buf2")
        {
            if (!argument(option, word))
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
            if (!argument(option, word))
                return false;
            int64_t size = 0;
            if (!parseSize(word, size))
            {
                error = option + " takes a 32-bit integer, not '" + word + "'";
                return false;
            }
            buffer.size = size;
            buffer.sizeGiven = true;
        }
        else if (option == "--no-buf1" || option == "--no-buf2")
        {
            buffer.null = true;
        }
        else if (option == "--buf1-from-previous")
        {
            buffer.fromPrevious = true;
        }
        else if (option == "--no-host")
        {
            call.nullHost = true;
        }
        else
        {
            error = "unknown option '" + option + "'";
            return false;
        }
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
