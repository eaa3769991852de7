// SPDX-License-Identifier: MIT
// The icon tool (packaging/icon/): what it draws for a grid, run as scripts/icons.sh runs
// it, and how it refuses arguments it cannot draw.
#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct IconRun {
    std::string output;
    int status;
};

IconRun icon(const std::string& arguments) {
    IconRun run{"", -1};
    FILE* pipe = popen((std::string(TESSARY_ICON_TOOL) + " " + arguments + " 2>/dev/null").c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    run.status = pclose(pipe);
    return run;
}

struct Point {
    double x, y;
};

// The polylines of the SVG's one path: each "M x y L x y ..." in the path's d attribute.
std::vector<std::vector<Point>> polylines(const std::string& svg) {
    std::vector<std::vector<Point>> lines;
    const auto start = svg.find(" d=\"");
    if (start == std::string::npos) return lines;
    std::istringstream d(svg.substr(start + 4, svg.find('"', start + 4) - start - 4));
    // Each point is written "Mx y" or "Lx y": the command joined to its x.
    for (std::string word; d >> word;) {
        if (word[0] == 'M') lines.emplace_back();
        Point p{std::stod(word.substr(1)), 0};
        d >> p.y;
        if (!lines.empty()) lines.back().push_back(p);
    }
    return lines;
}

TEST(Icon, DrawsEachGridLineOfTheSurfaceInsideTheSquareAndFillsIt) {
    for (int cells : {2, 3, 8}) {
        const IconRun run = icon(std::to_string(cells) + " 4");
        ASSERT_EQ(run.status, 0) << cells << " cells";
        EXPECT_NE(run.output.find("viewBox=\"0 0 256 256\""), std::string::npos);
        const auto lines = polylines(run.output);
        // Lines of constant a and of constant b, cells + 1 points each.
        ASSERT_EQ(lines.size(), 2u * (cells + 1)) << cells << " cells";
        double left = 256, right = 0, top = 256, bottom = 0;
        for (const auto& line : lines) {
            EXPECT_EQ(line.size(), cells + 1u);
            for (const Point& p : line) {
                left = std::min(left, p.x);
                right = std::max(right, p.x);
                top = std::min(top, p.y);
                bottom = std::max(bottom, p.y);
            }
        }
        // Centred, 24 units from the edge of the square on its longer side, at most.
        EXPECT_NEAR((left + right) / 2, 128, 0.02);
        EXPECT_NEAR((top + bottom) / 2, 128, 0.02);
        EXPECT_GE(left, 23.99);
        EXPECT_GE(top, 23.99);
        EXPECT_NEAR(std::max(right - left, bottom - top), 208, 0.02);
        // The two families meet at the grid's points: the first point of the first line
        // of constant a is the first of the first line of constant b.
        EXPECT_EQ(lines[0][0].x, lines[cells + 1][0].x);
        EXPECT_EQ(lines[0][0].y, lines[cells + 1][0].y);
    }
}

TEST(Icon, TrianglesAddOneDiagonalLineForEachAntidiagonalOfTheGrid) {
    const IconRun plain = icon("4 7");
    const IconRun withTriangles = icon("4 7 triangles");
    ASSERT_EQ(withTriangles.status, 0);
    const auto lines = polylines(withTriangles.output);
    ASSERT_EQ(lines.size(), 2u * 5 + 7);  // 2 * cells - 1 diagonals
    // The diagonals join (a, b + step) to (a + step, b): each has as many points as its
    // antidiagonal of the grid, 2 for the first and last, 5 for the middle one.
    EXPECT_EQ(lines[10].size(), 2u);
    EXPECT_EQ(lines[13].size(), 5u);
    EXPECT_EQ(lines[16].size(), 2u);
    // The grid lines are those of the plain drawing.
    EXPECT_EQ(polylines(plain.output).size(), 10u);
    const auto gridEnd = plain.output.rfind("\"/>");
    EXPECT_EQ(withTriangles.output.substr(0, gridEnd), plain.output.substr(0, gridEnd));
}

TEST(Icon, RefusesWhatItCannotDraw) {
    for (const char* arguments : {"", "0 4", "4", "4 0", "4 -1", "201 4", "4 4 squares", "4 4 triangles x"}) {
        EXPECT_NE(icon(arguments).status, 0) << "'" << arguments << "'";
    }
}

}  // namespace
