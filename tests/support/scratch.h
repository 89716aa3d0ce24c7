// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include "common/utf8.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

struct Scratch
{
    std::filesystem::path root;

    Scratch()
    {
        static int made = 0;
        root = std::filesystem::temp_directory_path() /
               ("tesmar-files-" + std::to_string(getpid()) + "-" + std::to_string(made++));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(exact(""), ignored);
    }

    std::string path(const std::string& name) const { return utf8Text(root / utf8Path(name)); }
    // The path of a name exactly as spelt: a plain path on Windows loses a
    // trailing "." or space, and "con.txt" names the console.
    std::filesystem::path exact(const std::string& name) const
    {
#if defined(_WIN32)
        std::wstring verbatim = L"\\\\?\\" + (root / utf8Path(name)).wstring();
        std::replace(verbatim.begin(), verbatim.end(), L'/', L'\\');
        return verbatim;
#else
        return root / utf8Path(name);
#endif
    }
    std::string file(const std::string& name, const std::string& content = "x") const
    {
        std::ofstream(exact(name), std::ios::binary) << content;
        return path(name);
    }
    std::string folder(const std::string& name) const
    {
        std::filesystem::create_directories(root / utf8Path(name));
        return path(name);
    }
    bool exists(const std::string& name) const
    {
        return std::filesystem::exists(std::filesystem::symlink_status(root / utf8Path(name)));
    }
};
