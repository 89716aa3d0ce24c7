// A folder of its own under the system's temporary folder, removed with
// everything in it when the object goes.
#pragma once

#include "vyx_writer.h"

#include <atomic>
#include <filesystem>
#include <random>
#include <string>

struct TempFolder
{
    std::filesystem::path path;

    TempFolder()
    {
        static std::atomic<unsigned> serial{0};
        std::string name = "vyx-" + std::to_string(std::random_device{}()) + "-" + std::to_string(serial++);
        path = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes bytes into the folder and answers the file's path.
    std::string file(const std::string& name, const Bytes& bytes) const
    {
        std::string file = (path / name).string();
        writeBytes(file, bytes);
        return file;
    }
};
