// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SignalWatcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace lumbra {

namespace {

int g_writeFd = -1;

void OnSignal(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    if (g_writeFd >= 0) {
        const ssize_t written = write(g_writeFd, &byte, 1);
        (void)written;  // a full pipe already holds a pending signal
    }
    errno = saved;
}

}  // namespace

struct SignalWatcher::Impl {
    int fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    std::function<void(int)> callback;
    struct sigaction previousTerm {};
    struct sigaction previousInt {};
    bool installed = false;
};

SignalWatcher::SignalWatcher(std::function<void(int)> callback) : m_impl(std::make_unique<Impl>()) {
    m_impl->callback = std::move(callback);
    if (g_writeFd >= 0 || pipe2(m_impl->fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    g_writeFd = m_impl->fds[1];
    Impl* impl = m_impl.get();
    impl->notifier = std::make_unique<QSocketNotifier>(impl->fds[0], QSocketNotifier::Read);
    QObject::connect(impl->notifier.get(), &QSocketNotifier::activated, [impl] {
        unsigned char byte = 0;
        while (read(impl->fds[0], &byte, 1) == 1) {
            if (impl->callback) impl->callback(byte);
        }
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &impl->previousTerm);
    sigaction(SIGINT, &action, &impl->previousInt);
    impl->installed = true;
}

SignalWatcher::~SignalWatcher() {
    if (m_impl->installed) {
        sigaction(SIGTERM, &m_impl->previousTerm, nullptr);
        sigaction(SIGINT, &m_impl->previousInt, nullptr);
        g_writeFd = -1;
    }
    m_impl->notifier.reset();
    for (int fd : m_impl->fds)
        if (fd >= 0) close(fd);
}

bool SignalWatcher::IsActive() const { return m_impl->installed; }

}  // namespace lumbra
