// Linked into every test program: whatever a test host meets that the test did not plan for
// (a message with no answer queued, a window with no script, a control a window does not have)
// fails the running test where it happens.

#include "ui/test_host.hpp"

#include <gtest/gtest.h>

namespace {

void fail_the_test(const std::string& what) {
    ADD_FAILURE() << "test host: " << what;
}

const bool g_installed = [] {
    kestrel::ui::TestHost::set_surprise_handler(&fail_the_test);
    return true;
}();

} // namespace
