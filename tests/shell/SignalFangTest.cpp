#include "SignalFang.h"
#include "TestSupport.h"

#include <QTimer>

#include <csignal>

namespace {

// A script's background job starts with SIGINT ignored, which the catcher
// leaves alone: a test starts each signal fresh, and puts it back after.
class FrischesSignal {
public:
    explicit FrischesSignal(int signal) : m_signal(signal)
    {
        struct sigaction standard {};
        standard.sa_handler = SIG_DFL;
        sigemptyset(&standard.sa_mask);
        m_ok = sigaction(signal, &standard, &m_vorher) == 0;
    }
    ~FrischesSignal() { sigaction(m_signal, &m_vorher, nullptr); }
    FrischesSignal(const FrischesSignal&) = delete;
    FrischesSignal& operator=(const FrischesSignal&) = delete;
    bool ok() const { return m_ok; }

private:
    int m_signal;
    struct sigaction m_vorher {};
    bool m_ok = false;
};

} // namespace

// Each signal by which a session ends the program closes it from the event
// loop, and the handlers from before come back afterwards.
TEST(SignalFang, TheSignalsThatEndASessionCloseThroughTheEventLoop)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const FrischesSignal frisch(signal);
        ASSERT_TRUE(frisch.ok());
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
    const FrischesSignal frisch(SIGTERM);
    ASSERT_TRUE(frisch.ok());
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
    EXPECT_FALSE(vorher);
    EXPECT_EQ(geschlossen, 1);
}
