#include "platform/MessageBox.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

namespace lumbra {

void ShowMessageBox(const std::string& title, const std::string& text) {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return;
    }
    QMessageBox::information(nullptr, QString::fromStdString(title), QString::fromStdString(text),
                             QMessageBox::Ok);
}

}  // namespace lumbra
