// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Application.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <cstdlib>
#include <vector>

#include "base/UiDispatcher.h"

namespace lumbra {

namespace {

// Lumbra's window uses parts only X11 has (the recording's keyboard grab, the
// detection of auto-repeat): where an X server is reachable (XWayland too) it
// is an X11 client, whatever toolkit plug-ins are installed, unless the user
// chose a platform. Given as an argument, not the environment, so that the
// programs Lumbra launches choose their own.
std::vector<char*> WithPlatform(int& argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    static char option[] = "-platform";
    static char xcb[] = "xcb";
    const char* display = std::getenv("DISPLAY");
    if (display && *display && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !args.empty()) {
        args.insert(args.begin() + 1, {option, xcb});
        argc += 2;
    }
    args.push_back(nullptr);
    return args;
}

}  // namespace

struct Application::Impl {
    Impl(int& argc, char** argv) : args(WithPlatform(argc, argv)), app(argc, args.data()) {}
    std::vector<char*> args;
    QApplication app;
};

Application::Application(int& argc, char** argv) : m_impl(std::make_unique<Impl>(argc, argv)) {
    QApplication::setQuitOnLastWindowClosed(false);
    QObject* context = &m_impl->app;
    TheUiDispatcher().SetWakeHandler([context] {
        QMetaObject::invokeMethod(
            context, [] { TheUiDispatcher().RunPending(); }, Qt::QueuedConnection);
    });
}

Application::~Application() {
    TheUiDispatcher().SetWakeHandler(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int Application::Run() { return QApplication::exec(); }
void Application::Quit(int code) { QApplication::exit(code); }

void Application::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Application::ProcessEventsFor(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace lumbra
