// SPDX-License-Identifier: MIT
// The real program under a stream of random key events for about half a minute: it stays
// alive, ends up drawing exactly what its keys asked for, holds its memory, and ends when
// its window is closed the way a window manager closes it.
// GoogleTest before Xlib, whose macros None and Bool would break its headers.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <random>
#include <thread>

#include "expected_mesh.h"

using namespace xsession;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double WARM_UP = 4;     // seconds of keys before memory counts
constexpr double MEASURED = 20;   // seconds of keys after that
constexpr double FLOOR_SPAN = 5;  // seconds at each end whose lowest sample is the floor
#ifdef TESSARY_SOAK_KEYS_PER_TICK
constexpr int KEYS_PER_TICK = TESSARY_SOAK_KEYS_PER_TICK;  // tests/CMakeLists.txt
#else
constexpr int KEYS_PER_TICK = 20;  // every 50 ms: 400 keys a second
#endif
constexpr long MIB = 1024 * 1024;

long residentBytes(pid_t pid) {
    std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

struct Typed {
    Key key;
    char character;  // what the program is handed; 0 for the control keys
};

// Every printable character (their keysyms equal their codes) and four control keys.
std::vector<Typed> keyboard(const XSession& session) {
    std::vector<Typed> keys;
    auto find = [&](KeySym sym, char character) {
        if (const Key key = session.key(sym); key.code) keys.push_back({key, character});
    };
    for (KeySym sym = 0x20; sym <= 0x7e; ++sym) find(sym, static_cast<char>(sym));
    for (KeySym sym : {XK_Escape, XK_Tab, XK_Return, XK_BackSpace}) find(sym, 0);
    return keys;
}

}  // namespace

TEST(Soak, RandomKeysForHalfAMinuteThenClosedByTheWindowManager) {
    // Without these glibc keeps the driver's freed buffers, and its saw-tooth hides growth.
    XSession session(
        {"GLIBC_TUNABLES=glibc.malloc.trim_threshold=131072:glibc.malloc.mmap_threshold=131072"});
    Display* display = session.display();
    const std::vector<Typed> keys = keyboard(session);
    ASSERT_EQ(keys.size(), 95u + 4u) << "keys found in the server's keymap";
    session.focus();

    std::mt19937 random(20240611);  // fixed, so a failure can be replayed
    std::map<char, long> presses;
    std::vector<std::pair<double, long>> samples;  // seconds after warm-up, bytes
    long sent = 0;
    int captures = 0, changes = 0;
    Picture last = session.settled();
    const auto start = Clock::now();
    for (double t = 0; t < WARM_UP + MEASURED;
         t = std::chrono::duration<double>(Clock::now() - start).count()) {
        for (int i = 0; i < KEYS_PER_TICK; ++i, ++sent) {
            const Typed& typed = keys[random() % keys.size()];
            session.stroke(typed.key);
            ++presses[typed.character];
        }
        XFlush(display);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (t >= WARM_UP) samples.push_back({t - WARM_UP, residentBytes(session.programPid())});
        if (samples.size() % 40 == 1) {  // every two seconds
            const Picture now = session.capture();
            changes += !(now == last);
            ++captures;
            last = now;
        }
    }

    const Angles expected{5.0 * (presses['d'] - presses['a']), 5.0 * (presses['w'] - presses['x']),
                          5.0 * (presses['e'] - presses['z']), presses['h'] * PLANE_STEP,
                          presses['j'] * PLANE_STEP,           presses['k'] * PLANE_STEP};
    const Picture final =
        session.captureUntil([&](const Picture& p) { return match(p, expected, 2).missed == 0; }, 10);
    const Match m = match(final, expected, 2);
    EXPECT_EQ(m.missed, 0) << "after every key: " << m;
    EXPECT_LE(m.stray, m.lit / 500) << "after every key: " << m;
    EXPECT_GE(changes, captures / 2) << "pictures that changed in two seconds";

    auto floorBetween = [&](double from, double to) {
        long lowest = -1;
        for (auto [t, bytes] : samples)
            if (t >= from && t < to && (lowest < 0 || bytes < lowest)) lowest = bytes;
        return lowest;
    };
    const long early = floorBetween(0, FLOOR_SPAN), late = floorBetween(MEASURED - FLOOR_SPAN, MEASURED + 1);
    long peak = 0;
    for (auto sample : samples) peak = std::max(peak, sample.second);
    std::printf(
        "keys sent %ld (%.0f a second), %zu memory samples, pictures changed %d of %d\n"
        "resident floor %.2f MiB in the first %.0f s, %.2f MiB in the last %.0f s, growth %.3f MiB, "
        "peak %.2f MiB\n",
        sent, sent / (WARM_UP + MEASURED), samples.size(), changes, captures, double(early) / MIB, FLOOR_SPAN,
        double(late) / MIB, FLOOR_SPAN, double(late - early) / MIB, double(peak) / MIB);
    EXPECT_LT(late - early, MIB) << "resident memory grew under the key stream";

    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = session.window();
    close.xclient.message_type = protocols;
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, session.window(), False, NoEventMask, &close);
    XFlush(display);
    int status = 0;
    ASSERT_TRUE(session.waitForExit(10, status)) << "still running 10 s after WM_DELETE_WINDOW";
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    std::printf("closed: exit status %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}
