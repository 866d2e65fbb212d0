#include "platform/PopupMenu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include "platform/HostWidget.h"

namespace lumbra {

int TrackPopupMenu(HostWindow* owner, Point screenPos, const std::vector<MenuItem>& items) {
    QWidget* parent = owner ? WidgetOf(*owner) : nullptr;
    QMenu menu(parent);
    for (const MenuItem& item : items) {
        if (item.text.empty()) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromStdString(item.text));
        action->setData(item.command);
    }
    QAction* chosen = menu.exec(QPoint(screenPos.x, screenPos.y));
    return chosen ? chosen->data().toInt() : 0;
}

Point CursorScreenPos() {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

}  // namespace lumbra
