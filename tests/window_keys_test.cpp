// SPDX-License-Identifier: MIT
// Keys as real X key events, and the picture they lead to: the mesh worked out from the
// mathematics for the angles those keys should have set, or the picture from before.
#include <gtest/gtest.h>

#include "expected_mesh.h"

using namespace xsession;

namespace {

// Turned views show lines at every slope, so two pixels of rasterising slack; a handful
// of stray pixels where segments end is allowed.
void expectMesh(const Picture& picture, const Angles& angles, const char* keys) {
    const Match m = match(picture, angles, 2);
    EXPECT_GT(m.points, 1000) << keys << ": " << m;
    EXPECT_EQ(m.missed, 0) << keys << ": " << m;
    EXPECT_LE(m.stray, m.lit / 500) << keys << ": " << m;
    EXPECT_EQ(m.grey, 0) << keys << ": " << m;
}

// The key presses are in the program's queue once press() returns, but not yet drawn: wait for the
// picture to leave `before`, then to settle.
Picture changedFrom(const XSession& session, const Picture& before) {
    session.captureUntil([&](const Picture& p) { return !(p == before); }, 10);
    return session.settled();
}

// White pixels of `a` with no white pixel of `b` within `tolerance`.
int unmatched(const Picture& a, const Picture& b, int tolerance) {
    int count = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            bool near = !a.lit(x, y);
            for (int v = std::max(0, y - tolerance); v <= std::min(b.height - 1, y + tolerance) && !near; ++v)
                for (int u = std::max(0, x - tolerance); u <= std::min(b.width - 1, x + tolerance) && !near;
                     ++u)
                    near = b.lit(u, v);
            count += !near;
        }
    return count;
}

}  // namespace

TEST(WindowKeys, ETurnsTheViewAboutZAndZTurnsItBack) {
    XSession session;
    Picture picture = session.settled();
    session.press("e", 18);
    picture = changedFrom(session, picture);
    expectMesh(picture, {0, 0, 90, 0, 0, 0}, "e x18");
    // A quarter turn alone cannot tell e from z: the mesh is symmetric under a half turn.
    session.press("z", 12);
    expectMesh(changedFrom(session, picture), {0, 0, 30, 0, 0, 0}, "e x18, z x12");
}

TEST(WindowKeys, WAndXTurnAboutYThenDAboutX) {
    XSession session;
    const Picture start = session.settled();
    session.press("w", 8);
    session.press("x", 2);
    session.press("d", 4);
    expectMesh(changedFrom(session, start), {20, 30, 0, 0, 0, 0}, "w x8, x x2, d x4");
}

TEST(WindowKeys, HJKTurnTheGraphInTheXyYzAndZwPlanes) {
    XSession session;
    const Picture start = session.settled();
    session.press("h", 3);
    session.press("j", 2);
    session.press("k", 5);
    // Seen straight down z, the zw turn would not show.
    session.press("w", 4);
    expectMesh(changedFrom(session, start), {0, 20, 0, 3 * PLANE_STEP, 2 * PLANE_STEP, 5 * PLANE_STEP},
               "h x3, j x2, k x5, w x4");
}

TEST(WindowKeys, UndoneFullTurnAndIgnoredKeysLeaveTheStartPicture) {
    XSession session;
    const Picture start = session.settled();
    auto backToStart = [&](int tolerance) {
        return session.captureUntil(
            [&](const Picture& p) {
                return unmatched(p, start, tolerance) + unmatched(start, p, tolerance) == 0;
            },
            5);
    };

    session.press("a");
    changedFrom(session, start);
    session.press("d");
    EXPECT_EQ(backToStart(0).differences(start), 0) << "pixels changed by a then d";

    // The e only shows that the keys before it have been handled.
    session.press("A Escape 1 e");
    changedFrom(session, start);
    session.press("z");
    EXPECT_EQ(backToStart(0).differences(start), 0) << "pixels changed by A, Escape, 1 (and e, z)";

    session.press("h", 71);
    changedFrom(session, start);
    session.press("h");
    const Picture turned = backToStart(1);
    EXPECT_EQ(unmatched(turned, start, 1), 0) << "white pixels after 72 h not within 1 px of the start's";
    EXPECT_EQ(unmatched(start, turned, 1), 0) << "white pixels at the start not within 1 px after 72 h";
}
