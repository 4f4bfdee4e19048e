#include "OptionenFensterUnit.h"

#include "AppErrors.h"
#include "ColorComboBox.h"
#include "Dialogs.h"
#include "Graphics.h"
#include "HauptFensterUnit.h"
#include "Screen.h"
#include "SpaltenFensterUnit.h"
#include "SysUtils.h"
#include "WindowHints.h"

#include <QFileInfo>
#include <QFontComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

// The main window's settings, through its own setters.
class THauptFensterEinstellungen : public TProgrammEinstellungen {
public:
    explicit THauptFensterEinstellungen(THauptFenster& h) : m_h(h) {}
    int Interval() const override { return m_h.Interval; }
    QString HintergrundBild() const override { return m_h.HintergrundBild; }
    double HalteDauer() const override { return m_h.HalteDauer; }
    void SetInterval(int Value) override { m_h.SetInterval(Value); }
    void SetHalteDauer(double Value) override { m_h.SetHalteDauer(Value); }
    void SetHintergrund(const QString& Value) override { m_h.SetHintergrund(Value); }

private:
    THauptFenster& m_h;
};

const QString kBildFilter = QStringLiteral("Grafikdateien|*.gif;*.jpg;*.jpeg;*.bmp;*.wmf;*.ico");

// The picture in the format its extension names.
QImage LadeBild(const QString& Datei)
{
    const QString endung = QFileInfo(Datei).suffix().toLower();
    QImageReader leser(Datei, endung.toLatin1());
    leser.setDecideFormatFromContent(false);
    leser.setAutoDetectImageFormat(false);
    const QImage bild = leser.read();
    if (bild.isNull()) {
        if (leser.error() == QImageReader::UnsupportedFormatError)
            throw Exception(Format(QStringLiteral("Unbekannte Bilddateierweiterung (.%s)"), {endung}));
        throw Exception(QStringLiteral("Beim Laden des Bildes ist ein Fehler aufgetreten."));
    }
    return bild;
}

QPixmap LeeresBild()
{
    QPixmap leer(1, 1);
    leer.fill(Qt::white);
    return leer;
}

QLabel* NeuesLabel(QWidget* parent, const QString& Name, const QString& Text)
{
    auto* l = new QLabel(Text, parent);
    l->setObjectName(Name);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QPushButton* NeuerKnopf(QWidget* parent, const QString& Name, const QString& Text)
{
    auto* b = new QPushButton(Text, parent);
    b->setObjectName(Name);
    // No button of this dialog is the default one: Return presses none.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

void ZeigeOptionen(THauptFenster& Haupt, TGrundFenster& Fenster)
{
    THauptFensterEinstellungen einstellungen(Haupt);
    TOptionenFenster::Zeige(einstellungen, Fenster);
}

void TOptionenFenster::Zeige(TProgrammEinstellungen& Programm, TGrundFenster& Fenster)
{
    TOptionenFenster dialog(Programm, Fenster);
    dialog.exec();
}

TOptionenFenster::TOptionenFenster(TProgrammEinstellungen& Programm, TGrundFenster& Fenster)
    : QDialog(nullptr), m_programm(Programm), m_fenster(&Fenster), m_spalte(dynamic_cast<TSpaltenFenster*>(&Fenster))
{
    BaueForm();
    Fuelle();
}

// ---------------------------------------------------------------------------
// The form

QLineEdit* TOptionenFenster::NeuesEdit(const QString& Name)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(Name);
    return e;
}

void TOptionenFenster::BaueForm()
{
    setObjectName(QStringLiteral("OptionenFenster"));
    setWindowTitle(QStringLiteral("Optionen..."));
    // A small caption with a close box; display windows stay on top, the
    // dialog must not hide behind them.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    SetDialogBorder(this, TDialogBorder::ToolWindow);
    setFont(ToQFont(TFontDesc{}));

    // --- Program settings
    GroupBox1 = new QGroupBox(QStringLiteral("Globale Optionen"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label1 = NeuesLabel(GroupBox1, QStringLiteral("Label1"), QStringLiteral("Abfrageintervall:"));
    Interval = NeuesEdit(QStringLiteral("Interval"));
    Interval->setFixedWidth(70);
    Label3 = NeuesLabel(GroupBox1, QStringLiteral("Label3"), QStringLiteral("ms"));
    Label2 = NeuesLabel(GroupBox1, QStringLiteral("Label2"), QStringLiteral("Hintergrundbild:"));
    Bevel1 = new QFrame(GroupBox1);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Bevel1->setFixedSize(53, 45);
    HintergrundImage = new QLabel(Bevel1);
    HintergrundImage->setObjectName(QStringLiteral("HintergrundImage"));
    HintergrundImage->setGeometry(2, 2, 49, 41);
    HintergrundImage->setScaledContents(true);
    HintergrundImage->setCursor(Qt::PointingHandCursor);
    HintergrundImage->installEventFilter(this);
    Button1 = NeuerKnopf(this, QStringLiteral("Button1"), QStringLiteral("kein Bild"));
    Label15 = NeuesLabel(GroupBox1, QStringLiteral("Label15"), QStringLiteral("Rückspeicherungsintervall:"));
    ServerVerlaufTage = NeuesEdit(QStringLiteral("ServerVerlaufTage"));
    ServerVerlaufTage->setFixedWidth(44);
    ServerVerlauf = NeuesEdit(QStringLiteral("ServerVerlauf"));
    ServerVerlauf->setMaxLength(8);
    ServerVerlauf->setFixedWidth(64);
    Label16 = NeuesLabel(GroupBox1, QStringLiteral("Label16"), QStringLiteral("TT HH:MM:SS"));

    auto* g1 = new QGridLayout(GroupBox1);
    g1->addWidget(Label1, 0, 0);
    auto* intervall = new QHBoxLayout;
    intervall->addWidget(Interval);
    intervall->addWidget(Label3);
    intervall->addStretch();
    g1->addLayout(intervall, 0, 1, 1, 2);
    g1->addWidget(Label2, 1, 0);
    auto* bild = new QHBoxLayout;
    bild->addWidget(Bevel1);
    bild->addWidget(Button1, 0, Qt::AlignBottom);
    bild->addStretch();
    g1->addLayout(bild, 1, 1, 1, 2);
    g1->addWidget(Label15, 2, 0);
    auto* server = new QHBoxLayout;
    server->addWidget(ServerVerlaufTage);
    server->addWidget(ServerVerlauf);
    g1->addLayout(server, 2, 1, Qt::AlignLeft);
    g1->addWidget(Label16, 2, 2);
    g1->setColumnStretch(2, 1);

    // --- The window's settings
    GroupBox2 = new QGroupBox(QStringLiteral("Fensteroptionen"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    Label4 = NeuesLabel(GroupBox2, QStringLiteral("Label4"), QStringLiteral("Beschriftung:"));
    Beschriftung = NeuesEdit(QStringLiteral("Beschriftung"));
    Label5 = NeuesLabel(GroupBox2, QStringLiteral("Label5"), QStringLiteral("Einheit:"));
    Einheit = NeuesEdit(QStringLiteral("Einheit"));
    Label6 = NeuesLabel(GroupBox2, QStringLiteral("Label6"), QStringLiteral("Schrift:"));
    Schrift = new QFontComboBox(this);
    Schrift->setObjectName(QStringLiteral("Schrift"));
    Schrift->setInsertPolicy(QComboBox::NoInsert);
    Schrift->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Schrift->setMinimumContentsLength(18);
    auto farbBox = [this](const QString& name) {
        auto* box = new TColorComboBox(this);
        box->setObjectName(name);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(18);
        return box;
    };
    Label7 = NeuesLabel(GroupBox2, QStringLiteral("Label7"), QStringLiteral("Fensterfarbe:"));
    FensterFarbe = farbBox(QStringLiteral("FensterFarbe"));
    Label8 = NeuesLabel(GroupBox2, QStringLiteral("Label8"), QStringLiteral("Beschriftungfarbe:"));
    BeschrFarbe = farbBox(QStringLiteral("BeschrFarbe"));
    Label9 = NeuesLabel(GroupBox2, QStringLiteral("Label9"), QStringLiteral("Anzeigefarbe:"));
    AnzeigeFarbe = farbBox(QStringLiteral("AnzeigeFarbe"));
    Label10 = NeuesLabel(GroupBox2, QStringLiteral("Label10"), QStringLiteral("Anzeigehintergrundfarbe:"));
    LHFarbe = farbBox(QStringLiteral("LHFarbe"));
    Label14 = NeuesLabel(GroupBox2, QStringLiteral("Label14"), QStringLiteral("Rückspeicherungsintervall:"));
    VerlaufIntervallTage = NeuesEdit(QStringLiteral("VerlaufIntervallTage"));
    VerlaufIntervallTage->setFixedWidth(44);
    VerlaufIntervall = NeuesEdit(QStringLiteral("VerlaufIntervall"));
    VerlaufIntervall->setFixedWidth(64);
    Label17 = NeuesLabel(GroupBox2, QStringLiteral("Label17"), QStringLiteral("TT HH:MM:SS"));
    VerlaufLabel = NeuesLabel(GroupBox2, QStringLiteral("VerlaufLabel"), QString());

    auto* g2 = new QGridLayout(GroupBox2);
    const std::pair<QLabel*, QWidget*> zeilen[] = {
        {Label4, Beschriftung}, {Label5, Einheit},       {Label6, Schrift},  {Label7, FensterFarbe},
        {Label8, BeschrFarbe},  {Label9, AnzeigeFarbe}, {Label10, LHFarbe},
    };
    int zeile = 0;
    for (const auto& [label, feld] : zeilen) {
        g2->addWidget(label, zeile, 0);
        g2->addWidget(feld, zeile, 1, 1, 2);
        ++zeile;
    }
    g2->addWidget(Label14, zeile, 0);
    auto* verlauf = new QHBoxLayout;
    verlauf->addWidget(VerlaufIntervallTage);
    verlauf->addWidget(VerlaufIntervall);
    g2->addLayout(verlauf, zeile, 1, Qt::AlignLeft);
    g2->addWidget(Label17, zeile, 2);
    g2->addWidget(VerlaufLabel, ++zeile, 0, 1, 3);
    g2->setColumnStretch(2, 1);

    // --- Ranges
    GroupBox3 = new QGroupBox(QStringLiteral("Bereiche"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    BereicheList = new QListWidget(this);
    BereicheList->setObjectName(QStringLiteral("BereicheList"));
    BereicheList->setSelectionMode(QAbstractItemView::SingleSelection);
    BereicheList->setMinimumHeight(150);
    Label11 = NeuesLabel(GroupBox3, QStringLiteral("Label11"), QStringLiteral("von:"));
    VonEdit = NeuesEdit(QStringLiteral("VonEdit"));
    Label12 = NeuesLabel(GroupBox3, QStringLiteral("Label12"), QStringLiteral("bis:"));
    BisEdit = NeuesEdit(QStringLiteral("BisEdit"));
    Label13 = NeuesLabel(GroupBox3, QStringLiteral("Label13"), QStringLiteral("Farbe:"));
    BereichFarbe = farbBox(QStringLiteral("BereichFarbe"));
    Button2 = NeuerKnopf(this, QStringLiteral("Button2"), QStringLiteral("Bereich hinzu..."));
    Button3 = NeuerKnopf(this, QStringLiteral("Button3"), QStringLiteral("Bereich löschen"));
    Button4 = NeuerKnopf(this, QStringLiteral("Button4"), QStringLiteral("Bereich ändern"));

    auto* g3 = new QGridLayout(GroupBox3);
    g3->addWidget(BereicheList, 0, 0, 4, 4);
    g3->addWidget(Button2, 0, 4);
    g3->addWidget(Button3, 1, 4);
    g3->addWidget(Button4, 2, 4);
    g3->setRowStretch(3, 1);
    g3->addWidget(Label11, 4, 0);
    g3->addWidget(VonEdit, 4, 1);
    g3->addWidget(Label12, 4, 2);
    g3->addWidget(BisEdit, 4, 3);
    g3->addWidget(Label13, 5, 0);
    g3->addWidget(BereichFarbe, 5, 1, 1, 3);

    Button5 = NeuerKnopf(this, QStringLiteral("Button5"), QStringLiteral("OK"));
    Button6 = NeuerKnopf(this, QStringLiteral("Button6"), QStringLiteral("Abbrechen"));
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(Button5);
    knoepfe->addWidget(Button6);

    auto* links = new QVBoxLayout;
    links->addWidget(GroupBox1);
    links->addWidget(GroupBox2);
    links->addStretch();
    auto* rechts = new QVBoxLayout;
    rechts->addWidget(GroupBox3, 1);
    rechts->addLayout(knoepfe);
    auto* form = new QHBoxLayout(this);
    form->addLayout(links);
    form->addLayout(rechts);
    // Not resizable.
    form->setSizeConstraint(QLayout::SetFixedSize);

    const QWidget* reihenfolge[] = {Interval,    Button1,      ServerVerlaufTage, ServerVerlauf, Beschriftung,
                                    Einheit,     Schrift,      FensterFarbe,      BeschrFarbe,   AnzeigeFarbe,
                                    LHFarbe,     VerlaufIntervallTage, VerlaufIntervall, BereicheList, VonEdit,
                                    BisEdit,     BereichFarbe, Button2,           Button3,       Button4,
                                    Button5,     Button6};
    for (size_t i = 1; i < std::size(reihenfolge); ++i)
        setTabOrder(const_cast<QWidget*>(reihenfolge[i - 1]), const_cast<QWidget*>(reihenfolge[i]));

    for (QLineEdit* e : {Interval, ServerVerlaufTage, VerlaufIntervallTage, VonEdit, BisEdit})
        e->installEventFilter(this);
    for (QPushButton* b : {Button1, Button2, Button3, Button4, Button5, Button6})
        b->installEventFilter(this);

    auto klick = [this](QPushButton* knopf, void (TOptionenFenster::*handler)()) {
        connect(knopf, &QPushButton::clicked, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
    };
    klick(Button1, &TOptionenFenster::Button1Click);
    klick(Button2, &TOptionenFenster::Button2Click);
    klick(Button3, &TOptionenFenster::Button3Click);
    klick(Button4, &TOptionenFenster::Button4Click);
    klick(Button5, &TOptionenFenster::Button5Click);
    klick(Button6, &TOptionenFenster::Button6Click);

    // A line chosen by keys or by the mouse fills the edits, and so does a
    // click on the line already chosen.
    BereicheList->viewport()->installEventFilter(this);
    connect(BereicheList, &QListWidget::itemSelectionChanged, this, [this] {
        m_auswahlGewechselt = true;
        Guarded([this] { BereicheListClick(); });
    });
    connect(BereicheList, &QListWidget::itemPressed, this, [this] {
        if (!m_auswahlGewechselt)
            Guarded([this] { BereicheListClick(); });
    });

    adjustSize();
    move((Screen().Width() - width()) / 2, (Screen().Height() - height()) / 2);
    Interval->setFocus();
}

bool TOptionenFenster::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == HintergrundImage) {
        if (event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            Guarded([this] { HintergrundImageClick(); });
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (watched == BereicheList->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            m_auswahlGewechselt = false;
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* taste = static_cast<QKeyEvent*>(event);
    // Not being the default, a button still takes Return while it has the
    // focus, as on the desktop.
    if (auto* knopf = qobject_cast<QPushButton*>(watched)) {
        if (taste->key() != Qt::Key_Return && taste->key() != Qt::Key_Enter)
            return QDialog::eventFilter(watched, event);
        knopf->click();
        return true;
    }
    // Escape is the dialog's; Delete and the cursor keys type nothing.
    const QString text = taste->text();
    if (taste->key() == Qt::Key_Escape || text.isEmpty() || text == QStringLiteral("\x7f"))
        return false;
    const bool zahl = watched == Interval || watched == ServerVerlaufTage || watched == VerlaufIntervallTage;
    for (QChar c : text) {
        QChar key = c;
        if (zahl)
            IntervalKeyPress(key);
        else
            VonEditKeyPress(key);
        if (key.isNull())
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Filling

void TOptionenFenster::Fuelle()
{
    TGrundFenster& f = *m_fenster;
    Interval->setText(IntToStr(m_programm.Interval()));
    try {
        SetzeHintergrundbild(m_programm.HintergrundBild());
    } catch (const std::exception&) {
        // The main window said so when it loaded the picture; the preview
        // stays blank and the name is kept.
        HintergrundImage->setPixmap(LeeresBild());
    }
    QString tage, zeit;
    SpanneInTexte(m_programm.HalteDauer(), tage, zeit);
    ServerVerlaufTage->setText(tage);
    ServerVerlauf->setText(zeit);

    m_art = FensterArt(f.FensterID());
    if (!m_spalte && !m_art.Uhr)
        m_art = FensterArt(-2);
    else if (m_spalte && m_art.Uhr)
        m_art = FensterArt(1);

    if (m_spalte) {
        Beschriftung->setText(m_spalte->Beschriftung);
        if (m_art.MitEinheit)
            Einheit->setText(m_spalte->Einheit);
    }
    Beschriftung->setEnabled(m_spalte && m_art.BeschriftungAenderbar);
    Einheit->setEnabled(m_spalte && m_art.MitEinheit);

    Schrift->setCurrentFont(QFont(ResolveFontFamily(f.Schrift)));
    Schrift->setEditText(f.Schrift);
    BeschrFarbe->SetColorValue(f.SchriftFarbeBesch);
    FensterFarbe->SetColorValue(f.Color());
    AnzeigeFarbe->SetColorValue(f.SchriftFarbeWerte);
    LHFarbe->SetColorValue(f.LHFarbe);
    LHFarbe->setEnabled(m_art.LHFarbeAenderbar);

    const auto spanne = m_spalte ? m_spalte->SpannenArt() : TSpaltenFenster::TSpannenArt::Keine;
    if (spanne == TSpaltenFenster::TSpannenArt::Tage)
        SpanneInTexte(m_spalte->Spanne(), tage, zeit);
    else if (spanne == TSpaltenFenster::TSpannenArt::Stunden)
        StundenInTexte(m_spalte->Spanne(), tage, zeit);
    if (spanne != TSpaltenFenster::TSpannenArt::Keine) {
        VerlaufIntervallTage->setText(tage);
        VerlaufIntervall->setText(zeit);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Label14, VerlaufIntervallTage, VerlaufIntervall})
        w->setEnabled(spanne != TSpaltenFenster::TSpannenArt::Keine);

    if (m_spalte && f.Bereiche)
        for (int i = 0; i < f.Bereiche->Count(); ++i)
            BereicheList->addItem(BereichZeile(f.Bereiche->GetBereich(i)));
    GroupBox3->setEnabled(m_art.BereicheAenderbar);

    FensterTyp = f.FensterID();
}

// ---------------------------------------------------------------------------
// Picture

void TOptionenFenster::SetzeHintergrundbild(const QString& Datei)
{
    HintergrundDatei = Datei;
    if (Datei.isEmpty() || !QFileInfo(Datei).isFile()) {
        HintergrundDatei.clear();
        HintergrundImage->setPixmap(LeeresBild());
        return;
    }
    HintergrundImage->setPixmap(QPixmap::fromImage(LadeBild(Datei)));
}

void TOptionenFenster::HintergrundImageClick()
{
    QString datei;
    if (ChooseOpenFile(QStringLiteral("Hintergrundbild wählen..."), kBildFilter, QString(), datei))
        SetzeHintergrundbild(datei);
}

void TOptionenFenster::Button1Click()
{
    SetzeHintergrundbild(QString());
}

// ---------------------------------------------------------------------------
// Keys

void TOptionenFenster::IntervalKeyPress(QChar& Key)
{
    if (Key != u'\b' && Key != u'\t' && !(Key >= u'0' && Key <= u'9'))
        Key = QChar();
}

void TOptionenFenster::VonEditKeyPress(QChar& Key)
{
    if (Key != u'\b' && Key != u'\t' && Key != u',' && Key != u'-' && !(Key >= u'0' && Key <= u'9'))
        Key = QChar();
}

// ---------------------------------------------------------------------------
// The range list

QStringList TOptionenFenster::BereichZeilen() const
{
    QStringList zeilen;
    for (int i = 0; i < BereicheList->count(); ++i)
        zeilen << BereicheList->item(i)->text();
    return zeilen;
}

int TOptionenFenster::GewaehlteZeile() const
{
    const QListWidgetItem* item = BereicheList->currentItem();
    return item && item->isSelected() ? BereicheList->row(item) : -1;
}

void TOptionenFenster::BereicheListClick()
{
    const int zeile = GewaehlteZeile();
    if (zeile < 0)
        return;
    const TBereichFelder f = TeileBereichZeile(BereicheList->item(zeile)->text());
    VonEdit->setText(f.Von);
    BisEdit->setText(f.Bis);
    BereichFarbe->SetColorValue(StrToInt(f.Farbe));
}

// More ranges than a window reads from its section would be lost at the next start.
void TOptionenFenster::PruefePlatzFuerBereich() const
{
    if (BereicheList->count() >= MaxBereiche)
        throw EListError(Format(QStringLiteral("Mehr als %d Bereiche sind nicht möglich!"), {MaxBereiche}));
}

void TOptionenFenster::Button2Click()
{
    PruefePlatzFuerBereich();
    BereicheList->addItem(BereichZeile(VonEdit->text(), BisEdit->text(), BereichFarbe->ColorValue()));
}

void TOptionenFenster::Button3Click()
{
    const int zeile = GewaehlteZeile();
    if (zeile < 0)
        return;
    // The list would choose a neighbour, and that would fill the edits.
    const QSignalBlocker still(BereicheList);
    delete BereicheList->takeItem(zeile);
    BereicheList->clearSelection();
    BereicheList->setCurrentItem(nullptr);
}

void TOptionenFenster::Button4Click()
{
    const QString text = BereichZeile(VonEdit->text(), BisEdit->text(), BereichFarbe->ColorValue());
    const int zeile = GewaehlteZeile();
    if (zeile < 0) {
        PruefePlatzFuerBereich();
        BereicheList->addItem(text);
    } else
        BereicheList->item(zeile)->setText(text);
}

// ---------------------------------------------------------------------------
// Applying

QString TOptionenFenster::SchriftName() const
{
    return Schrift->currentText();
}

// The program settings first, then the window's, its gauge's ranges and last
// its own ranges; then the dialog closes. Nothing is written to a file.
void TOptionenFenster::Button5Click()
{
    m_programm.SetInterval(StrToInt(Interval->text()));
    m_programm.SetHalteDauer(SpanneAusTexten(ServerVerlaufTage->text(), ServerVerlauf->text()));
    m_programm.SetHintergrund(HintergrundDatei);
    if (m_fenster) {
        if (m_spalte)
            WendeAufFensterAn();
        else
            WendeAufUhrAn();
    }
    accept();
}

void TOptionenFenster::WendeAufFensterAn()
{
    TSpaltenFenster& f = *m_spalte;
    f.SetBeschriftung(Beschriftung->text());
    if (m_art.MitEinheit)
        f.SetEinheit(Einheit->text());
    f.SetSchrift(SchriftName());
    f.SetColor(FensterFarbe->ColorValue());
    f.NachFensterFarbe();
    f.SetSchriftFarbeBesch(BeschrFarbe->ColorValue());
    f.SetSchriftFarbeWerte(AnzeigeFarbe->ColorValue());
    f.SetLHFarbe(LHFarbe->ColorValue());
    switch (f.SpannenArt()) {
    case TSpaltenFenster::TSpannenArt::Tage:
        f.SetSpanne(SpanneAusTexten(VerlaufIntervallTage->text(), VerlaufIntervall->text()));
        break;
    case TSpaltenFenster::TSpannenArt::Stunden:
        f.SetSpanne(StundenAusTexten(VerlaufIntervallTage->text(), VerlaufIntervall->text()));
        break;
    case TSpaltenFenster::TSpannenArt::Keine:
        break;
    }
    const QStringList zeilen = BereichZeilen();
    if (TRanges* instrument = f.InstrumentBereiche()) {
        FuelleBereiche(*instrument, zeilen);
        f.ZeichneInstrument();
    }
    if (!f.Bereiche)
        f.Bereiche = std::make_unique<TRanges>();
    FuelleBereiche(*f.Bereiche, zeilen);
}

void TOptionenFenster::WendeAufUhrAn()
{
    TGrundFenster& f = *m_fenster;
    f.SetSchrift(SchriftName());
    f.SetColor(FensterFarbe->ColorValue());
    f.SetSchriftFarbeBesch(BeschrFarbe->ColorValue());
    f.SetSchriftFarbeWerte(AnzeigeFarbe->ColorValue());
    f.SetLHFarbe(LHFarbe->ColorValue());
    if (f.Bereiche)
        f.Bereiche->Clear();
}

void TOptionenFenster::Button6Click()
{
    reject();
}
