// SPDX-License-Identifier: MIT
// The settling rule that every user of the window harness relies on: no all-black picture
// is settled however long it lasts, and a drawn one only once it has stayed the same for
// the quiet time.
#include <gtest/gtest.h>

#include "x_session.h"

using namespace xsession;

TEST(Settling, OnlyADrawnPictureUnchangedForTheQuietTimeIsSettled) {
    // Two pixels; the first stays black. A pixel below half brightness is not drawn.
    auto picture = [](std::uint32_t pixel) { return Picture{2, 1, {0, pixel}}; };
    const Picture black = picture(0), dim = picture(0x7f7f7f), drawn = picture(0xffffff),
                  other = picture(0x808080);
    struct Capture {
        const Picture& picture;
        double seconds;
        bool settled;
    };
    const std::vector<std::vector<Capture>> runs = {
        {{black, 0, false}, {black, 2, false}, {black, 60, false}},
        {{dim, 0, false}, {dim, 60, false}},
        {{drawn, 0, false}, {drawn, 1, false}, {drawn, 1.5, true}, {drawn, 2, true}},
        {{drawn, 0, false}, {other, 1, false}, {other, 2, false}, {other, 2.5, true}},
        {{drawn, 0, false}, {black, 1, false}, {drawn, 2, false}, {drawn, 3, false}, {drawn, 4, true}},
    };
    for (size_t run = 0; run < runs.size(); ++run) {
        Settling settling(1.5);
        for (const Capture& c : runs[run])
            EXPECT_EQ(settling.still(c.picture, c.seconds), c.settled)
                << "run " << run << " at " << c.seconds << " s";
    }
}
