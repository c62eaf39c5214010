#include <QApplication>
#include <csignal>

#include "app/main_window.h"
#include "app/qt_prompts.h"

int main(int argc, char* argv[]) {
    // A file size limit must fail a write (and so a save, which then keeps the old
    // file) rather than end the program with the unsaved text.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvane"));
    // Lets the desktop match the window to its menu entry (the Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorvane.Quorvane"));

    quorvane::QtPrompts prompts;
    quorvane::TForm1 window(prompts);
    prompts.SetParentWidget(&window);
    window.show();
    return QApplication::exec();
}
