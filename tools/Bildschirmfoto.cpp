// Takes a picture of the whole X screen (the root window) and saves it, in
// the format the file name's extension names; run.sh takes its screenshot
// with it.
//
//   Bildschirmfoto <Bilddatei>
//
// The display is the one DISPLAY names (QT_QPA_PLATFORM=xcb).

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: %s <Bilddatei>\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString datei = QString::fromLocal8Bit(argv[1]);
    QScreen* bildschirm = QGuiApplication::primaryScreen();
    // Window 0 is the whole screen.
    const QPixmap bild = bildschirm ? bildschirm->grabWindow(0) : QPixmap();
    if (bild.isNull()) {
        std::fprintf(stderr, "Bildschirmfoto: kein Bild vom Bildschirm erhalten\n");
        return 1;
    }
    if (!bild.save(datei)) {
        std::fprintf(stderr, "Bildschirmfoto: %s kann nicht geschrieben werden\n", qPrintable(datei));
        return 1;
    }
    return 0;
}
