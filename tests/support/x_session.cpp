// SPDX-License-Identifier: MIT
#include "x_session.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <thread>

// The words that start the program, before its path; none for a program of this machine.
#ifndef TESSARY_LAUNCHER
#define TESSARY_LAUNCHER ""
#endif

namespace xsession {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point after(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool onPath(const std::string& name) {
    std::istringstream dirs(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    return false;
}

// fork and exec, so the pid we hold is the program's own and no shell sits between. The
// child gets our environment plus `env` (NAME=value); stdoutFd -1 keeps our output, quiet
// sends both outputs to /dev/null, keepFd stays open.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int stdoutFd = -1,
            int keepFd = -1, bool quiet = false) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed: " + std::string(std::strerror(errno)));
    if (pid == 0) {
        // Should the test itself be killed (a ctest time-out), its children die with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, 0);
        if (stdoutFd >= 0) dup2(stdoutFd, 1);
        if (quiet) {
            dup2(devNull, 1);
            dup2(devNull, 2);
        }
        for (int fd = 3; fd < 256; ++fd)
            if (fd != keepFd) close(fd);
        for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
        execvp(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// Polls for the end of a child until the deadline; true once it has been reaped.
bool reap(pid_t pid, Clock::time_point deadline, int& status) {
    for (;;) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD)) return true;
        if (Clock::now() > deadline) return false;
        sleepMs(10);
    }
}

void stop(pid_t& pid) {
    if (pid <= 0) return;
    int status = 0;
    kill(pid, SIGTERM);
    if (!reap(pid, after(3), status)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    pid = -1;
}

// The program's command line: the launcher's words (an emulator for a program built for
// another machine), then the program: TESSARY_WINDOW_PROGRAM from the environment when
// set, for another copy of the same program (one that an installer put in place).
std::vector<std::string> programCommand() {
    std::istringstream words(TESSARY_LAUNCHER);
    std::vector<std::string> argv;
    for (std::string word; words >> word;) argv.push_back(word);
    const char* copy = std::getenv("TESSARY_WINDOW_PROGRAM");
    argv.push_back(copy && *copy ? copy : TESSARY_BINARY);
    return argv;
}

// Windows vanish while we walk the tree; such errors must not end the test.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

Window findByName(Display* display, Window parent, const char* name) {
    Window root, up, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* title = nullptr;
        XWindowAttributes attributes;
        if (XFetchName(display, children[i], &title) && title && std::strcmp(title, name) == 0 &&
            XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable)
            found = children[i];
        if (title) XFree(title);
        if (!found) found = findByName(display, children[i], name);
    }
    if (children) XFree(children);
    return found;
}

}  // namespace

int Picture::differences(const Picture& other) const {
    if (width != other.width || height != other.height) return std::max(width * height, other.width * other.height);
    int count = 0;
    for (size_t i = 0; i < pixels.size(); ++i) count += pixels[i] != other.pixels[i];
    return count;
}

// Runs a tool to its end or the deadline; returns its output.
std::string runTool(const std::vector<std::string>& argv, const std::string& display, double seconds) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe failed");
    pid_t pid = spawn(argv, {"DISPLAY=" + display}, out[1]);
    close(out[1]);
    std::string text;
    auto deadline = after(seconds);
    char buffer[256];
    for (;;) {
        int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
        pollfd p{out[0], POLLIN, 0};
        if (left <= 0 || poll(&p, 1, left) <= 0) break;
        ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    int status = 0;
    if (!reap(pid, deadline, status)) {
        stop(pid);
        throw std::runtime_error(argv[0] + " " + argv[1] + " did not finish within " + std::to_string(seconds) + " s");
    }
    return text;
}

XSession::XSession(const std::vector<std::string>& programEnvironment) {
    XSetErrorHandler(ignoreXError);
    for (const char* tool : {"Xvfb", "xdotool"})
        if (!onPath(tool))
            throw std::runtime_error(std::string(tool) + " is not installed: the window tests need the Debian "
                                     "packages xvfb and xdotool");
    try {
        // Xvfb picks a free display itself and writes its number once it accepts clients.
        int ready[2];
        if (pipe(ready) != 0) throw std::runtime_error("pipe failed");
        server_ = spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "800x800x24", "-nolisten",
                         "tcp"},
                        {}, -1, ready[1], true);
        close(ready[1]);
        std::string number;
        pollfd p{ready[0], POLLIN, 0};
        char c = 0;
        for (auto deadline = after(10); c != '\n' && Clock::now() < deadline;)
            if (poll(&p, 1, 100) > 0) {
                if (read(ready[0], &c, 1) != 1) break;  // Xvfb has ended
                if (c != '\n') number += c;
            }
        close(ready[0]);
        if (number.empty()) throw std::runtime_error("Xvfb did not report a display within 10 s");
        displayName_ = ":" + number;
        display_ = XOpenDisplay(displayName_.c_str());
        if (!display_) throw std::runtime_error("cannot connect to Xvfb on " + displayName_);

        std::vector<std::string> env = {"DISPLAY=" + displayName_, "LIBGL_ALWAYS_SOFTWARE=1"};
        env.insert(env.end(), programEnvironment.begin(), programEnvironment.end());
        program_ = spawn(programCommand(), env);
        for (auto deadline = after(15); !window_; sleepMs(50)) {
            int status = 0;
            if (waitpid(program_, &status, WNOHANG) == program_) {
                program_ = -1;
                throw std::runtime_error("the program ended before showing its window, status " +
                                         std::to_string(status));
            }
            if (Clock::now() > deadline) throw std::runtime_error("no window titled \"Tessary\" within 15 s");
            window_ = findByName(display_, DefaultRootWindow(display_), "Tessary");
        }
    } catch (...) {
        shutdown();
        throw;
    }
}

XSession::~XSession() { shutdown(); }

// The connection goes first: Xlib ends the whole test process if its server vanishes.
void XSession::shutdown() {
    if (display_) XCloseDisplay(display_);
    display_ = nullptr;
    stop(program_);
    stop(server_);
}

std::string XSession::title() const {
    char* name = nullptr;
    std::string result;
    if (XFetchName(display_, window_, &name) && name) result = name;
    if (name) XFree(name);
    return result;
}

Geometry XSession::geometry() const {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window_, &attributes);
    return {attributes.x, attributes.y, attributes.width, attributes.height};
}

Picture XSession::capture() const {
    Picture picture;
    const int width = geometry().width, height = geometry().height;
    XImage* image = XGetImage(display_, window_, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image) return picture;  // the window is gone
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.pixels[y * width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
    XDestroyImage(image);
    return picture;
}

Picture XSession::captureUntil(const std::function<bool(const Picture&)>& done, double seconds) const {
    for (auto deadline = after(seconds);; sleepMs(100)) {
        Picture picture = capture();
        if (done(picture) || Clock::now() > deadline) return picture;
    }
}

Picture XSession::settled() const {
    // The program draws continuously, so a picture that stays the same for longer than a
    // frame takes is the one it keeps. Natively a frame takes milliseconds; under an
    // emulator it can take most of a second, and a shorter wait would take a picture
    // drawn halfway through the keys.
    const auto quiet = std::chrono::duration<double>(std::string(TESSARY_LAUNCHER).empty() ? 0.1 : 1.5);
    Picture previous;
    auto since = Clock::now();
    bool still = false;
    Picture last = captureUntil(
        [&](const Picture& p) {
            // Before its first frame the window is black: no picture yet, however long.
            const bool drawn = std::any_of(p.pixels.begin(), p.pixels.end(),
                                           [](std::uint32_t pixel) { return (pixel & 0x808080) != 0; });
            if (!drawn || !(p == previous)) {
                previous = p;
                since = Clock::now();
                return false;
            }
            still = Clock::now() - since >= quiet;
            return still;
        },
        10 + quiet.count());
    if (!still) throw std::runtime_error("the picture did not settle within 10 s");
    return last;
}

void XSession::focus() {
    const std::string id = std::to_string(window_);
    for (auto deadline = after(5);; sleepMs(100)) {
        runTool({"xdotool", "windowfocus", id}, displayName_, 5);
        std::string focused = runTool({"xdotool", "getwindowfocus", "-f"}, displayName_, 5);
        if (focused.substr(0, focused.find('\n')) == id) return;
        if (Clock::now() > deadline)
            throw std::runtime_error("the window did not get the input focus within 5 s (focus: " + focused + ")");
    }
}

void XSession::press(const std::string& keys, int times) {
    focus();
    std::vector<std::string> argv = {"xdotool", "key", "--delay", "15"};
    for (int t = 0; t < times; ++t)
        for (size_t start = 0, end; start < keys.size(); start = end + 1) {
            end = std::min(keys.find(' ', start), keys.size());
            argv.push_back(keys.substr(start, end - start));
        }
    runTool(argv, displayName_, 5 + 0.05 * static_cast<double>(argv.size()));
}

bool XSession::waitForExit(double seconds, int& status) {
    if (!reap(program_, after(seconds), status)) return false;
    program_ = -1;
    return true;
}

}  // namespace xsession
