// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/EditBox.h"

#include <QCoreApplication>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QValidator>
#include <optional>
#include <utility>

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

// A box created hidden is made when it is first shown or focused: until then it keeps what it
// is told, and sets up no font (a window's hidden boxes cost its first frames nothing).
struct EditBox::Impl {
    QPointer<QWidget> window;
    QPointer<QLineEdit> edit;
    int id = 0;
    Rect rect;
    bool visible = false;
    QString text;
    bool numbersOnly = false;
    int maxLength = 0;  // the box's own limit until set
    std::optional<std::pair<Color, Color>> colors;
    std::optional<FontDesc> font;
    QString accessibleName;
    std::function<void()> changed;
    std::function<void()> returned;

    QLineEdit* Made();
    // What the box was told, on the made box.
    void ApplyValidator();
    void ApplyColors();
};

void EditBox::Impl::ApplyValidator() {
    if (numbersOnly)
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    else
        edit->setValidator(new NoControlCharacters(edit));
}

void EditBox::Impl::ApplyColors() {
    if (!colors) return;
    QPalette p = edit->palette();
    p.setColor(QPalette::Text, ToQColor(colors->first));
    p.setColor(QPalette::Base, ToQColor(colors->second));
    edit->setPalette(p);
}

QLineEdit* EditBox::Impl::Made() {
    if (edit || !window) return edit;
    auto* box = new QLineEdit(window);
    box->setObjectName(QStringLiteral("edit%1").arg(id));
    box->setFrame(false);
    box->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    edit = box;
    ApplyValidator();
    ApplyColors();
    box->installEventFilter(new TabToWindow(box));
    if (maxLength > 0) box->setMaxLength(maxLength);
    if (font) box->setFont(ToQFont(*font));
    box->setAccessibleName(accessibleName);
    box->setText(text);
    box->setProperty(kUsesEnterProperty, static_cast<bool>(returned));
    QObject::connect(box, &QLineEdit::textChanged, box, [this] {
        if (changed) changed();
    });
    QObject::connect(box, &QLineEdit::returnPressed, box, [this] {
        if (returned) returned();
    });
    box->setVisible(visible);
    return box;
}

EditBox::EditBox(HostWindow& parent, int id, const Rect& rect, bool visible)
    : m_id(id), m_impl(std::make_unique<Impl>()) {
    QWidget* w = WidgetOf(parent);
    if (!w) return;
    m_impl->window = w;
    m_impl->id = id;
    m_impl->rect = rect;
    m_impl->visible = visible;
    if (visible) m_impl->Made();
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
    return (m_impl->edit ? m_impl->edit->text() : m_impl->text).toStdString();
}

void EditBox::SetText(const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (m_impl->edit) {
        m_impl->edit->setText(value);
        return;
    }
    if (!m_impl->window) return;
    // As the box would: cut to its limit, and news of the change only when there is one.
    const QString kept = m_impl->maxLength > 0 ? value.left(m_impl->maxLength) : value;
    if (kept == m_impl->text) return;
    m_impl->text = kept;
    if (m_impl->changed) m_impl->changed();
}

void EditBox::SetNumbersOnly(bool numbersOnly) {
    if (!m_impl->window) return;
    m_impl->numbersOnly = numbersOnly;
    if (m_impl->edit) m_impl->ApplyValidator();
}

void EditBox::SetMaxLength(int length) {
    if (!m_impl->window) return;
    m_impl->maxLength = length;
    if (m_impl->edit)
        m_impl->edit->setMaxLength(length);
    else if (length > 0 && m_impl->text.size() > length)
        SetText(m_impl->text.left(length).toStdString());
}

void EditBox::SetColors(Color text, Color background) {
    m_impl->colors = std::pair{text, background};
    if (m_impl->edit) m_impl->ApplyColors();
}

void EditBox::SetFont(const FontDesc& font) {
    m_impl->font = font;
    if (m_impl->edit) m_impl->edit->setFont(ToQFont(font));
}

void EditBox::SetAccessibleName(const std::string& name) {
    m_impl->accessibleName = QString::fromStdString(name);
    if (m_impl->edit) m_impl->edit->setAccessibleName(m_impl->accessibleName);
}

void EditBox::SetRect(const Rect& rect) {
    m_impl->rect = rect;
    if (m_impl->edit) m_impl->edit->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
}

void EditBox::SetVisible(bool visible) {
    m_impl->visible = visible;
    if (m_impl->edit)
        m_impl->edit->setVisible(visible);
    else if (visible)
        m_impl->Made();
}

Rect EditBox::GetRect() const {
    if (!m_impl->window) return {};
    if (!m_impl->edit) return m_impl->rect;
    const QRect g = m_impl->edit->geometry();
    return Rect::FromSize(g.x(), g.y(), g.width(), g.height());
}

std::vector<EditBox*> EditBoxesIn(HostWindow& window) {
    std::vector<EditBox*> boxes;
    const QWidget* w = WidgetOf(window);
    for (EditBox* box : AllEditBoxes())
        if (w && box->impl()->window == w) boxes.push_back(box);
    return boxes;
}

bool EditBox::IsVisible() const { return m_impl->edit && m_impl->edit->isVisible(); }

void EditBox::Focus() {
    if (QLineEdit* edit = m_impl->Made()) edit->setFocus(Qt::OtherFocusReason);
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
