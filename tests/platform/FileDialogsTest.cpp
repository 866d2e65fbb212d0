// SPDX-License-Identifier: GPL-3.0-or-later
// The file dialogs as the user meets them, headless: the name box they start
// with, the suffix the save dialog adds and the question it asks before it
// replaces a file.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <functional>

#include "platform/FileDialogs.h"

namespace lumbra {
namespace {

// Runs `act` on the modal window once the event loop that shows it runs.
template <typename Window>
void WhenShown(std::function<void(Window*)> act) {
    QTimer::singleShot(0, [act] {
        auto* w = qobject_cast<Window*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        act(w);
    });
}

QString NameBox(QFileDialog* dialog) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    return edit ? edit->text() : QString();
}

TEST(FileDialogs, SaveAddsTheSuffixBeforeItAsksToReplaceAFile) {
    QTemporaryDir folder;
    const std::string dir = folder.path().toStdString();
    std::ofstream(dir + "/exp1.mkf") << "[MacroKey]\n";
    QString startName;
    QString question;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        startName = NameBox(dialog);
        dialog->setDirectory(folder.path());
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("exp1");
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            question = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        // The Save button, as the user presses it.
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    const auto path =
        ChooseFileToSave(nullptr, "Save Macro Key as...", "mkf file(*.mkf)", ".mkf", "mkf");
    EXPECT_EQ(startName, ".mkf");
    EXPECT_TRUE(question.contains("exp1.mkf")) << question.toStdString();
    EXPECT_EQ(path, dir + "/exp1.mkf");
}

TEST(FileDialogs, OpenStartsWithTheGivenNameInItsNameBox) {
    QString startName = "not shown";
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        startName = NameBox(dialog);
        dialog->reject();
    });
    const auto path =
        ChooseFileToOpen(nullptr, "Load Macro Key from...", "mkf file(*.mkf)", {}, ".mkf");
    EXPECT_EQ(startName, ".mkf");
    EXPECT_EQ(path, std::nullopt);
}

}  // namespace
}  // namespace lumbra
