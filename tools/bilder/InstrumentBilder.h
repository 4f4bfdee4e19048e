#pragma once

// The instrument pictures that the controls and windows draw over. Every
// colour is one of the 16 classic ones and nothing is antialiased: the
// programs key on exact pixel colours (transparent colour, recolouring).

#include <QImage>
#include <QList>
#include <QRgb>

namespace bilder {

// The 16-colour palette that all instrument pictures stick to.
inline constexpr QRgb Schwarz = 0xFF000000, Kastanie = 0xFF800000, Gruen = 0xFF008000,
                      Oliv = 0xFF808000, Marine = 0xFF000080, Purpur = 0xFF800080,
                      Petrol = 0xFF008080, Grau = 0xFF808080, Silber = 0xFFC0C0C0,
                      Rot = 0xFFFF0000, Hellgruen = 0xFF00FF00, Gelb = 0xFFFFFF00,
                      Blau = 0xFF0000FF, Fuchsie = 0xFFFF00FF, Aqua = 0xFF00FFFF,
                      Weiss = 0xFFFFFFFF;

QList<QRgb> Palette16();

// Compass dial, 235 x 236: silver corners, white within 74 px of the middle.
QImage Kompassrose();
// Rain gauge, 111 x 241: silver, black and white; white only inside the gauge.
QImage Regenmesser();
// Thermometer template, 120 x 243: tube and red bulb on light grey.
QImage Thermometer();
// Trend arrow, 67 x 39: white arrow rising to the upper right on black.
QImage TrendPfeil();

// True when every pixel has one of the given colours.
bool NurFarben(const QImage& bild, const QList<QRgb>& farben);

} // namespace bilder
