// Shared by the fuzz targets: a core application, German regional settings
// and scratch files that live as long as the process.
#pragma once

#include "FormatSettings.h"
#include "SysUtils.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace fuzz {

// In memory where there is such a folder: the targets write files on every
// input, and the saves sync them.
// VANTOREL_FUZZ_DIR names the folder to work in (tools/fuzz.sh sets it and
// removes it afterwards, since a finding ends the process without cleaning).
inline QTemporaryDir& Ordner()
{
    const QString basis = qEnvironmentVariableIsSet("VANTOREL_FUZZ_DIR")
                              ? qEnvironmentVariable("VANTOREL_FUZZ_DIR")
                              : (QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                                   : QDir::tempPath());
    static QTemporaryDir dir(basis + QStringLiteral("/vantorel-fuzz-XXXXXX"));
    return dir;
}

inline void Einrichten()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    formatSettings() = FormatSettings::German();
    // A fixed clock: a date without a year reads the same on every run.
    SetClock([] { return EncodeDate(2026, 12, 8) + EncodeTime(12, 0, 0, 0); });
    SetSleepFunction([](unsigned) {});
}

inline QString Datei(const char* name) { return Ordner().filePath(QString::fromLatin1(name)); }

inline void Schreibe(const QString& pfad, const QByteArray& daten)
{
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(daten) != daten.size())
        std::abort();
}

inline QByteArray Lies(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A broken invariant ends the run like a crash, with the reason.
inline void Pruefe(bool ok, const char* was)
{
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", was);
        std::abort();
    }
}

} // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
