#include "TestSupport.h"
#include "WindowHints.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QWindow>

namespace {

// Whether the widget was told it is minimised; the platform tells it from
// the event loop, after the request.
class MinimiertGemeldet : public QObject {
public:
    explicit MinimiertGemeldet(QWidget* w) : m_w(w) { w->installEventFilter(this); }
    bool gemeldet = false;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == m_w && e->type() == QEvent::WindowStateChange && m_w->isMinimized())
            gemeldet = true;
        return false;
    }

private:
    QWidget* m_w;
};

} // namespace

// A modal dialog that the window manager minimises comes back at once; a
// window the program minimises itself (the main window while it hands over
// to a new instance), or a dialog that blocks nothing, stays minimised.
TEST(WindowHints, OnlyAMinimisedModalDialogComesBack)
{
    KeepModalDialogsShown(qApp);
    QWidget hauptfenster;
    hauptfenster.show();
    QDialog nebenbei;
    nebenbei.show();
    QDialog modal;
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();
    const MinimiertGemeldet modalMinimiert(&modal);
    const MinimiertGemeldet nebenbeiMinimiert(&nebenbei);

    hauptfenster.showMinimized();
    // Through the platform window, as the window manager's button does.
    nebenbei.windowHandle()->showMinimized();
    modal.windowHandle()->showMinimized();
    ASSERT_TRUE(pumpUntil([&] { return modalMinimiert.gemeldet && !modal.isMinimized(); }));
    EXPECT_TRUE(modal.isVisible());

    // Their state changes came before the modal dialog's: a keeper for
    // them has run by now.
    EXPECT_TRUE(nebenbeiMinimiert.gemeldet);
    EXPECT_TRUE(nebenbei.isMinimized());
    EXPECT_TRUE(hauptfenster.isMinimized());
}
