// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SimTrace.h"

#include <fcntl.h>
#include <unistd.h>

#include "storage/HexText.h"
#include "storage/TextFile.h"

namespace lumbra {

std::string FormatTraceLine(uint64_t milliseconds, const SimExchange& exchange) {
    std::string line = std::to_string(milliseconds);
    switch (exchange.op) {
        case SimExchange::Op::kSet:
            line += " set";
            break;
        case SimExchange::Op::kGet:
            line += " get";
            break;
        case SimExchange::Op::kIn:
            line += " in";
            break;
        case SimExchange::Op::kPlug:
            return line + " plug";
        case SimExchange::Op::kUnplug:
            return line + " unplug";
    }
    for (uint8_t b : exchange.bytes) {
        line += ' ';
        AppendHexByte(line, b);
    }
    if (exchange.failed) line += " FAIL";
    return line;
}

SimTrace::SimTrace(std::shared_ptr<Clock> clock, const std::string& path)
    : m_clock(std::move(clock)),
      // Close-on-exec: programs launched from a G key must not get the trace.
      m_fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600)) {}

SimTrace::~SimTrace() {
    if (m_attached) m_attached->SetObserver(nullptr);
    if (m_fd >= 0) ::close(m_fd);
}

void SimTrace::Attach(KeyboardSimulator& simulator) {
    m_attached = &simulator;
    simulator.SetObserver([this](const SimExchange& exchange) { Record(exchange); });
}

void SimTrace::Record(const SimExchange& exchange) {
    std::lock_guard lock(m_mutex);
    if (m_fd < 0) return;
    // Each line goes out whole in one write, so a crash leaves every exchange
    // before it in the file.
    WriteToDescriptor(m_fd, FormatTraceLine(m_clock->NowMs(), exchange) + '\n');
}

}  // namespace lumbra
