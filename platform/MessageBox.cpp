// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MessageBox.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

namespace lumbra {

void ShowMessageBox(const std::string& title, const std::string& text) {
    // Said on the terminal too, for whoever started the program from one.
    std::fprintf(stderr, "lumbra: %s\n", text.c_str());
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
    QMessageBox::information(nullptr, QString::fromStdString(title), QString::fromStdString(text),
                             QMessageBox::Ok);
}

}  // namespace lumbra
