// crash_driver: changes a log over and over while crash_test.sh kills it, and checks what is left.
//
//   crash_driver LOG make COUNT              a fresh log of COUNT contacts in date order
//   crash_driver LOG OPERATION SEED COUNT    COUNT random changes of one kind, journalled
//   crash_driver LOG check INITIAL           the log against INITIAL and the journal
//   crash_driver LOG intrude                 a second process opening the log: refused?
//   crash_driver LOG replace_with SOURCE     the log replaced whole, as an ADIF import does
//
// OPERATION is append, insert, delete, replace, qsl, delete_many or merge.

#include "harness.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    using namespace kestrel::crash;
    const std::string command = argc > 2 ? argv[2] : "";
    if (argc == 4 && command == "make") return make_log(argv[1], std::atoi(argv[3]));
    if (argc == 4 && command == "check") return check_log(argv[1], argv[3]);
    if (argc == 3 && command == "intrude") return intrude(argv[1]);
    if (argc == 4 && command == "replace_with") return replace_with(argv[1], argv[3]);
    if (argc == 5) {
        return run_driver(argv[1], command, static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)),
                          std::atoi(argv[4]));
    }
    std::fprintf(stderr,
                 "usage: %s LOG make COUNT\n"
                 "       %s LOG OPERATION SEED COUNT\n"
                 "       %s LOG check INITIAL\n"
                 "       %s LOG intrude\n"
                 "       %s LOG replace_with SOURCE\n",
                 argv[0], argv[0], argv[0], argv[0], argv[0]);
    return 2;
}
