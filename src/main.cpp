// SPDX-License-Identifier: MIT
// Tessary: the graph of w = 2.718^z over the square -0.5 <= Re z, Im z <= 0.5, drawn
// as a white wireframe surface in four dimensions and redrawn continuously.
//
// Keys (lower case only; every other key does nothing):
//   a / d   turn the view about the x axis by -5 / +5 degrees
//   w / x   turn the view about the y axis by +5 / -5 degrees
//   e / z   turn the view about the z axis by +5 / -5 degrees
//   h       advance the graph's rotation in the xy plane of 4-space by 5 degrees
//   j       advance its rotation in the yz plane by 5 degrees
//   k       advance its rotation in the zw plane by 5 degrees
// No key quits; closing the window ends the program.

#include <GL/glut.h>

#include "complex.h"
#include "dual.h"
#include "graph.h"
#include "splitcomplex.h"

namespace {

constexpr int WINDOW_SIZE = 600;     // pixels, square
constexpr int WINDOW_POSITION = 50;  // pixels from the screen's top left, both ways
constexpr double MESH_START = -0.5;  // the sampled square's lower bound, both axes
constexpr double MESH_END = 0.5;     // and its upper bound
constexpr double MESH_STEP = 0.025;  // grid spacing, both axes
constexpr double VIEW_STEP = 5.0;    // degrees per key press; exact, so a then d undoes a

}  // namespace

// The drawn graph and its plane angles; declared first of the program's globals.
Graph<Complex> complexGraph;

// Built at start-up and never drawn: Dual offers no getFirst or getSecond, so
// nothing may call point() on it.
Graph<Dual> dualGraph;

// Built at start-up and never drawn: SplitComplex offers no getFirst, getSecond or
// exp(SplitComplex), so nothing may call point() on it.
Graph<SplitComplex> splitComplexGraph;

// View rotation about the x, y and z axes, in degrees; never wrapped.
double xAngle = 0;
double yAngle = 0;
double zAngle = 0;

// One triangle strip per row, four vertices per cell. Both loops advance by repeated
// addition, never from a counter: the accumulated rounding takes the 41st value to
// 0.5000000000000003, past the bound, so the mesh has 40 rows and 40 columns and its
// far edge lies at about 0.5. A counted loop would add a 41st row and column.
void drawMesh() {
    GraphFunction<Complex> func;
    complexGraph.setFunction(func);
    double step = MESH_STEP;
    for (double j = MESH_START; j <= MESH_END; j += step) {
        glBegin(GL_TRIANGLE_STRIP);
        for (double i = MESH_START; i <= MESH_END; i += step) {
            complexGraph.point(j, i);
            complexGraph.point(j, i + step);
            complexGraph.point(j + step, i);
            complexGraph.point(j + step, i + step);
        }
        glEnd();
    }
}

// Draws one frame and asks for the next at once, so the picture follows every change
// without any other callback asking for a redisplay.
void displayCallback() {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Set after the clear, so it governs the next frame's; the first frame clears with
    // OpenGL's initial colour, which is black as well.
    glClearColor(0, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    // Applied to a vertex in reverse: about x first, then y, then z.
    glRotated(zAngle, 0, 0, 1);
    glRotated(yAngle, 0, 1, 0);
    glRotated(xAngle, 1, 0, 0);
    drawMesh();
    glPopMatrix();
    glutSwapBuffers();
    glutPostRedisplay();
}

// Takes any byte; only the nine lower-case keys above do anything. The next frame,
// already requested, shows the change, so no redisplay is posted here.
void keyboardCallback(unsigned char key, int /*x*/, int /*y*/) {
    switch (key) {
    case 'a': xAngle -= VIEW_STEP; break;
    case 'd': xAngle += VIEW_STEP; break;
    case 'w': yAngle += VIEW_STEP; break;
    case 'x': yAngle -= VIEW_STEP; break;
    case 'e': zAngle += VIEW_STEP; break;
    case 'z': zAngle -= VIEW_STEP; break;
    case 'h': complexGraph.xyRotate(); break;
    case 'j': complexGraph.yzRotate(); break;
    case 'k': complexGraph.zwRotate(); break;
    default: break;
    }
}

// x and y as the identity would draw them, but a depth range of [-2, 2] instead of
// [-1, 1]: the surface reaches about 1.8 from the origin, and the identity would clip
// every part of it where Re w > 1, about half of it at start-up.
void setProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -2, 2);
    glMatrixMode(GL_MODELVIEW);
}

// The command line goes to GLUT unchanged; the program has no options of its own.
int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE);
    glutInitWindowSize(WINDOW_SIZE, WINDOW_SIZE);
    glutInitWindowPosition(WINDOW_POSITION, WINDOW_POSITION);
    glutCreateWindow("Tessary");
    setProjection();
    glutDisplayFunc(displayCallback);
    glutKeyboardFunc(keyboardCallback);
    glutMainLoop();
    return 0;
}
