// A host callback table that records every call and answers as told.
#pragma once

#include "common/host.h"

#include <cstdint>
#include <string>
#include <vector>

struct HostCall
{
    int entry = -1;
    bool textNull = false;
    std::string text;
    std::string buffer1;              // entries 0, 17: buffer 1's text
    int32_t number = 0;               // entries 0, 17: the integer; 1: the selection; 18: the selector
    std::vector<std::string> items;   // entry 1
    int32_t a = 0, b = 0;             // entry 1: the two trailing integers
    double value = 0;                 // entry 18
    int32_t buffer1Size = 0, buffer2Size = 0;
};

struct TestHost
{
    std::vector<HostCall> calls;
    // Booleans are answered through a whole register, so that a test can put
    // garbage above the lowest byte.
    uint32_t renameAnswer = 1;
    uint32_t iconAnswer = 1;
    int32_t showAnswer = 0;
    int32_t subToolAnswer = 0;
    int32_t language = 0;
    const char* localized = "Hello World"; // answer of entries 6 to 9
    float sizeAnswer = 0;

    HostContext context{};
    HostCallbackTable table{};

    // Installs this host as the one the callbacks record into.
    TestHost();
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;
};
