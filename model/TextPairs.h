// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

namespace lumbra {

// A fixed number of (name, value) text pairs addressed by index. Reading an
// index out of range gives empty text; writing one is ignored.
template <int N>
class TextPairs {
public:
    static constexpr int kCount = N;

    const std::string& Name(int i) const { return InRange(i) ? m_names[Index(i)] : Empty(); }
    const std::string& Value(int i) const { return InRange(i) ? m_values[Index(i)] : Empty(); }
    void SetName(int i, std::string text) {
        if (InRange(i)) m_names[Index(i)] = std::move(text);
    }
    void SetValue(int i, std::string text) {
        if (InRange(i)) m_values[Index(i)] = std::move(text);
    }

private:
    static bool InRange(int i) { return i >= 0 && i < N; }
    static size_t Index(int i) { return static_cast<size_t>(i); }
    static const std::string& Empty() {
        static const std::string empty;
        return empty;
    }

    std::array<std::string, N> m_names;
    std::array<std::string, N> m_values;
};

}  // namespace lumbra
