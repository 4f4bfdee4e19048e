#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>

// Text files: read as UTF-8 when the bytes are valid UTF-8, else as
// Windows-1252; written as UTF-8. LF and CR LF both end a line.
QString DecodeText(QByteArrayView bytes);
// The bytes of a file without a leading UTF-8 byte order mark.
QByteArrayView WithoutBom(QByteArrayView bytes);

// Splits like a line-wise read: a final line end does not start another line;
// an empty input has no lines.
QStringList SplitLines(const QString& text);

// Opens a file for reading only when it is a plain file; false for a FIFO
// or a device, which would block the open or be read for ever, and when
// it can't be opened.
bool OpenRegularFile(QFile& file, const QString& path);

// Whole file into lines; false when it can't be opened or read.
// lastTerminated tells whether the last line ends with a line feed.
bool ReadTextLines(const QString& path, QStringList& lines, bool* lastTerminated = nullptr);

// The first and the last line of a file as a line-wise read sees them,
// without reading the middle of a large file. lineCount reports 0, 1 or 2
// (2 meaning "more than one"). False when the file can't be opened or read.
// A line longer than its limit in bytes (line end not counted; -1: no
// limit) is not read: it comes back empty with its flag set, and reading
// it costs no more than its limit. A first line past its limit ends the
// read there.
struct FirstLastLines {
    QString first;
    QString last;
    int lineCount = 0;
    bool lastTerminated = false;   // the last line ends with a line feed
    bool firstTooLong = false;
    bool lastTooLong = false;
};
bool ReadFirstAndLastLine(const QString& path, FirstLastLines& out, qint64 maxFirst = -1, qint64 maxLast = -1);

// Atomic write: temp file in the same folder, synced, then renamed over the
// target, then the folder synced. The old file stays whole on any failure.
// Lines end with LF. A symbolic link stays: the file it leads to is
// replaced. A replaced file keeps its mode, owner and group; when we may not
// give it its owner, it is rewritten in place instead, with the room taken
// first (false when we may not write it either).
bool WriteTextFileAtomic(const QString& path, QByteArrayView data);
bool WriteTextFileAtomic(const QString& path, const QString& text);

// For a file we may write but whose folder (the folder of the file a link
// leads to) takes no new file: rewrites it in place. Only then, since an
// in-place write that fails half-way (the room is taken first, so rarely)
// loses the old content.
bool WriteTextFileInPlace(const QString& path, QByteArrayView data);

// Removes the temporary files a killed atomic write of this path left
// behind ("name.XXXXXX" beside it). Only for a path no one else writes.
void RemoveStaleTempFiles(const QString& path);

// The calls by which the writes above reach the disk, as the system's fsync
// and rename: a seam for tests that watch their order or make one fail.
// An empty member stands for the system's own call.
struct DiskCalls {
    std::function<int(int fd)> fsync;
    std::function<int(const char* from, const char* to)> rename;
};
void SetDiskCalls(DiskCalls calls);
