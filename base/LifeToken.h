// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <utility>

namespace lumbra {

// Stands for the life of its owner to callbacks that may run after it: work
// posted to the UI thread, a tray or hot-plug notification, a job's end. A
// guarded callback runs only while the token lives and has not been ended.
// Copies of a guarded callback may be made on any thread; the callback itself
// is meant to run on the owner's thread.
class LifeToken {
public:
    LifeToken() = default;
    ~LifeToken() { End(); }
    LifeToken(const LifeToken&) = delete;
    LifeToken& operator=(const LifeToken&) = delete;

    // From now on no guarded callback runs.
    void End() { *m_alive = false; }
    bool Alive() const { return *m_alive; }

    // A callable that runs f with its arguments while the owner lives and
    // does nothing after.
    template <typename F>
    auto Guard(F f) const {
        return [alive = std::weak_ptr<bool>(m_alive), f = std::move(f)](auto&&... args) {
            if (auto a = alive.lock(); a && *a) f(std::forward<decltype(args)>(args)...);
        };
    }

private:
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace lumbra
