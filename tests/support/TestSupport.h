#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <ostream>

// Readable failure output for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '[';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    *os << ']';
}

// A scratch folder removed with the object.
class TempDir {
public:
    TempDir();
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    // Full path of a file inside the folder.
    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Writes the bytes as they are; fails the test when the file can't be written.
void writeFile(const QString& path, const QByteArray& bytes);
// Appends the bytes, as a logger does; fails the test when it can't.
void appendFile(const QString& path, const QByteArray& bytes);
// The whole file; empty when it can't be read.
QByteArray readFile(const QString& path);

// Runs the event loop for about `ms` milliseconds (timers, queued calls).
void pumpEvents(int ms);
// Runs the event loop until `done` holds, at most `ms` milliseconds; whether
// it holds. For what a loaded machine may only make slower.
bool pumpUntil(const std::function<bool()>& done, int ms = 20000);

// Fixture: German regional settings, the real clock and the real sleep for
// every test, whatever the test before changed.
class GermanSettings : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Runs fn in a child process without root's rights (the folder is handed to
// nobody first), so that file permissions bite even when the tests run as
// root. True when fn returned true.
bool OhneRootRechte(const QString& ordner, const std::function<bool()>& fn);
void Rechte(const QString& pfad, int modus);
// Runs fn in a child process that must end within `ms` milliseconds; one
// that hangs is killed. True when fn returned true in time. For code that
// could block for ever (a FIFO opened for reading).
bool EndetRechtzeitig(const std::function<bool()>& fn, int ms = 20000);
