#include "TestSupport.h"

#include "FormatSettings.h"
#include "SysUtils.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TempDir::TempDir()
{
    m_dir.setAutoRemove(true);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

void appendFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void pumpEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool pumpUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer uhr;
    uhr.start();
    while (!done()) {
        if (uhr.elapsed() > ms)
            return false;
        pumpEvents(5);
    }
    return true;
}

static void resetRuntime()
{
    formatSettings() = FormatSettings::German();
    SetClock({});
    SetSleepFunction({});
}

void GermanSettings::SetUp() { resetRuntime(); }

void GermanSettings::TearDown() { resetRuntime(); }

bool OhneRootRechte(const QString& ordner, const std::function<bool()>& fn)
{
    if (geteuid() == 0 && ::chown(QFile::encodeName(ordner).constData(), 65534, 65534) != 0)
        return false;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        bool ok = false;
        try {
            ok = (geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0)) && fn();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
        std::fflush(nullptr);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Rechte(const QString& pfad, int modus)
{
    ::chmod(QFile::encodeName(pfad).constData(), static_cast<mode_t>(modus));
}

bool EndetRechtzeitig(const std::function<bool()>& fn, int ms)
{
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        bool ok = false;
        try {
            ok = fn();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
        std::fflush(nullptr);
        _exit(ok ? 0 : 1);
    }
    QElapsedTimer uhr;
    uhr.start();
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (uhr.elapsed() > ms) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return false;
        }
        usleep(5000);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
