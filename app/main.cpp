// Until the main window exists, lumbra loads (and on first run creates) its
// configuration and says what it found.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "macro/MacroLibrary.h"
#include "model/KeyboardModel.h"
#include "storage/AppDirectory.h"
#include "storage/MacroFiles.h"
#include "storage/ProfileFile.h"
#include "storage/SettingsFile.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: lumbra [--config-dir DIR] [--help] [--version]\n"
    "  --config-dir DIR  keep the config/ folder in DIR (also LUMBRA_HOME)\n";

}  // namespace

int main(int argc, char** argv) {
    std::optional<std::string> configDir;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsage.data(), stdout);
            return 0;
        }
        if (arg == "--version") {
            std::puts("lumbra " LUMBRA_VERSION);
            return 0;
        }
        if (arg == "--config-dir" && i + 1 < argc) {
            configDir = argv[++i];
        } else if (arg.starts_with("--config-dir=")) {
            configDir = std::string(arg.substr(13));
        } else {
            std::fprintf(stderr, "lumbra: unknown option '%s'\n%s", argv[i], kUsage.data());
            return 2;
        }
    }

    using namespace lumbra;
    const std::string appDir = ResolveAppDirectory(AppDirectoryInputsFromEnvironment(configDir));
    MacroLibrary& library = TheMacroLibrary();
    KeyboardModel& model = TheKeyboardModel();
    LoadMacroLibraryOrDefault(library, appDir);
    ReadSettingsFile(model.settings, appDir);
    for (int slot = 0; slot < kProfileSlotCount; ++slot) ReadProfileFile(model, slot);

    std::printf("Lumbra %s\nConfiguration: %sconfig/\n", LUMBRA_VERSION, appDir.c_str());
    std::printf("Current profile: %s\n", model.Current().PairValue(0).c_str());
    const MacroSet* first = library.SetAt(0);
    std::printf("Macro sets: %u, macros in the first set: %u\n", library.MacroSetNum(),
                first ? first->MacroKeyNum() : 0u);
    std::puts("The window is not built yet: this release only reads and writes the files.");
    return 0;
}
