#pragma once

#include "ColorTypes.h"

#include <QComboBox>
#include <QString>

// A colour box holding TColor values: the standard colours, the system
// colours, then "Eigene...", which opens the colour dialog and adds the
// colour chosen there as "Neue Farbe". A value set from outside that the
// list lacks is added too, so the box hands back exactly what it was given.
class TColorComboBox : public QComboBox {
public:
    explicit TColorComboBox(QWidget* parent = nullptr);

    TColor ColorValue() const;
    void SetColorValue(TColor color);

    // What "Eigene..." does; a cancelled dialog keeps the colour shown before.
    void EigeneFarbe();

    // The German name of a listed colour; empty for any other value.
    static QString FarbName(TColor color);

private:
    int indexOfColor(TColor color) const;
    int eigeneIndex() const { return count() - 1; }
    // Inserted before "Eigene...".
    int addColor(TColor color, const QString& name);
    void onActivated(int index);

    int m_last = 0;
};
