#include "TestSupport.h"

#include "FormatSettings.h"
#include "SysUtils.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

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

static void resetRuntime()
{
    formatSettings() = FormatSettings::German();
    SetClock({});
    SetSleepFunction({});
}

void GermanSettings::SetUp() { resetRuntime(); }

void GermanSettings::TearDown() { resetRuntime(); }
