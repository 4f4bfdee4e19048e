#pragma once

class QObject;
class QWidget;

// What a form's border and its place on the desktop tell the window manager.

// The class library's two dialog borders: a caption with a close box and no
// minimise or maximise button; the tool window's caption is small. Keeps
// the form's stay-on-top flag. Resizing is the caller's to forbid, with a
// fixed size: a window manager that offers "maximise" to any resizable
// window then offers it no more.
enum class TDialogBorder { Dialog, ToolWindow };
void SetDialogBorder(QWidget* form, TDialogBorder border);

// A top-level window that belongs to the program rather than being a window
// of its own: no entry in the taskbar, the Alt+Tab list or the pager. Call
// it whenever the window is shown (from its showEvent): a window manager
// forgets the marks when a window is hidden. Only X11 has such marks;
// elsewhere it does nothing.
void SkipTaskbar(QWidget* window);

// Some window managers offer "minimise" on every dialog, whatever it asks
// for. A modal dialog minimised would still hold every other window of the
// program, which could then not even be ended: it comes back at once,
// restored and raised. Installed once, on the application.
void KeepModalDialogsShown(QObject* application);
