// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "app/KeyboardSession.h"
#include "model/KeyboardModel.h"
#include "model/MacroLibrary.h"
#include "sim/KeyboardSimulator.h"

namespace lumbra {

// A keyboard session on the simulator in a folder of its own, with the
// machine's clock; the bench thread plays the UI thread.
struct SessionRig {
    std::string dir;
    std::shared_ptr<KeyboardSimulator> sim = std::make_shared<KeyboardSimulator>();
    UiDispatcher ui;
    KeyboardModel model;
    MacroLibrary library;
    QuietDeviceLinkWindow window;
    std::unique_ptr<KeyboardSession> session;

    explicit SessionRig(const std::string& name)
        : dir((std::filesystem::temp_directory_path() / name).string() + "/") {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir + "config");
    }
    ~SessionRig() {
        Close();
        std::filesystem::remove_all(dir);
    }
    SessionRig(const SessionRig&) = delete;
    SessionRig& operator=(const SessionRig&) = delete;

    // The files read and the link open; the launcher, when given, must stay
    // until Close.
    void Open(ProgramLauncher* launcher = nullptr) {
        KeyboardSessionServices s;
        s.appDirectory = dir;
        s.backend = sim;
        s.clock = std::shared_ptr<Clock>(&TheRealClock(), [](Clock*) {});
        s.dispatcher = &ui;
        s.model = &model;
        s.library = &library;
        s.window = &window;
        s.launcher = launcher;
        session = std::make_unique<KeyboardSession>(std::move(s));
        session->LoadFiles();
        session->OpenLink();
    }
    void Close() {
        if (!session) return;
        session->Link()->StopListener();
        session.reset();
    }
};

}  // namespace lumbra
