#include <QApplication>

#include "app/main_window.h"
#include "app/qt_prompts.h"

int main(int argc, char* argv[]) {
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
