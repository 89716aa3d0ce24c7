#include "platform_double.h"

static PlatformDouble* g_double = nullptr;

static bool createFolder(const char* path)
{
    g_double->calls.push_back(std::string("createFolder ") + path);
    return g_double->createFolderAnswer;
}

static bool removeInFolder(const char* path, EntryPick pick, const void* context, bool recursive)
{
    g_double->calls.push_back(std::string(recursive ? "removeInFolder (recursive) " : "removeInFolder ") + path);
    if (!g_double->listFolderAnswer)
        return false;
    for (const std::string& name : g_double->listing)
        if (pick(name, context))
            g_double->calls.push_back("remove " + name);
    return true;
}

static std::string usersFolder()
{
    g_double->calls.push_back("usersFolder");
    return g_double->usersFolder;
}

static CopyOutcome copyFile(const char* from, const char* to)
{
    g_double->calls.push_back(std::string("copyFile ") + from + " " + to);
    return g_double->copyOutcome;
}

static bool launchApplication(const char* path, const std::vector<std::string>& arguments)
{
    std::string call = std::string("launch ") + path;
    for (const std::string& argument : arguments)
        call += " [" + argument + "]";
    g_double->calls.push_back(call);
    return g_double->launchAnswer;
}

static void runningApplications(std::vector<std::string>& names)
{
    names = g_double->running;
}

static int openWithDefaultApplication(const char* path, int)
{
    g_double->calls.push_back(std::string("open ") + path);
    return g_double->openAnswer;
}

static int createFolderIn(const char* parent, const char* name)
{
    g_double->calls.push_back(std::string("createFolderIn [") + parent + "] [" + name + "]");
    return g_double->createFolderInAnswer;
}


static ScreenLayout screenLayout()
{
    g_double->calls.push_back("screenLayout");
    return g_double->screens;
}

static bool firstWindowFullScreen()
{
    g_double->calls.push_back("firstWindowFullScreen");
    return g_double->fullScreen;
}

static void toggleFirstWindowFullScreen()
{
    g_double->calls.push_back("toggleFirstWindowFullScreen");
}

static bool keyboardMap(KeyboardMap& map)
{
    g_double->calls.push_back("keyboardMap");
    map = g_double->keyboard;
    return g_double->keyboardAnswer;
}

static void postKeys(const std::vector<KeyEvent>& events)
{
    g_double->calls.push_back("postKeys");
    g_double->postedKeys.insert(g_double->postedKeys.end(), events.begin(), events.end());
}

static void postClick(int32_t x, int32_t y)
{
    g_double->calls.push_back("postClick " + std::to_string(x) + " " + std::to_string(y));
}

static bool download(const char* url, const char* path)
{
    g_double->calls.push_back(std::string("download ") + url + " " + path);
    return g_double->downloadAnswer;
}

static bool openFilesPanel(const char* title, const std::vector<std::string>& extensions,
                           std::vector<std::string>& paths)
{
    g_double->calls.push_back(std::string("openFilesPanel ") + (title ? title : "(no title)"));
    g_double->offeredExtensions = extensions;
    if (g_double->openFilesAnswer)
        paths = g_double->chosenFiles;
    return g_double->openFilesAnswer;
}

static bool chooseFolderPanel(const char* title, std::string& folder)
{
    g_double->calls.push_back(std::string("chooseFolderPanel ") + (title ? title : "(no title)"));
    if (g_double->chooseFolderAnswer)
        folder = g_double->chosenFolder;
    return g_double->chooseFolderAnswer;
}

static ColorAnswer colorPanel(const RgbColor& initial)
{
    g_double->calls.push_back("colorPanel");
    g_double->presetColor = initial;
    return g_double->colorAnswer;
}

// The double's services; those it does not stand in for (reading and
// opening, reading and replacing single files) are the system's own.
static PlatformServices doubleServices()
{
    PlatformServices services = systemPlatform();
    services.createFolder = createFolder;
    services.removeInFolder = removeInFolder;
    services.usersFolder = usersFolder;
    services.copyFile = copyFile;
    services.launchApplication = launchApplication;
    services.runningApplications = runningApplications;
    services.openWithDefaultApplication = openWithDefaultApplication;
    services.createFolderIn = createFolderIn;
    services.screenLayout = screenLayout;
    services.firstWindowFullScreen = firstWindowFullScreen;
    services.toggleFirstWindowFullScreen = toggleFirstWindowFullScreen;
    services.keyboardMap = keyboardMap;
    services.postKeys = postKeys;
    services.postClick = postClick;
    services.download = download;
    services.openFilesPanel = openFilesPanel;
    services.chooseFolderPanel = chooseFolderPanel;
    services.colorPanel = colorPanel;
    return services;
}

PlatformDouble::PlatformDouble()
{
    static const PlatformServices services = doubleServices();
    g_double = this;
    installPlatform(&services);
}

PlatformDouble::~PlatformDouble()
{
    installPlatform(nullptr);
    g_double = nullptr;
}
