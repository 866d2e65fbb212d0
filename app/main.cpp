// SPDX-License-Identifier: GPL-3.0-or-later
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CCorvexApp.h"
#include "app/CommandLine.h"

int main(int argc, char** argv) {
    using namespace lumbra;
    // Under a file size limit a write then fails with EFBIG, like on a full
    // disk, instead of ending the program in the middle of a rewrite.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> arguments(argv, argv + argc);
    std::string error;
    const auto options = ParseCommandLine(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "lumbra: %s\n%s", error.c_str(), std::string(kUsage).c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(std::string(kUsage).c_str(), stdout);
        return 0;
    }
    if (options->version) {
        std::puts("lumbra " LUMBRA_VERSION);
        return 0;
    }
    CCorvexApp app(*options);
    return app.InitInstance(argc, argv);
}
