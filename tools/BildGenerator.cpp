// Draws the program's own pictures into a folder (default "resources"):
//   InfoBild.png     180 x 180, the about box's and the splash form's picture;
//   HINTERGRUND.png  235 x 236, the wind-direction compass dial;
//   BILD.png         111 x 241, the rain gauge;
//   THERMOMETER.png  120 x 243, the thermometer's glass tube and bulb;
//   PFEIL.png         67 x 39,  the trend arrow.
// Run once; the pictures are kept in the repository.

#include "InstrumentBilder.h"

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>
#include <functional>

namespace {

// A weather station under a sky with sun and cloud: mast, cup anemometer,
// wind vane and a thermometer screen.
QImage InfoBild()
{
    QImage img(180, 180, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient himmel(0, 0, 0, 180);
    himmel.setColorAt(0, QColor(38, 96, 178));
    himmel.setColorAt(0.75, QColor(150, 198, 236));
    p.fillRect(img.rect(), himmel);

    QRadialGradient sonne(QPointF(132, 40), 26);
    sonne.setColorAt(0, QColor(255, 246, 170));
    sonne.setColorAt(0.55, QColor(255, 214, 64));
    sonne.setColorAt(1, QColor(255, 214, 64, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sonne);
    p.drawEllipse(QPointF(132, 40), 26, 26);

    p.setBrush(QColor(250, 250, 252));
    for (const QRectF& r : {QRectF(92, 46, 34, 24), QRectF(108, 36, 36, 32), QRectF(130, 48, 32, 22)})
        p.drawEllipse(r);
    p.drawRect(QRectF(102, 56, 50, 14));

    QLinearGradient wiese(0, 146, 0, 180);
    wiese.setColorAt(0, QColor(92, 164, 64));
    wiese.setColorAt(1, QColor(44, 110, 40));
    p.setBrush(wiese);
    QPainterPath huegel;
    huegel.moveTo(0, 156);
    huegel.cubicTo(50, 138, 120, 166, 180, 148);
    huegel.lineTo(180, 180);
    huegel.lineTo(0, 180);
    huegel.closeSubpath();
    p.drawPath(huegel);

    // Mast.
    const QColor metall(70, 74, 82);
    p.setBrush(metall);
    p.drawRect(QRectF(56, 58, 5, 100));

    // Cup anemometer on a cross arm.
    p.drawRect(QRectF(36, 56, 45, 3));
    p.drawRect(QRectF(57, 44, 3, 14));
    for (double x : {36.0, 81.0}) {
        p.drawPie(QRectF(x - 7, 50, 14, 12), 0, 180 * 16);
    }
    p.drawEllipse(QPointF(58.5, 44), 3.5, 3.5);

    // Wind vane at the top.
    p.drawRect(QRectF(57, 24, 3, 20));
    QPainterPath fahne;
    fahne.moveTo(58, 26);
    fahne.lineTo(84, 22);
    fahne.lineTo(84, 34);
    fahne.closeSubpath();
    p.setBrush(QColor(214, 46, 40));
    p.drawPath(fahne);
    QPainterPath spitze;
    spitze.moveTo(58, 26);
    spitze.lineTo(38, 22);
    spitze.lineTo(42, 26);
    spitze.lineTo(38, 30);
    spitze.closeSubpath();
    p.setBrush(metall);
    p.drawPath(spitze);

    // Thermometer screen: white louvred box on the mast.
    p.setBrush(QColor(245, 245, 240));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawRect(QRectF(64, 100, 30, 30));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(66, 105 + 5 * i), QPointF(92, 105 + 5 * i));

    // Thermometer in front on the right.
    p.setPen(QPen(QColor(90, 90, 90), 1.5));
    p.setBrush(QColor(255, 255, 255));
    p.drawRoundedRect(QRectF(134, 82, 14, 70), 7, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 46, 40));
    p.drawEllipse(QPointF(141, 146), 8, 8);
    p.drawRect(QRectF(139, 100, 4, 44));
    p.setPen(QPen(QColor(90, 90, 90), 1));
    for (int i = 0; i < 6; ++i)
        p.drawLine(QPointF(149, 92 + 8 * i), QPointF(153, 92 + 8 * i));

    p.end();
    return img;
}

// One picture to write; `farben` empty means any colour may appear.
struct Bild {
    const char* name;
    std::function<QImage()> zeichne;
    QList<QRgb> farben;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString ordner = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
    if (!QDir().mkpath(ordner)) {
        std::fprintf(stderr, "Ordner %s kann nicht angelegt werden\n", qPrintable(ordner));
        return 1;
    }
    using namespace bilder;
    const Bild bilder[] = {
        {"InfoBild", InfoBild, {}},
        {"HINTERGRUND", Kompassrose, Palette16()},
        {"BILD", Regenmesser, {Silber, Schwarz, Weiss}},
        {"THERMOMETER", Thermometer, {Silber, Schwarz, Weiss, Rot}},
        {"PFEIL", TrendPfeil, {Schwarz, Weiss}},
    };
    for (const Bild& b : bilder) {
        const QImage bild = b.zeichne().convertToFormat(QImage::Format_RGB888);
        const QString datei = QDir(ordner).filePath(QString::fromLatin1(b.name) + QStringLiteral(".png"));
        // A stray colour would break the transparent colour or the recolouring.
        if (!b.farben.isEmpty() && !NurFarben(bild, b.farben)) {
            std::fprintf(stderr, "%s: fremde Farbe im Bild\n", b.name);
            return 1;
        }
        if (!bild.save(datei, "PNG")) {
            std::fprintf(stderr, "%s kann nicht geschrieben werden\n", qPrintable(datei));
            return 1;
        }
        std::printf("%s\n", qPrintable(datei));
    }
    return 0;
}
