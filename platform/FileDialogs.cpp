#include "platform/FileDialogs.h"

#include <QFileDialog>

#include "platform/HostWidget.h"

namespace lumbra {

namespace {
QWidget* ParentWidget(HostWindow* parent) { return parent ? WidgetOf(*parent) : nullptr; }
}  // namespace

std::optional<std::string> ChooseFileToOpen(HostWindow* parent, const std::string& title,
                                            const std::string& filter,
                                            const std::string& directory) {
    QString path = QFileDialog::getOpenFileName(ParentWidget(parent), QString::fromStdString(title),
                                                QString::fromStdString(directory),
                                                QString::fromStdString(filter));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<std::string> ChooseFileToSave(HostWindow* parent, const std::string& title,
                                            const std::string& filter,
                                            const std::string& suggestedPath) {
    QString path = QFileDialog::getSaveFileName(ParentWidget(parent), QString::fromStdString(title),
                                                QString::fromStdString(suggestedPath),
                                                QString::fromStdString(filter));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

}  // namespace lumbra
