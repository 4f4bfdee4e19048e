#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text files: read as UTF-8 when the bytes are valid UTF-8, else as
// Windows-1252; written as UTF-8. LF and CR LF both end a line.
QString DecodeText(const QByteArray& bytes);

// Splits like a line-wise read: a final line end does not start another line;
// an empty input has no lines.
QStringList SplitLines(const QString& text);

// Whole file into lines; false when it can't be opened or read.
bool ReadTextLines(const QString& path, QStringList& lines);

// The first and the last line of a file as a line-wise read sees them,
// without reading the middle of a large file. lineCount reports 0, 1 or 2
// (2 meaning "more than one"). False when the file can't be opened or read.
struct FirstLastLines {
    QString first;
    QString last;
    int lineCount = 0;
};
bool ReadFirstAndLastLine(const QString& path, FirstLastLines& out);

// Atomic write: temp file in the same folder, then rename over the target.
// The old file stays whole on any failure. Lines end with LF.
bool WriteTextFileAtomic(const QString& path, const QString& text);
