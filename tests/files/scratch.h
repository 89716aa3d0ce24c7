// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include "utf8_path.h"

#include <unistd.h>

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
        std::filesystem::remove_all(root, ignored);
    }

    std::string path(const std::string& name) const { return utf8Text(root / utf8Path(name)); }
    std::string file(const std::string& name, const std::string& content = "x") const
    {
        std::ofstream(root / utf8Path(name), std::ios::binary) << content;
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
