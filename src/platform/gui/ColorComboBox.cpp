#include "ColorComboBox.h"

#include "AppErrors.h"
#include "Dialogs.h"
#include "Graphics.h"

#include <QPainter>
#include <QPixmap>
#include <iterator>

namespace {

struct NamedColor {
    TColor color;
    const char* name;
};

const NamedColor standardColors[] = {
    {clBlack, "Schwarz"},     {clMaroon, "Kastanienbraun"}, {clGreen, "Grün"},   {clOlive, "Oliv"},
    {clNavy, "Marineblau"},   {clPurple, "Purpur"},         {clTeal, "Petrol"},  {clGray, "Grau"},
    {clSilver, "Silber"},     {clRed, "Rot"},               {clLime, "Hellgrün"}, {clYellow, "Gelb"},
    {clBlue, "Blau"},         {clFuchsia, "Fuchsia"},       {clAqua, "Aquamarin"}, {clWhite, "Weiß"},
};

const NamedColor systemColors[] = {
    {clScrollBar, "Bildlaufleiste"},
    {clBackground, "Desktop"},
    {clActiveCaption, "Aktive Titelleiste"},
    {clInactiveCaption, "Inaktive Titelleiste"},
    {clMenu, "Menü"},
    {clWindow, "Fenster"},
    {clWindowFrame, "Fensterrahmen"},
    {clMenuText, "Menütext"},
    {clWindowText, "Fenstertext"},
    {clCaptionText, "Titelleistentext"},
    {clActiveBorder, "Aktiver Rahmen"},
    {clInactiveBorder, "Inaktiver Rahmen"},
    {clAppWorkSpace, "Anwendungshintergrund"},
    {clHighlight, "Markierung"},
    {clHighlightText, "Markierter Text"},
    {clBtnFace, "Schaltfläche"},
    {clBtnShadow, "Schaltflächenschatten"},
    {clGrayText, "Deaktivierter Text"},
    {clBtnText, "Schaltflächentext"},
    {clInactiveCaptionText, "Inaktiver Titelleistentext"},
    {clBtnHighlight, "Schaltflächenlicht"},
    {cl3DDkShadow, "3D-Dunkelschatten"},
    {cl3DLight, "3D-Licht"},
    {clInfoText, "Quickinfotext"},
    {clInfoBk, "Quickinfohintergrund"},
};

const QString kEigene = QStringLiteral("Eigene...");
const QString kNeueFarbe = QStringLiteral("Neue Farbe");

QIcon swatch(TColor color)
{
    QPixmap p(16, 12);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setPen(Qt::black);
    painter.setBrush(ColorToQColor(color));
    painter.drawRect(0, 0, 15, 11);
    return QIcon(p);
}

} // namespace

TColorComboBox::TColorComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    setMaxVisibleItems(16);
    for (const NamedColor& c : standardColors)
        QComboBox::addItem(swatch(c.color), QString::fromUtf8(c.name), QVariant(int(c.color)));
    for (const NamedColor& c : systemColors)
        QComboBox::addItem(swatch(c.color), QString::fromUtf8(c.name), QVariant(int(c.color)));
    QComboBox::addItem(kEigene);
    setCurrentIndex(0);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index != eigeneIndex())
            m_last = index;
    });
    connect(this, &QComboBox::activated, this, [this](int index) { Guarded([&] { onActivated(index); }); });
}

QString TColorComboBox::FarbName(TColor color)
{
    for (const NamedColor& c : standardColors)
        if (c.color == color)
            return QString::fromUtf8(c.name);
    for (const NamedColor& c : systemColors)
        if (c.color == color)
            return QString::fromUtf8(c.name);
    return QString();
}

TColor TColorComboBox::ColorValue() const
{
    return static_cast<TColor>(itemData(m_last).toInt());
}

void TColorComboBox::SetColorValue(TColor color)
{
    int index = indexOfColor(color);
    if (index < 0)
        index = addColor(color, color == clNone ? QStringLiteral("Keine Farbe") : kNeueFarbe);
    setCurrentIndex(index);
}

void TColorComboBox::EigeneFarbe()
{
    TColor color = ColorValue();
    if (ChooseColor(color))
        SetColorValue(color);
    else
        setCurrentIndex(m_last);
}

int TColorComboBox::indexOfColor(TColor color) const
{
    for (int i = 0; i < eigeneIndex(); ++i)
        if (static_cast<TColor>(itemData(i).toInt()) == color)
            return i;
    return -1;
}

int TColorComboBox::addColor(TColor color, const QString& name)
{
    const int index = eigeneIndex();
    insertItem(index, swatch(color), name, QVariant(int(color)));
    return index;
}

void TColorComboBox::onActivated(int index)
{
    if (index == eigeneIndex())
        EigeneFarbe();
}
