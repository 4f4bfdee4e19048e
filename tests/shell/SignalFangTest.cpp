#include "SignalFang.h"
#include "TestSupport.h"

#include <QTimer>

#include <csignal>

// Each signal by which a session ends the program closes it from the event
// loop, and the handlers from before come back afterwards.
TEST(SignalFang, TheSignalsThatEndASessionCloseThroughTheEventLoop)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        // A script's background job starts with SIGINT ignored, which the
        // catcher leaves alone: here each signal starts as a fresh one.
        struct sigaction vorher {};
        struct sigaction standard {};
        standard.sa_handler = SIG_DFL;
        sigemptyset(&standard.sa_mask);
        ASSERT_EQ(sigaction(signal, &standard, &vorher), 0);
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
        ASSERT_EQ(sigaction(signal, &vorher, &danach), 0);
        EXPECT_EQ(danach.sa_handler, SIG_DFL) << signal;
    }
}

// Started under nohup, or in the background by a script, the program finds
// SIGHUP or SIGINT ignored: they stay ignored, the others are caught.
TEST(SignalFang, ASignalIgnoredWhenTheProgramStartedStaysIgnored)
{
    for (const int ignoriert : {SIGHUP, SIGINT}) {
        struct sigaction vorher {};
        struct sigaction ign {};
        ign.sa_handler = SIG_IGN;
        sigemptyset(&ign.sa_mask);
        ASSERT_EQ(sigaction(ignoriert, &ign, &vorher), 0);
        QObject kontext;
        int geschlossen = 0;
        {
            const TSignalFang fang(&kontext, [&] { ++geschlossen; });
            ASSERT_TRUE(fang.Aktiv());
            struct sigaction jetzt {};
            ASSERT_EQ(sigaction(ignoriert, nullptr, &jetzt), 0);
            EXPECT_EQ(jetzt.sa_handler, SIG_IGN) << ignoriert;
            ASSERT_EQ(::raise(ignoriert), 0);
            pumpEvents(50);
            EXPECT_EQ(geschlossen, 0) << ignoriert;
            // SIGTERM still closes.
            ASSERT_EQ(::raise(SIGTERM), 0);
            pumpUntil([&] { return geschlossen > 0; });
            EXPECT_EQ(geschlossen, 1) << ignoriert;
        }
        struct sigaction danach {};
        ASSERT_EQ(sigaction(ignoriert, nullptr, &danach), 0);
        EXPECT_EQ(danach.sa_handler, SIG_IGN) << ignoriert;
        ASSERT_EQ(sigaction(ignoriert, &vorher, nullptr), 0);
    }
}

// A signal that came before any event loop ran (during the start-up) is
// answered on the spot, once.
TEST(SignalFang, ASignalBeforeTheLoopIsAnsweredBeforeAnythingQueued)
{
    struct sigaction vorherTerm {};
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    ASSERT_EQ(sigaction(SIGTERM, &standard, &vorherTerm), 0);
    QObject kontext;
    int geschlossen = 0;
    bool vorher = false;
    bool danach = false;
    {
        const TSignalFang fang(&kontext, [&] { ++geschlossen; });
        ASSERT_TRUE(fang.Aktiv());
        fang.Pruefe();
        EXPECT_EQ(geschlossen, 0);

        QTimer::singleShot(0, &kontext, [&] { vorher = geschlossen == 0; });
        ASSERT_EQ(::raise(SIGTERM), 0);
        fang.Pruefe();
        EXPECT_EQ(geschlossen, 1);
        QTimer::singleShot(0, &kontext, [&] { danach = true; });
        EXPECT_TRUE(pumpUntil([&] { return danach; }));
    }
    sigaction(SIGTERM, &vorherTerm, nullptr);
    EXPECT_FALSE(vorher);
    EXPECT_EQ(geschlossen, 1);
}
