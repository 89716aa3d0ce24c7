#include "tests/support/platform_double.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

static PlatformDouble* g_double = nullptr;

static void record(std::string call)
{
    g_double->calls.push_back(std::move(call));
}

// A service the double does not model: the test must neither pass on the
// real system's answer nor touch the real system.
template <size_t N>
struct ServiceName
{
    char text[N];
    constexpr ServiceName(const char (&name)[N]) { std::copy_n(name, N, text); }
};
template <ServiceName name, class Result, class... Arguments>
static Result unmodelled(Arguments...)
{
    fprintf(stderr, "the platform double does not model %s: give the test the real platform\n", name.text);
    abort();
}
template <ServiceName name, class Result, class... Arguments>
static constexpr auto unmodelledAs(Result (*)(Arguments...))
{
    return &unmodelled<name, Result, Arguments...>;
}
#define UNMODELLED(group, service) .service = unmodelledAs<#service>(decltype(group::service)(nullptr))

static bool createFolder(const char* path)
{
    record(std::string("createFolder ") + path);
    return g_double->folders.insert(path).second && !g_double->files.count(path);
}

static PathKind pathKind(const char* path)
{
    record(std::string("pathKind ") + path);
    return g_double->folders.count(path) ? PathKind::Folder
           : g_double->files.count(path) ? PathKind::Regular
                                         : PathKind::Missing;
}

// A known file opens for reading, over its contents in memory.
static FILE* openFile(const char* path)
{
    record(std::string("openFile (read) ") + path);
    auto file = g_double->files.find(path);
    if (file == g_double->files.end())
        return nullptr;
    return file->second.empty() ? fopen("/dev/null", "rb") : fmemopen(file->second.data(), file->second.size(), "rb");
}

// No links: a known path is its own resolution, any other cannot be resolved.
static std::string resolveLinks(const char* path)
{
    record(std::string("resolveLinks ") + path);
    return g_double->folders.count(path) || g_double->files.count(path) ? path : "";
}

static bool removeInFolder(const char* path, EntryPick pick, const void* context, bool recursive)
{
    record(std::string(recursive ? "removeInFolder (recursive) " : "removeInFolder ") + path);
    if (!g_double->listFolderAnswer)
        return false;
    for (const std::string& name : g_double->listing)
        if (pick(name, context))
            record("remove " + name);
    return true;
}

static std::string usersFolder()
{
    record("usersFolder");
    return g_double->usersFolder;
}

static std::string homeFolder()
{
    record("homeFolder");
    return g_double->homeFolder;
}

static bool readFile(const char* path, size_t limit, std::string& contents)
{
    record(std::string("readFile ") + path);
    auto file = g_double->files.find(path);
    if (file == g_double->files.end() || file->second.size() > limit)
        return false;
    contents = file->second;
    return true;
}

static bool replaceFile(const char* path, const std::string& contents)
{
    record(std::string("replaceFile ") + path);
    if (g_double->folders.count(path))
        return false;
    g_double->files[path] = contents;
    return true;
}

static bool launchApplication(const char* path, const std::vector<std::string>& arguments)
{
    std::string call = std::string("launch ") + path;
    for (const std::string& argument : arguments)
        call += " [" + argument + "]";
    record(call);
    return g_double->launchAnswer;
}

static void runningApplications(std::vector<std::string>& names)
{
    names = g_double->running;
}

static OpenAnswer openWithDefaultApplication(const char* path, int)
{
    record(std::string("open ") + path);
    return g_double->openAnswer;
}

static ScreenLayout screenLayout()
{
    record("screenLayout");
    return g_double->screens;
}

static bool firstWindowFullScreen()
{
    record("firstWindowFullScreen");
    return false;
}

static void toggleFirstWindowFullScreen()
{
    record("toggleFirstWindowFullScreen");
}

static bool keyboardMap(KeyboardMap& map)
{
    record("keyboardMap");
    map = g_double->keyboard;
    return g_double->keyboardAnswer;
}

static void postKeys(const std::vector<KeyEvent>& events)
{
    record("postKeys");
    g_double->postedKeys.insert(g_double->postedKeys.end(), events.begin(), events.end());
}

static void postClick(int32_t x, int32_t y)
{
    record("postClick " + std::to_string(x) + " " + std::to_string(y));
}

static bool openFilesPanel(const char* title, const std::vector<std::string>& extensions,
                           std::vector<std::string>& paths)
{
    record(std::string("openFilesPanel ") + (title ? title : "(no title)"));
    g_double->offeredExtensions = extensions;
    if (g_double->openFilesAnswer)
        paths = g_double->chosenFiles;
    return g_double->openFilesAnswer;
}

static bool chooseFolderPanel(const char* title, std::string& folder)
{
    record(std::string("chooseFolderPanel ") + (title ? title : "(no title)"));
    if (g_double->chooseFolderAnswer)
        folder = g_double->chosenFolder;
    return g_double->chooseFolderAnswer;
}

static ColorAnswer colorPanel(const RgbColor& initial)
{
    record("colorPanel");
    g_double->presetColor = initial;
    return g_double->colorAnswer;
}

static CompanionOutcome exchangeWithCompanion(uint16_t port, const char*, size_t length, int)
{
    record("exchangeWithCompanion " + std::to_string(port) + " " + std::to_string(length));
    return CompanionOutcome::Unreachable;
}

// The next answer; its body is refused past the request's limit, as the
// backends refuse it.
static bool httpExchange(const HttpRequest& request, HttpAnswer& answer)
{
    std::string call = std::string("httpExchange ") + (request.secure ? "https://" : "http://") + request.host + ":" +
                       std::to_string(request.port) + request.target;
    for (const std::string& line : request.headers)
        if (line.starts_with("Authorization: "))
            call += " " + line;
    record(call);
    size_t asked = g_double->httpRequests.size();
    g_double->httpRequests.push_back(request);
    if (asked >= g_double->httpAnswers.size() || g_double->httpAnswers[asked].body.size() > request.limit)
        return false;
    answer = g_double->httpAnswers[asked];
    return true;
}

static void removeLeftoverDownloads(const char* path)
{
    record(std::string("removeLeftoverDownloads ") + path);
}

static const FileServices kFiles = {
    .createFolder = createFolder,
    .removeInFolder = removeInFolder,
    UNMODELLED(FileServices, removeEntry),
    UNMODELLED(FileServices, removeFile),
    .pathKind = pathKind,
    UNMODELLED(FileServices, removeFolder),
    UNMODELLED(FileServices, renameEntry),
    UNMODELLED(FileServices, openFolderStream),
    UNMODELLED(FileServices, nextFolderEntry),
    UNMODELLED(FileServices, closeFolderStream),
    .openFile = openFile,
    UNMODELLED(FileServices, bytesLeft),
    UNMODELLED(FileServices, skipBytes),
    .resolveLinks = resolveLinks,
    .usersFolder = usersFolder,
    .homeFolder = homeFolder,
    UNMODELLED(FileServices, copyFile),
    .readFile = readFile,
    .replaceFile = replaceFile,
    .removeLeftoverDownloads = removeLeftoverDownloads,
};
static const ProcessServices kProcesses = {
    .launchApplication = launchApplication,
    .runningApplications = runningApplications,
    .openWithDefaultApplication = openWithDefaultApplication,
};
static const DesktopServices kDesktop = {
    .screenLayout = screenLayout,
    .firstWindowFullScreen = firstWindowFullScreen,
    .toggleFirstWindowFullScreen = toggleFirstWindowFullScreen,
    .keyboardMap = keyboardMap,
    .postKeys = postKeys,
    .postClick = postClick,
    .openFilesPanel = openFilesPanel,
    .chooseFolderPanel = chooseFolderPanel,
    .colorPanel = colorPanel,
};
static const NetworkServices kNetwork = {
    .exchangeWithCompanion = exchangeWithCompanion,
    .httpExchange = httpExchange,
};

PlatformDouble::PlatformDouble()
{
    g_double = this;
    installServices({&kFiles, &kProcesses, &kDesktop, &kNetwork});
}

PlatformDouble::~PlatformDouble()
{
    installServices({});
    g_double = nullptr;
}
