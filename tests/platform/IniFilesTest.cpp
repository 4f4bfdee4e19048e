#include "IniFiles.h"

#include "Exceptions.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <climits>
#include <csignal>
#include <ctime>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class IniFilesTest : public GermanSettings {
protected:
    TempDir dir;
    QString path = dir.path(QStringLiteral("vantorel.ini"));
};

} // namespace

TEST_F(IniFilesTest, WritesNewFileWithSectionsInOrder)
{
    TIniFile ini(path);
    ini.WriteInteger("Global", "Interval", 2000);
    ini.WriteFloat("Global", "HalteDauer", 2.5);
    ini.WriteString("ttp__Standardanzeige", "Beschriftung", "Zeile 1\r\nZeile 2\nZeile 3");
    ini.WriteInteger("ttp__Standardanzeige", "LHFarbe", -2147483633);
    ini.WriteBool("Global", "FensterFest", true);
    ini.WriteBool("ttp__Standardanzeige", "Aktiv", false);
    ini.WriteFloat("ttp__Standardanzeige", "Bereich0Von", -0.1);

    EXPECT_EQ(readFile(path),
              "[Global]\n"
              "Interval=2000\n"
              "HalteDauer=2,5\n"
              "FensterFest=1\n"
              "\n"
              "[ttp__Standardanzeige]\n"
              "Beschriftung=Zeile 1 Zeile 2 Zeile 3\n"
              "LHFarbe=-2147483633\n"
              "Aktiv=0\n"
              "Bereich0Von=-0,1\n");
    EXPECT_EQ(ini.ReadInteger("TTP__STANDARDANZEIGE", "lhfarbe", 0), -2147483633);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("global", "HALTEDAUER", 1.0), 2.5);
}

TEST_F(IniFilesTest, WritesIntoExistingFileKeepingItsLayout)
{
    // CR LF, Windows-1252 text, a comment and blank lines of its own.
    writeFile(path,
              "; Vantorel\r\n"
              "[Global]\r\n"
              "Interval = 3000\r\n"
              "Hintergrund=C:\\Bilder\\H\xf6he.bmp\r\n"
              "\r\n"
              "[Fenster]\r\n"
              "PositionX=10\r\n");
    TIniFile ini(path);
    ini.WriteInteger("GLOBAL", "INTERVAL", 1000);
    ini.WriteString("global", "LogDatei", "daten.log");
    ini.WriteInteger("Fenster", "PositionY", -5);
    ini.WriteString("Neu", "Schrift", "Arial");

    EXPECT_EQ(readFile(path),
              "; Vantorel\n"
              "[Global]\n"
              "Interval=1000\n"
              "Hintergrund=C:\\Bilder\\H\xc3\xb6he.bmp\n"
              "LogDatei=daten.log\n"
              "\n"
              "[Fenster]\n"
              "PositionX=10\n"
              "PositionY=-5\n"
              "\n"
              "[Neu]\n"
              "Schrift=Arial\n");
}

TEST_F(IniFilesTest, ReadsValuesWithConversionsAndDefaults)
{
    writeFile(path,
              "[Global]\n"
              "  Name  =   Wetter Station  \n"
              "Quoted=\" mit Blanks \"\n"
              "Leer=\n"
              "Hex=0x1F\n"
              "Dollar=$ff\n"
              "Negativ=-42\n"
              "Kaputt=12a\n"
              "Bool2=2\n"
              "Komma=2,5\n"
              "Punkt=2.5\n"
              "Gleich=a=b\n"
              "[Zweite]\n"
              "Name=zweite\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("GLOBAL", "name", "x"), "Wetter Station");
    EXPECT_EQ(ini.ReadString("Global", "Quoted", "x"), " mit Blanks ");
    EXPECT_EQ(ini.ReadString("Global", "Leer", "x"), "");
    EXPECT_EQ(ini.ReadString("Global", "Fehlt", "x"), "x");
    EXPECT_EQ(ini.ReadString("Fehlt", "Name", "x"), "x");
    EXPECT_EQ(ini.ReadString("Global", "Gleich", "x"), "a=b");
    EXPECT_EQ(ini.ReadString("Zweite", "Name", "x"), "zweite");

    EXPECT_EQ(ini.ReadInteger("Global", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Global", "Dollar", 0), 255);
    EXPECT_EQ(ini.ReadInteger("Global", "Negativ", 0), -42);
    EXPECT_EQ(ini.ReadInteger("Global", "Kaputt", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Global", "Leer", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Global", "Fehlt", -9999), -9999);

    EXPECT_TRUE(ini.ReadBool("Global", "Bool2", false));
    EXPECT_FALSE(ini.ReadBool("Global", "Fehlt", false));
    EXPECT_TRUE(ini.ReadBool("Global", "Kaputt", true));

    EXPECT_DOUBLE_EQ(ini.ReadFloat("Global", "Komma", 0), 2.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("Global", "Punkt", 1.0), 1.0);   // not the regional form
    EXPECT_DOUBLE_EQ(ini.ReadFloat("Global", "Leer", 1.0), 1.0);

    // A missing file, or one whose folder is missing, reads as empty.
    TIniFile missing(dir.path(QStringLiteral("nichtda/x.ini")));
    EXPECT_EQ(missing.ReadInteger("Global", "Interval", 2000), 2000);
    QStringList sections{"alt"};
    missing.ReadSections(sections);
    EXPECT_TRUE(sections.isEmpty());
}

TEST_F(IniFilesTest, ListsErasesAndDeletes)
{
    writeFile(path,
              "vor=allem\n"
              "[Global]\n"
              "A=1\n"
              "; Kommentar\n"
              "B= 2 \n"
              "[Leer]\n"
              "[Fenster]\n"
              "X=1\n"
              "[GLOBAL]\n"
              "C=3\n"
              "[Rest]\n"
              "Y=2\n");
    TIniFile ini(path);
    QStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(list, QStringList({"Global", "Leer", "Fenster", "Rest"}));
    ini.ReadSection("global", list);
    EXPECT_EQ(list, QStringList({"A", "B"}));
    ini.ReadSectionValues("Global", list);
    EXPECT_EQ(list, QStringList({"A=1", "B=2"}));
    EXPECT_TRUE(ini.SectionExists("leer"));
    EXPECT_FALSE(ini.SectionExists("vor"));
    EXPECT_TRUE(ini.ValueExists("Fenster", "x"));
    EXPECT_FALSE(ini.ValueExists("Fenster", "A"));

    // Every section of that name goes, with all its lines.
    ini.EraseSection("Global");
    ini.DeleteKey("fenster", "X");
    ini.DeleteKey("Fenster", "Fehlt");
    ini.EraseSection("Fehlt");
    EXPECT_EQ(readFile(path),
              "vor=allem\n"
              "[Leer]\n"
              "[Fenster]\n"
              "[Rest]\n"
              "Y=2\n");
    EXPECT_FALSE(ini.SectionExists("Global"));

    // Deleting from a missing file creates nothing.
    TIniFile missing(dir.path(QStringLiteral("neu.ini")));
    missing.DeleteKey("Global", "A");
    missing.EraseSection("Global");
    EXPECT_FALSE(QFile::exists(missing.FileName()));

    // Numbered keys come out as a read of each index finds them, whatever
    // case, blanks, quotes, signs, leading zeros, digits in the prefix or
    // doubles.
    writeFile(path,
              "[Global]\n"
              "RF   0=3\n"
              "  rf   1  = 2 \n"
              "rf   01=5\n"
              "rf   +2=6\n"
              "rf   -1=7\n"
              "rf   2=1\n"
              "rf   2=9\n"
              "rf   3=kaputt\n"
              "rf   7=\"5\"\n"
              "rf   8 = \"$1F\" \n"
              "rf 4=4\n"
              "rf   5 0=8\n"
              "rf   12=12\n"
              "rf   2147483647=10\n"
              "rf   2147483648=11\n"
              "rf   99999999999=4\n"
              "ab120=1\n"
              "ab1201=4\n"
              "ab12012=5\n"
              "ab12010=6\n"
              "7=2\n"
              "[GLOBAL]\n"
              "rf   6=6\n");
    for (const QString& prefix : {QStringLiteral("rf   "), QStringLiteral("RF   "), QStringLiteral("ab120"),
                                  QStringLiteral("ab12"), QStringLiteral("   "), QStringLiteral("rf")}) {
        for (int last = -2; last <= 13; ++last) {
            QList<int> einzeln;
            for (int j = 0; j <= last; ++j)
                if (ini.ValueExists("Global", prefix + QString::number(j)))
                    einzeln << ini.ReadInteger("Global", prefix + QString::number(j), -1);
            EXPECT_EQ(ini.ReadNumberedIntegers("Global", prefix, last, -1), einzeln)
                << '"' << prefix.toStdString() << "\" up to " << last;
        }
    }
    EXPECT_EQ(ini.ReadNumberedIntegers("Global", "rf   ", INT_MAX, -1), (QList<int>{3, 2, 1, -1, 5, 31, 12, 10}));
    EXPECT_EQ(ini.ReadNumberedIntegers("Fehlt", "rf   ", INT_MAX, -1), QList<int>());
}

TEST_F(IniFilesTest, EveryReadSeesTheFileAsItIsNow)
{
    TIniFile a(path);
    TIniFile b(path);
    a.WriteInteger("Global", "Interval", 1111);
    EXPECT_EQ(b.ReadInteger("Global", "Interval", 0), 1111);
    b.WriteInteger("Global", "Interval", 2222);
    EXPECT_EQ(a.ReadInteger("Global", "Interval", 0), 2222);

    // Rewritten in place at once with the same size: the cache must not
    // answer with the old content, even where the file system's coarse clock
    // leaves both file times as they were.
    writeFile(path, "[Global]\nInterval=3333\n");
    EXPECT_EQ(a.ReadInteger("Global", "Interval", 0), 3333);
    writeFile(path, "[Global]\nInterval=4444\n");
    EXPECT_EQ(a.ReadInteger("Global", "Interval", 0), 4444);
    {
        timespec jetzt {};
        clock_gettime(CLOCK_REALTIME, &jetzt);
        SetIniStatFunction([jetzt](int fd, struct stat* st) {
            const int r = ::fstat(fd, st);
            st->st_mtim = st->st_ctim = jetzt;
            return r;
        });
        const std::shared_ptr<void> zurueck(nullptr, [](void*) { SetIniStatFunction({}); });
        for (const char* wert : {"5555", "6666", "7777"}) {
            writeFile(path, QByteArray("[Global]\nInterval=") + wert + "\n");
            EXPECT_EQ(a.ReadString("Global", "Interval", QString()), wert);
        }
    }
    QFile::remove(path);
    EXPECT_EQ(a.ReadInteger("Global", "Interval", 0), 0);
}

TEST_F(IniFilesTest, FailedWriteRaisesAndKeepsTheOldFile)
{
    TIniFile noFolder(dir.path(QStringLiteral("fehlt/vantorel.ini")));
    try {
        noFolder.WriteString("Global", "A", "1");
        FAIL() << "no exception";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "In " + noFolder.FileName() + " kann nicht geschrieben werden");
    }

    writeFile(dir.path(QStringLiteral("datei")), "kein Ordner");
    TIniFile fileAsFolder(dir.path(QStringLiteral("datei/vantorel.ini")));
    EXPECT_THROW(fileAsFolder.WriteBool("Global", "A", true), EIniFileException);

    // A folder in place of the file: nothing to read, and nothing replaced.
    QDir(dir.path()).mkdir(QStringLiteral("ordner.ini"));
    TIniFile folder(dir.path(QStringLiteral("ordner.ini")));
    EXPECT_EQ(folder.ReadString("Global", "A", "d"), "d");
    EXPECT_THROW(folder.WriteString("Global", "A", "1"), EIniFileException);
    EXPECT_TRUE(QFileInfo(folder.FileName()).isDir());

    // The disk runs full half-way through the new content (a file size
    // limit stands in for it): the old file stays whole and no temp file is
    // left behind.
    const QByteArray old = "[Global]\nA=1\n";
    writeFile(path, old);
    TIniFile ini(path);
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool raised = false;
    try {
        ini.WriteString("Global", "B", QString(500, u'x'));
    } catch (const EIniFileException&) {
        raised = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(raised);
    EXPECT_EQ(readFile(path), old);
    EXPECT_EQ(ini.ReadString("Global", "B", "d"), "d");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({"datei", "vantorel.ini"}));

    // A file we may write but not read: what it holds is unknown, so it is
    // not replaced by one that holds the new key alone.
    if (geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    }
    Rechte(path, 0200);
    EXPECT_TRUE(OhneRootRechte(dir.path(), [&] {
        try {
            TIniFile(path).WriteString("Global", "B", "2");
        } catch (const EIniFileException&) {
            return true;
        }
        return false;
    }));
    Rechte(path, 0600);
    EXPECT_EQ(readFile(path), old);
}

TEST_F(IniFilesTest, AWriteKeepsModeAndOwnerAndSparesAReadOnlyFile)
{
    writeFile(path, "[Global]\nA=1\n");
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 4711, 4712), 0);
    }
    Rechte(path, 0604);
    TIniFile(path).WriteString("Global", "B", "2");
    EXPECT_EQ(readFile(path), QByteArray("[Global]\nA=1\nB=2\n"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    if (root) {
        EXPECT_EQ(st.st_uid, 4711u);
        EXPECT_EQ(st.st_gid, 4712u);
    }

    // Through a link: the file it leads to is written, the link stays.
    const QString link = dir.path(QStringLiteral("link.ini"));
    ASSERT_EQ(::symlink("vantorel.ini", QFile::encodeName(link).constData()), 0);
    TIniFile(link).WriteString("Global", "C", "3");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(path), QByteArray("[Global]\nA=1\nB=2\nC=3\n"));
    writeFile(path, "[Global]\nA=1\nB=2\n");

    // Read-only, though our own: not replaced, although the folder would
    // take a new file.
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    }
    Rechte(path, 0444);
    EXPECT_TRUE(OhneRootRechte(dir.path(), [&] {
        try {
            TIniFile(path).WriteString("Global", "C", "3");
        } catch (const EIniFileException&) {
            return readFile(path) == "[Global]\nA=1\nB=2\n";
        }
        return false;
    }));

    // Values it holds already, written again: no error, and the file is
    // left alone, whoever may write it.
    const QByteArray vonHand = "[Global]\r\nA=1\r\n Interval = 2000 \r\nName=\"Wetter\"\r\n";
    Rechte(path, 0644);
    writeFile(path, vonHand);
    Rechte(path, 0444);
    const auto inodeOf = [](const QString& p) {
        struct stat st {};
        ::stat(QFile::encodeName(p).constData(), &st);
        return st.st_ino;
    };
    const ino_t inode = inodeOf(path);
    const auto gleichesNochmal = [&] {
        TIniFile ini(path);
        ini.WriteString("global", "a", "1");
        ini.WriteInteger("Global", "Interval", 2000);
        ini.WriteString("Global", "Name", "Wetter");
        ini.EraseSection("Fehlt");
        ini.DeleteKey("Global", "Fehlt");
        return readFile(path) == vonHand && inodeOf(path) == inode;
    };
    EXPECT_NO_THROW(EXPECT_TRUE(gleichesNochmal()));
    EXPECT_TRUE(OhneRootRechte(dir.path(), gleichesNochmal));
}
