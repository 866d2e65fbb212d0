// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "macro/MacroHook.h"

namespace lumbra::test {

// A keyboard hook that only notes what it was asked to do.
class FakeHook : public MacroHook {
public:
    void Start(HostWindow* window) override {
        log.push_back("start");
        target = window;
    }
    void Stop() override { log.push_back("stop"); }

    std::vector<std::string> log;
    HostWindow* target = nullptr;
};

}  // namespace lumbra::test
