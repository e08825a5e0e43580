// make_log: writes a log of made-up contacts in date order, for trying the program out and for
// timing it on big logs.
//
//   make_log FILE COUNT [SEED]

#include "sample_log.hpp"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FILE COUNT [SEED]\n", argv[0]);
        return 2;
    }
    kestrel::tools::SampleLog log;
    log.count = static_cast<int>(std::strtol(argv[2], nullptr, 10));
    if (argc > 3) log.seed = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
    if (!kestrel::tools::write_sample_log(argv[1], log)) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
