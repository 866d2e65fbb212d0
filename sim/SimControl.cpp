// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SimControl.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <optional>
#include <vector>

namespace lumbra {

namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::optional<uint8_t> HexByte(std::string_view word) {
    if (word.size() > 2 && (word.substr(0, 2) == "0x" || word.substr(0, 2) == "0X")) {
        word.remove_prefix(2);
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
    if (word.empty() || error != std::errc() || end != word.data() + word.size() || value > 0xFF) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(value);
}

std::optional<int> Count(std::string_view word) {
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || error != std::errc() || end != word.data() + word.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

bool ApplySimControlLine(KeyboardSimulator& simulator, std::string_view line) {
    const std::vector<std::string_view> w = Words(line);
    if (w.size() == 1 && w[0] == "plug") {
        simulator.Plug();
        return true;
    }
    if (w.size() == 1 && w[0] == "unplug") {
        simulator.Unplug();
        return true;
    }
    if (w.size() == 3 && w[0] == "event") {
        const auto code = HexByte(w[1]);
        const auto argument = HexByte(w[2]);
        if (!code || !argument) return false;
        simulator.SendEvent(*code, *argument);
        return true;
    }
    if (w.size() == 3 && w[0] == "fail") {
        const auto n = Count(w[2]);
        if (!n) return false;
        if (w[1] == "set") {
            simulator.FailNext(SimFault::kSet, *n);
        } else if (w[1] == "get") {
            simulator.FailNext(SimFault::kGet, *n);
        } else if (w[1] == "read") {
            simulator.FailNext(SimFault::kRead, *n);
        } else {
            return false;
        }
        return true;
    }
    return false;
}

SimControlReader::SimControlReader(KeyboardSimulator& simulator, std::string fifoPath)
    : m_simulator(simulator), m_path(std::move(fifoPath)) {}

SimControlReader::~SimControlReader() { Stop(); }

bool SimControlReader::Start() {
    if (m_thread.joinable()) return true;
    struct stat info {};
    if (stat(m_path.c_str(), &info) != 0) {
        if (mkfifo(m_path.c_str(), 0600) != 0) return false;
    } else if (!S_ISFIFO(info.st_mode)) {
        return false;
    }
    // Opened for reading and writing: the open does not wait for a writer,
    // and the pipe never reports end of file when a writer goes away.
    m_fifoFd = open(m_path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    m_wakeFd = eventfd(0, EFD_CLOEXEC);
    if (m_fifoFd < 0 || m_wakeFd < 0) {
        Stop();
        return false;
    }
    m_thread = std::thread([this] { Run(); });
    return true;
}

void SimControlReader::Stop() {
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(m_wakeFd, &one, sizeof one);
        m_thread.join();
    }
    if (m_fifoFd >= 0) close(m_fifoFd);
    if (m_wakeFd >= 0) close(m_wakeFd);
    m_fifoFd = -1;
    m_wakeFd = -1;
}

void SimControlReader::Run() {
    std::string pending;
    pollfd fds[2] = {{m_fifoFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    char chunk[512];
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        if ((fds[0].revents & POLLIN) == 0) continue;
        const ssize_t n = read(m_fifoFd, chunk, sizeof chunk);
        if (n <= 0) continue;
        pending.append(chunk, static_cast<size_t>(n));
        size_t end = 0;
        while ((end = pending.find('\n')) != std::string::npos) {
            ApplySimControlLine(m_simulator, std::string_view(pending).substr(0, end));
            pending.erase(0, end + 1);
        }
        // A writer that never ends its line must not grow the buffer forever.
        if (pending.size() > 4096) pending.clear();
    }
}

}  // namespace lumbra
