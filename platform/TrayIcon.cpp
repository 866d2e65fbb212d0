// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TrayIcon.h"

#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "platform/QtImpl.h"

namespace lumbra {

struct TrayIcon::Impl {
    QSystemTrayIcon icon;
    QMenu menu;
    std::function<void()> activated;
};

TrayIcon::TrayIcon() : m_impl(std::make_unique<Impl>()) {
    m_impl->icon.setContextMenu(&m_impl->menu);
    Impl* impl = m_impl.get();
    QObject::connect(
        &m_impl->icon, &QSystemTrayIcon::activated,
        [impl](QSystemTrayIcon::ActivationReason reason) {
            if ((reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) &&
                impl->activated)
                impl->activated();
        });
}

TrayIcon::~TrayIcon() { m_impl->icon.hide(); }

bool TrayIcon::IsAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TrayIcon::SetIcon(const Image& icon) {
    if (!icon.IsNull()) m_impl->icon.setIcon(QIcon(QPixmap::fromImage(QImageOf(icon))));
}

void TrayIcon::SetTip(const std::string& tip) {
    m_impl->icon.setToolTip(QString::fromStdString(tip));
}

void TrayIcon::AddMenuItem(const std::string& text, std::function<void()> action) {
    if (text.empty()) {
        m_impl->menu.addSeparator();
        return;
    }
    QAction* a = m_impl->menu.addAction(QString::fromStdString(text));
    QObject::connect(a, &QAction::triggered, [action = std::move(action)] {
        if (action) action();
    });
}

void TrayIcon::OnActivated(std::function<void()> action) { m_impl->activated = std::move(action); }
void TrayIcon::Show() { m_impl->icon.show(); }
void TrayIcon::Hide() { m_impl->icon.hide(); }
bool TrayIcon::IsVisible() const { return m_impl->icon.isVisible(); }

}  // namespace lumbra
