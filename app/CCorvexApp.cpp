// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CCorvexApp.h"

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/CCorvexDlg.h"
#include "app/KeyboardBus.h"
#include "app/MainWindowLayout.h"
#include "app/PlatformTrayHost.h"
#include "base/UiDispatcher.h"
#include "device/HidApiBackend.h"
#include "device/UdevHotPlugMonitor.h"
#include "model/KeyboardProfile.h"
#include "model/SettingsStore.h"
#include "platform/Application.h"
#include "platform/BusService.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"
#include "platform/Resources.h"
#include "platform/SignalWatcher.h"
#include "platform/TrayIcon.h"
#include "sim/SimOptions.h"
#include "sim/SimSession.h"
#include "skin/SkinResources.h"
#include "storage/AppDirectory.h"
#include "storage/MacroFiles.h"
#include "storage/SettingsFile.h"
#include "storage/TextFile.h"

namespace lumbra {

namespace {

// With LUMBRA_STARTUP_PROBE=FILE the program writes the monotonic clock's
// time of its first painted frame (in nanoseconds) into FILE, for the
// start-up benchmark; with --hidden, the time the tray icon (or the
// minimised window) is in place.
void WriteStartupProbe() {
    const char* path = std::getenv("LUMBRA_STARTUP_PROBE");
    if (!path || !*path) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (FILE* f = std::fopen(path, "we")) {
        std::fprintf(f, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fclose(f);
    }
}

// The pictures of the first frame decode on another thread while the window
// is built: the window's icon (asked for first), the background, the
// characters of the profile line, the key caps' atlas, then the other
// controls always shown and those of the first page.
void PrefetchFirstFrame() {
    std::vector<std::pair<ResourceKind, int>> pictures = {
        {ResourceKind::kIcon, CDlgBase::kIconId},
        {ResourceKind::kBitmap, kBackgroundBitmap},
        {ResourceKind::kPng, kProfileLineInk.pngId},
        {ResourceKind::kPng, kKeyCapAtlasPng}};
    const auto inAtlas = [](int png) {
        return std::ranges::any_of(KeyCapAtlasPlaces(),
                                   [png](const AtlasPlace& p) { return p.pngId == png; });
    };
    for (const ControlLayout& c : MainWindowControls())
        if (c.png != 0 && c.list <= 1 && !inAtlas(c.png))
            pictures.emplace_back(ResourceKind::kPng, c.png);
    PrefetchResourceImages(pictures);
}

enum class InstanceLocks { kRefused, kAnswered, kConfigFolderHeld, kRuntimeOnly };

// The lock in the runtime folder keeps one Lumbra per user on the keyboard;
// the one in the config folder keeps one Lumbra on those files, whatever the
// runtime or temporary folder of each. Another Lumbra holding either refuses
// this start; so does having neither, since two instances could then both
// write the same files.
// Another Lumbra runs: it shows its window (a hidden start only asks whether
// it answers). Where it cannot be asked, the user is told.
bool AnswerSecondStart(bool hidden) {
    if (AskRunningInstance(!hidden)) return true;
    ShowMessageBox("Lumbra", CCorvexApp::kAlreadyRunning);
    return false;
}

InstanceLocks TakeInstanceLocks(const std::string& appDir, bool hidden) {
    // Held until the process ends; the kernel releases them however it ends.
    static InstanceLock runtimeLock, configLock;
    const auto runtime = runtimeLock.Acquire(CCorvexApp::kInstanceName);
    if (runtime == InstanceLock::Result::kHeldElsewhere)
        return AnswerSecondStart(hidden) ? InstanceLocks::kAnswered : InstanceLocks::kRefused;
    const std::string configFolder = appDir + "config";
    CreateFolders(configFolder);
    const auto config = configLock.Acquire(CCorvexApp::kInstanceName, configFolder);
    if (config == InstanceLock::Result::kHeldElsewhere)
        return AnswerSecondStart(hidden) ? InstanceLocks::kAnswered : InstanceLocks::kRefused;
    const bool runtimeHeld = runtime == InstanceLock::Result::kAcquired;
    const bool configHeld = config == InstanceLock::Result::kAcquired;
    if (!runtimeHeld && !configHeld) {
        const std::string reason =
            "Lumbra cannot take its instance lock, neither in the runtime "
            "folder nor in " +
            configFolder + ", and does not start.";
        ShowMessageBox("Lumbra", reason);
        return InstanceLocks::kRefused;
    }
    if (!runtimeHeld)
        std::fputs(
            "lumbra: warning: cannot take the instance lock in the runtime folder; the "
            "config folder's lock alone keeps another Lumbra off its files\n",
            stderr);
    if (!configHeld)
        std::fprintf(stderr,
                     "lumbra: warning: cannot take the instance lock in %s; temporary files "
                     "left there are kept\n",
                     configFolder.c_str());
    return configHeld ? InstanceLocks::kConfigFolderHeld : InstanceLocks::kRuntimeOnly;
}

// What start-up freed goes back to the system once the keyboard has been
// read (that task is queued before this one).
void ReturnFreedMemoryLater() {
    TheUiDispatcher().Post([] { malloc_trim(0); });
}

}  // namespace

int CCorvexApp::InitInstance(int& argc, char** argv) {
    // Pictures and surfaces of a megabyte or two come and go at start-up; a
    // fixed threshold keeps them out of the heap, so that what is freed goes
    // back to the system instead of staying resident for the whole session.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    Application application(argc, argv);

    const std::string appDir =
        ResolveAppDirectory(AppDirectoryInputsFromEnvironment(m_options.configDir));
    const auto locks = TakeInstanceLocks(appDir, m_options.hidden);
    if (locks == InstanceLocks::kRefused) return kRefusedExitCode;
    if (locks == InstanceLocks::kAnswered) return 0;

    InitSkinResources();
    PrefetchFirstFrame();
    // The decoding thread ends before the application object, whichever
    // way the start ends.
    struct PrefetchStop {
        ~PrefetchStop() { StopPrefetchingImages(); }
    } prefetchStop;
    // A writer killed mid-rewrite leaves its temporary file. Only the holder of
    // the config folder's lock may take it for a leftover: without it, it can
    // be another Lumbra's write in progress.
    if (locks == InstanceLocks::kConfigFolderHeld) {
        std::vector<std::string> files = {SettingsFilePath(appDir), MacroLibraryFilePath(appDir),
                                          OwnSettingsFilePath(appDir), DefaultSimStateFile(appDir)};
        if (m_options.simStateFile) files.push_back(*m_options.simStateFile);
        for (int slot = 0; slot < kProfileSlotCount; ++slot)
            files.push_back(SettingsStore::DefaultSlotPath(appDir, slot));
        RemoveLeftoverTempFiles(files);
    }
    auto clock = std::shared_ptr<Clock>(&TheRealClock(), [](Clock*) {});
    SpawnProgramLauncher launcher;

    MainWindowServices services;
    services.appDirectory = appDir;
    services.clock = clock;
    services.launcher = &launcher;

    std::unique_ptr<SimSession> session;
    std::unique_ptr<UdevHotPlugMonitor> monitor;
    if (m_options.simulate) {
        SimOptions sim;
        sim.simulate = true;
        sim.stateFile = m_options.simStateFile.value_or(DefaultSimStateFile(appDir));
        sim.traceFile = m_options.simTrace;
        sim.controlFifo = m_options.simControl;
        std::string error;
        session = SimSession::Start(sim, clock, &error);
        if (!session) {
            std::fprintf(stderr, "lumbra: %s\n", error.c_str());
            return 2;
        }
        services.backend = session->Simulator();
        KeyboardSimulator* simulator = session->Simulator().get();
        services.watchDevices = [simulator](DeviceChangeSink sink) {
            simulator->SetChangeSink(std::move(sink));
        };
    } else {
        services.backend = std::make_shared<HidApiBackend>();
        services.watchDevices = [&monitor](DeviceChangeSink sink) {
            monitor = std::make_unique<UdevHotPlugMonitor>(std::move(sink));
            if (!monitor->Start()) monitor.reset();  // the program runs without hot-plug
        };
    }

    std::unique_ptr<PlatformTrayHost> tray;
    if (TrayIcon::IsAvailable()) tray = std::make_unique<PlatformTrayHost>();
    services.tray = tray.get();
    services.onClosed = [] { Application::Quit(0); };
    services.startHidden = m_options.hidden;
    if (!m_options.hidden) {
        services.onFirstPaint = [] {
            ReleasePrefetchedImages();
            WriteStartupProbe();
            ReturnFreedMemoryLater();
        };
    }

    {
        CCorvexDlg dialog(std::move(services));
        SignalWatcher signals([&dialog](int) { dialog.Commands().Exit(); });
        dialog.Create();
        // Scripts and the desktop reach this Lumbra on the session bus once
        // the window is up; it runs on without one.
        KeyboardBus bus(dialog);
        if (bus.Start() == BusService::Started::kNameTaken)
            std::fputs(
                "lumbra: warning: another program holds Lumbra's name on the session bus; "
                "lumbractl cannot reach this Lumbra\n",
                stderr);
        if (m_options.hidden) {
            ReleasePrefetchedImages();
            WriteStartupProbe();
            ReturnFreedMemoryLater();
        }
        if (!dialog.IsShutDown()) application.Run();
        // Nothing may report a change to the window once it is gone.
        if (session) session->Simulator()->SetChangeSink(nullptr);
        if (monitor) monitor->Stop();
    }
    monitor.reset();
    session.reset();
    return 0;
}

}  // namespace lumbra
