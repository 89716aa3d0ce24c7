#include "common/utf8.h"
#include "windows_platform.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

bool toWide(const char* text, std::wstring& wide)
{
    std::u16string units;
    bool converted = utf8ToUtf16(text, units);
    wide.assign(units.begin(), units.end());
    return converted;
}

std::string toUtf8(const wchar_t* text, size_t length)
{
    return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

std::string toUtf8(const std::wstring& text)
{
    return toUtf8(text.data(), text.size());
}

Handle::~Handle()
{
    if (valid())
        CloseHandle(value);
}
