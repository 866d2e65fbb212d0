// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Launch.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace lumbra {

bool OpenWithDesktop(const std::string& path) {
    if (path.empty()) return false;
    const QString p = QString::fromStdString(path);
    QFileInfo info(p);
    if (info.isFile() && info.isExecutable())
        return QProcess::startDetached(info.absoluteFilePath(), {});
    QUrl url =
        info.exists() ? QUrl::fromLocalFile(info.absoluteFilePath()) : QUrl::fromUserInput(p);
    if (!url.isValid()) return false;
    return QDesktopServices::openUrl(url);
}

}  // namespace lumbra
