#include "TextFile.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Bytes this process has read so far, as the kernel counts them.
qint64 bytesRead()
{
    for (const QByteArray& line : readFile(QStringLiteral("/proc/self/io")).split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

struct stat statOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

// What a line-wise read sees of the first and last line.
FirstLastLines expectedFrom(const QStringList& lines)
{
    FirstLastLines r;
    r.lineCount = static_cast<int>(std::min<qsizetype>(lines.size(), 2));
    if (!lines.isEmpty()) {
        r.first = lines.first();
        r.last = lines.last();
    }
    return r;
}

void expectSameAsLineRead(const QString& path, const QByteArray& bytes)
{
    writeFile(path, bytes);
    QStringList lines;
    ASSERT_TRUE(ReadTextLines(path, lines));
    const FirstLastLines want = expectedFrom(lines);
    FirstLastLines got;
    got.first = QStringLiteral("stale");
    ASSERT_TRUE(ReadFirstAndLastLine(path, got));
    const std::string shown = bytes.size() < 200 ? bytes.toPercentEncoding(" \t").toStdString()
                                                 : "size " + std::to_string(bytes.size());
    EXPECT_EQ(got.lineCount, want.lineCount) << shown;
    EXPECT_EQ(got.first, want.first) << shown;
    EXPECT_EQ(got.last, want.last) << shown;
}

// Records what reaches the disk, in order, and does it: "sync N bytes" for
// a file, "sync <path>" for a folder, "rename to <path>". A call given in
// `failing` fails with EIO instead.
class DiskLog {
public:
    explicit DiskLog(const QString& failing = QString())
    {
        SetDiskCalls({[this, failing](int fd) {
                          struct stat st {};
                          ::fstat(fd, &st);
                          calls << (S_ISDIR(st.st_mode) ? QStringLiteral("sync ") + pathOf(fd)
                                                        : QStringLiteral("sync %1 bytes").arg(st.st_size));
                          return fail(failing == QLatin1String("sync")) ? -1 : ::fsync(fd);
                      },
                      [this, failing](const char* from, const char* to) {
                          calls << QStringLiteral("rename to ") + QFile::decodeName(to);
                          return fail(failing == QLatin1String("rename")) ? -1 : ::rename(from, to);
                      }});
    }
    ~DiskLog() { SetDiskCalls({}); }
    QStringList calls;

private:
    static QString pathOf(int fd) { return QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(fd)).symLinkTarget(); }
    static bool fail(bool yes)
    {
        if (yes)
            errno = EIO;
        return yes;
    }
};

void link(const QString& target, const QString& path)
{
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
}

} // namespace

TEST(TextFileTest, DecodesUtf8ElseWindows1252)
{
    EXPECT_EQ(DecodeText("Gr\xC3\xB6\xC3\x9F" "e \xC2\xB0" "C"), QStringLiteral("Größe °C"));
    EXPECT_EQ(DecodeText("\xEF\xBB\xBFKopf"), QStringLiteral("Kopf"));
    EXPECT_EQ(DecodeText("Gr\xF6\xDF" "e \xB0" "C"), QStringLiteral("Größe °C"));
    EXPECT_EQ(DecodeText("\x80\x84\x9F\xA0\xFF"), QStringLiteral("€„Ÿ\u00A0ÿ"));
    EXPECT_EQ(DecodeText("\x81\x8D\x8F\x90\x9D"), QStringLiteral("\u0081\u008D\u008F\u0090\u009D"));
    // Not valid UTF-8: overlong, surrogate, cut sequence, beyond U+10FFFF.
    EXPECT_EQ(DecodeText("\xC0\xAF"), QStringLiteral("À¯"));
    EXPECT_EQ(DecodeText("\xED\xA0\x80"), QStringLiteral("í\u00A0€"));
    EXPECT_EQ(DecodeText("ab\xE2\x82"), QStringLiteral("abâ‚"));
    EXPECT_EQ(DecodeText("\xF4\x90\x80\x80"), QStringLiteral("ô\u0090€€"));
    EXPECT_EQ(DecodeText("\xF0\x9F\x98\x80"), QStringLiteral("😀"));
    EXPECT_EQ(DecodeText(QByteArray("a\0b", 3)), QStringView(u"a\0b", 3).toString());
}

TEST(TextFileTest, SplitsLikeALineWiseRead)
{
    EXPECT_EQ(SplitLines(""), QStringList());
    EXPECT_EQ(SplitLines("\n"), QStringList({""}));
    EXPECT_EQ(SplitLines("a"), QStringList({"a"}));
    EXPECT_EQ(SplitLines("a\n"), QStringList({"a"}));
    EXPECT_EQ(SplitLines("a\r\nb"), QStringList({"a", "b"}));
    EXPECT_EQ(SplitLines("a\nb\n\n"), QStringList({"a", "b", ""}));
    EXPECT_EQ(SplitLines("a\rb\r\r\nc\r"), QStringList({"a\rb\r", "c\r"}));
    EXPECT_EQ(SplitLines("\r\n\r\n"), QStringList({"", ""}));

    TempDir dir;
    QStringList lines{"stale"};
    EXPECT_FALSE(ReadTextLines(dir.path("fehlt.txt"), lines));
    FirstLastLines fl;
    EXPECT_FALSE(ReadFirstAndLastLine(dir.path("fehlt.txt"), fl));
    EXPECT_FALSE(ReadFirstAndLastLine(dir.path(), fl));

    // A Windows-1252 line does not spoil the UTF-8 lines around it.
    writeFile(dir.path("gemischt.txt"), "\xEF\xBB\xBFTemp \xC2\xB0" "C\r\n22,5 \xB0" "C\r\n");
    ASSERT_TRUE(ReadTextLines(dir.path("gemischt.txt"), lines));
    EXPECT_EQ(lines, QStringList({"Temp °C", "22,5 °C"}));
}

TEST(TextFileTest, FirstAndLastLineMatchAWholeRead)
{
    TempDir dir;
    const QString path = dir.path("daten.txt");
    const QByteArray edgeCases[] = {
        "", "\n", "\r\n", "\r", "a", "a\n", "a\r\n", "a\r", "a\nb", "a\nb\n", "a\nb\n\n", "a\n\n", "\n\n",
        "a\r\nb\r\n", "a\r\nb\r", "a\rb\n", "Kopf\n", "Kopf\r\nKopf\r\n", "\xEF\xBB\xBF", "\xEF\xBB\xBF\n",
        "\xEF\xBB\xBFKopf\nx\xB0", "\xEF\xBB\xBF\xEF\xBB\xBF" "a\n", "\r\r\n", "\n\r",
    };
    for (const QByteArray& bytes : edgeCases)
        expectSameAsLineRead(path, bytes);

    // Lines around the block size, so the scans cross block borders.
    for (int len : {8191, 8192, 8193, 20000}) {
        const QByteArray longLine(len, 'x');
        expectSameAsLineRead(path, longLine);
        expectSameAsLineRead(path, longLine + "\r\n");
        expectSameAsLineRead(path, "Kopf\n" + longLine);
        expectSameAsLineRead(path, "Kopf\n" + longLine + "\r\n");
        expectSameAsLineRead(path, longLine + "\n" + longLine.left(len - 1) + "\r" + "\n\n");
        expectSameAsLineRead(path, "a\n" + longLine + "\n" + longLine + "\xE4\r\n");
    }

    // Random files built from awkward pieces.
    const QByteArray pieces[] = {"", "a", "Zeit\tWert", "x\r", "\r", "\xC3\xA4", "\xE4", "12,5"};
    const QByteArray ends[] = {"\n", "\r\n"};
    QRandomGenerator rng(20261207);
    for (int round = 0; round < 1500; ++round) {
        QByteArray bytes = rng.bounded(8) == 0 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
        const int lineCount = rng.bounded(5);
        for (int i = 0; i < lineCount; ++i) {
            for (int k = rng.bounded(3); k >= 0; --k)
                bytes += pieces[rng.bounded(8)];
            if (i + 1 < lineCount || rng.bounded(2))
                bytes += ends[rng.bounded(2)];
        }
        expectSameAsLineRead(path, bytes);
        if (HasFailure())
            break;
    }
}

TEST(TextFileTest, FirstAndLastLineOfALargeFileSkipTheMiddle)
{
    TempDir dir;
    const QString path = dir.path("gross.txt");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Datum\tZeit\tWert\r\n");
        // A sparse hole: a read of the middle would take long and find NULs.
        ASSERT_TRUE(file.resize(256LL * 1024 * 1024));
        ASSERT_TRUE(file.seek(file.size()));
        file.write("\r\n07.12.2026\t22:31:05\t12,5\r\n");
    }
    FirstLastLines fl;
    ASSERT_TRUE(ReadFirstAndLastLine(path, fl));
    EXPECT_EQ(fl.lineCount, 2);
    EXPECT_EQ(fl.first, QStringLiteral("Datum\tZeit\tWert"));
    EXPECT_EQ(fl.last, QStringLiteral("07.12.2026\t22:31:05\t12,5"));
}

TEST(TextFileTest, LinesPastTheirLimitAreNotRead)
{
    TempDir dir;
    const QString path = dir.path("daten.txt");
    const auto lies = [&](const QByteArray& bytes, qint64 maxFirst, qint64 maxLast) {
        writeFile(path, bytes);
        FirstLastLines fl;
        EXPECT_TRUE(ReadFirstAndLastLine(path, fl, maxFirst, maxLast));
        return fl;
    };
    const QByteArray kopf(100, 'k');
    // At the limit, with its BOM and CR not counted: read.
    FirstLastLines fl = lies("\xEF\xBB\xBF" + kopf + "\r\n" + QByteArray(20000, 'z') + "\r\n", 100, 20000);
    EXPECT_FALSE(fl.firstTooLong || fl.lastTooLong);
    EXPECT_EQ(fl.first, QString(100, u'k'));
    EXPECT_EQ(fl.last, QString(20000, u'z'));
    EXPECT_TRUE(fl.lastTerminated);
    // Also where the blocks of the scan end just past the BOM or the CR.
    fl = lies("\xEF\xBB\xBF" + QByteArray(8190, 'k') + "\r\n" + QByteArray(3 * 8192 - 1, 'z') + "\r\n", 8190, 3 * 8192 - 1);
    EXPECT_FALSE(fl.firstTooLong || fl.lastTooLong);
    EXPECT_EQ(fl.first.size(), 8190);
    EXPECT_EQ(fl.last.size(), 3 * 8192 - 1);

    // One byte past: empty and flagged; a first line past its limit ends
    // the read there.
    fl = lies(kopf + "k\n" + QByteArray(20000, 'z') + "\n", 100, 20000);
    EXPECT_TRUE(fl.firstTooLong);
    EXPECT_TRUE(fl.first.isEmpty() && fl.last.isEmpty());
    fl = lies(kopf + "\n" + QByteArray(20001, 'z') + "\n", 100, 20000);
    EXPECT_FALSE(fl.firstTooLong);
    EXPECT_TRUE(fl.lastTooLong);
    EXPECT_EQ(fl.first, QString(100, u'k'));
    EXPECT_TRUE(fl.last.isEmpty());
    EXPECT_EQ(fl.lineCount, 2);
    // Without an end, a last line across many blocks.
    fl = lies(kopf + "\n" + QByteArray(3 * 8192 + 1, 'z'), 100, 3 * 8192);
    EXPECT_TRUE(fl.lastTooLong);
    fl = lies(kopf + "\n" + QByteArray(3 * 8192, 'z'), 100, 3 * 8192);
    EXPECT_FALSE(fl.lastTooLong);
    EXPECT_EQ(fl.last.size(), 3 * 8192);

    // One line without any line feed: the first line's limit decides.
    fl = lies(QByteArray(101, 'k'), 100, 1000);
    EXPECT_TRUE(fl.firstTooLong);
    EXPECT_EQ(fl.lineCount, 1);
    fl = lies(QByteArray(1 << 20, 'k'), 100, 1000);
    EXPECT_TRUE(fl.firstTooLong);
    EXPECT_EQ(fl.lineCount, 1);
    // Read as the first line, it is the last line too, by that line's limit.
    fl = lies(kopf, 100, 50);
    EXPECT_EQ(fl.first, QString(100, u'k'));
    EXPECT_TRUE(fl.lastTooLong);
    EXPECT_TRUE(fl.last.isEmpty());
    // A header that is its only line, longer than a record may be.
    fl = lies(kopf + "\n", 100, 50);
    EXPECT_EQ(fl.first, QString(100, u'k'));
    EXPECT_TRUE(fl.lastTooLong);

    // A line of 64 MiB, first or last, costs about a read of its limit.
    for (const QByteArray& anfang : {QByteArray(), kopf + "\n"}) {
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(anfang);
            ASSERT_TRUE(file.resize(64LL * 1024 * 1024));   // sparse: no line feed
        }
        const qint64 vorher = bytesRead();
        ASSERT_TRUE(ReadFirstAndLastLine(path, fl, 100, 1000));
        EXPECT_TRUE(fl.firstTooLong || fl.lastTooLong);
        EXPECT_LT(bytesRead() - vorher, 256 * 1024) << anfang.size();
    }
}

TEST(TextFileTest, WritesAtomicallyAndKeepsTheOldFileOnFailure)
{
    TempDir dir;
    const QString path = dir.path("Vantorel.ini");
    ASSERT_TRUE(WriteTextFileAtomic(path, QStringLiteral("[Global]\nEinheit=°C\n")));
    EXPECT_EQ(readFile(path), QByteArray("[Global]\nEinheit=\xC2\xB0" "C\n"));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(WriteTextFileAtomic(path, QStringLiteral("neu\n")));
    EXPECT_EQ(readFile(path), QByteArray("neu\n"));
    EXPECT_EQ(QFile::permissions(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                                            | QFileDevice::WriteUser);

    EXPECT_FALSE(WriteTextFileAtomic(dir.path("fehlt/x.ini"), QStringLiteral("x")));
    QDir(dir.path()).mkdir(QStringLiteral("ordner"));
    EXPECT_FALSE(WriteTextFileAtomic(dir.path("ordner"), QStringLiteral("x")));

    // The bytes are on the disk before the name changes, and the name change
    // before the write counts as done.
    {
        DiskLog disk;
        ASSERT_TRUE(WriteTextFileAtomic(path, QStringLiteral("neuer\n")));
        EXPECT_EQ(disk.calls, QStringList({"sync 6 bytes", "rename to " + path, "sync " + dir.path()}));
    }
    // A replace that fails where new files may be made is a failure: the
    // old bytes stay, and no rewrite in place stands in for it.
    for (const QString& failing : {QStringLiteral("sync"), QStringLiteral("rename")}) {
        DiskLog disk(failing);
        EXPECT_FALSE(WriteTextFileAtomic(path, QStringLiteral("anders\n"))) << failing.toStdString();
        EXPECT_FALSE(WriteTextFileInPlace(path, "anders\n")) << failing.toStdString();
        EXPECT_EQ(readFile(path), QByteArray("neuer\n")) << failing.toStdString();
    }
    ASSERT_TRUE(WriteTextFileAtomic(path, QStringLiteral("neu\n")));

    // The disk runs full mid-write (a file size limit stands in for it).
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteTextFileAtomic(path, QString(500, u'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(path), QByteArray("neu\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Vantorel.ini"})) << "no temp file left";
}

// Whoever set up the save file chose who owns it and who may read it; a
// replacement must not hand it to the running user.
TEST(TextFileTest, AReplacedFileKeepsItsModeOwnerAndGroup)
{
    TempDir dir;
    const QString path = dir.path(QStringLiteral("AutoSave.sav"));
    writeFile(path, "alt\n");
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 4711, 4712), 0);
    }
    Rechte(path, 02640);
    ASSERT_TRUE(WriteTextFileAtomic(path, QStringLiteral("neu\n")));
    EXPECT_EQ(readFile(path), QByteArray("neu\n"));
    EXPECT_EQ(statOf(path).st_mode & 07777, 02640u);
    if (!root)
        GTEST_SKIP() << "giving a file to another owner needs root";
    EXPECT_EQ(statOf(path).st_uid, 4711u);
    EXPECT_EQ(statOf(path).st_gid, 4712u);

    // A user who may write the file but not give it its owner writes it in
    // place; a disk that runs full first leaves it as it was.
    Rechte(path, 0666);
    EXPECT_TRUE(OhneRootRechte(dir.path(), [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit grenze {};
        getrlimit(RLIMIT_FSIZE, &grenze);
        const rlim_t frei = grenze.rlim_cur;
        grenze.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &grenze);
        const bool abgewiesen = !WriteTextFileAtomic(path, QString(500, u'x')) && readFile(path) == "neu\n";
        grenze.rlim_cur = frei;
        setrlimit(RLIMIT_FSIZE, &grenze);
        const bool geschrieben = WriteTextFileAtomic(path, QString(500, u'x')) && readFile(path) == QByteArray(500, 'x');
        const bool kuerzer = WriteTextFileAtomic(path, QStringLiteral("kurz\n"));
        return geschrieben && abgewiesen && kuerzer;
    }));
    EXPECT_EQ(readFile(path), QByteArray("kurz\n"));
    EXPECT_EQ(statOf(path).st_uid, 4711u);
    EXPECT_EQ(statOf(path).st_gid, 4712u);
    EXPECT_EQ(statOf(path).st_mode & 07777, 0666u);

    // One who may not write it at all leaves it alone.
    Rechte(path, 0644);
    EXPECT_TRUE(OhneRootRechte(dir.path(), [&] { return !WriteTextFileAtomic(path, QStringLiteral("fremd\n")); }));
    EXPECT_EQ(readFile(path), QByteArray("kurz\n"));
    EXPECT_EQ(statOf(path).st_uid, 4711u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"AutoSave.sav"})) << "no temp file left";
}

// A save file or configuration that is a link (relative, or through
// another link) is written where the links lead, and they stay links.
TEST(TextFileTest, ALinkedFileIsWrittenWhereTheLinkLeads)
{
    TempDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("daten")));
    const QString ziel = dir.path(QStringLiteral("daten/AutoSave.sav"));
    const QString direkt = dir.path(QStringLiteral("AutoSave.sav"));
    const QString kette = dir.path(QStringLiteral("Kette.sav"));
    writeFile(ziel, "alt\n");
    link(QStringLiteral("daten/AutoSave.sav"), direkt);
    link(direkt, kette);
    const auto linksStay = [&] {
        return QFileInfo(direkt).isSymLink() && QFileInfo(kette).isSymLink()
               && QFileInfo(kette).canonicalFilePath() == QFileInfo(ziel).canonicalFilePath();
    };
    for (const QString& pfad : {direkt, kette}) {
        DiskLog disk;
        ASSERT_TRUE(WriteTextFileAtomic(pfad, pfad)) << pfad.toStdString();
        EXPECT_EQ(readFile(ziel), pfad.toUtf8());
        EXPECT_TRUE(linksStay());
        EXPECT_EQ(disk.calls.mid(1), QStringList({"rename to " + ziel, "sync " + dir.path(QStringLiteral("daten"))}));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System), QStringList({"AutoSave.sav", "Kette.sav"}));

    // A link to nothing yet: the file is made where it leads. A loop of
    // links leads nowhere: nothing is written.
    link(QStringLiteral("daten/Neu.ini"), dir.path(QStringLiteral("Neu.ini")));
    ASSERT_TRUE(WriteTextFileAtomic(dir.path(QStringLiteral("Neu.ini")), QStringLiteral("[Global]\n")));
    EXPECT_EQ(readFile(dir.path(QStringLiteral("daten/Neu.ini"))), "[Global]\n");
    EXPECT_TRUE(QFileInfo(dir.path(QStringLiteral("Neu.ini"))).isSymLink());
    link(dir.path(QStringLiteral("B.ini")), dir.path(QStringLiteral("A.ini")));
    link(dir.path(QStringLiteral("A.ini")), dir.path(QStringLiteral("B.ini")));
    EXPECT_FALSE(WriteTextFileAtomic(dir.path(QStringLiteral("A.ini")), QStringLiteral("x\n")));
    EXPECT_TRUE(QFileInfo(dir.path(QStringLiteral("A.ini"))).isSymLink() && QFileInfo(dir.path(QStringLiteral("B.ini"))).isSymLink());

    // Where the link leads, the folder takes no new file: rewritten there in
    // place, though the link's own folder would take one.
    if (geteuid() == 0) {
        for (const QString& p : {dir.path(QStringLiteral("daten")), ziel})
            ASSERT_EQ(::chown(QFile::encodeName(p).constData(), 65534, 65534), 0);
    }
    EXPECT_TRUE(OhneRootRechte(dir.path(), [&] {
        Rechte(dir.path(QStringLiteral("daten")), 0500);
        const bool ok = !WriteTextFileAtomic(kette, QStringLiteral("x\n")) && WriteTextFileInPlace(kette, "dort\n");
        Rechte(dir.path(QStringLiteral("daten")), 0700);
        return ok && readFile(ziel) == "dort\n" && linksStay();
    }));
}

// A FIFO with no writer would block a plain open for ever; a device would
// be read for ever.
TEST(TextFileTest, OnlyAPlainFileIsOpenedForReading)
{
    TempDir dir;
    const QString datei = dir.path(QStringLiteral("AutoSave.sav"));
    const QString fifo = dir.path(QStringLiteral("Fifo.sav"));
    writeFile(datei, "Kopf\nZeile\n");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    link(QStringLiteral("Fifo.sav"), dir.path(QStringLiteral("Link.sav")));
    link(QStringLiteral("AutoSave.sav"), dir.path(QStringLiteral("Gut.sav")));

    for (const QString& pfad : {datei, dir.path(QStringLiteral("Gut.sav"))}) {
        QFile f;
        ASSERT_TRUE(OpenRegularFile(f, pfad)) << pfad.toStdString();
        EXPECT_EQ(f.size(), 11);
        EXPECT_EQ(f.readAll(), "Kopf\nZeile\n");
    }
    for (const QString& pfad : {fifo, dir.path(QStringLiteral("Link.sav")), QStringLiteral("/dev/zero"), dir.path(QStringLiteral("fehlt.sav")),
                                dir.path()}) {
        EXPECT_TRUE(EndetRechtzeitig([&pfad] {
            QFile f;
            return !OpenRegularFile(f, pfad) && !f.isOpen();
        })) << pfad.toStdString();
    }
}
