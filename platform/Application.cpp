// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Application.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>

#include "base/UiDispatcher.h"

namespace lumbra {

struct Application::Impl {
    explicit Impl(int& argc, char** argv) : app(argc, argv) {}
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
