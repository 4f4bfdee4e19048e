#include "WindowHints.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#ifdef VANTOREL_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#endif

void SetDialogBorder(QWidget* form, TDialogBorder border)
{
    if (!form)
        return;
    Qt::WindowFlags flags = (border == TDialogBorder::ToolWindow ? Qt::Tool : Qt::Dialog) | Qt::CustomizeWindowHint
                            | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (form->windowFlags() & Qt::WindowStaysOnTopHint)
        flags |= Qt::WindowStaysOnTopHint;
    form->setWindowFlags(flags);
}

#ifdef VANTOREL_XCB
namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template<class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t* x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    const Reply<xcb_intern_atom_reply_t> r(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace
#endif

void SkipTaskbar(QWidget* window)
{
#ifdef VANTOREL_XCB
    if (!window || !window->isWindow())
        return;
    xcb_connection_t* c = x11Connection();
    if (!c)
        return;
    const auto w = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t state = internAtom(c, "_NET_WM_STATE");
    const xcb_atom_t marks[] = {internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR"), internAtom(c, "_NET_WM_STATE_SKIP_PAGER")};
    if (state == XCB_ATOM_NONE || marks[0] == XCB_ATOM_NONE || marks[1] == XCB_ATOM_NONE)
        return;

    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr));
    if (!attributes)
        return;
    if (attributes->map_state == XCB_MAP_STATE_UNMAPPED) {
        // Before it is mapped the window keeps its state itself; Qt adds its
        // own marks to what it finds there when it maps the window.
        std::vector<xcb_atom_t> atoms;
        const Reply<xcb_get_property_reply_t> old(
            xcb_get_property_reply(c, xcb_get_property(c, 0, w, state, XCB_ATOM_ATOM, 0, 1024), nullptr));
        if (old && old->format == 32 && old->type == XCB_ATOM_ATOM) {
            const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(old.get()));
            atoms.assign(data, data + xcb_get_property_value_length(old.get()) / sizeof(xcb_atom_t));
        }
        for (xcb_atom_t a : marks)
            if (std::find(atoms.begin(), atoms.end(), a) == atoms.end())
                atoms.push_back(a);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, state, XCB_ATOM_ATOM, 32, static_cast<uint32_t>(atoms.size()),
                            atoms.data());
    } else {
        // A mapped window's state is the window manager's: it is asked.
        const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr));
        if (!tree)
            return;
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = w;
        event.type = state;
        event.data.data32[0] = 1;   // add
        event.data.data32[1] = marks[0];
        event.data.data32[2] = marks[1];
        event.data.data32[3] = 1;   // from an application
        xcb_send_event(c, 0, tree->root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(c);
#else
    (void)window;
#endif
}

namespace {

class ModalDialogKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::WindowStateChange || !watched->isWidgetType())
            return false;
        auto* window = static_cast<QWidget*>(watched);
        if (!window->isWindow() || !window->isModal() || !window->isMinimized())
            return false;
        // After the window manager is done with the change it reports.
        QTimer::singleShot(0, window, [w = QPointer<QWidget>(window)] {
            if (!w || !w->isVisible() || !w->isMinimized())
                return;
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
            w->show();
            w->raise();
            w->activateWindow();
        });
        return false;
    }
};

} // namespace

void KeepModalDialogsShown(QObject* application)
{
    static QPointer<QObject> keeper;
    if (application && !keeper) {
        keeper = new ModalDialogKeeper(application);
        application->installEventFilter(keeper);
    }
}
