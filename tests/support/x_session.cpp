// SPDX-License-Identifier: MIT
#include "x_session.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
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

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool onPath(const std::string& name) {
    std::istringstream dirs(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    return false;
}

// fork and exec, so the pid we hold is the program's own and no shell sits between. The
// child gets our environment plus `env` (NAME=value); quiet sends its output to
// /dev/null, keepFd stays open; a group leader heads a process group of its own, so that
// what it starts in turn (a launcher's helpers) is stopped with it.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int keepFd, bool quiet,
            bool groupLeader) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed: " + std::string(std::strerror(errno)));
    if (pid == 0) {
        // Should the test itself be killed (a ctest time-out), its children die with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (groupLeader) setpgid(0, 0);
        int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, 0);
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
    if (groupLeader) setpgid(pid, pid);  // also here, so that no stop comes before it
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

// Stops the child `pid`, and the process group it leads, if any. Until the leader is
// reaped, no other process can take its group's id.
void stop(pid_t& pid) {
    if (pid <= 0) return;
    const pid_t target = getpgid(pid) == pid ? -pid : pid;
    kill(target, SIGTERM);
    for (auto deadline = after(3); Clock::now() < deadline; sleepMs(10)) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0
            || info.si_pid == pid)
            break;
    }
    kill(target, SIGKILL);  // the leader if it is still running, and what its group left behind
    waitpid(pid, nullptr, 0);
    pid = -1;
}

// Windows vanish while we walk the tree; such errors must not end the test.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

Window findByName(Display* display, Window parent, const char* name) {
    Window root, up, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* title = nullptr;
        XWindowAttributes attributes;
        if (XFetchName(display, children[i], &title) && title && std::strcmp(title, name) == 0
            && XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable)
            found = children[i];
        if (title) XFree(title);
        if (!found) found = findByName(display, children[i], name);
    }
    if (children) XFree(children);
    return found;
}

}  // namespace

int Picture::differences(const Picture& other) const {
    if (width != other.width || height != other.height)
        return std::max(width * height, other.width * other.height);
    int count = 0;
    for (size_t i = 0; i < pixels.size(); ++i) count += pixels[i] != other.pixels[i];
    return count;
}

bool Settling::still(const Picture& picture, double seconds) {
    const bool drawn = std::any_of(picture.pixels.begin(), picture.pixels.end(),
                                   [](std::uint32_t pixel) { return (pixel & 0x808080) != 0; });
    if (!drawn || !(picture == previous_)) {
        previous_ = picture;
        since_ = seconds;
        return false;
    }
    return seconds - since_ >= quiet_;
}

Command configuredProgram(const std::vector<std::string>& environment) {
    Command command;
    std::istringstream words(TESSARY_LAUNCHER);
    for (std::string word; words >> word;) command.launcher.push_back(word);
    // TESSARY_WINDOW_PROGRAM from the environment, when set, is another copy of the same
    // program: one that an installer put in place.
    const char* copy = std::getenv("TESSARY_WINDOW_PROGRAM");
    command.program = {copy && *copy ? copy : TESSARY_BINARY};
    command.environment = environment;
    return command;
}

XSession::XSession(const Command& command)
    // Natively a frame takes milliseconds; under an emulator it can take most of a second,
    // and a shorter wait would take a picture drawn halfway through the keys.
    : quiet_(command.launcher.empty() ? 0.1 : 1.5) {
    XSetErrorHandler(ignoreXError);
    if (!onPath("Xvfb"))
        throw std::runtime_error("Xvfb is not installed: the window harness needs the Debian package xvfb");
    try {
        // Xvfb picks a free display itself and writes its number once it accepts clients.
        int ready[2];
        if (pipe(ready) != 0) throw std::runtime_error("pipe failed");
        server_ = spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "800x800x24",
                         "-nolisten", "tcp"},
                        {}, ready[1], true, false);
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
        if (command.program.empty()) return;

        std::vector<std::string> env = {"DISPLAY=" + displayName_, "LIBGL_ALWAYS_SOFTWARE=1"};
        env.insert(env.end(), command.environment.begin(), command.environment.end());
        std::vector<std::string> argv = command.launcher;
        argv.insert(argv.end(), command.program.begin(), command.program.end());
        program_ = spawn(argv, env, -1, false, true);
        const std::string seconds = std::to_string(static_cast<int>(command.windowSeconds));
        for (auto deadline = after(command.windowSeconds); !window_; sleepMs(50)) {
            int status = 0;
            if (waitpid(program_, &status, WNOHANG) == program_) {
                program_ = -1;
                throw std::runtime_error("the program ended before showing its window, status "
                                         + std::to_string(status));
            }
            if (Clock::now() > deadline)
                throw std::runtime_error("no window titled \"Tessary\" within " + seconds + " s");
            window_ = findByName(display_, DefaultRootWindow(display_), "Tessary");
        }
    } catch (...) {
        shutdown();
        throw;
    }
}

XSession::~XSession() {
    shutdown();
}

// The connection goes first: Xlib ends the whole process if its server vanishes.
void XSession::shutdown() {
    if (display_) XCloseDisplay(display_);
    display_ = nullptr;
    stop(program_);
    stop(server_);
}

std::string XSession::title() const {
    char* name = nullptr;
    std::string result;
    if (XFetchName(display(), window_, &name) && name) result = name;
    if (name) XFree(name);
    return result;
}

Geometry XSession::geometry() const {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display(), window_, &attributes);
    return {attributes.x, attributes.y, attributes.width, attributes.height};
}

Picture XSession::capture() const {
    Picture picture;
    const int width = geometry().width, height = geometry().height;
    XImage* image = XGetImage(display(), window_, 0, 0, width, height, AllPlanes, ZPixmap);
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
    Settling settling(quiet_);
    const auto start = Clock::now();
    bool still = false;
    Picture last = captureUntil(
        [&](const Picture& p) {
            return still = settling.still(p, std::chrono::duration<double>(Clock::now() - start).count());
        },
        10 + quiet_);
    if (!still) throw std::runtime_error("the picture did not settle within 10 s");
    return last;
}

void XSession::focus() {
    for (auto deadline = after(5);; sleepMs(100)) {
        XSetInputFocus(display(), window_, RevertToParent, CurrentTime);
        Window focused = 0;
        int revert = 0;
        XGetInputFocus(display(), &focused, &revert);
        if (focused == window_) return;
        if (Clock::now() > deadline)
            throw std::runtime_error(
                "the window did not get the input focus within 5 s (focus: " + std::to_string(focused) + ")");
    }
}

Key XSession::key(KeySym symbol) const {
    if (symbol == NoSymbol) return {};  // which every unused key code holds
    int first = 0, last = 0, perCode = 0;
    XDisplayKeycodes(display(), &first, &last);
    KeySym* map = XGetKeyboardMapping(display(), static_cast<KeyCode>(first), last - first + 1, &perCode);
    Key found;
    for (int code = first; code <= last && !found.code; ++code)
        for (int level = 0; level < std::min(2, perCode) && !found.code; ++level)
            if (map[(code - first) * perCode + level] == symbol)
                found = {static_cast<KeyCode>(code), level == 1};
    XFree(map);
    return found;
}

void XSession::stroke(Key key) const {
    const KeyCode shift = XKeysymToKeycode(display(), XK_Shift_L);
    if (key.shifted) XTestFakeKeyEvent(display(), shift, True, 0);
    XTestFakeKeyEvent(display(), key.code, True, 0);
    XTestFakeKeyEvent(display(), key.code, False, 0);
    if (key.shifted) XTestFakeKeyEvent(display(), shift, False, 0);
}

void XSession::press(const std::string& keys, int times) {
    std::vector<Key> sequence;
    std::istringstream names(keys);
    for (std::string name; names >> name;) {
        const Key k = key(XStringToKeysym(name.c_str()));
        if (!k.code) throw std::runtime_error("no key types \"" + name + "\" on this server's keyboard");
        sequence.push_back(k);
    }
    focus();
    for (int t = 0; t < times; ++t)
        for (Key k : sequence) stroke(k);
    // Once the server has handled the requests, the events are in the program's queue.
    XSync(display(), False);
}

void XSession::resize(int width, int height) {
    XResizeWindow(display(), window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display(), False);
}

bool XSession::waitForExit(double seconds, int& status) {
    if (!reap(program_, after(seconds), status)) return false;
    program_ = -1;
    return true;
}

}  // namespace xsession
