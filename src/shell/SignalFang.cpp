#include "SignalFang.h"

#include <QSocketNotifier>

#include <csignal>
#include <iterator>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_paar[2] = {-1, -1};
const int kSignale[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction g_vorher[std::size(kSignale)];
// A signal ignored when the program started (SIGHUP under nohup, SIGINT in
// a script's background job) is left ignored: whoever started it meant so.
bool g_gefangen[std::size(kSignale)];

void BeiSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_paar[0], &c, 1);
}

} // namespace

TSignalFang::TSignalFang(QObject* Kontext, std::function<void()> Schliessen)
{
    if (g_paar[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_paar) != 0)
        return;
    m_schliessen = std::move(Schliessen);
    m_melder = std::make_unique<QSocketNotifier>(g_paar[1], QSocketNotifier::Read);
    QObject::connect(m_melder.get(), &QSocketNotifier::activated, Kontext, [this] { Lies(); });
    struct sigaction sa {};
    sa.sa_handler = BeiSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignale); ++i) {
        g_gefangen[i] = sigaction(kSignale[i], nullptr, &g_vorher[i]) == 0 && g_vorher[i].sa_handler != SIG_IGN
                        && sigaction(kSignale[i], &sa, nullptr) == 0;
    }
}

void TSignalFang::Lies() const
{
    char c = 0;
    [[maybe_unused]] const ssize_t n = ::read(g_paar[1], &c, 1);
    m_schliessen();
}

void TSignalFang::Pruefe() const
{
    if (!m_melder)
        return;
    pollfd wartet{g_paar[1], POLLIN, 0};
    if (::poll(&wartet, 1, 0) == 1 && (wartet.revents & POLLIN))
        Lies();
}

TSignalFang::~TSignalFang()
{
    if (!m_melder)
        return;
    for (size_t i = 0; i < std::size(kSignale); ++i)
        if (g_gefangen[i])
            sigaction(kSignale[i], &g_vorher[i], nullptr);
    m_melder.reset();
    ::close(g_paar[0]);
    ::close(g_paar[1]);
    g_paar[0] = g_paar[1] = -1;
}
