// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace lumbra {

class HostWindow;

// The file-open and file-save dialogs. filter uses the form
// "Profile Files (*.psf)"; nullopt when the user cancels. The open dialog
// starts with prefilledName in its name box when one is given.
std::optional<std::string> ChooseFileToOpen(HostWindow* parent, const std::string& title,
                                            const std::string& filter,
                                            const std::string& directory = {},
                                            const std::string& prefilledName = {});
// A file-open dialog for a program to start. Its first filter, "Programs",
// shows folders and the files the user may execute (programs on Linux carry
// no extension to filter by); the second shows every file.
std::optional<std::string> ChooseProgramToOpen(HostWindow* parent, const std::string& title,
                                               const std::string& directory = {});
// The save dialog adds defaultSuffix (without its dot) to a name typed
// without one before it checks the name, so that it asks before replacing
// the file that will really be written.
std::optional<std::string> ChooseFileToSave(HostWindow* parent, const std::string& title,
                                            const std::string& filter,
                                            const std::string& suggestedPath = {},
                                            const std::string& defaultSuffix = {});

}  // namespace lumbra
