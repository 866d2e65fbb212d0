// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PopupMenu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include "platform/HostWidget.h"

namespace lumbra {

int TrackPopupMenu(HostWindow* owner, Point screenPos, const std::vector<MenuItem>& items) {
    QWidget* parent = owner ? WidgetOf(*owner) : nullptr;
    QMenu menu(parent);
    // The colours of the skinned drop-down lists, so the menu looks like one of them.
    menu.setStyleSheet(
        "QMenu { background: #124A56; color: white; border: 1px solid #20FFF4; padding: 2px; }"
        "QMenu::item { padding: 3px 18px; }"
        "QMenu::item:selected { background: #35A0DE; }"
        "QMenu::separator { height: 1px; background: #20FFF4; margin: 3px 6px; }");
    for (const MenuItem& item : items) {
        if (item.text.empty()) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromStdString(item.text));
        action->setData(item.command);
        if (item.check != MenuItem::Check::kNone) {
            action->setCheckable(true);
            action->setChecked(item.check == MenuItem::Check::kChecked);
        }
    }
    QAction* chosen = menu.exec(QPoint(screenPos.x, screenPos.y));
    return chosen ? chosen->data().toInt() : 0;
}

Point CursorScreenPos() {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

}  // namespace lumbra
