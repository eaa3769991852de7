// SPDX-License-Identifier: MIT
#include <array>
#include <cstring>

#include <gtest/gtest.h>

#include "complex.h"
#include "graph.h"
#include "support/fake_gl.h"

extern Graph<Complex> complexGraph;
extern double xAngle, yAngle, zAngle;
void keyboardCallback(unsigned char, int, int);

namespace {

std::array<double, 6> angles() {  // view x, y, z in degrees; planes xy, yz, zw in radians
    return {xAngle,
            yAngle,
            zAngle,
            complexGraph.getXyAngle(),
            complexGraph.getYzAngle(),
            complexGraph.getZwAngle()};
}

}  // namespace

TEST(Keyboard, EachKeyStepsExactlyItsOneAngle) {
    const double plane = 3.141592653589793 / 36;
    const struct {
        unsigned char key;
        int angle;
        double step;
    } keys[] = {{'a', 0, -5.0}, {'d', 0, 5.0},   {'w', 1, 5.0},   {'x', 1, -5.0}, {'e', 2, 5.0},
                {'z', 2, -5.0}, {'h', 3, plane}, {'j', 4, plane}, {'k', 5, plane}};
    fakegl::reset();
    for (int round = 0; round < 2; ++round) {
        for (const auto& k : keys) {
            std::array<double, 6> expected = angles();
            expected[k.angle] += k.step;
            keyboardCallback(k.key, 0, 0);
            EXPECT_EQ(angles(), expected) << k.key;
        }
    }
    double before = xAngle;
    keyboardCallback('a', 0, 0);
    keyboardCallback('d', 0, 0);
    EXPECT_EQ(xAngle, before);
    EXPECT_EQ(fakegl::record.callCount, 0);  // frames follow one another anyway; keys post nothing
}

TEST(Keyboard, EveryOtherByteChangesNothing) {
    fakegl::reset();
    for (int key = 0; key < 256; ++key) {
        if (key == 0 || std::strchr("adwxezhjk", key) == nullptr) {
            std::array<double, 6> before = angles();
            keyboardCallback(static_cast<unsigned char>(key), 0, 0);
            EXPECT_EQ(angles(), before) << "byte " << key;
        }
    }
    EXPECT_EQ(fakegl::count("glutPostRedisplay"), 0);
}
