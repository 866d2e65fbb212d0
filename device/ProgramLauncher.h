// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace lumbra {

// Opens what a quick-launch G key names.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;

    // Fire and forget: a failure is not reported.
    virtual void Open(const std::string& path) = 0;
};

// A regular executable file is started detached in a session of its own,
// without a shell and without arguments; anything else goes to `xdg-open`,
// also without a shell (a path beginning with '-' made absolute, so it is not
// taken for an option). The program gets only the standard descriptors, every
// signal at its default and an empty signal mask. A detached thread reaps the
// child, so neither the caller waits nor a zombie stays behind.
class SpawnProgramLauncher final : public ProgramLauncher {
public:
    void Open(const std::string& path) override;
};

}  // namespace lumbra
