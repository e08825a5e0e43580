#pragma once

#include <QApplication>

namespace kestrel::platform::testing {

// The one QApplication of a test program, made on first use.
inline QApplication& qt_app() {
    static int argc = 1;
    static char name[] = "kestrel_qt_test";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

} // namespace kestrel::platform::testing
