#pragma once

#include "OptionenWerte.h"

#include <QDialog>
#include <QPointer>
#include <QString>

class QFontComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TColorComboBox;
class TGrundFenster;
class THauptFenster;
class TSpaltenFenster;

// The program settings the options dialog shows beside the window's: the
// main window's, through its setters.
class TProgrammEinstellungen {
public:
    virtual ~TProgrammEinstellungen() = default;
    virtual int Interval() const = 0;
    virtual QString HintergrundBild() const = 0;
    virtual double HalteDauer() const = 0;
    virtual void SetInterval(int Value) = 0;
    virtual void SetHalteDauer(double Value) = 0;
    virtual void SetHintergrund(const QString& Value) = 0;
};

// Opens the options dialog of a window of the main window, modally; returns
// once it has closed. What the window's own "Optionen..." does.
void ZeigeOptionen(THauptFenster& Haupt, TGrundFenster& Fenster);

// The options dialog of one display window: the program settings and the
// window's caption, unit, font, colours, span and ranges. "OK" applies them
// through the setters, in order; "Abbrechen" (and Escape, and the close box)
// applies nothing. It reads and writes no configuration file.
class TOptionenFenster : public QDialog {
public:
    // Fills the dialog from the settings and the window. Raises when a span
    // can't be shown (ERangeError); the dialog is then not shown.
    TOptionenFenster(TProgrammEinstellungen& Programm, TGrundFenster& Fenster);

    // Fills, runs modally, returns after the dialog has closed.
    static void Zeige(TProgrammEinstellungen& Programm, TGrundFenster& Fenster);

    // The picture file and its preview; a name of no existing file means no
    // picture. A file that exists but does not load raises; the name is kept
    // and the preview keeps what it showed.
    void SetzeHintergrundbild(const QString& Datei);

    // Handlers. The key handlers set Key to 0 to drop it.
    void IntervalKeyPress(QChar& Key);
    void VonEditKeyPress(QChar& Key);
    void HintergrundImageClick();
    void Button1Click();
    void BereicheListClick();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    // "OK": see the .cpp for the order. Raises at the first text that does
    // not convert; what came before stays applied and the dialog stays open.
    void Button5Click();
    void Button6Click();

    QString HintergrundDatei;
    int FensterTyp = 0;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Interval = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Button1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* HintergrundImage = nullptr;
    QLabel* Label15 = nullptr;
    QLineEdit* ServerVerlaufTage = nullptr;
    QLineEdit* ServerVerlauf = nullptr;
    QLabel* Label16 = nullptr;

    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Beschriftung = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Einheit = nullptr;
    QLabel* Label6 = nullptr;
    QFontComboBox* Schrift = nullptr;
    QLabel* Label7 = nullptr;
    TColorComboBox* FensterFarbe = nullptr;
    QLabel* Label8 = nullptr;
    TColorComboBox* BeschrFarbe = nullptr;
    QLabel* Label9 = nullptr;
    TColorComboBox* AnzeigeFarbe = nullptr;
    QLabel* Label10 = nullptr;
    TColorComboBox* LHFarbe = nullptr;
    QLabel* Label14 = nullptr;
    QLineEdit* VerlaufIntervallTage = nullptr;
    QLineEdit* VerlaufIntervall = nullptr;
    QLabel* Label17 = nullptr;
    QLabel* VerlaufLabel = nullptr;

    QGroupBox* GroupBox3 = nullptr;
    QListWidget* BereicheList = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QLabel* Label11 = nullptr;
    QLineEdit* VonEdit = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* BisEdit = nullptr;
    QLabel* Label13 = nullptr;
    TColorComboBox* BereichFarbe = nullptr;

    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;

    // The font name the dialog hands back: the window's own as long as the
    // user picks no other, installed or not.
    QString SchriftName() const;
    // The list's lines, first to last.
    QStringList BereichZeilen() const;
    // The selected line, -1 for none.
    int GewaehlteZeile() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BaueForm();
    QLineEdit* NeuesEdit(const QString& Name);
    void Fuelle();
    void WendeAufFensterAn();
    void WendeAufUhrAn();
    // Raises when the list holds as many ranges as a window keeps.
    void PruefePlatzFuerBereich() const;

    TProgrammEinstellungen& m_programm;
    QPointer<TGrundFenster> m_fenster;
    // The same window when it shows a column; nullptr for a clock.
    TSpaltenFenster* m_spalte = nullptr;
    TFensterArt m_art;
    // The selection changed since the last mouse press on the list: that
    // press has filled the edits already.
    bool m_auswahlGewechselt = false;
};
