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
std::optional<std::string> ChooseFileToSave(HostWindow* parent, const std::string& title,
                                            const std::string& filter,
                                            const std::string& suggestedPath = {});

}  // namespace lumbra
