// SPDX-License-Identifier: MIT
// Writes the application icon as SVG to standard output: the program's own surface,
// computed by Graph<Complex> as the viewer computes it, on a coarser grid, seen from the
// view the keys w x3, k x18, d x9 give (the view of the old captured icon), and scaled
// to fill a rounded black square of 256 x 256 units.
//
//   tessary_icon CELLS STROKE [triangles]
//
// CELLS: grid cells along each side of the sampled square; STROKE: line width in units
// of the 256-unit square; "triangles" adds the diagonal of each cell that the viewer's
// triangle strips draw. Smaller icons want fewer cells and wider lines.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <GL/gl.h>

#include "complex.h"
#include "graph.h"

namespace {

struct Point {
    double x;
    double y;
};

// The vertices Graph::point emits, in the order emitted.
std::vector<Point> recorded;
// The view rotation of the viewer after the keys above, in degrees: about x, then y.
constexpr double X_ANGLE = 45.0;
constexpr double Y_ANGLE = 15.0;
constexpr int ZW_PRESSES = 18;   // presses of k
constexpr double SIZE = 256.0;   // the SVG's square, in its own units
constexpr double MARGIN = 24.0;  // from the square's edge to the surface's farthest point
constexpr double CORNER = 32.0;  // radius of the square's rounded corners

// Turns (x, y, z) about x and then about y, as the viewer's modelview matrix does (its
// rotation about z, applied last, is by 0 here), and keeps x and y: the
// viewer's projection is orthographic.
Point view(double x, double y, double z) {
    const double PI = 3.141592653589793;
    double ax = X_ANGLE * PI / 180;
    double ay = Y_ANGLE * PI / 180;
    double y1 = std::cos(ax) * y - std::sin(ax) * z;
    double z1 = std::sin(ax) * y + std::cos(ax) * z;
    return {std::cos(ay) * x + std::sin(ay) * z1, y1};
}

}  // namespace

// Takes the graph's vertices in place of libGL, which is not linked.
void GLAPIENTRY glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    recorded.push_back(view(x, y, z));
}

int main(int argc, char** argv) {
    int cells = argc >= 3 ? std::atoi(argv[1]) : 0;
    double stroke = argc >= 3 ? std::atof(argv[2]) : 0;
    bool triangles = argc == 4 && std::strcmp(argv[3], "triangles") == 0;
    if (cells < 1 || cells > 200 || !(stroke > 0) || argc > 4 || (argc == 4 && !triangles)) {
        std::fprintf(stderr, "usage: tessary_icon CELLS STROKE [triangles]\n");
        return 2;
    }

    Graph<Complex> graph;
    for (int i = 0; i < ZW_PRESSES; ++i) {
        graph.zwRotate();
    }
    // Grid point (j, i) is sample (a, b) = (-0.5 + j / cells, -0.5 + i / cells), stored
    // at j * (cells + 1) + i, as the viewer's rows of constant a.
    for (int j = 0; j <= cells; ++j) {
        for (int i = 0; i <= cells; ++i) {
            graph.point(-0.5 + double(j) / cells, -0.5 + double(i) / cells);
        }
    }

    // Scale and centre the drawing in the square; SVG's y grows downwards.
    double left = recorded[0].x, right = left, bottom = recorded[0].y, top = bottom;
    for (const Point& p : recorded) {
        left = std::fmin(left, p.x);
        right = std::fmax(right, p.x);
        bottom = std::fmin(bottom, p.y);
        top = std::fmax(top, p.y);
    }
    double scale = (SIZE - 2 * MARGIN) / std::fmax(right - left, top - bottom);
    auto at = [&](int j, int i) {
        const Point& p = recorded[j * (cells + 1) + i];
        return Point{SIZE / 2 + (p.x - (left + right) / 2) * scale,
                     SIZE / 2 - (p.y - (bottom + top) / 2) * scale};
    };

    std::printf(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
        "viewBox=\"0 0 256 256\">\n");
    std::printf("  <rect width=\"256\" height=\"256\" rx=\"%g\" fill=\"#000000\"/>\n", CORNER);
    std::printf(
        "  <path fill=\"none\" stroke=\"#ffffff\" stroke-width=\"%g\" "
        "stroke-linecap=\"round\" stroke-linejoin=\"round\" d=\"",
        stroke);
    // Lines of constant a, then of constant b, then the diagonals from (a, b + step) to
    // (a + step, b), each as one polyline.
    for (int j = 0; j <= cells; ++j) {
        for (int i = 0; i <= cells; ++i) {
            Point p = at(j, i);
            std::printf("%s%.2f %.2f", i == 0 ? "\n    M" : " L", p.x, p.y);
        }
    }
    for (int i = 0; i <= cells; ++i) {
        for (int j = 0; j <= cells; ++j) {
            Point p = at(j, i);
            std::printf("%s%.2f %.2f", j == 0 ? "\n    M" : " L", p.x, p.y);
        }
    }
    for (int d = 1; triangles && d < 2 * cells; ++d) {
        bool first = true;
        for (int j = 0; j <= cells; ++j) {
            int i = d - j;
            if (i < 0 || i > cells) {
                continue;
            }
            Point p = at(j, i);
            std::printf("%s%.2f %.2f", first ? "\n    M" : " L", p.x, p.y);
            first = false;
        }
    }
    std::printf("\"/>\n</svg>\n");
    return 0;
}
