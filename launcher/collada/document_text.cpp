// Names and paths as the document writes them: the schema takes only XML
// names for identifiers, XML readers refuse a raw "&" or "<", and image
// readers take the image's address as a file URI.
#include "collada.h"
#include "common/utf8.h"

#include <system_error>

// The code point of a well-formed character of the given length.
static char32_t codePoint(std::string_view character)
{
    auto byte = [&](size_t i) { return char32_t(static_cast<unsigned char>(character[i])); };
    if (character.size() == 1)
        return byte(0);
    char32_t code = byte(0) & (0x7F >> character.size());
    for (size_t i = 1; i < character.size(); i++)
        code = code << 6 | (byte(i) & 0x3F);
    return code;
}

std::string colladaName(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 1);
    while (!text.empty())
    {
        Utf8Character character = utf8Character(text);
        std::string_view bytes = text.substr(0, character.length);
        char32_t code = character.valid ? codePoint(bytes) : 0;
        bool first = out.empty();
        if (character.valid && isXmlNameCharacter(code, first))
            out += bytes;
        else if (first && character.valid && isXmlNameCharacter(code, false))
            out += "_" + std::string(bytes);
        else
            out += '_';
        text.remove_prefix(character.length);
    }
    return out.empty() ? "_" : out;
}

std::string xmlText(std::string_view text)
{
    if (text.find_first_of("&<>\"'") == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text)
    {
        switch (c)
        {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

static bool keptInUri(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/';
}

static void appendEncoded(std::string& out, std::string_view text)
{
    static const char kHex[] = "0123456789ABCDEF";
    for (char c : text)
    {
        auto byte = static_cast<unsigned char>(c);
        if (keptInUri(byte))
        {
            out += c;
        }
        else
        {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
}

std::string fileUri(const std::string& path, PathStyle style)
{
    std::string uri = "file://";
    if (style == PathStyle::Posix)
    {
        appendEncoded(uri, path);
        return uri;
    }
    std::string slashed = path;
    for (char& c : slashed)
        if (c == '\\')
            c = '/';
    // The long-path forms name the same file: \\?\C:\x is C:\x, and
    // \\?\UNC\server\x is \\server\x.
    if (slashed.starts_with("//?/UNC/"))
        slashed.erase(2, 6);
    else if (slashed.starts_with("//?/"))
        slashed.erase(0, 4);
    if (startsWithDrive(slashed))
    {
        // The drive's colon stays as it is: readers take "/C:/" as the drive.
        uri += '/';
        uri.append(slashed, 0, 2);
        appendEncoded(uri, std::string_view(slashed).substr(2));
    }
    else if (slashed.starts_with("//"))
    {
        // A share's server becomes the URI's host.
        appendEncoded(uri, std::string_view(slashed).substr(2));
    }
    else
    {
        appendEncoded(uri, slashed);
    }
    return uri;
}

std::string imageUri(const std::string& path)
{
    if (isNativeAbsolutePath(path, kSystemPathStyle))
        return fileUri(path, kSystemPathStyle);
    // A relative path means nothing to a reader elsewhere; the current folder
    // is what it is relative to.
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(utf8Path(path), error);
    return fileUri(error ? path : utf8Text(absolute), kSystemPathStyle);
}
