// SPDX-License-Identifier: MIT
// The window harness for node and bash, run as a co-process:
//
//   x_session_tool [--wait SECONDS] [NAME=VALUE...] [PROGRAM [ARG...]]
//
// Starts Xvfb and, when given, PROGRAM on it with the NAME=VALUE entries added to its
// environment; waits up to SECONDS (15) for its window titled "Tessary". Then says
// "ready DISPLAY PID" (PID 0 without a program), or "error WHAT" and ends. After that it
// reads one command a line and answers each with "ok" or "error WHAT":
//
//   press KEY...   presses and releases the keys (X keysym names), in order
//   settled FILE   writes the settled picture (drawn, and still for longer than a frame) to
//                  FILE as a PPM
//   changed FILE   as settled, once the picture has left the last one written
//   resize SIZE    makes the window SIZE x SIZE pixels
//   quit           stops the program and the server by their pids and ends; so does the
//                  end of its input, or SIGTERM, SIGINT or SIGHUP
//
// What the program and the server print goes to standard error.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "x_session.h"

using namespace xsession;

namespace {

volatile pid_t programGroup = 0;

// kill is safe in a signal handler where the destructors are not. The server and the
// program's leader, our children, get SIGKILL as we end (PR_SET_PDEATHSIG); the rest of
// the program's group gets it here.
void onSignal(int signal) {
    if (programGroup > 0) kill(-programGroup, SIGKILL);
    _exit(128 + signal);
}

void writePpm(const Picture& picture, const std::string& file) {
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << picture.width << ' ' << picture.height << "\n255\n";
    for (std::uint32_t pixel : picture.pixels) {
        const char rgb[] = {char(pixel >> 16), char(pixel >> 8), char(pixel)};
        out.write(rgb, 3);
    }
    if (!out.flush()) throw std::runtime_error("could not write " + file);
}

}  // namespace

int main(int argc, char** argv) {
    // Answers go to the caller's pipe; everything the children print goes to stderr.
    std::FILE* answers = fdopen(dup(1), "w");
    dup2(2, 1);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) signal(s, onSignal);
    signal(SIGPIPE, SIG_IGN);
    auto answer = [&](const std::string& line) {
        std::fprintf(answers, "%s\n", line.c_str());
        std::fflush(answers);
    };

    Command command;
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--wait") == 0) {
        command.windowSeconds = std::atof(argv[i + 1]);
        i += 2;
    }
    for (; i < argc && std::strchr(argv[i], '='); ++i) command.environment.push_back(argv[i]);
    command.program.assign(argv + i, argv + argc);

    std::unique_ptr<XSession> session;
    try {
        session = std::make_unique<XSession>(command);
        programGroup = session->programPid();
        if (session->window()) session->focus();
    } catch (const std::exception& e) {
        answer(std::string("error ") + e.what());
        return 1;
    }
    answer("ready " + session->displayName() + " " + std::to_string(std::max(0, int(session->programPid()))));

    Picture last;
    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream words(line);
        std::string verb, argument;
        words >> verb;
        std::getline(words >> std::ws, argument);
        try {
            if (verb == "quit") break;
            if (!session->window()) throw std::runtime_error("no program: only quit");
            if (verb == "press") {
                session->press(argument);
            } else if (verb == "settled" || verb == "changed") {
                if (verb == "changed"
                    && session->captureUntil([&](const Picture& p) { return !(p == last); }, 10) == last)
                    throw std::runtime_error("the picture did not change within 10 s");
                last = session->settled();
                writePpm(last, argument);
            } else if (verb == "resize") {
                session->resize(std::stoi(argument), std::stoi(argument));
            } else {
                throw std::runtime_error("unknown command: " + line);
            }
            answer("ok");
        } catch (const std::exception& e) {
            answer(std::string("error ") + e.what());
        }
    }
    return 0;
}
