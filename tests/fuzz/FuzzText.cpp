// Text decoding and the first-and-last-line reader against the whole-file
// reader.
#include "FuzzSupport.h"
#include "TextFile.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Einrichten();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = DecodeText(bytes);
    fuzz::Pruefe(DecodeText(text.toUtf8()) == text || text.contains(QChar(0xFEFF)), "decoding is stable");
    (void)SplitLines(text);

    const QString pfad = fuzz::Datei("text.txt");
    fuzz::Schreibe(pfad, bytes);
    QStringList zeilen;
    bool fertig = false;
    FirstLastLines fl;
    fuzz::Pruefe(ReadTextLines(pfad, zeilen, &fertig), "whole file read");
    fuzz::Pruefe(ReadFirstAndLastLine(pfad, fl), "first and last read");
    fuzz::Pruefe(fl.lineCount == std::min<qsizetype>(zeilen.size(), 2), "line count");
    if (!zeilen.isEmpty()) {
        fuzz::Pruefe(fl.first == zeilen.first(), "first line");
        fuzz::Pruefe(fl.last == zeilen.last(), "last line");
        fuzz::Pruefe(fl.lastTerminated == fertig, "last line end");
    }

    // Written as UTF-8 and read back: the same lines.
    const QString kopie = fuzz::Datei("kopie.txt");
    const QString ganz = zeilen.join(u'\n') + u'\n';
    // A line that starts with a byte order mark loses it on every read.
    const bool bomAmZeilenanfang = std::any_of(zeilen.begin(), zeilen.end(), [](const QString& z) { return z.startsWith(QChar(0xFEFF)); });
    if (!ganz.contains(u'\r') && !bomAmZeilenanfang) {
        fuzz::Pruefe(WriteTextFileAtomic(kopie, ganz), "atomic write");
        QStringList zurueck;
        fuzz::Pruefe(ReadTextLines(kopie, zurueck) && (zeilen.isEmpty() || zurueck == zeilen), "round trip");
    }
    return 0;
}
