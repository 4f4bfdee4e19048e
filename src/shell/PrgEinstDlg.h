#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QToolButton>
#include <QWidget>

// The same file, by its canonical path where it exists.
bool GleicheDatei(const QString& a, const QString& b);

// A file name edit with a browse button; the button opens the open-file
// chooser on the name typed so far.
class TDateinameEdit : public QWidget {
public:
    TDateinameEdit(QWidget* parent, int left, int top, int width, int height);

    QString FileName() const { return Edit->text(); }
    void SetFileName(const QString& name) { Edit->setText(name); }
    void Durchsuchen();

    QString DialogTitle = QStringLiteral("Datei wählen");
    QString Filter = QStringLiteral("Alle Dateien|*.*");

    QLineEdit* Edit = nullptr;
    QToolButton* Button = nullptr;
};

// The program settings: the auto-save file and the secondary-display mode.
class TPrgEinstDialog1 : public QDialog {
public:
    explicit TPrgEinstDialog1(QWidget* parent = nullptr);

    // Shows the values handed in; on OK takes the edited ones and returns
    // true, otherwise both fields keep what they held.
    bool Ausfuehren();

    QString AutoSaveDatei;
    bool TochterAnzeige = false;
    // The program's own files (data, configuration, log): refused as the
    // auto-save file.
    QStringList EigeneDateien;

    // "OK": takes the values unless the auto-save file is one of ours.
    void OKButton1Click();

    QLabel* Label1 = nullptr;
    TDateinameEdit* AutoSaveDateiJFE1 = nullptr;
    QCheckBox* TochterAnzeigeCB1 = nullptr;
    QPushButton* OKButton1 = nullptr;
    QPushButton* AbbrechenButton1 = nullptr;
};
