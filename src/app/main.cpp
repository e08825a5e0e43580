// Kestrel: a station logbook for the amateur-radio operator.

#include "platform/qt/qt_host.hpp"
#include "shell/application.hpp"
#include "shell/startup.hpp"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setQuitOnLastWindowClosed(false);

    kestrel::platform::QtHost host;
    kestrel::shell::Application app;
    kestrel::shell::run_program(app, host);
    return 0;
}
