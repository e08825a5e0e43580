// Kestrel: a station logbook for the amateur-radio operator.

#include "platform/posix/posix_devices.hpp"
#include "platform/posix/process.hpp"
#include "platform/qt/qt_host.hpp"
#include "shell/application.hpp"
#include "shell/command_line.hpp"
#include "shell/data_home.hpp"
#include "shell/startup.hpp"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;
using kestrel::shell::CommandAction;

// Where the files that come with the program are: beside an installed executable (bin/ and
// share/kestrel/ under one prefix), else in the source tree the program was built from.
std::vector<fs::path> shipped_data_dirs() {
    const fs::path exe_dir = QCoreApplication::applicationDirPath().toStdString();
    return {(exe_dir / KESTREL_DATA_FROM_BIN).lexically_normal(), fs::path(KESTREL_SOURCE_DATA_DIR)};
}

QString local_text(const std::string& text) {
    return QString::fromLocal8Bit(text.c_str());
}

// A failure before the main window: told on the terminal and, for a start from the desktop's
// menu, in a box.
void tell(QMessageBox::Icon icon, const std::string& text) {
    std::fprintf(stderr, "kestrel: %s\n", text.c_str());
    QMessageBox box(icon, QStringLiteral("Kestrel"), local_text(text));
    box.exec();
}

// Finds the data directory, makes and fills it if need be, and makes it the current directory,
// where the program keeps every file. False when there is none to work in.
[[nodiscard]] bool enter_data_home(const std::optional<std::string>& option) {
    kestrel::shell::DataHomeChoice choice =
        kestrel::shell::choose_data_home(option, std::getenv("KESTREL_HOME"), std::getenv("HOME"));
    if (!choice.problem.empty()) {
        tell(QMessageBox::Critical, choice.problem);
        return false;
    }
    kestrel::shell::DataHomeReady ready = kestrel::shell::prepare_data_home(choice.dir, shipped_data_dirs());
    if (!ready.problem.empty()) {
        tell(QMessageBox::Critical, ready.problem);
        return false;
    }
    if (ready.created) std::fprintf(stderr, "kestrel: made the data directory %s\n", choice.dir.c_str());
    if (!ready.source && ready.created)
        std::fprintf(stderr, "kestrel: the files that come with Kestrel were not found (looked in %s)\n",
                     shipped_data_dirs().front().c_str());
    if (!ready.not_copied.empty()) {
        std::string list;
        for (const std::string& file : ready.not_copied)
            list += "\n" + file;
        tell(QMessageBox::Warning,
             "These files that come with Kestrel could not be put in " + choice.dir.string() + ":" + list);
    }
    std::error_code ec;
    fs::current_path(choice.dir, ec);
    if (ec) {
        tell(QMessageBox::Critical, "Kestrel cannot work in " + choice.dir.string() + ": " + ec.message());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv, argv + argc);
    const kestrel::shell::CommandLine line = kestrel::shell::parse_command_line(args);
    switch (line.action) {
    case CommandAction::help: std::fputs(kestrel::shell::help_text().c_str(), stdout); return 0;
    case CommandAction::version: std::puts("Kestrel " KESTREL_VERSION); return 0;
    case CommandAction::error: std::fprintf(stderr, "kestrel: %s\n", line.error.c_str()); return 2;
    case CommandAction::run: break;
    }

    kestrel::platform::posix::keep_running_on_write_limits();
    // Qt keeps pointers to these for the life of the application, and takes out what it knows.
    std::vector<std::string> qt_args = line.passed_on;
    std::vector<char*> qt_argv;
    for (std::string& arg : qt_args)
        qt_argv.push_back(arg.data());
    qt_argv.push_back(nullptr);
    int qt_argc = static_cast<int>(qt_args.size());
    QApplication qt(qt_argc, qt_argv.data());
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setApplicationVersion(QStringLiteral(KESTREL_VERSION));
    // Ties the windows to the menu entry, for the desktop's icon and task list.
    QGuiApplication::setDesktopFileName(QStringLiteral(KESTREL_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false);
    if (qt_argc > 1) {
        std::fprintf(stderr, "kestrel: unknown argument %s (kestrel --help lists the options)\n", qt_argv[1]);
        return 2;
    }
    if (!enter_data_home(line.home)) return 1;

    kestrel::platform::QtHost host;
    kestrel::shell::Application app;
    app.devices = std::make_unique<kestrel::platform::posix::PosixDevices>();
    kestrel::shell::run_program(app, host);
    return 0;
}
