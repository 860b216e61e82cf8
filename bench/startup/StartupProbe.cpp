// kestrin-startup-probe: starts a program on the X display named by DISPLAY and prints how
// long it took until its first top-level window was mapped and until that window showed drawn
// content. Meant for a bare X server (Xvfb, no window manager), where top-level windows are
// children of the root window.
//
//   kestrin-startup-probe [--timeout-ms N] [--hold-ms N] -- program [arguments...]
//
// Output on success, in milliseconds since the fork: "mapped 123.4 painted 234.5".
// "Painted" is the first damage report after mapping after which the window's pixels are not
// all one colour, so the X server clearing the window does not count, only the program's
// own drawing. The program is then given --hold-ms to settle, asked to stop with SIGTERM and
// killed if it lingers. Exit status 1 on a timeout or when the program ends first.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Windows vanish while we look at them (short-lived helper windows); those errors are expected.
int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

struct Options {
    int timeoutMs = 20000;
    int holdMs = 300;
    std::vector<char*> command;
};

std::optional<Options> parse(int argc, char** argv) {
    Options options;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (i + 1 >= argc)
            return std::nullopt;
        if (std::strcmp(argv[i], "--timeout-ms") == 0)
            options.timeoutMs = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--hold-ms") == 0)
            options.holdMs = std::atoi(argv[++i]);
        else
            return std::nullopt;
    }
    for (++i; i < argc; ++i)
        options.command.push_back(argv[i]);
    if (options.command.empty())
        return std::nullopt;
    options.command.push_back(nullptr);
    return options;
}

// True when the window holds more than one colour.
bool hasContent(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    XImage* image =
        XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long first = XGetPixel(image, 0, 0);
    bool varied = false;
    for (int y = 0; y < image->height && !varied; ++y) {
        for (int x = 0; x < image->width && !varied; ++x)
            varied = XGetPixel(image, x, y) != first;
    }
    XDestroyImage(image);
    return varied;
}

pid_t launch(const Options& options) {
    const pid_t child = fork();
    if (child == 0) {
        execvp(options.command[0], options.command.data());
        std::perror(options.command[0]);
        _exit(127);
    }
    return child;
}

void stop(pid_t child, int holdMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
    kill(child, SIGTERM);
    for (int i = 0; i < 40; ++i) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

// Follows the top-level windows of the display from the program's start to its first
// drawn window.
class Watcher {
public:
    Watcher(Display* display, int damageEvent) : display(display), damageEvent(damageEvent) {}

    // The time since start at which the first mapped window showed content, once it has.
    std::optional<double> handle(const XEvent& event, Clock::time_point start) {
        if (event.type == CreateNotify && !event.xcreatewindow.override_redirect) {
            damages[event.xcreatewindow.window] =
                XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
        } else if (event.type == MapNotify && !target && damages.count(event.xmap.window)) {
            target = event.xmap.window;
            mappedMs = millisecondsSince(start);
            return check(start);
        } else if (event.type == damageEvent + XDamageNotify) {
            const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
            if (target && damage.drawable == *target)
                return check(start);
            XDamageSubtract(display, damage.damage, None, None);
        }
        return std::nullopt;
    }

    double mapped() const { return mappedMs; }

private:
    // The time is taken before the pixels are read, so reading them does not count.
    std::optional<double> check(Clock::time_point start) {
        const double now = millisecondsSince(start);
        XDamageSubtract(display, damages[*target], None, None);
        if (hasContent(display, *target))
            return now;
        return std::nullopt;
    }

    Display* display;
    int damageEvent;
    std::map<Window, Damage> damages;
    std::optional<Window> target;
    double mappedMs = 0;
};

int watch(Display* display, int damageEvent, const Options& options) {
    const Clock::time_point start = Clock::now();
    const pid_t child = launch(options);
    Watcher watcher(display, damageEvent);
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    while (millisecondsSince(start) < options.timeoutMs) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (const std::optional<double> painted = watcher.handle(event, start)) {
                std::printf("mapped %.1f painted %.1f\n", watcher.mapped(), *painted);
                std::fflush(stdout);
                stop(child, options.holdMs);
                return 0;
            }
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "the program ended (status %d) before it drew a window\n", status);
            return 1;
        }
        poll(&connection, 1, 20);
    }
    std::fprintf(stderr, "no window was drawn within %d ms\n", options.timeoutMs);
    stop(child, 0);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parse(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: %s [--timeout-ms N] [--hold-ms N] -- program [args...]\n",
                     argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the X display (is DISPLAY set?)\n");
        return 2;
    }
    int damageEvent = 0;
    int damageError = 0;
    int major = 0;
    int minor = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError) ||
        !XDamageQueryVersion(display, &major, &minor)) {
        std::fprintf(stderr, "the X server has no DAMAGE extension\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const int result = watch(display, damageEvent, *options);
    XCloseDisplay(display);
    return result;
}
