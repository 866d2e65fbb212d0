// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/EditBox.h"

#include <QCoreApplication>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QValidator>

#include "platform/HostWidget.h"
#include "platform/QtImpl.h"

namespace lumbra {

namespace {

// Takes control characters (U+0000..U+001F, U+007F) out of whatever reaches
// the box, typed or pasted: no name or number Lumbra reads from a box holds
// one, and a line break in a name would end its line in a file.
class NoControlCharacters final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override {
        for (qsizetype i = input.size(); i-- > 0;) {
            const char16_t c = input.at(i).unicode();
            if (c >= 0x20 && c != 0x7F) continue;
            input.remove(i, 1);
            if (i < position) --position;
        }
        return Acceptable;
    }
};

// Tab and Shift+Tab leave the box for the window's own focus order, so that
// the keyboard is never held in a text field.
class TabToWindow final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) return false;
        auto* edit = qobject_cast<QWidget*>(watched);
        QWidget* window = edit ? edit->parentWidget() : nullptr;
        if (!window) return false;
        QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), key->text(),
                       key->isAutoRepeat());
        QCoreApplication::sendEvent(window, &copy);
        return true;
    }
};

std::vector<EditBox*>& AllEditBoxes() {
    static std::vector<EditBox*> boxes;
    return boxes;
}

}  // namespace

struct EditBox::Impl {
    QPointer<QLineEdit> edit;
    std::function<void()> changed;
    std::function<void()> returned;
};

EditBox::EditBox(HostWindow& parent, int id, const Rect& rect, bool visible)
    : m_id(id), m_impl(std::make_unique<Impl>()) {
    QWidget* w = WidgetOf(parent);
    if (!w) return;
    auto* edit = new QLineEdit(w);
    edit->setObjectName(QStringLiteral("edit%1").arg(id));
    edit->setFrame(false);
    edit->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    edit->setVisible(visible);
    edit->setValidator(new NoControlCharacters(edit));
    edit->installEventFilter(new TabToWindow(edit));
    Impl* impl = m_impl.get();
    QObject::connect(edit, &QLineEdit::textChanged, edit, [impl] {
        if (impl->changed) impl->changed();
    });
    QObject::connect(edit, &QLineEdit::returnPressed, edit, [impl] {
        if (impl->returned) impl->returned();
    });
    m_impl->edit = edit;
    AllEditBoxes().push_back(this);
}

EditBox::~EditBox() {
    std::erase(AllEditBoxes(), this);
    if (m_impl->edit) {
        // Hidden with the focus, the box would pass it on to the next box.
        QWidget* window = m_impl->edit->parentWidget();
        if (window && m_impl->edit->hasFocus()) window->setFocus(Qt::OtherFocusReason);
        m_impl->edit->disconnect();
        m_impl->edit->hide();
        m_impl->edit->deleteLater();
    }
}

std::string EditBox::Text() const {
    return m_impl->edit ? m_impl->edit->text().toStdString() : std::string();
}

void EditBox::SetText(const std::string& text) {
    if (m_impl->edit) m_impl->edit->setText(QString::fromStdString(text));
}

void EditBox::SetNumbersOnly(bool numbersOnly) {
    if (!m_impl->edit) return;
    if (numbersOnly)
        m_impl->edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]*")), m_impl->edit));
    else
        m_impl->edit->setValidator(new NoControlCharacters(m_impl->edit));
}

void EditBox::SetMaxLength(int length) {
    if (m_impl->edit) m_impl->edit->setMaxLength(length);
}

void EditBox::SetColors(Color text, Color background) {
    if (!m_impl->edit) return;
    QPalette p = m_impl->edit->palette();
    p.setColor(QPalette::Text, ToQColor(text));
    p.setColor(QPalette::Base, ToQColor(background));
    m_impl->edit->setPalette(p);
}

void EditBox::SetFont(const FontDesc& font) {
    if (m_impl->edit) m_impl->edit->setFont(ToQFont(font));
}

void EditBox::SetRect(const Rect& rect) {
    if (m_impl->edit) m_impl->edit->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
}

void EditBox::SetVisible(bool visible) {
    if (m_impl->edit) m_impl->edit->setVisible(visible);
}

Rect EditBox::GetRect() const {
    if (!m_impl->edit) return {};
    const QRect g = m_impl->edit->geometry();
    return Rect::FromSize(g.x(), g.y(), g.width(), g.height());
}

std::vector<EditBox*> EditBoxesIn(HostWindow& window) {
    std::vector<EditBox*> boxes;
    const QWidget* w = WidgetOf(window);
    for (EditBox* box : AllEditBoxes())
        if (w && box->impl()->edit && box->impl()->edit->parentWidget() == w) boxes.push_back(box);
    return boxes;
}

bool EditBox::IsVisible() const { return m_impl->edit && m_impl->edit->isVisible(); }

void EditBox::Focus() {
    if (m_impl->edit) m_impl->edit->setFocus(Qt::OtherFocusReason);
}

bool EditBox::HasFocus() const { return m_impl->edit && m_impl->edit->hasFocus(); }

void EditBox::OnTextChanged(std::function<void()> callback) {
    m_impl->changed = std::move(callback);
}
void EditBox::OnReturnPressed(std::function<void()> callback) {
    // A box that uses Enter keeps it from its window's default button.
    if (m_impl->edit) m_impl->edit->setProperty(kUsesEnterProperty, static_cast<bool>(callback));
    m_impl->returned = std::move(callback);
}

void TakeFocusFromEditBoxes(HostWindow& window) {
    if (QWidget* w = WidgetOf(window)) w->setFocus(Qt::OtherFocusReason);
}

}  // namespace lumbra
