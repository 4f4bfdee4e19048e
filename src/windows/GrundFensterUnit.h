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
#include <tuple>
#include <vector>

class QAction;
class QMenu;
class TComponentOwner;
class TGrundFenster;
class TIniFile;

// No-value marker of records, query results and window fields.
constexpr double KeinWert = -9999;

// Most ranges one list of a window holds: read from its section, and taken
// in the options dialog.
constexpr int MaxBereiche = 1000;

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

// What the rain bar chart needs from the rain-gauge window that opens it.
struct TRegenDiagrammAufruf {
    TDatenLoader* Loader = nullptr;
    QString Beschriftung;
    QString Einheit;
    QString Spalte;
    int Zeitraum = 24;    // hours
    int Intervall = 60;   // minutes per bar
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

    // Commands a window hands to dialogs that live elsewhere; unset, the
    // options do nothing and the windows open their charts themselves.
    std::function<void(TGrundFenster&)> OeffneOptionen;
    std::function<void(const TVerlaufAufruf&)> Oeffne24hVerlauf;
    std::function<void(const TRegenDiagrammAufruf&)> OeffneRegenDiagramm;
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

    // Pixels kept free inside the left and right edges, for a frame drawn
    // over the label.
    void SetRand(int pixels);

    // A text wider or higher than the visible part of the label (with word
    // wrap: once wrapped) is drawn in a smaller font until it fits; this is
    // the pixel height in use.
    int ShownPixelSize() const { return font().pixelSize(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

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
// Every window is made by Erzeuge<T>(...): the constructor builds and loads
// it, Erzeuge then marks it active and shows it. Only a window finished that
// way writes its section, and a window can't be made any other way (its
// constructor needs the key only Erzeuge has).
//
// Lifetime: the owner calls Abbauen() before it deletes a window (a base
// destructor can't reach the subclass's writer); a window whose constructor
// failed never gets there and writes nothing.
class TGrundFenster : public QWidget {
public:
    class Bau {
        Bau() = default;
        template<class T, class... A>
        friend T* Erzeuge(A&&... Argumente);
    };

    TGrundFenster(Bau, TFensterOwner& AOwner);
    ~TGrundFenster() override;

    TFensterOwner& Owner() const { return m_owner; }

    // The window type code stored in its section.
    virtual int FensterID() const { return 0; }

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
    // Windows whose pictures take the window colour redraw here.
    virtual void SetColor(TColor Value);

    // The look every window shares; the options dialog calls these. By
    // default they apply to the window's caption and value labels; windows
    // with instruments add what they draw.
    virtual void SetSchrift(const QString& Value);
    virtual void SetSchriftFarbeBesch(TColor Value);
    // Applied to the value labels only while the window has no ranges (the
    // range colours govern them then), unless the window always applies it.
    virtual void SetSchriftFarbeWerte(TColor Value);
    virtual void SetLHFarbe(TColor Value);

    bool HatBereiche() const { return Bereiche && Bereiche->Count() > 0; }

    // The value as text: "-" for the no-value marker, else with the
    // window's decimals (kept within 0..15).
    QString WertText(double Wert) const;

    // The window's own drag and menu handlers.
    void MoveShapeMouseDown(Qt::MouseButton Button, int X, int Y);
    void MoveShapeMouseMove(Qt::MouseButtons Shift, int X, int Y);
    void Shape1ContextPopup();
    // Opens the options dialog (modal), then NachOptionen.
    void Optionen1Click();
    // Aktiv off, the window released; its section is written on the way.
    virtual void Deaktivieren1Click();
    void FormShow();

    bool Aktiv = false;
    QString IniDatei;
    std::unique_ptr<TRanges> Bereiche;
    std::unique_ptr<TLoaderClient> LoaderClient;
    int Nachkommastellen = 0;
    bool MenusSichtbar = false;
    int MausX = 0;
    int MausY = 0;

    QString Schrift;
    TColor LHFarbe = clBlack;
    TColor SchriftFarbeBesch = clBlack;
    TColor SchriftFarbeWerte = clBlack;

    TBevel* RandBevel = nullptr;
    TMoveShape* MoveShape = nullptr;
    // The form's pop-up menu; the subclass makes it.
    QMenu* PopupMenu1 = nullptr;

protected:
    // What a window does once its options dialog has closed.
    virtual void NachOptionen() {}

    // Pieces of a section.
    void LiesPosition(const TIniFile& Ini);
    // "AnzahlBereiche" and the "Bereich" + i keys into a new Bereiche.
    void LiesBereiche(const TIniFile& Ini);
    void SchreibeBereiche(TIniFile& Ini) const;
    // The same keys with a word after "AnzahlBereiche" and "Bereich"
    // ("AnzahlBereicheMS", "BereichMS0Von"), for windows with several lists.
    void LiesBereicheListe(const TIniFile& Ini, const QString& Zusatz, TRanges& Liste) const;
    void SchreibeBereicheListe(TIniFile& Ini, const QString& Zusatz, const TRanges& Liste) const;
    void SchreibePosition(TIniFile& Ini) const;
    // "Schrift", "SchriftFarbeWerte", "SchriftFarbeBesch", "FensterFarbe",
    // "LHFarbe" in this order, each through its setter.
    void LiesAussehen(const TIniFile& Ini, TColor WerteVorgabe = clRed);
    void SchreibeAussehen(TIniFile& Ini) const;
    // Colours the label by the range holding the value and shows its text;
    // false, and the label untouched, when no range holds it.
    bool ZeigeImBereich(TFensterLabel& Label, double Wert) const;
    bool ZeigeImBereich(TFensterLabel& Label, double Wert, const QString& Text) const;
    // The family's rule for a value label: in the colour of the range that
    // holds the value; without ranges the text alone; with ranges but none
    // holding the value the label stays as it was.
    void ZeigeNachBereich(TFensterLabel& Label, double Wert, const QString& Text) const;

    QMenu* ErzeugeMenu();
    QAction* NeuerMenuPunkt(const QString& Name, const QString& Text, std::function<void()> Handler);

    // The labels the look settings reach: the font name goes to both lists,
    // the caption colour to the first, value colour and value background to
    // the second.
    std::vector<TFensterLabel*> BeschriftungsLabels;
    std::vector<TFensterLabel*> WertLabels;
    // The value colour reaches the value labels whether or not there are ranges.
    bool WerteFarbeImmer = false;

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    template<class T, class... A>
    friend T* Erzeuge(A&&... Argumente);
    // Aktiv, shown, a splash form brought back in front, and from now on the
    // window writes its section.
    void FertigErzeugt();

    TFensterOwner& m_owner;
    QString m_name;
    TColor m_color = clBtnFace;
    bool m_fertig = false;
    bool m_abgebaut = false;
};

// Makes a display window and finishes it. A class may refuse to be made
// (static bool ErzeugenErlaubt(TFensterOwner&)); the result is then nullptr.
template<class T, class... A>
T* Erzeuge(A&&... Argumente)
{
    if constexpr (requires(TFensterOwner& o) { T::ErzeugenErlaubt(o); }) {
        if (!T::ErzeugenErlaubt(std::get<0>(std::forward_as_tuple(Argumente...))))
            return nullptr;
    }
    auto* fenster = new T(TGrundFenster::Bau{}, std::forward<A>(Argumente)...);
    fenster->FertigErzeugt();
    return fenster;
}
