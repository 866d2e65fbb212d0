// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

#include "platform/HostWidget.h"

namespace lumbra {

namespace {

QWidget* ParentWidget(HostWindow* parent) { return parent ? WidgetOf(*parent) : nullptr; }

const QString kProgramsFilter = QStringLiteral("Programs (*)");
const QString kAllFilesFilter = QStringLiteral("All files (*)");

// Keeps folders and executable files while the "Programs" filter is chosen.
class ExecutableFilter : public QSortFilterProxyModel {
public:
    void SetProgramsOnly(bool programsOnly) {
        m_programsOnly = programsOnly;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (!m_programsOnly) return true;
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!files) return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || (info.isFile() && info.isExecutable());
    }

private:
    bool m_programsOnly = true;
};

std::optional<std::string> RunFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace

std::optional<std::string> ChooseFileToOpen(HostWindow* parent, const std::string& title,
                                            const std::string& filter, const std::string& directory,
                                            const std::string& prefilledName) {
    QFileDialog dialog(ParentWidget(parent), QString::fromStdString(title),
                       QString::fromStdString(directory), QString::fromStdString(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!prefilledName.empty()) dialog.selectFile(QString::fromStdString(prefilledName));
    return RunFileDialog(dialog);
}

std::optional<std::string> ChooseProgramToOpen(HostWindow* parent, const std::string& title,
                                               const std::string& directory) {
    QFileDialog dialog(ParentWidget(parent), QString::fromStdString(title),
                       QString::fromStdString(directory));
    // Only Qt's own dialog takes a proxy model.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({kProgramsFilter, kAllFilesFilter});
    auto* filter = new ExecutableFilter;
    dialog.setProxyModel(filter);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [filter](const QString& name) {
        filter->SetProgramsOnly(name == kProgramsFilter);
    });
    return RunFileDialog(dialog);
}

std::optional<std::string> ChooseFileToSave(HostWindow* parent, const std::string& title,
                                            const std::string& filter,
                                            const std::string& suggestedPath,
                                            const std::string& defaultSuffix) {
    QFileDialog dialog(ParentWidget(parent), QString::fromStdString(title), QString(),
                       QString::fromStdString(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!defaultSuffix.empty()) {
        // Qt's own dialog adds the suffix before its overwrite question.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setDefaultSuffix(QString::fromStdString(defaultSuffix));
    }
    if (!suggestedPath.empty()) dialog.selectFile(QString::fromStdString(suggestedPath));
    return RunFileDialog(dialog);
}

}  // namespace lumbra
