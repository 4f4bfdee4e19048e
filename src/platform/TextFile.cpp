#include "TextFile.h"

#include <QByteArrayList>
#include <QFile>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Windows-1252 for 0x80..0x9F; the five unassigned bytes keep their code.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const QByteArray kBom("\xEF\xBB\xBF");

// Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        unsigned char lo = 0x80, hi = 0xBF;   // range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0)
                lo = 0xA0;
            else if (c == 0xED)
                hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        if (i + extra >= n)
            return false;
        if (p[i + 1] < lo || p[i + 1] > hi)
            return false;
        for (int k = 2; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

QString decodeCp1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        out[i] = QChar(c >= 0x80 && c <= 0x9F ? kCp1252High[c - 0x80] : char16_t(c));
    }
    return text;
}

// One line's bytes without its line end; CR LF loses the CR, a lone CR
// stays part of the line.
QString decodeLine(QByteArrayView bytes, bool terminated)
{
    if (terminated && bytes.endsWith('\r'))
        bytes.chop(1);
    return DecodeText(bytes);
}

QByteArrayView withoutBom(QByteArrayView bytes)
{
    return bytes.startsWith(kBom) ? bytes.sliced(kBom.size()) : bytes;
}

constexpr qint64 kBlockSize = 8192;

} // namespace

QByteArrayView WithoutBom(QByteArrayView bytes)
{
    return withoutBom(bytes);
}

QString DecodeText(QByteArrayView bytes)
{
    if (isValidUtf8(bytes)) {
        const QByteArrayView view = withoutBom(bytes);
        return QString::fromUtf8(view.data(), view.size());
    }
    return decodeCp1252(bytes);
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lf = text.indexOf(u'\n', start);
        if (lf < 0) {
            lines.append(text.mid(start));
            break;
        }
        qsizetype end = lf;
        if (end > start && text[end - 1] == u'\r')
            --end;
        lines.append(text.mid(start, end - start));
        start = lf + 1;
    }
    return lines;
}

bool OpenRegularFile(QFile& file, const QString& path)
{
    // Not blocking: a FIFO with no writer would hold the open itself.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

// Lines are split on the bytes and decoded one by one, so a single
// Windows-1252 line does not change how the other lines read; the first and
// last line reader does the same.
bool ReadTextLines(const QString& path, QStringList& lines, bool* lastTerminated)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    lines.clear();
    if (lastTerminated)
        *lastTerminated = data.isEmpty() || data.endsWith('\n');
    const QByteArrayView bytes = withoutBom(data);
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        if (lf < 0) {
            lines.append(decodeLine(bytes.sliced(start), false));
            break;
        }
        lines.append(decodeLine(bytes.sliced(start, lf - start), true));
        start = lf + 1;
    }
    return true;
}

bool ReadFirstAndLastLine(const QString& path, FirstLastLines& out, qint64 maxFirst, qint64 maxLast)
{
    out = FirstLastLines();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    // A line of its limit may still carry a BOM and a CR.
    const qint64 firstBytesMax = maxFirst < 0 ? -1 : maxFirst + kBom.size() + 1;
    const qint64 lastBytesMax = maxLast < 0 ? -1 : maxLast + 1;

    // First line: read from the start up to its line feed.
    QByteArray head;
    qint64 firstLf = -1;
    for (;;) {
        const QByteArray block = file.read(kBlockSize);
        if (file.error() != QFileDevice::NoError)
            return false;
        if (block.isEmpty())
            break;
        const qsizetype lf = block.indexOf('\n');
        if (lf >= 0) {
            firstLf = head.size() + lf;
            head.append(block.left(lf));
            break;
        }
        head.append(block);
        if (firstBytesMax >= 0 && head.size() > firstBytesMax) {
            out.firstTooLong = true;
            out.lineCount = 1;
            return true;
        }
    }
    // Offsets below count in the file, the BOM included.
    const qsizetype bomSize = head.startsWith(kBom) ? kBom.size() : 0;
    QByteArrayView firstBytes = QByteArrayView(head).sliced(bomSize);
    const auto zuLang = [](QByteArrayView line, bool terminated, qint64 max) {
        if (terminated && line.endsWith('\r'))
            line.chop(1);
        return max >= 0 && line.size() > max;
    };

    if (firstLf < 0) {
        // No line feed at all: one unterminated line, or nothing.
        if (firstBytes.isEmpty())
            return true;
        out.lineCount = 1;
        if (zuLang(firstBytes, false, maxFirst)) {
            out.firstTooLong = true;
            return true;
        }
        out.first = decodeLine(firstBytes, false);
        if (zuLang(firstBytes, false, maxLast))
            out.lastTooLong = true;
        else
            out.last = out.first;
        return true;
    }
    if (zuLang(firstBytes, true, maxFirst)) {
        out.firstTooLong = true;
        out.lineCount = 1;
        return true;
    }
    out.first = decodeLine(firstBytes, true);
    const qint64 size = std::max(file.size(), firstLf + 1);
    if (firstLf == size - 1) {
        out.lineCount = 1;
        out.lastTerminated = true;
        if (zuLang(firstBytes, true, maxLast))
            out.lastTooLong = true;
        else
            out.last = out.first;
        return true;
    }
    out.lineCount = 2;

    // Last line: scan back from the end for the line feed before it. A final
    // line feed ends the last line rather than starting another one.
    if (!file.seek(size - 1))
        return false;
    const QByteArray lastByte = file.read(1);
    if (lastByte.size() != 1)
        return false;
    const bool terminated = lastByte[0] == '\n';
    out.lastTerminated = terminated;
    const qint64 end = terminated ? size - 1 : size;

    QByteArrayList pieces;   // from the end backwards
    qint64 blockEnd = end;
    // Blocks grow as the line does: a long line costs a few reads.
    qint64 blockSize = kBlockSize;
    for (;;) {
        // The line feed at firstLf bounds the scan.
        const qint64 blockStart = std::max(firstLf, blockEnd - blockSize);
        blockSize = std::min<qint64>(blockSize * 2, 64 * 1024);
        if (blockStart >= blockEnd)
            return false;
        if (!file.seek(blockStart))
            return false;
        const QByteArray block = file.read(blockEnd - blockStart);
        if (block.size() != blockEnd - blockStart)
            return false;   // the file shrank under us
        const qsizetype lf = block.lastIndexOf('\n');
        if (lf >= 0) {
            pieces.append(block.sliced(lf + 1));
            break;
        }
        if (blockStart == firstLf)
            return false;   // the first line feed is gone: rewritten meanwhile
        pieces.append(block);
        blockEnd = blockStart;
        if (lastBytesMax >= 0 && end - blockEnd > lastBytesMax) {
            out.lastTooLong = true;
            return true;
        }
    }
    QByteArray lastBytes;
    for (auto it = pieces.crbegin(); it != pieces.crend(); ++it)
        lastBytes.append(*it);
    if (zuLang(lastBytes, terminated, maxLast)) {
        out.lastTooLong = true;
        return true;
    }
    out.last = decodeLine(lastBytes, terminated);
    return true;
}

// QSaveFile is not used: Qt 6.4's commit() reports success after a write
// that ran out of space, which would replace the old file with a cut one.
bool WriteTextFileAtomic(const QString& path, const QString& text)
{
    const QByteArray data = text.toUtf8();
    return WriteTextFileAtomic(path, QByteArrayView(data));
}

namespace {

DiskCalls& diskCalls()
{
    static DiskCalls calls;
    return calls;
}

int syncFile(int fd)
{
    const DiskCalls& c = diskCalls();
    return c.fsync ? c.fsync(fd) : ::fsync(fd);
}

int renameFile(const char* from, const char* to)
{
    const DiskCalls& c = diskCalls();
    return c.rename ? c.rename(from, to) : ::rename(from, to);
}

// The file a path leads to through a chain of symbolic links (the last link
// may dangle); empty for a chain that does not end.
QString resolvedTarget(const QString& path)
{
    QFileInfo info(path);
    for (int hop = 0; hop < 40 && info.isSymLink(); ++hop)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? QString() : info.absoluteFilePath();
}

bool writeAll(int fd, const char* p, qsizetype left)
{
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// Rewrites an existing file through its own inode, so that its owner, group
// and mode stay. The room for what grows is taken first: when the disk is
// full that fails before a byte of the old content has changed.
bool rewriteInPlace(const QByteArray& target, QByteArrayView data)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok && data.size() > st.st_size && ::posix_fallocate(fd, st.st_size, data.size() - st.st_size) != 0) {
        // A reservation that failed may have grown the file: back to its length.
        [[maybe_unused]] const int r = ::ftruncate(fd, st.st_size);
        ok = false;
    }
    ok = ok && ::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, data.constData(), data.size());
    ok = ok && ::ftruncate(fd, data.size()) == 0 && syncFile(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok;
}

} // namespace

void SetDiskCalls(DiskCalls calls)
{
    diskCalls() = std::move(calls);
}

bool WriteTextFileAtomic(const QString& path, QByteArrayView data)
{
    // Replace what a link leads to, not the link.
    const QString target = resolvedTarget(path);
    if (target.isEmpty())
        return false;
    const QByteArray nativeTarget = QFile::encodeName(target);
    QByteArray tempName = nativeTarget + ".XXXXXX";
    const int fd = ::mkstemp(tempName.data());
    if (fd < 0)
        return false;

    bool ok = true;
    struct stat old {};
    struct stat neu {};
    if (::stat(nativeTarget.constData(), &old) == 0) {
        ok = S_ISREG(old.st_mode) && ::fstat(fd, &neu) == 0;
        // The new file gets the old one's owner and group, then its mode
        // (a change of owner clears the set-id bits).
        if (ok && (neu.st_uid != old.st_uid || neu.st_gid != old.st_gid)
            && ::fchown(fd, neu.st_uid == old.st_uid ? uid_t(-1) : old.st_uid,
                        neu.st_gid == old.st_gid ? gid_t(-1) : old.st_gid) != 0) {
            // We may not give it away: rather than take the file over, write
            // it where it is, as far as we may write it at all.
            ::close(fd);
            ::unlink(tempName.constData());
            return rewriteInPlace(nativeTarget, data);
        }
        ok = ok && ::fchmod(fd, old.st_mode & 07777) == 0;
    } else {
        // mkstemp makes 0600; a new file gets the usual mode.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ok = ::fchmod(fd, 0666 & ~mask) == 0;
    }

    ok = ok && writeAll(fd, data.constData(), data.size());
    ok = ok && syncFile(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && renameFile(tempName.constData(), nativeTarget.constData()) == 0;
    if (!ok) {
        ::unlink(tempName.constData());
        return false;
    }
    // Make the rename itself durable.
    const int dirFd = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        syncFile(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool WriteTextFileInPlace(const QString& path, QByteArrayView data)
{
    const QString target = resolvedTarget(path);
    const QFileInfo info(target);
    if (target.isEmpty() || QFileInfo(info.absolutePath()).isWritable() || !info.isFile() || !info.isWritable())
        return false;
    return rewriteInPlace(QFile::encodeName(target), data);
}

void RemoveStaleTempFiles(const QString& path)
{
    // A write through a link leaves its temporaries beside the file it
    // leads to.
    const QString target = resolvedTarget(path);
    const QFileInfo info(target.isEmpty() ? path : target);
    const QDir dir = info.absoluteDir();
    const QString prefix = info.fileName() + u'.';
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        // mkstemp's six letters and digits; a word such as "backup" is
        // somebody's own file, so at least two kinds of character.
        if (!name.startsWith(prefix) || name.size() != prefix.size() + 6)
            continue;
        int lower = 0, upper = 0, digit = 0;
        for (const QChar c : QStringView(name).sliced(prefix.size())) {
            lower += c >= u'a' && c <= u'z';
            upper += c >= u'A' && c <= u'Z';
            digit += c >= u'0' && c <= u'9';
        }
        if (lower + upper + digit != 6 || (lower > 0) + (upper > 0) + (digit > 0) < 2)
            continue;
        QFile::remove(dir.filePath(name));
    }
}
