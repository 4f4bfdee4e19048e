#pragma once

#include "Bereiche.h"
#include "ColorTypes.h"
#include "DatenLoaderUnit.h"
#include "Graphics.h"

#include <QFrame>
#include <QLabel>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class TComponentOwner;
class TGrundFenster;
class TIniFile;

// No-value marker of records, query results and window fields.
constexpr double KeinWert = -9999;

// --- Window types -----------------------------------------------------------
// The type word that completes a column window's name; for the two clocks the
// whole name. Empty for an unknown code.
QString FensterTypWort(int FensterID);
// Component and section name of a window: the first 5 characters of the
// column header with special characters replaced, then the type word; the
// clocks have fixed names.
QString FensterName(const QString& Spalte, int FensterID);

// --- Dragging ---------------------------------------------------------------
struct TFensterRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// Where a window of size W x H that the mouse would put at (L, T) ends:
// snapped to the edges of the other windows, taken in their order, then kept
// on a screen of the given size.
QPoint RasteFensterEin(int L, int T, int W, int H, const std::vector<TFensterRect>& Andere, int BildschirmBreite,
                       int BildschirmHoehe);

// --- The owner --------------------------------------------------------------
// What the 24-hour chart needs from the window that opens it.
struct TVerlaufAufruf {
    TGrundFenster* Fenster = nullptr;
    TDatenLoader* Loader = nullptr;
    QString Beschriftung;
    QString Einheit;
    QString Spalte;
    QString IniDatei;
    const TRanges* Bereiche = nullptr;
};

// The main window as its display windows see it.
class TFensterOwner {
public:
    virtual ~TFensterOwner() = default;

    // Display windows can't be dragged.
    virtual bool FensterFest() const = 0;
    // The owner's components in order; every window enters itself here, and
    // its name is checked against the others.
    virtual TComponentOwner& Komponenten() = 0;
    // Parent widget of the windows; they stay top-level tool windows.
    virtual QWidget* FensterParent() { return nullptr; }

    // Commands a window hands to dialogs that live elsewhere; unset they do
    // nothing.
    std::function<void(TGrundFenster&)> OeffneOptionen;
    std::function<void(const TVerlaufAufruf&)> Oeffne24hVerlauf;
};

// --- Form parts -------------------------------------------------------------
// A text label with a form designer's properties; texts are always plain.
class TFensterLabel : public QLabel {
public:
    TFensterLabel(QWidget* parent, int left, int top, int width, int height, const QString& caption);

    const QString& Caption() const { return m_caption; }
    // A CR (or CR LF) starts a new line.
    void SetCaption(const QString& caption);

    TColor FontColor() const { return m_font.Color; }
    void SetFontColor(TColor color);
    void SetFontName(const QString& name);
    void SetFontHeight(int height);
    void SetBold(bool bold);

    TColor Color() const { return m_color; }
    void SetColor(TColor color);

private:
    void applyFont();
    void applyColors();
    QString m_caption;
    TFontDesc m_font;
    TColor m_color = clBtnFace;
    bool m_transparent = false;
};

// A framing bevel; raised or lowered box.
class TBevel : public QFrame {
public:
    TBevel(QWidget* parent, int left, int top, int width, int height, bool raised = false);
};

// Invisible control in front of a window's others: it takes the presses,
// moves and context-menu requests anywhere on the window.
class TMoveShape : public QWidget {
public:
    explicit TMoveShape(QWidget* parent);

    std::function<void(Qt::MouseButton Button, int X, int Y)> OnMouseDown;
    std::function<void(Qt::MouseButtons Shift, int X, int Y)> OnMouseMove;
    std::function<void()> OnContextPopup;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// --- The base window ----------------------------------------------------------
// A borderless always-on-top window that the user drags anywhere on its
// surface, that snaps to the other display windows and keeps its settings in
// a section of its own.
//
// Lifetime: the owner calls Abbauen() before it deletes a window (a base
// destructor can't reach the subclass's writer); a window whose constructor
// failed never gets there and writes nothing.
class TGrundFenster : public QWidget {
public:
    explicit TGrundFenster(TFensterOwner& AOwner);
    ~TGrundFenster() override;

    TFensterOwner& Owner() const { return m_owner; }

    // Frees the client, writes the section (only for a fully built window),
    // frees the ranges and leaves the owner's components. Runs once; a write
    // that fails goes to the default handler.
    void Abbauen();

    virtual void LadeKonfiguration(const QString& IniDatei);
    virtual void SpeichereKonfiguration(const QString& IniDatei);

    // Component name, also the configuration section.
    const QString& Name() const { return m_name; }
    // Checked against the owner's other components; raises EComponentError.
    void SetName(const QString& Name);

    void SetNachkommastellen(int Value) { Nachkommastellen = Value; }

    TColor Color() const { return m_color; }
    void SetColor(TColor Value);

    // The value as text: "-" for the no-value marker, else with the
    // window's decimals (kept within 0..15).
    QString WertText(double Wert) const;

    // The window's own drag and menu handlers.
    void MoveShapeMouseDown(Qt::MouseButton Button, int X, int Y);
    void MoveShapeMouseMove(Qt::MouseButtons Shift, int X, int Y);
    void Shape1ContextPopup();
    void Optionen1Click();
    void Deaktivieren1Click();
    void FormShow();

    bool Aktiv = false;
    QString IniDatei;
    std::unique_ptr<TRanges> Bereiche;
    std::unique_ptr<TLoaderClient> LoaderClient;
    int Nachkommastellen = 0;
    bool MenusSichtbar = false;
    int MausX = 0;
    int MausY = 0;

    TBevel* RandBevel = nullptr;
    TMoveShape* MoveShape = nullptr;
    // The form's pop-up menu; the subclass makes it.
    QMenu* PopupMenu1 = nullptr;

protected:
    // Every constructor calls this last: Aktiv, shown, a splash form brought
    // back in front, and from now on the window writes its section.
    void FertigErzeugt();

    // Pieces of the common section.
    void LiesPosition(const TIniFile& Ini);
    void LiesBereiche(const TIniFile& Ini);
    void SchreibeBereiche(TIniFile& Ini) const;
    bool HatBereiche() const { return Bereiche && Bereiche->Count() > 0; }
    // Colours the label by the range holding the value and shows its text;
    // false, and the label untouched, when no range holds it.
    bool ZeigeImBereich(TFensterLabel& Label, double Wert) const;

    QMenu* ErzeugeMenu();
    QAction* NeuerMenuPunkt(const QString& Name, const QString& Text, std::function<void()> Handler);

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TFensterOwner& m_owner;
    QString m_name;
    TColor m_color = clBtnFace;
    bool m_fertig = false;
    bool m_abgebaut = false;
};
