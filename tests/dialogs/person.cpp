#include "person.h"
#include "tests/support/xcb_events.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

extern char** environ;

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Runs one xdotool command, silenced, and waits for it to end, for at most
// five seconds; true when it answered 0.
static bool xdotool(const XdotoolCommand& command)
{
    std::vector<std::string> words = {"xdotool"};
    words.insert(words.end(), command.begin(), command.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, "xdotool", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    // The process's descriptor becomes readable when it ends.
    int ended = int(syscall(SYS_pidfd_open, pid, 0));
    pollfd wait = {ended, POLLIN, 0};
    bool done = ended >= 0 && poll(&wait, 1, 5000) == 1;
    if (ended >= 0)
        close(ended);
    if (!done)
        kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    return done && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

namespace
{
// The display as the person sees it, through a connection of its own, told
// of every top-level window that is made, mapped, renamed, unmapped or
// destroyed.
struct Screen
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    xcb_window_t root = 0;

    Screen()
    {
        if (xcb_connection_has_error(connection))
            return;
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &events);
    }
    ~Screen() { xcb_disconnect(connection); }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    bool open() const { return root != 0; }

    // The viewable top-level window of this title; 0 for none. Each window
    // looked at reports its renames from then on.
    xcb_window_t shown(const std::string& title)
    {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
        if (!tree)
            return 0;
        xcb_window_t* children = xcb_query_tree_children(tree);
        int count = xcb_query_tree_children_length(tree);
        uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        for (int i = 0; i < count; i++)
            xcb_change_window_attributes(connection, children[i], XCB_CW_EVENT_MASK, &events);
        xcb_window_t found = 0;
        for (int i = 0; i < count && !found; i++)
        {
            auto* attributes = xcb_get_window_attributes_reply(
                connection, xcb_get_window_attributes(connection, children[i]), nullptr);
            auto* name = xcb_get_property_reply(connection,
                                                xcb_get_property(connection, 0, children[i], XCB_ATOM_WM_NAME,
                                                                 XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
                                                nullptr);
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE && name &&
                std::string(static_cast<char*>(xcb_get_property_value(name)),
                            size_t(xcb_get_property_value_length(name))) == title)
                found = children[i];
            free(attributes);
            free(name);
        }
        free(tree);
        return found;
    }

    // Waits for the next change of the windows, or the deadline: false then.
    bool changed(Clock::time_point until)
    {
        xcb_generic_event_t* event = nextEvent(connection, until);
        if (!event)
            return false;
        // Those that came with it tell nothing more: the next look sees all.
        for (; event; event = xcb_poll_for_event(connection))
            free(event);
        return true;
    }

    // Waits until a window of this title is shown, or is not, as wanted; the
    // window shown at the end, if any.
    xcb_window_t await(const std::string& title, bool wanted, Clock::time_point until)
    {
        // Each look comes after the events it asked for: no change is missed.
        xcb_window_t window = shown(title);
        while ((window != 0) != wanted && changed(until))
            window = shown(title);
        return window;
    }
};
}

// Ends the zenity processes that this process started: a dialog nobody could
// answer must not hold its command, and the test run, for ever.
static void closeDialogs()
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc"))
    {
        std::ifstream file(entry.path() / "stat");
        std::string stat;
        std::getline(file, stat);
        // "pid (name) state parent ..."; the name may hold anything.
        size_t open = stat.find('(');
        size_t close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open)
            continue;
        char state = 0;
        int parent = 0;
        if (sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) != 2)
            continue;
        if (stat.substr(open + 1, close - open - 1) == "zenity" && parent == getpid())
            kill(pid_t(std::stol(stat)), SIGTERM);
    }
}

// Waits until the folder that listing watches is closed after a read, or
// the deadline; true at once for no folder.
static bool listed(int listing, Clock::time_point until)
{
    if (listing < 0)
        return true;
    alignas(inotify_event) char events[4096];
    pollfd wait = {listing, POLLIN, 0};
    // The watch reports closes alone: any event is one.
    return poll(&wait, 1, millisecondsUntil(until)) == 1 && read(listing, events, sizeof events) > 0;
}

static bool answerDialog(const Answer& answer, int listing)
{
    Screen screen;
    auto until = Clock::now() + 30s;
    xcb_window_t dialog = screen.open() ? screen.await(answer.title, true, until) : 0;
    if (dialog == 0 || !listed(listing, until))
    {
        closeDialogs();
        return false;
    }
    bool sent = focusWindow(screen.connection, dialog);
    for (const XdotoolCommand& command : answer.first)
        sent = xdotool(command) && sent;
    // A key the panel was not ready for is pressed again while it stays.
    while (screen.shown(answer.title) != 0)
    {
        if (Clock::now() > until)
        {
            closeDialogs();
            return false;
        }
        if (!answer.repeat.empty())
            xdotool(answer.repeat);
        screen.await(answer.title, false, std::min(until, Clock::now() + 1s));
    }
    return sent;
}

// The folder is watched before the command can open its panel; a folder
// that cannot be watched is never seen read, and the answer fails.
Person::Person(Answer answer)
{
    if (!answer.listed.empty())
    {
        listing = inotify_init1(IN_CLOEXEC);
        inotify_add_watch(listing, answer.listed.c_str(), IN_CLOSE_NOWRITE | IN_ONLYDIR);
    }
    thread = std::thread([this, answer] { answered = answerDialog(answer, listing); });
}

Person::~Person()
{
    if (thread.joinable())
        thread.join();
    if (listing >= 0)
        close(listing);
}

bool Person::done()
{
    if (thread.joinable())
        thread.join();
    return answered;
}
