#include "GrundFensterUnit.h"

#include "AppErrors.h"
#include "ComponentNames.h"
#include "IniFiles.h"
#include "Konstanten.h"
#include "Screen.h"
#include "SysUtils.h"
#include "WindowHints.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>
#include <cstdlib>

// --- Window types -----------------------------------------------------------

QString FensterTypWort(int FensterID)
{
    switch (FensterID) {
    case 1: return QStringLiteral("Standardanzeige");
    case 2: return QStringLiteral("Thermometer");
    case 3: return QStringLiteral("Kompass");
    case 4: return QStringLiteral("Beaufortskala");
    case 5: return QStringLiteral("RFSkala");
    case 6: return QStringLiteral("Zustand");
    case 7: return QStringLiteral("Barometer");
    case 8: return QStringLiteral("Trend");
    case 9: return QStringLiteral("Schreiber");
    case 10: return QStringLiteral("Regenmesser");
    case 11: return QStringLiteral("Regenmessergrafik");
    case -1: return QStringLiteral("LoggerzeitFenster");
    case -2: return QStringLiteral("SystemzeitFenster");
    default: return QString();
    }
}

QString FensterName(const QString& Spalte, int FensterID)
{
    if (FensterID < 0)
        return FensterTypWort(FensterID);
    QString ident = Spalte;
    ErsetzeSonderzeichen(ident);
    return ident.left(5) + FensterTypWort(FensterID);
}

// --- Dragging ---------------------------------------------------------------

namespace {

bool nahe(int a, int b)
{
    return std::abs(a - b) < 5;
}

} // namespace

QPoint RasteFensterEin(int L, int T, int W, int H, const std::vector<TFensterRect>& Andere, int BildschirmBreite,
                       int BildschirmHoehe)
{
    for (const TFensterRect& o : Andere) {
        const int oL = o.Left;
        const int oT = o.Top;
        const int oR = oL + o.Width;
        const int oB = oT + o.Height;
        // Facing edges, when the windows overlap along them.
        if (nahe(oR, L) && oT <= T && T <= oB) L = oR;
        if (nahe(oR, L) && oT <= T + H && T + H <= oB) L = oR;
        if (nahe(oL, L + W) && oT <= T && T <= oB) L = oL - W;
        if (nahe(oL, L + W) && oT <= T + H && T + H <= oB) L = oL - W;
        if (nahe(oT, T + H) && oL <= L && L <= oR) T = oT - H;
        if (nahe(oT, T + H) && oL <= L + W && L + W <= oR) T = oT - H;
        if (nahe(oB, T) && oL <= L && L <= oR) T = oB;
        if (nahe(oB, T) && oL <= L + W && L + W <= oR) T = oB;
        // Outer edges of windows that touch corner to corner.
        if (nahe(oR, L + W) && oT - 5 < T + H && T + H <= oT) L = oR - W;
        if (nahe(oR, L + W) && oB <= T && T < oB + 5) L = oR - W;
        if (nahe(oL, L) && oT - 5 < T + H && T + H <= oT) L = oL;
        if (nahe(oL, L) && oB <= T && T < oB + 5) L = oL;
        if (nahe(oT, T) && oL - 5 < L + W && L + W <= oL) T = oT;
        if (nahe(oT, T) && oR <= L && L < oR + 5) T = oT;
        if (nahe(oB, T + H) && oL - 5 < L + W && L + W <= oL) T = oB - H;
        if (nahe(oB, T + H) && oR <= L && L < oR + 5) T = oB - H;
    }
    // Max first: a window larger than the screen ends at a negative place.
    L = std::min(BildschirmBreite - W, std::max(0, L));
    T = std::min(BildschirmHoehe - H, std::max(0, T));
    return QPoint(L, T);
}

// --- Form parts -------------------------------------------------------------

TFensterLabel::TFensterLabel(QWidget* parent, int left, int top, int width, int height, const QString& caption)
    : QLabel(parent)
{
    // Configured texts are shown as they are, never as markup.
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setGeometry(left, top, width, height);
    m_transparent = true;
    applyFont();
    applyColors();
    SetCaption(caption);
}

void TFensterLabel::SetCaption(const QString& caption)
{
    m_caption = caption;
    QString shown = caption;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    setText(shown);
    applyFont();
}

void TFensterLabel::SetFontColor(TColor color)
{
    m_font.Color = color;
    applyColors();
}

void TFensterLabel::SetFontName(const QString& name)
{
    m_font.Name = name;
    applyFont();
}

void TFensterLabel::SetFontHeight(int height)
{
    m_font.Height = height;
    applyFont();
}

void TFensterLabel::SetBold(bool bold)
{
    m_font.Bold = bold;
    applyFont();
}

void TFensterLabel::SetColor(TColor color)
{
    m_color = color;
    m_transparent = false;
    applyColors();
}

void TFensterLabel::SetRand(int pixels)
{
    setContentsMargins(pixels, 0, pixels, 0);
    applyFont();
}

void TFensterLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    applyFont();
}

void TFensterLabel::moveEvent(QMoveEvent* event)
{
    QLabel::moveEvent(event);
    applyFont();
}

void TFensterLabel::applyFont()
{
    QFont f = ToQFont(m_font);
    // What the window shows of the label: a label reaching past the window's
    // right edge (less its frame) is cut there.
    const QMargins m = contentsMargins();
    int frei = width();
    if (const QWidget* p = parentWidget())
        frei = std::min(frei, p->width() - 2 - x());
    frei -= m.left() + m.right();
    const QStringList zeilen = text().split(u'\n');
    auto breiteste = [&zeilen](const QFont& font) {
        const QFontMetrics fm(font);
        int b = 0;
        for (const QString& z : zeilen)
            b = std::max(b, fm.horizontalAdvance(z));
        return b;
    };
    if (frei > 0 && f.pixelSize() > 0 && wordWrap()) {
        // Wrapped at blanks: smaller only when the lines overflow the box
        // or a single word its width.
        const int hoch = height() - m.top() - m.bottom();
        auto passt = [&](const QFont& font) {
            const QRect r = QFontMetrics(font).boundingRect(QRect(0, 0, frei, hoch), Qt::TextWordWrap, text());
            return r.width() <= frei && r.height() <= hoch;
        };
        while (f.pixelSize() > 1 && !passt(f))
            f.setPixelSize(f.pixelSize() - 1);
    } else if (frei > 0 && f.pixelSize() > 0) {
        const int breite = breiteste(f);
        if (breite > frei) {
            // Widths scale about with the size; the loop mends the rounding.
            f.setPixelSize(std::max(1, f.pixelSize() * frei / breite));
            while (f.pixelSize() > 1 && breiteste(f) > frei)
                f.setPixelSize(f.pixelSize() - 1);
        }
    }
    if (f != font())
        setFont(f);
}

void TFensterLabel::applyColors()
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ColorToQColor(m_font.Color));
    pal.setColor(QPalette::Window, ColorToQColor(m_color));
    setPalette(pal);
    setAutoFillBackground(!m_transparent);
}

TBevel::TBevel(QWidget* parent, int left, int top, int width, int height, bool raised) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | (raised ? QFrame::Raised : QFrame::Sunken));
    setLineWidth(1);
    setGeometry(left, top, width, height);
}

TMoveShape::TMoveShape(QWidget* parent) : QWidget(parent) {}

void TMoveShape::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(event->button(), p.x(), p.y());
}

void TMoveShape::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(event->buttons(), p.x(), p.y());
}

void TMoveShape::contextMenuEvent(QContextMenuEvent* event)
{
    if (OnContextPopup) {
        OnContextPopup();
        event->accept();
    } else {
        event->ignore();
    }
}

// --- The base window ----------------------------------------------------------

TGrundFenster::TGrundFenster(Bau, TFensterOwner& AOwner)
    : QWidget(AOwner.FensterParent(), Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_owner(AOwner)
{
    setWindowTitle(QStringLiteral("GrundFenster"));
    setFont(ToQFont(TFontDesc{}));
    SetColor(clBtnFace);
    resize(196, 120);

    RandBevel = new TBevel(this, 0, 0, width(), height(), true);
    MoveShape = new TMoveShape(this);
    MoveShape->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { Guarded([&] { MoveShapeMouseDown(b, x, y); }); };
    MoveShape->OnMouseMove = [this](Qt::MouseButtons s, int x, int y) { Guarded([&] { MoveShapeMouseMove(s, x, y); }); };
    MoveShape->OnContextPopup = [this] { Guarded([&] { Shape1ContextPopup(); }); };

    m_owner.Komponenten().InsertComponent(this);
}

// The owner may be gone by now (a parent deleting its children): it is not
// touched here; its list drops the window by itself.
TGrundFenster::~TGrundFenster() = default;

void TGrundFenster::FertigErzeugt()
{
    Aktiv = true;
    m_fertig = true;
    RandBevel->setGeometry(rect());
    MoveShape->setGeometry(rect());
    MoveShape->raise();
    show();
    // A splash form stays in sight above the windows made while it shows;
    // only after show() does bringing it forward keep it above this one.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->objectName() == QLatin1String("Splash")) {
            w->raise();
            w->repaint();
        }
    }
}

void TGrundFenster::Abbauen()
{
    if (m_abgebaut)
        return;
    m_abgebaut = true;
    LoaderClient.reset();
    // A window that never finished its constructor has no trustworthy name
    // or file; a failed write must not end the program.
    if (m_fertig)
        Guarded([&] { SpeichereKonfiguration(IniDatei); });
    Bereiche.reset();
    m_owner.Komponenten().RemoveComponent(this);
}

void TGrundFenster::LadeKonfiguration(const QString& IniDatei)
{
    const TIniFile ini(IniDatei);
    MenusSichtbar = !ini.ReadBool(QStringLiteral("Global"), QStringLiteral("VersteckeFensterMenus"), false);
}

void TGrundFenster::SpeichereKonfiguration(const QString&) {}

void TGrundFenster::SetName(const QString& Name)
{
    m_owner.Komponenten().SetComponentName(this, Name);
    m_name = Name;
}

void TGrundFenster::SetColor(TColor Value)
{
    m_color = Value;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorToQColor(Value));
    setPalette(pal);
    setAutoFillBackground(true);
}

void TGrundFenster::SetSchrift(const QString& Value)
{
    Schrift = Value;
    for (TFensterLabel* l : BeschriftungsLabels)
        l->SetFontName(Value);
    for (TFensterLabel* l : WertLabels)
        l->SetFontName(Value);
}

void TGrundFenster::SetSchriftFarbeBesch(TColor Value)
{
    SchriftFarbeBesch = Value;
    for (TFensterLabel* l : BeschriftungsLabels)
        l->SetFontColor(Value);
}

void TGrundFenster::SetSchriftFarbeWerte(TColor Value)
{
    SchriftFarbeWerte = Value;
    if (HatBereiche() && !WerteFarbeImmer)
        return;
    for (TFensterLabel* l : WertLabels)
        l->SetFontColor(Value);
}

void TGrundFenster::SetLHFarbe(TColor Value)
{
    LHFarbe = Value;
    for (TFensterLabel* l : WertLabels)
        l->SetColor(Value);
}

QString TGrundFenster::WertText(double Wert) const
{
    if (Wert == KeinWert)
        return QStringLiteral("-");
    const int stellen = std::clamp(Nachkommastellen, 0, 15);
    return Format(QStringLiteral("%.") + IntToStr(stellen) + QStringLiteral("f"), {Wert});
}

void TGrundFenster::MoveShapeMouseDown(Qt::MouseButton, int X, int Y)
{
    MausX = X;
    MausY = Y;
}

void TGrundFenster::MoveShapeMouseMove(Qt::MouseButtons Shift, int, int)
{
    if (!(Shift & Qt::LeftButton) || m_owner.FensterFest())
        return;
    const QPoint cursor = Screen().CursorPos();
    std::vector<TFensterRect> andere;
    for (QObject* c : m_owner.Komponenten().Components()) {
        const auto* f = dynamic_cast<const TGrundFenster*>(c);
        if (f && f != this)
            andere.push_back(TFensterRect{f->x(), f->y(), f->width(), f->height()});
    }
    move(RasteFensterEin(cursor.x() - MausX, cursor.y() - MausY, width(), height(), andere, Screen().Width(),
                         Screen().Height()));
}

void TGrundFenster::Shape1ContextPopup()
{
    if (PopupMenu1)
        PopupMenu1->popup(Screen().CursorPos());
}

void TGrundFenster::Optionen1Click()
{
    if (!m_owner.OeffneOptionen)
        return;
    m_owner.OeffneOptionen(*this);
    NachOptionen();
}

void TGrundFenster::Deaktivieren1Click()
{
    Aktiv = false;
    hide();
    Abbauen();
    deleteLater();
}

void TGrundFenster::FormShow()
{
    if (!PopupMenu1)
        return;
    for (QAction* item : PopupMenu1->actions())
        item->setEnabled(MenusSichtbar || item->objectName() == QLatin1String("N24hVerlauf1"));
}

void TGrundFenster::LiesPosition(const TIniFile& Ini)
{
    const int bw = Screen().Width();
    const int bh = Screen().Height();
    const int x = Ini.ReadInteger(m_name, QStringLiteral("PositionX"), (bw - width()) / 2);
    const int y = Ini.ReadInteger(m_name, QStringLiteral("PositionY"), (bh - height()) / 2);
    move(std::min(std::max(0, x), bw - width()), std::min(std::max(0, y), bh - height()));
}

void TGrundFenster::SchreibePosition(TIniFile& Ini) const
{
    Ini.WriteInteger(m_name, QStringLiteral("PositionX"), x());
    Ini.WriteInteger(m_name, QStringLiteral("PositionY"), y());
}

void TGrundFenster::LiesAussehen(const TIniFile& Ini, TColor WerteVorgabe)
{
    SetSchrift(Ini.ReadString(m_name, QStringLiteral("Schrift"), QStringLiteral("MS SANS SERIF")));
    SetSchriftFarbeWerte(Ini.ReadInteger(m_name, QStringLiteral("SchriftFarbeWerte"), WerteVorgabe));
    SetSchriftFarbeBesch(Ini.ReadInteger(m_name, QStringLiteral("SchriftFarbeBesch"), clBlack));
    SetColor(Ini.ReadInteger(m_name, QStringLiteral("FensterFarbe"), Color()));
    SetLHFarbe(Ini.ReadInteger(m_name, QStringLiteral("LHFarbe"), clBlack));
}

void TGrundFenster::SchreibeAussehen(TIniFile& Ini) const
{
    Ini.WriteString(m_name, QStringLiteral("Schrift"), Schrift);
    Ini.WriteInteger(m_name, QStringLiteral("SchriftFarbeWerte"), SchriftFarbeWerte);
    Ini.WriteInteger(m_name, QStringLiteral("SchriftFarbeBesch"), SchriftFarbeBesch);
    Ini.WriteInteger(m_name, QStringLiteral("FensterFarbe"), Color());
    Ini.WriteInteger(m_name, QStringLiteral("LHFarbe"), LHFarbe);
}

void TGrundFenster::LiesBereicheListe(const TIniFile& Ini, const QString& Zusatz, TRanges& Liste) const
{
    // A damaged count must not hang the start reading (and the end writing)
    // millions of empty ranges; the options dialog takes no more than these.
    const int n = std::min(Ini.ReadInteger(m_name, QStringLiteral("AnzahlBereiche") + Zusatz, -1), MaxBereiche - 1);
    for (int i = 0; i <= n; ++i) {
        const QString b = QStringLiteral("Bereich") + Zusatz + IntToStr(i);
        const double von = Ini.ReadFloat(m_name, b + QStringLiteral("Von"), 0);
        const double bis = Ini.ReadFloat(m_name, b + QStringLiteral("Bis"), 0);
        const TColor farbe = Ini.ReadInteger(m_name, b + QStringLiteral("Farbe"), clNone);
        Liste.Add(farbe, von, bis);
    }
}

void TGrundFenster::SchreibeBereicheListe(TIniFile& Ini, const QString& Zusatz, const TRanges& Liste) const
{
    Ini.WriteInteger(m_name, QStringLiteral("AnzahlBereiche") + Zusatz, Liste.Count() - 1);
    for (int i = 0; i < Liste.Count(); ++i) {
        const TBereich r = Liste.GetBereich(i);
        const QString b = QStringLiteral("Bereich") + Zusatz + IntToStr(i);
        Ini.WriteFloat(m_name, b + QStringLiteral("Von"), r.Von);
        Ini.WriteFloat(m_name, b + QStringLiteral("Bis"), r.Bis);
        Ini.WriteInteger(m_name, b + QStringLiteral("Farbe"), r.Farbe);
    }
}

void TGrundFenster::LiesBereiche(const TIniFile& Ini)
{
    auto bereiche = std::make_unique<TRanges>();
    LiesBereicheListe(Ini, QString(), *bereiche);
    Bereiche = std::move(bereiche);
}

void TGrundFenster::SchreibeBereiche(TIniFile& Ini) const
{
    SchreibeBereicheListe(Ini, QString(), Bereiche ? *Bereiche : TRanges());
}

bool TGrundFenster::ZeigeImBereich(TFensterLabel& Label, double Wert) const
{
    return ZeigeImBereich(Label, Wert, WertText(Wert));
}

bool TGrundFenster::ZeigeImBereich(TFensterLabel& Label, double Wert, const QString& Text) const
{
    if (!HatBereiche())
        return false;
    try {
        const TColor farbe = Bereiche->Farbe(Wert);
        Label.SetFontColor(farbe);
        Label.SetCaption(Text);
        return true;
    } catch (const ERangeError&) {
        return false;
    }
}

void TGrundFenster::ZeigeNachBereich(TFensterLabel& Label, double Wert, const QString& Text) const
{
    if (!ZeigeImBereich(Label, Wert, Text) && !HatBereiche())
        Label.SetCaption(Text);
}

QMenu* TGrundFenster::ErzeugeMenu()
{
    PopupMenu1 = new QMenu(this);
    return PopupMenu1;
}

QAction* TGrundFenster::NeuerMenuPunkt(const QString& Name, const QString& Text, std::function<void()> Handler)
{
    // A caption "-" is a separator line, without text of its own.
    const bool trenner = Text == QLatin1String("-");
    QAction* item = PopupMenu1->addAction(trenner ? QString() : Text);
    item->setObjectName(Name);
    item->setSeparator(trenner);
    if (Handler)
        QObject::connect(item, &QAction::triggered, this, [h = std::move(Handler)] { Guarded(h); });
    return item;
}

void TGrundFenster::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The display windows are parts of the program, not windows of their own:
    // its one entry is the main window's.
    SkipTaskbar(this);
    Guarded([&] { FormShow(); });
}

void TGrundFenster::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (RandBevel)
        RandBevel->setGeometry(rect());
    if (MoveShape)
        MoveShape->setGeometry(rect());
}
