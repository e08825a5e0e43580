// Kestrel: a station logbook for the amateur-radio operator.

#include "platform/posix/posix_devices.hpp"
#include "platform/posix/process.hpp"
#include "platform/qt/qt_host.hpp"
#include "shell/application.hpp"
#include "shell/startup.hpp"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    kestrel::platform::posix::keep_running_on_write_limits();
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setQuitOnLastWindowClosed(false);

    kestrel::platform::QtHost host;
    kestrel::shell::Application app;
    app.devices = std::make_unique<kestrel::platform::posix::PosixDevices>();
    kestrel::shell::run_program(app, host);
    return 0;
}
