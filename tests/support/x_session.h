// SPDX-License-Identifier: MIT
// The real program under its own Xvfb server, for tests that look at the window.
// Every wait has a deadline; the destructor stops each started process by its pid.
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

struct Geometry {
    int x, y, width, height;  // x and y from the screen's top left (no window manager runs)
};

class XSession {
public:
    // Starts Xvfb and the program (with the extra NAME=value environment entries) and
    // waits for the window; throws std::runtime_error saying what did not happen.
    explicit XSession(const std::vector<std::string>& programEnvironment = {});
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    Display* display() const { return display_; }
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
    // "Escape") through XTEST, the whole sequence `times` over.
    void press(const std::string& keys, int times = 1);

    // Waits for the program to end by itself; false if it is still running.
    bool waitForExit(double seconds, int& status);

private:
    void shutdown();

    pid_t server_ = -1;
    pid_t program_ = -1;
    Display* display_ = nullptr;
    Window window_ = 0;
    std::string displayName_;
};

}  // namespace xsession

#endif
