#pragma once

#include "Graphics.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QString>
#include <cstdint>

// Shown after the application title in the about box and the splash form.
constexpr char Versionstext[] = "V1.0 dev.";

// The program's own picture, shown by the about box and the splash form.
QPixmap InfoBild();

// A one-line plain-text label with a drop shadow, as the about box and the
// splash form use for their title lines.
class TSchattenLabel : public QLabel {
public:
    TSchattenLabel(QWidget* parent, int left, int top, int width, int height, const TFontDesc& font,
                   int schatten = 2);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_schatten;
};

// The about box.
class TInfoDialog1 : public QDialog {
public:
    explicit TInfoDialog1(QWidget* parent = nullptr);

    // Title, module name, creation date of the program file and build number.
    void Beschrifte(const QString& ModulName);
    // The four numbers of the program's version.
    static void LiesVersionsnummer(std::uint16_t& V1, std::uint16_t& V2, std::uint16_t& V3, std::uint16_t& V4);
    int ZeigeModal();

    QLabel* Image1 = nullptr;
    TSchattenLabel* KorvasilRxLabel1 = nullptr;
    TSchattenLabel* ModulNameRxLabel1 = nullptr;
    QLabel* AnschriftLabel1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* ErstelltLabel1 = nullptr;
    QLabel* BuildLabel1 = nullptr;
    QPushButton* OKButton1 = nullptr;
};

// Builds an about box, shows it modally and frees it.
void ZeigeInfoDialog(const QString& ModulName);

// The block of text about the makers, shared with the splash form.
QString AnschriftText();
