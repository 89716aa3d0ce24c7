#include "windows_platform.h"

#include <climits>
#include <cstring>

bool toWide(const char* text, std::wstring& wide)
{
    wide.clear();
    size_t length = strlen(text);
    if (length == 0)
        return true;
    if (length > INT_MAX)
        return false;
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, int(length), nullptr, 0);
    if (size <= 0)
        return false;
    wide.resize(size_t(size));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, int(length), wide.data(), size) == size;
}

std::string toUtf8(const wchar_t* text, size_t length)
{
    if (length == 0 || length > INT_MAX)
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string narrow(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, int(length), narrow.data(), size, nullptr, nullptr);
    return narrow;
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
