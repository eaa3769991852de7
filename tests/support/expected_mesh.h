// SPDX-License-Identifier: MIT
// Where the wireframe should appear, worked out from the mathematics alone: the 4-D
// point (a, b, Re w, Im w) of w = 2.718^(a+bi), turned in the xy, yz and zw planes, w
// dropped, turned by the view about x, then y, then z, and (X, Y) mapped from [-1, 1]
// onto the 600 x 600 window.
#ifndef TESSARY_TESTS_EXPECTED_MESH_H
#define TESSARY_TESTS_EXPECTED_MESH_H

#include <cmath>
#include <ostream>
#include <utility>
#include <vector>

#include "x_session.h"

namespace xsession {

constexpr double PLANE_STEP = 3.14159265358979323846 / 36;  // one press of h, j or k

struct Angles {
    double xView = 0, yView = 0, zView = 0;  // degrees
    double xy = 0, yz = 0, zw = 0;           // radians
};

struct Point {
    double x, y;  // window pixels from the top left
};

// The 41 x 41 corners of the mesh, index 41 * (step along a) + (step along b).
inline std::vector<Point> meshCorners(const Angles& t) {
    const double degree = 3.14159265358979323846 / 180;
    std::vector<double> v(1, -0.5);
    for (int k = 0; k < 40; ++k) v.push_back(v.back() + 0.025);
    auto turn = [](double& p, double& q, double angle) {
        const double p0 = p;
        p = std::cos(angle) * p0 - std::sin(angle) * q;
        q = std::sin(angle) * p0 + std::cos(angle) * q;
    };
    std::vector<Point> corners;
    for (double a : v)
        for (double b : v) {
            double x = a, y = b;
            double z = std::pow(2.718, a) * std::cos(b * std::log(2.718));
            double w = std::pow(2.718, a) * std::sin(b * std::log(2.718));
            turn(x, y, t.xy);
            turn(y, z, t.yz);
            turn(z, w, t.zw);
            turn(y, z, t.xView * degree);
            turn(z, x, t.yView * degree);
            turn(x, y, t.zView * degree);
            corners.push_back({(x + 1) / 2 * 600, (1 - y) / 2 * 600});
        }
    return corners;
}

// Each cell's four sides and its diagonal from (a, b + step) to (a + step, b).
inline std::vector<std::pair<int, int>> meshEdges() {
    std::vector<std::pair<int, int>> edges;
    for (int r = 0; r <= 40; ++r)
        for (int c = 0; c <= 40; ++c) {
            const int here = 41 * r + c;
            if (r < 40) edges.push_back({here, here + 41});
            if (c < 40) edges.push_back({here, here + 1});
            if (r < 40 && c < 40) edges.push_back({here + 1, here + 41});
        }
    return edges;
}

struct Match {
    int points = 0;  // corners and edge midpoints that fall inside the window
    int missed = 0;  // of those, with no white pixel within the tolerance
    int lit = 0;     // white pixels
    int stray = 0;   // of those, farther than the tolerance from every expected edge
    int grey = 0;    // pixels neither pure black nor pure white
    Point firstMiss{-1, -1};
    Point firstStray{-1, -1};
};

inline std::ostream& operator<<(std::ostream& os, const Match& m) {
    return os << m.missed << " of " << m.points << " expected points without white nearby (first at "
              << m.firstMiss.x << ", " << m.firstMiss.y << "); " << m.stray << " of " << m.lit
              << " white pixels away from every edge (first at " << m.firstStray.x << ", " << m.firstStray.y
              << "); " << m.grey << " grey pixels";
}

// Compares a picture both ways with the mesh for these angles, within `tolerance` pixels.
inline Match match(const Picture& picture, const Angles& angles, int tolerance) {
    Match m;
    const int width = picture.width, height = picture.height;
    const std::vector<Point> corners = meshCorners(angles);
    std::vector<char> nearEdge(static_cast<size_t>(width) * height, 0);
    auto inside = [&](int x, int y, int margin) {
        return x >= margin && y >= margin && x < width - margin && y < height - margin;
    };
    auto expectWhite = [&](Point p) {
        const int px = static_cast<int>(std::floor(p.x)), py = static_cast<int>(std::floor(p.y));
        if (!inside(px, py, tolerance)) return;
        ++m.points;
        for (int y = py - tolerance; y <= py + tolerance; ++y)
            for (int x = px - tolerance; x <= px + tolerance; ++x)
                if (picture.lit(x, y)) return;
        if (m.missed++ == 0) m.firstMiss = p;
    };
    for (const Point& p : corners) expectWhite(p);
    for (auto [from, to] : meshEdges()) {
        const Point a = corners[from], b = corners[to];
        expectWhite({(a.x + b.x) / 2, (a.y + b.y) / 2});
        const int steps = static_cast<int>(2 * std::max(std::abs(b.x - a.x), std::abs(b.y - a.y))) + 1;
        for (int s = 0; s <= steps; ++s) {
            const int px = static_cast<int>(std::floor(a.x + (b.x - a.x) * s / steps));
            const int py = static_cast<int>(std::floor(a.y + (b.y - a.y) * s / steps));
            for (int y = py - tolerance; y <= py + tolerance; ++y)
                for (int x = px - tolerance; x <= px + tolerance; ++x)
                    if (inside(x, y, 0)) nearEdge[y * width + x] = 1;
        }
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = picture.pixels[y * width + x];
            m.grey += pixel != 0 && pixel != 0xFFFFFF;
            if (!picture.lit(x, y)) continue;
            ++m.lit;
            if (!nearEdge[y * width + x] && m.stray++ == 0) m.firstStray = {double(x), double(y)};
        }
    return m;
}

}  // namespace xsession

#endif
