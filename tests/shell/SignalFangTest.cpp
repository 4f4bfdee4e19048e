#include "SignalFang.h"
#include "TestSupport.h"

#include <csignal>

// Each signal by which a session ends the program closes it from the event
// loop, and the handlers from before come back afterwards.
TEST(SignalFang, TheSignalsThatEndASessionCloseThroughTheEventLoop)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction vorher {};
        ASSERT_EQ(sigaction(signal, nullptr, &vorher), 0);
        QObject kontext;
        int geschlossen = 0;
        {
            const TSignalFang fang(&kontext, [&] { ++geschlossen; });
            ASSERT_TRUE(fang.Aktiv());
            ASSERT_EQ(::raise(signal), 0);
            EXPECT_EQ(geschlossen, 0) << "not inside the handler";
            pumpUntil([&] { return geschlossen > 0; });
            EXPECT_EQ(geschlossen, 1) << signal;
        }
        struct sigaction danach {};
        ASSERT_EQ(sigaction(signal, nullptr, &danach), 0);
        EXPECT_EQ(danach.sa_handler, vorher.sa_handler) << signal;
    }
}
