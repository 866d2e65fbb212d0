// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DesktopFocus.h"

namespace lumbra {
namespace {

// sway's IPC messages: the magic, the payload's length and the message's type, both in the
// machine's own byte order, then the payload.
constexpr std::string_view kMagic = "i3-ipc";
constexpr size_t kHeaderSize = kMagic.size() + 2 * sizeof(uint32_t);
constexpr uint32_t kSubscribe = 2;
constexpr uint32_t kGetTree = 4;
constexpr uint32_t kEventBit = 0x80000000u;
constexpr uint32_t kWindowEvent = kEventBit | 3;
// No message of sway comes near this; a longer one means the stream is not sway's.
constexpr uint32_t kMessageLimit = 64u << 20;

std::string Message(uint32_t type, std::string_view payload) {
    std::string out(kMagic);
    const auto length = static_cast<uint32_t>(payload.size());
    out.append(reinterpret_cast<const char*>(&length), sizeof length);
    out.append(reinterpret_cast<const char*>(&type), sizeof type);
    out.append(payload);
    return out;
}

uint32_t Word(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// A window of the tree or of a window event. XWayland's windows carry their WM_CLASS in
// window_properties and no app id.
ActiveWindow WindowOf(const QJsonObject& node) {
    ActiveWindow window;
    const int pid = node.value("pid").toInt();
    if (pid > 0) window.pid = pid;
    window.own = pid == ::getpid();
    if (node.value("shell").toString() == "xwayland") {
        const QJsonObject properties = node.value("window_properties").toObject();
        window.instance = properties.value("instance").toString().toStdString();
        window.className = properties.value("class").toString().toStdString();
        window.kind = ActiveWindow::Kind::kX11;
    } else {
        window.appId = node.value("app_id").toString().toStdString();
        window.kind = ActiveWindow::Kind::kNative;
    }
    return window;
}

// The focused node of the tree, when it is a window (it may be a workspace or an output).
std::optional<QJsonObject> FocusedWindow(const QJsonObject& node) {
    const QString type = node.value("type").toString();
    if (node.value("focused").toBool() && (type == "con" || type == "floating_con") &&
        node.contains("pid"))
        return node;
    for (const char* children : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node.value(children).toArray())
            if (auto hit = FocusedWindow(child.toObject())) return hit;
    return std::nullopt;
}

class SwayFocus final : public FocusWatch {
public:
    SwayFocus(int fd, Callback callback) : m_fd(fd), m_callback(std::move(callback)) {
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { Receive(); });
    }
    ~SwayFocus() override {
        m_notifier.reset();
        ::close(m_fd);
    }
    SwayFocus(const SwayFocus&) = delete;
    SwayFocus& operator=(const SwayFocus&) = delete;

    bool IsActive() const override { return m_notifier->isEnabled(); }

private:
    void Receive() {
        std::array<char, 16384> chunk;
        for (;;) {
            const ssize_t n = ::recv(m_fd, chunk.data(), chunk.size(), MSG_DONTWAIT);
            if (n > 0) {
                m_input.append(chunk.data(), static_cast<size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
            m_notifier->setEnabled(false);  // sway went away
            break;
        }
        size_t used = 0;
        while (m_input.size() - used >= kHeaderSize) {
            if (std::string_view(m_input).substr(used, kMagic.size()) != kMagic) {
                m_notifier->setEnabled(false);
                break;
            }
            const uint32_t length = Word(m_input, used + kMagic.size());
            const uint32_t type = Word(m_input, used + kMagic.size() + sizeof(uint32_t));
            if (length > kMessageLimit) {
                m_notifier->setEnabled(false);
                break;
            }
            if (m_input.size() - used < kHeaderSize + length) break;
            Handle(type, QByteArray(m_input.data() + used + kHeaderSize, length));
            used += kHeaderSize + length;
        }
        m_input.erase(0, used);
    }

    void Handle(uint32_t type, const QByteArray& payload) {
        const QJsonObject message = QJsonDocument::fromJson(payload).object();
        if (type == kWindowEvent) {
            if (message.value("change").toString() == "focus")
                m_callback(WindowOf(message.value("container").toObject()));
        } else if (type == kGetTree) {
            if (const auto focused = FocusedWindow(message)) m_callback(WindowOf(*focused));
        }
    }

    int m_fd;
    Callback m_callback;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::string m_input;
};

}  // namespace

std::unique_ptr<FocusWatch> StartSwayFocus(FocusWatch::Callback callback) {
    const char* path = std::getenv("SWAYSOCK");
    sockaddr_un address{};
    if (!path || !*path || std::strlen(path) >= sizeof address.sun_path) return nullptr;
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    // Subscribed before the tree is asked for: a focus change between the two still arrives,
    // and the tree that follows it is at least as new.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        !WriteAll(fd, Message(kSubscribe, R"(["window"])")) ||
        !WriteAll(fd, Message(kGetTree, ""))) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<SwayFocus>(fd, std::move(callback));
}

}  // namespace lumbra
