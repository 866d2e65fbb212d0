// SPDX-License-Identifier: GPL-3.0-or-later
// The host widgets as Qt's accessibility sees them (and through it AT-SPI):
// the window, then one interface per node its handler describes.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>
#include <unordered_map>
#include <vector>

#include "platform/HostWidget.h"
#include "platform/HostWindow.h"

namespace lumbra {

namespace {

std::function<void(QAccessibleEvent*)>& EventSpy() {
    static std::function<void(QAccessibleEvent*)> spy;
    return spy;
}

QAccessible::Role QtRole(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::kNone:
            return QAccessible::NoRole;
        case AccessibleRole::kWindow:
            return QAccessible::Window;
        case AccessibleRole::kDialog:
            return QAccessible::Dialog;
        case AccessibleRole::kPushButton:
            return QAccessible::PushButton;
        case AccessibleRole::kPageTab:
            return QAccessible::PageTab;
        case AccessibleRole::kRadioButton:
            return QAccessible::RadioButton;
        case AccessibleRole::kCheckBox:
            return QAccessible::CheckBox;
        case AccessibleRole::kComboBox:
            return QAccessible::ComboBox;
        case AccessibleRole::kList:
            return QAccessible::List;
        case AccessibleRole::kListItem:
            return QAccessible::ListItem;
        case AccessibleRole::kStaticText:
            return QAccessible::StaticText;
        case AccessibleRole::kMenuItem:
            return QAccessible::MenuItem;
        case AccessibleRole::kProgressBar:
            return QAccessible::ProgressBar;
    }
    return QAccessible::NoRole;
}

QAccessible::State QtState(uint32_t s) {
    namespace S = AccessibleState;
    QAccessible::State q;
    q.focused = (s & S::kFocused) != 0;
    q.focusable = (s & S::kFocusable) != 0;
    q.pressed = (s & S::kPressed) != 0;
    q.checkable = (s & S::kCheckable) != 0;
    q.checked = (s & S::kChecked) != 0;
    q.selectable = (s & S::kSelectable) != 0;
    q.selected = (s & S::kSelected) != 0;
    q.disabled = (s & S::kDisabled) != 0;
    q.invisible = (s & S::kInvisible) != 0;
    q.expandable = (s & S::kExpanded) != 0;
    q.expanded = (s & S::kExpanded) != 0;
    q.hotTracked = (s & S::kHot) != 0;
    return q;
}

class NodeAccessible;

// The host widget itself: a dialog or window named by its title, holding its
// child widgets (edit boxes) and then the handler's top-level nodes. It keeps
// a copy of the nodes until the widget may have changed, and the node
// interfaces by key, so that a node keeps its identity while it exists.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(HostWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Dialog) {}
    ~WindowAccessible() override {
        for (const auto& [key, id] : m_ids) QAccessible::deleteAccessibleInterface(id);
    }

    HostWidget* Host() const { return static_cast<HostWidget*>(widget()); }
    WindowHandler* Handler() const { return Host()->Handler(); }

    const std::vector<AccessibleNode>& Nodes() const {
        if (m_generation != Host()->accessibleGeneration) {
            m_generation = Host()->accessibleGeneration;
            m_nodes.clear();
            m_indexOf.clear();
            if (WindowHandler* h = Handler()) {
                const int n = h->AccessibleCount();
                for (int i = 0; i < n; ++i) {
                    m_nodes.push_back(h->AccessibleNodeAt(i));
                    m_indexOf[m_nodes.back().key] = i;
                }
            }
        }
        return m_nodes;
    }
    int IndexOf(uint64_t key) const {
        Nodes();
        const auto it = m_indexOf.find(key);
        return it == m_indexOf.end() ? -1 : it->second;
    }
    // The nodes directly under `parent` (−1: the window).
    std::vector<int> ChildrenOf(int parent) const {
        std::vector<int> children;
        const std::vector<AccessibleNode>& nodes = Nodes();
        for (size_t i = 0; i < nodes.size(); ++i)
            if (nodes[i].parent == parent) children.push_back(static_cast<int>(i));
        return children;
    }
    QAccessibleInterface* NodeInterface(int index) const;
    QRect ToScreen(const Rect& r) const {
        const QPoint tl = widget()->mapToGlobal(QPoint(r.left, r.top));
        return {tl.x(), tl.y(), r.Width(), r.Height()};
    }
    // What assistive tools know of a node: what it was when they first saw
    // it, then what was last announced; null for a node they never saw.
    struct Told {
        uint32_t states;
        std::string name;
    };
    Told* ToldOf(uint64_t key) const {
        const auto it = m_told.find(key);
        return it == m_told.end() ? nullptr : &it->second;
    }

    QAccessible::Role role() const override {
        const WindowHandler* h = Handler();
        return h ? QtRole(h->AccessibleWindowRole()) : QAccessible::Dialog;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return widget()->windowTitle();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override {
        return QAccessibleWidget::childCount() + static_cast<int>(ChildrenOf(-1).size());
    }
    QAccessibleInterface* child(int i) const override {
        const int widgets = QAccessibleWidget::childCount();
        if (i < widgets) return QAccessibleWidget::child(i);
        const std::vector<int> top = ChildrenOf(-1);
        const size_t at = static_cast<size_t>(i - widgets);
        return at < top.size() ? NodeInterface(top[at]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override {
        const WindowHandler* h = Handler();
        const int focus = h ? h->AccessibleFocus() : -1;
        if (focus >= 0) return NodeInterface(focus);
        return QAccessibleWidget::focusChild();
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint p = widget()->mapFromGlobal(QPoint(x, y));
        for (int i : ChildrenOf(-1))
            if (Nodes()[static_cast<size_t>(i)].rect.Contains(p.x(), p.y()))
                return NodeInterface(i);
        return QAccessibleWidget::childAt(x, y);
    }

private:
    mutable uint64_t m_generation = ~uint64_t{0};
    mutable std::vector<AccessibleNode> m_nodes;
    mutable std::unordered_map<uint64_t, int> m_indexOf;
    mutable std::unordered_map<uint64_t, QAccessible::Id> m_ids;
    mutable std::unordered_map<uint64_t, Told> m_told;
};

WindowAccessible* WindowOf(QWidget* widget) {
    if (!widget) return nullptr;
    return dynamic_cast<WindowAccessible*>(QAccessible::queryAccessibleInterface(widget));
}

// One node of a window, found again by its key on every call; invalid once
// the node or the window is gone.
class NodeAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    NodeAccessible(HostWidget* widget, uint64_t key) : m_widget(widget), m_key(key) {}

    uint64_t Key() const { return m_key; }
    HostWidget* Widget() const { return m_widget; }

    bool isValid() const override { return Index() >= 0; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_widget ? m_widget->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        const AccessibleNode* n = Node();
        if (!n) return nullptr;
        WindowAccessible* w = WindowOf(m_widget);
        return n->parent < 0 ? static_cast<QAccessibleInterface*>(w) : w->NodeInterface(n->parent);
    }
    int childCount() const override {
        const int i = Index();
        return i < 0 ? 0 : static_cast<int>(WindowOf(m_widget)->ChildrenOf(i).size());
    }
    QAccessibleInterface* child(int at) const override {
        const int i = Index();
        if (i < 0 || at < 0) return nullptr;
        WindowAccessible* w = WindowOf(m_widget);
        const std::vector<int> children = w->ChildrenOf(i);
        return static_cast<size_t>(at) < children.size()
                   ? w->NodeInterface(children[static_cast<size_t>(at)])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* node = dynamic_cast<const NodeAccessible*>(child);
        const int i = Index();
        if (!node || node->m_widget != m_widget || i < 0) return -1;
        const std::vector<int> children = WindowOf(m_widget)->ChildrenOf(i);
        const int childIndex = node->Index();
        for (size_t k = 0; k < children.size(); ++k)
            if (children[k] == childIndex) return static_cast<int>(k);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int k = 0, n = childCount(); k < n; ++k) {
            QAccessibleInterface* c = child(k);
            if (c && c->rect().contains(x, y)) return c;
        }
        return nullptr;
    }
    QString text(QAccessible::Text t) const override {
        const AccessibleNode* n = Node();
        if (!n) return {};
        if (t == QAccessible::Name) return QString::fromStdString(n->name);
        if (t == QAccessible::Description || t == QAccessible::Value)
            return QString::fromStdString(n->description);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const AccessibleNode* n = Node();
        return n ? WindowOf(m_widget)->ToScreen(n->rect) : QRect();
    }
    QAccessible::Role role() const override {
        const AccessibleNode* n = Node();
        return n ? QtRole(n->role) : QAccessible::NoRole;
    }
    QAccessible::State state() const override {
        const AccessibleNode* n = Node();
        if (!n) {
            QAccessible::State gone;
            gone.invalid = true;
            return gone;
        }
        return QtState(n->states);
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override {
        const AccessibleNode* n = Node();
        if (!n || !n->hasAction || (n->states & AccessibleState::kDisabled)) return {};
        return {n->role == AccessibleRole::kCheckBox ? toggleAction() : pressAction()};
    }
    // The action runs from the event queue, as a click would: a dialog it
    // opens must not hold up the tool that asked.
    void doAction(const QString& name) override {
        if (!actionNames().contains(name)) return;
        QPointer<HostWidget> guard(m_widget.data());
        const uint64_t key = m_key;
        QMetaObject::invokeMethod(
            m_widget,
            [guard, key] {
                WindowAccessible* w = guard ? WindowOf(guard) : nullptr;
                const int i = w ? w->IndexOf(key) : -1;
                if (i >= 0 && guard->Handler()) guard->Handler()->DoAccessibleAction(i);
            },
            Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    int Index() const {
        if (!m_widget || !m_widget->Handler()) return -1;
        const WindowAccessible* w = WindowOf(m_widget);
        return w ? w->IndexOf(m_key) : -1;
    }
    const AccessibleNode* Node() const {
        const int i = Index();
        return i < 0 ? nullptr : &WindowOf(m_widget)->Nodes()[static_cast<size_t>(i)];
    }

    QPointer<HostWidget> m_widget;
    uint64_t m_key;
};

QAccessibleInterface* WindowAccessible::NodeInterface(int index) const {
    const std::vector<AccessibleNode>& nodes = Nodes();
    if (index < 0 || static_cast<size_t>(index) >= nodes.size()) return nullptr;
    const uint64_t key = nodes[static_cast<size_t>(index)].key;
    if (const auto it = m_ids.find(key); it != m_ids.end())
        return QAccessible::accessibleInterface(it->second);
    auto* node = new NodeAccessible(Host(), key);
    m_ids[key] = QAccessible::registerAccessibleInterface(node);
    m_told[key] = {nodes[static_cast<size_t>(index)].states,
                   nodes[static_cast<size_t>(index)].name};
    return node;
}

int WindowAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* node = dynamic_cast<const NodeAccessible*>(child);
    if (!node) return QAccessibleWidget::indexOfChild(child);
    if (node->Widget() != Host()) return -1;
    const std::vector<int> top = ChildrenOf(-1);
    const int index = IndexOf(node->Key());
    for (size_t k = 0; k < top.size(); ++k)
        if (top[k] == index) return QAccessibleWidget::childCount() + static_cast<int>(k);
    return -1;
}

QAccessibleInterface* HostWidgetFactory(const QString&, QObject* object) {
    if (auto* host = dynamic_cast<HostWidget*>(object)) return new WindowAccessible(host);
    return nullptr;
}

void Announce(QAccessibleEvent* event) {
    if (const auto& spy = EventSpy()) spy(event);
    if (QAccessible::isActive()) QAccessible::updateAccessibility(event);
}

// One event per changed state: the AT-SPI bridge reports only the first
// state an event names.
void AnnounceStates(QAccessibleInterface* node, uint32_t before, uint32_t now) {
    namespace S = AccessibleState;
    for (uint32_t bit : {S::kFocused, S::kPressed, S::kChecked, S::kSelected, S::kDisabled,
                         S::kInvisible, S::kExpanded}) {
        if ((before & bit) == (now & bit)) continue;
        QAccessibleStateChangeEvent event(node, QtState(bit));
        Announce(&event);
    }
}

}  // namespace

void InstallAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(HostWidgetFactory);
        return true;
    }();
    (void)installed;
}

void SetAccessibleEventSpy(std::function<void(QAccessibleEvent*)> spy) {
    EventSpy() = std::move(spy);
}

bool HostWindow::AccessibilityActive() {
    return QAccessible::isActive() || static_cast<bool>(EventSpy());
}

void HostWindow::NotifyAccessible(AccessibleChange change, int index) {
    HostWidget* widget = m_impl->widget;
    if (!widget || !AccessibilityActive()) return;
    ++widget->accessibleGeneration;
    WindowAccessible* window = WindowOf(widget);
    if (!window || index < 0 || static_cast<size_t>(index) >= window->Nodes().size()) return;
    const AccessibleNode n = window->Nodes()[static_cast<size_t>(index)];
    if (change == AccessibleChange::kFocus) {
        QAccessibleEvent event(window->NodeInterface(index), QAccessible::Focus);
        Announce(&event);
        return;
    }
    // A node no tool has seen yet has no news for them.
    WindowAccessible::Told* told = window->ToldOf(n.key);
    if (!told) return;
    QAccessibleInterface* node = window->NodeInterface(index);
    AnnounceStates(node, told->states, n.states);
    told->states = n.states;
    if (told->name != n.name) {
        told->name = n.name;
        QAccessibleEvent event(node, QAccessible::NameChanged);
        Announce(&event);
    }
}

}  // namespace lumbra
