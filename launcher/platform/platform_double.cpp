#include "platform_double.h"

static PlatformDouble* g_double = nullptr;

static bool createFolder(const char* path)
{
    g_double->calls.push_back(std::string("createFolder ") + path);
    return g_double->createFolderAnswer;
}

static bool listFolder(const char* path, std::vector<std::string>& names)
{
    g_double->calls.push_back(std::string("listFolder ") + path);
    names = g_double->listing;
    return g_double->listFolderAnswer;
}

static bool removeItem(const char* path)
{
    g_double->calls.push_back(std::string("removeItem ") + path);
    return g_double->removeItemAnswer;
}

static std::string usersFolder()
{
    g_double->calls.push_back("usersFolder");
    return g_double->usersFolder;
}

static bool copyFile(const char* from, const char* to)
{
    g_double->calls.push_back(std::string("copyFile ") + from + " " + to);
    return g_double->copyFileAnswer;
}

static const PlatformServices kDoubleServices = {
    createFolder, listFolder, removeItem, usersFolder, copyFile,
};

PlatformDouble::PlatformDouble()
{
    g_double = this;
    installPlatform(&kDoubleServices);
}

PlatformDouble::~PlatformDouble()
{
    installPlatform(nullptr);
    g_double = nullptr;
}
