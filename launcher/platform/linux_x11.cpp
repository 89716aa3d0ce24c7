#include "linux_x11.h"

#include <netdb.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <string>

namespace
{
using Clock = std::chrono::steady_clock;

// Waits until the socket is ready for events; false once the deadline passed.
bool waitFor(int socket, short events, Clock::time_point deadline)
{
    for (;;)
    {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd ready = {socket, events, 0};
        int polled = poll(&ready, 1, int(left > 0 ? left : 0));
        if (polled < 0 && errno == EINTR)
            continue;
        return polled > 0;
    }
}

// A connection setup request without authorization, least significant byte
// first: protocol 11.0, empty authorization name and data.
const unsigned char kSetupRequest[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// What a server did with a new connection within the time.
enum class Probe
{
    Answered, // whatever it said (a refusal of the missing authorization too)
    Refused,  // no connection, or closed at once: opening fails fast anyway
    Silent,   // still connecting, or connected and saying nothing
};

// Connects to one address, sends the setup request and waits for the first
// byte of the server's answer.
Probe probeAt(int family, const sockaddr* address, socklen_t length, Clock::time_point deadline)
{
    int connection = socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (connection < 0)
        return Probe::Refused;
    Probe outcome = Probe::Refused;
    int connecting = connect(connection, address, length) == 0 ? 0 : errno;
    int error = 0;
    socklen_t size = sizeof error;
    char first = 0;
    if (connecting == EAGAIN)
        outcome = Probe::Silent; // a local server whose queue of connections is full
    else if (connecting != 0 && connecting != EINPROGRESS)
        outcome = Probe::Refused;
    else if (!waitFor(connection, POLLOUT, deadline))
        outcome = Probe::Silent;
    else if (getsockopt(connection, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0 ||
             send(connection, kSetupRequest, sizeof kSetupRequest, MSG_NOSIGNAL) != sizeof kSetupRequest)
        outcome = Probe::Refused;
    else if (!waitFor(connection, POLLIN, deadline))
        outcome = Probe::Silent;
    else
        outcome = recv(connection, &first, 1, 0) == 1 ? Probe::Answered : Probe::Refused;
    close(connection);
    return outcome;
}

// The server's socket of the local display: the abstract name first, then
// the file, as Xlib looks for them.
Probe probeLocal(int number, Clock::time_point deadline)
{
    std::string file = "/tmp/.X11-unix/X" + std::to_string(number);
    Probe outcome = Probe::Refused;
    for (bool abstract : {true, false})
    {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        size_t at = abstract ? 1 : 0; // an abstract name begins with a NUL
        file.copy(address.sun_path + at, file.size());
        socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + at + file.size() + (abstract ? 0 : 1));
        outcome = probeAt(AF_UNIX, reinterpret_cast<sockaddr*>(&address), length, deadline);
        if (outcome != Probe::Refused)
            break;
    }
    return outcome;
}

Probe probeRemote(const char* host, int number, Clock::time_point deadline)
{
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, std::to_string(6000 + number).c_str(), &hints, &found) != 0)
        return Probe::Refused;
    Probe outcome = Probe::Refused;
    for (addrinfo* address = found; address && outcome == Probe::Refused; address = address->ai_next)
        outcome = probeAt(address->ai_family, address->ai_addr, address->ai_addrlen, deadline);
    freeaddrinfo(found);
    return outcome;
}

// The connection of the call under way: Xlib hands its error handlers,
// which are one for the whole process, nothing but the display.
XConnection* g_current = nullptr;

// The errors of this call's display are expected (a window gone meanwhile)
// and ignored; those of any other display, the host's own, go on to the
// handler that was there before.
int ignoreError(Display* display, XErrorEvent* error)
{
    if (g_current && g_current->display != display && g_current->previousHandler)
        return g_current->previousHandler(display, error);
    return 0;
}

int markBroken(Display* display)
{
    if (g_current == nullptr)
        return 0;
    if (g_current->display != display)
        return g_current->previousIOHandler(display);
    g_current->broken = true;
    return 0;
}

// Called after the handler above; returning, instead of ending the process
// as Xlib's own does, leaves the display dead: its calls fail from then on.
void stayAlive(Display*, void* connection)
{
    static_cast<XConnection*>(connection)->broken = true;
}
}

XConnection::QuietPipe::QuietPipe()
{
    sigset_t pipe, pending;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pendingBefore = sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &previousMask);
}

XConnection::QuietPipe::~QuietPipe()
{
    sigset_t pipe, pending;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    timespec none = {0, 0};
    if (!pendingBefore && sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE))
        sigtimedwait(&pipe, nullptr, &none);
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
}

bool displaySilent(const char* name, int milliseconds)
{
    char* host = nullptr;
    int number = 0;
    if (!xcb_parse_display(name, &host, &number, nullptr))
        return false;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    std::string server = host;
    free(host);
    Probe outcome = server.empty() || server == "unix" ? probeLocal(number, deadline)
                                                       : probeRemote(server.c_str(), number, deadline);
    return outcome == Probe::Silent;
}

XConnection::XConnection()
{
    const char* name = getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0' || displaySilent(name, kDisplayAnswerMilliseconds))
        return;
    display = XOpenDisplay(name);
    if (display == nullptr)
        return;
    g_current = this;
    previousHandler = XSetErrorHandler(ignoreError);
    previousIOHandler = XSetIOErrorHandler(markBroken);
    XSetIOErrorExitHandler(display, stayAlive, this);
}

XConnection::~XConnection()
{
    if (display == nullptr)
        return;
    // Closing waits for the server's answers, so the errors of this call
    // still meet the ignoring handlers; a broken display closes at once.
    XCloseDisplay(display);
    g_current = nullptr;
    XSetIOErrorHandler(previousIOHandler);
    XSetErrorHandler(previousHandler);
}
