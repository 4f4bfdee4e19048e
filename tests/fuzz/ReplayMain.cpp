// Without libFuzzer: runs a target on every file of the folders and files
// named on the command line (its corpus and its reproducers).
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    QStringList dateien;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                dateien << it.next();
        } else if (QFileInfo(arg).isFile()) {
            dateien << arg;
        } else {
            std::fprintf(stderr, "missing: %s\n", argv[i]);
            return 2;
        }
    }
    std::sort(dateien.begin(), dateien.end());
    for (const QString& d : dateien) {
        QFile f(d);
        if (!f.open(QIODevice::ReadOnly))
            return 2;
        const QByteArray b = f.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(b.constData()), static_cast<size_t>(b.size()));
    }
    std::printf("%lld inputs replayed\n", static_cast<long long>(dateien.size()));
    return dateien.isEmpty() ? 1 : 0;
}
