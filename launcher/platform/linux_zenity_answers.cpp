// Zenity's file filter and the parsing of its answers. An answer comes from
// another program: anything that does not read exactly as expected is refused.
#include "common/host_path.h"
#include "linux_zenity.h"
#include "platform.h"

#include <cctype>
#include <cstring>
#include <string_view>

// The answer without the one newline zenity ends it with.
static std::string withoutNewline(const std::string& answer)
{
    if (!answer.empty() && answer.back() == '\n')
        return answer.substr(0, answer.size() - 1);
    return answer;
}

static bool isAbsolutePath(const std::string& path)
{
    return isNativeAbsolutePath(path, PathStyle::Posix) && path.find('\0') == std::string::npos;
}

std::string zenityFileFilter(const std::vector<std::string>& extensions)
{
    // Zenity takes the name up to the first "|" and patterns split at blanks.
    std::string name;
    std::string patterns;
    for (const std::string& extension : extensions)
    {
        for (char c : extension)
            if (c != '|')
                name += c;
        name += ' ';
        patterns += " *.";
        // Letters in either case, as the desktop matches extensions; the
        // pattern characters escaped, so that each is matched as itself.
        for (char c : extension)
        {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
                patterns += std::string("[") + char(tolower(c)) + char(toupper(c)) + "]";
            else if (std::string_view("*?[]\\").find(c) != std::string_view::npos)
                patterns += std::string("\\") + c;
            else
                patterns += c;
        }
    }
    return "--file-filter=" + name + "|" + patterns;
}

bool splitZenityFiles(const std::string& answer, std::vector<std::string>& paths)
{
    std::string text = withoutNewline(answer);
    const size_t separatorLength = strlen(kZenitySeparator);
    std::vector<std::string> found;
    size_t start = 0;
    while (true)
    {
        size_t end = text.find(kZenitySeparator, start);
        std::string path = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!isAbsolutePath(path))
            return false;
        found.push_back(path);
        if (end == std::string::npos)
            break;
        start = end + separatorLength;
    }
    paths = found;
    return true;
}

bool readZenityPath(const std::string& answer, std::string& path)
{
    std::string text = withoutNewline(answer);
    if (!isAbsolutePath(text))
        return false;
    path = text;
    return true;
}

static bool expect(const std::string& text, size_t& at, char c)
{
    if (at >= text.size() || text[at] != c)
        return false;
    at++;
    return true;
}

// A decimal number from 0 to 255, written as zenity writes it: no leading zeros.
static bool readChannel(const std::string& text, size_t& at, uint8_t& channel)
{
    size_t start = at;
    unsigned value = 0;
    while (at < text.size() && at - start < 3 && text[at] >= '0' && text[at] <= '9')
        value = value * 10 + unsigned(text[at++] - '0');
    if (at == start || value > 255 || (text[start] == '0' && at - start > 1))
        return false;
    channel = uint8_t(value);
    return true;
}

static int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

static bool readHexColor(const std::string& text, RgbColor& color)
{
    if (text.size() != 7 || text[0] != '#')
        return false;
    uint8_t* channels[3] = {&color.red, &color.green, &color.blue};
    for (size_t i = 0; i < 3; i++)
    {
        int high = hexDigit(text[1 + 2 * i]);
        int low = hexDigit(text[2 + 2 * i]);
        if (high < 0 || low < 0)
            return false;
        *channels[i] = uint8_t(high * 16 + low);
    }
    return true;
}

static bool readRgbColor(const std::string& text, RgbColor& color)
{
    size_t at = 0;
    for (char c : std::string("rgb("))
        if (!expect(text, at, c))
            return false;
    return readChannel(text, at, color.red) && expect(text, at, ',') && readChannel(text, at, color.green) &&
           expect(text, at, ',') && readChannel(text, at, color.blue) && expect(text, at, ')') && at == text.size();
}

bool parseZenityColor(const std::string& answer, RgbColor& color)
{
    std::string text = withoutNewline(answer);
    RgbColor read;
    if (!readHexColor(text, read) && !readRgbColor(text, read))
        return false;
    color = read;
    return true;
}
