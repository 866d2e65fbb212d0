#pragma once

#include <optional>
#include <string>

namespace lumbra {

class HostWindow;

// The system's file-open and file-save dialogs. filter uses the form
// "Profile Files (*.psf)"; nullopt when the user cancels.
std::optional<std::string> ChooseFileToOpen(HostWindow* parent, const std::string& title,
                                            const std::string& filter,
                                            const std::string& directory = {});
// A file-open dialog for a program to start. Its first filter, "Programs",
// shows folders and the files the user may execute (programs on Linux carry
// no extension to filter by); the second shows every file.
std::optional<std::string> ChooseProgramToOpen(HostWindow* parent, const std::string& title,
                                               const std::string& directory = {});
std::optional<std::string> ChooseFileToSave(HostWindow* parent, const std::string& title,
                                            const std::string& filter,
                                            const std::string& suggestedPath = {});

}  // namespace lumbra
