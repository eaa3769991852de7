// SPDX-License-Identifier: MIT
// The window as it first appears: title, place and size, and the mesh seen straight
// down the z axis, the part where Re w > 1 (most of a > 0) included.
#include <gtest/gtest.h>

#include "expected_mesh.h"

using namespace xsession;

// Where the picture lies from the place the program asks for. X puts the window itself
// there. Windows puts the window's frame there, so under Wine the X window of the drawing
// area is one border to the right and a border and the caption lower, the caption's
// height depending on Wine's version and fonts (tests/CMakeLists.txt).
#ifndef TESSARY_FRAME_LEFT
#define TESSARY_FRAME_LEFT 0
#define TESSARY_FRAME_TOP_MIN 0
#define TESSARY_FRAME_TOP_MAX 0
#endif

TEST(Window, OpensTitledSquareShowingTheWholeMeshFromAbove) {
    XSession session;
    const Geometry g = session.geometry();
    EXPECT_EQ(session.title(), "Tessary");
    EXPECT_EQ(g.width, 600);
    EXPECT_EQ(g.height, 600);
    EXPECT_EQ(g.x, 50 + TESSARY_FRAME_LEFT);
    EXPECT_GE(g.y, 50 + TESSARY_FRAME_TOP_MIN);
    EXPECT_LE(g.y, 50 + TESSARY_FRAME_TOP_MAX);

    // Seen from above every edge is axis-aligned or diagonal, so one pixel is enough and
    // tells the cell's diagonal from the other one.
    const Match m = match(session.settled(), Angles{}, 1);
    EXPECT_EQ(m.points, 41 * 41 + 4880) << "corners and edge midpoints inside the window";
    EXPECT_EQ(m.missed, 0) << m;
    EXPECT_EQ(m.stray, 0) << m;
    EXPECT_EQ(m.grey, 0) << m;
}
