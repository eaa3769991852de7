// SPDX-License-Identifier: MIT
// The real program under its own Xvfb server, for tests and scripts that look at the
// window: the C++ window tests link it, and x_session_tool.cpp offers it to node and bash.
// Keys go through XTEST. Every wait has a deadline; each started process is stopped by its
// pid.
#ifndef TESSARY_TESTS_X_SESSION_H
#define TESSARY_TESTS_X_SESSION_H

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace xsession {

// One capture of the window, rows from the top, each pixel 0xRRGGBB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool lit(int x, int y) const { return (pixels[y * width + x] & 0x808080) != 0; }
    bool operator==(const Picture& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
    // Pixels that differ; every pixel when the sizes do.
    int differences(const Picture& other) const;
};

// The settling rule. The program draws continuously, so a picture that stays the same for
// longer than a frame takes is the one it keeps; before its first frame the window is
// black, which is no picture yet, however long it lasts.
class Settling {
public:
    explicit Settling(double quietSeconds) : quiet_(quietSeconds) {}
    // Takes a capture made at `seconds`; true once the picture is settled.
    bool still(const Picture& picture, double seconds);

private:
    double quiet_;
    Picture previous_;
    double since_ = 0;
};

struct Geometry {
    int x, y, width, height;  // x and y from the screen's top left (no window manager runs)
};

// A key of the server's keyboard, and whether Shift must be held for the wanted symbol.
struct Key {
    KeyCode code = 0;  // 0: the keyboard has no such symbol
    bool shifted = false;
};

// What a session starts: the launcher's words (an emulator for a program built for another
// machine; none for one of this machine), the program with its arguments (none: only the
// server), NAME=value entries for its environment, and how long its window may take.
struct Command {
    std::vector<std::string> launcher;
    std::vector<std::string> program;
    std::vector<std::string> environment;
    double windowSeconds = 15;
};

// The program the tests were configured with: TESSARY_WINDOW_PROGRAM through
// TESSARY_WINDOW_LAUNCHER, or the one built beside them.
Command configuredProgram(const std::vector<std::string>& environment = {});

class XSession {
public:
    // Starts Xvfb and the program (with the extra NAME=value environment entries) and
    // waits for the window; throws std::runtime_error saying what did not happen.
    explicit XSession(const std::vector<std::string>& programEnvironment = {})
        : XSession(configuredProgram(programEnvironment)) {}
    explicit XSession(const Command& command);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    Display* display() const { return display_; }
    const std::string& displayName() const { return displayName_; }
    Window window() const { return window_; }
    pid_t programPid() const { return program_; }
    std::string title() const;
    Geometry geometry() const;

    Picture capture() const;
    // Captures until the picture is drawn (not all black) and stays the same for longer
    // than the program takes for a frame.
    Picture settled() const;
    // Captures until done() holds or the time is up; returns the last capture.
    Picture captureUntil(const std::function<bool(const Picture&)>& done, double seconds) const;

    // Gives the window X's input focus and waits until it holds.
    void focus();
    // Presses and releases the space-separated keys (X keysym names such as "e", "A",
    // "Escape"), the whole sequence `times` over.
    void press(const std::string& keys, int times = 1);
    Key key(KeySym symbol) const;
    // One press and release through XTEST, inside Shift when the key needs it; not flushed.
    void stroke(Key key) const;
    void resize(int width, int height);

    // Waits for the program to end by itself; false if it is still running.
    bool waitForExit(double seconds, int& status);

private:
    void shutdown();

    pid_t server_ = -1;
    pid_t program_ = -1;  // leads a process group of its own, stopped as a whole
    Display* display_ = nullptr;
    Window window_ = 0;
    std::string displayName_;
    double quiet_;  // seconds a picture must stay the same to count as settled
};

}  // namespace xsession

#endif
