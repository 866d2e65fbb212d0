// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <string>
#include <vector>

#include "MouseEvents.h"
#include "platform/Application.h"
#include "platform/EditBox.h"
#include "platform/HostWidget.h"
#include "platform/HostWindow.h"
#include "platform/Timer.h"

namespace lumbra {
namespace {

using test::Click;
using test::Leave;
using test::Move;
using test::Press;
using test::Release;

struct Recorder : WindowHandler {
    std::vector<std::string> log;
    bool allowClose = true;
    bool deleteSelfOnDestroy = false;
    Color fill = Rgb(1, 2, 3);

    void Add(const std::string& what, int x, int y) {
        log.push_back(what + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void OnPaint(Surface& s, const Rect& client) override {
        s.FillSolidRect(client, fill);
        log.push_back("paint");
    }
    void OnMouseMove(uint32_t flags, int x, int y) override {
        Add("move" + std::to_string(flags), x, y);
    }
    void OnMouseLeave() override { log.push_back("leave"); }
    void OnMouseHover(uint32_t, int x, int y) override { Add("hover", x, y); }
    void OnLButtonDown(uint32_t, int x, int y) override { Add("down", x, y); }
    void OnLButtonUp(uint32_t, int x, int y) override { Add("up", x, y); }
    void OnLButtonDblClk(uint32_t, int x, int y) override { Add("dbl", x, y); }
    void OnActivate(bool active) override { log.push_back(active ? "activate" : "deactivate"); }
    bool OnCloseRequest() override {
        log.push_back("close");
        return allowClose;
    }
    void OnWindowDestroyed() override {
        log.push_back("destroyed");
        if (deleteSelfOnDestroy) delete this;
    }
    intptr_t OnMessage(uint32_t msg, uintptr_t first, intptr_t second) override {
        log.push_back("msg " + std::to_string(msg) + " " + std::to_string(first) + " " +
                      std::to_string(second));
        return 7;
    }
    // The log without paints and activation changes, which the window system
    // adds on its own schedule.
    std::vector<std::string> Pointer() const {
        std::vector<std::string> out;
        for (auto& s : log)
            if (s != "paint" && s != "activate" && s != "deactivate") out.push_back(s);
        return out;
    }
};

TEST(HostWindow, PointerEventsArriveAsHandlerCallsInClientCoordinates) {
    Recorder r;
    HostWindow w(&r, WindowStyle::kDialog);
    w.SetSize(100, 80);
    w.Show();
    Move(w, 5, 6);
    Press(w, 5, 6);
    Move(w, 7, 8, true);
    Release(w, 7, 8);
    test::DoubleClick(w, 7, 8);
    std::vector<std::string> expected{"move0 5,6", "down 5,6", "move1 7,8", "up 7,8", "dbl 7,8"};
    EXPECT_EQ(r.Pointer(), expected);
    EXPECT_EQ(w.CursorPos(), (Point{7, 8}));
}

TEST(HostWindow, LeaveAndHoverComeOnlyOnceAfterEachRequest) {
    Recorder r;
    HostWindow w(&r, WindowStyle::kDialog);
    w.SetSize(50, 50);
    w.Show();
    Leave(w);  // nothing asked for yet
    EXPECT_TRUE(r.Pointer().empty());

    ASSERT_TRUE(w.TrackMouse(20));
    Move(w, 3, 4);
    Application::ProcessEventsFor(80);
    Application::ProcessEventsFor(40);  // no second hover without a new request
    Leave(w);
    Leave(w);
    std::vector<std::string> expected{"move0 3,4", "hover 3,4", "leave"};
    EXPECT_EQ(r.Pointer(), expected);
    EXPECT_FALSE(w.IsTracking());
}

TEST(HostWindow, SendIsImmediateAndPostWaitsForTheEventLoop) {
    Recorder r;
    HostWindow w(&r, WindowStyle::kDialog);
    EXPECT_EQ(w.Send(0x403, 1, 2), 7);
    w.Post(0x404, 3, -4);
    EXPECT_EQ(r.log.size(), 1u);
    Application::ProcessEvents();
    std::vector<std::string> expected{"msg 1027 1 2", "msg 1028 3 -4"};
    EXPECT_EQ(r.log, expected);
}

TEST(HostWindow, PostedMessagesToADestroyedWindowAreDropped) {
    Recorder r;
    HostWindow w(&r, WindowStyle::kDialog);
    w.Post(0x404, 0, 0);
    w.Destroy();
    Application::ProcessEvents();
    std::vector<std::string> expected{"destroyed"};
    EXPECT_EQ(r.log, expected);
    EXPECT_EQ(w.Send(1, 2, 3), 0);
}

TEST(HostWindow, CloseRequestAsksTheHandlerThenDestroys) {
    Recorder keep;
    keep.allowClose = false;
    HostWindow a(&keep, WindowStyle::kDialog);
    a.PostClose();
    Application::ProcessEvents();
    EXPECT_TRUE(a.IsAlive());

    auto* self = new Recorder;
    self->deleteSelfOnDestroy = true;
    auto* host = new HostWindow(self, WindowStyle::kPopup);
    host->Show();
    host->PostClose();
    Application::ProcessEvents();
    // The handler deleted itself in OnWindowDestroyed; the host is gone with it
    // only if the handler owned it, so free it here.
    EXPECT_FALSE(host->IsAlive());
    delete host;
}

TEST(HostWindow, OwnedWindowsAreDestroyedBeforeTheirOwner) {
    std::vector<std::string> order;
    struct Noting : Recorder {
        std::vector<std::string>* order;
        std::string name;
        void OnWindowDestroyed() override { order->push_back(name); }
    };
    Noting owner, popup;
    owner.order = popup.order = &order;
    owner.name = "owner";
    popup.name = "popup";
    auto ownerWindow = std::make_unique<HostWindow>(&owner, WindowStyle::kDialog);
    HostWindow popupWindow(&popup, WindowStyle::kPopup, ownerWindow.get());
    ownerWindow->Destroy();
    std::vector<std::string> expected{"popup", "owner"};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(popupWindow.IsAlive());
}

TEST(HostWindow, BackgroundDragMovesTheWindowAndTakesTheRelease) {
    Recorder r;
    HostWindow w(&r, WindowStyle::kDialog);
    w.SetSize(100, 100);
    w.Move(50, 60);
    w.Show();
    Application::ProcessEvents();
    Point start = w.ScreenPos();
    Press(w, 10, 10);
    w.BeginWindowMove(10, 10);
    EXPECT_EQ(w.WindowMoveCount(), 1);
    Move(w, 30, 25, true);
    Release(w, 30, 25);
    Application::ProcessEvents();
    Point end = w.ScreenPos();
    EXPECT_EQ(end.x - start.x, 20);
    EXPECT_EQ(end.y - start.y, 15);
    std::vector<std::string> expected{"down 10,10"};
    EXPECT_EQ(r.Pointer(), expected);
}

TEST(HostWindow, RenderAndPaintShowWhatTheHandlerDraws) {
    Recorder r;
    r.fill = Rgb(10, 200, 30);
    HostWindow w(&r, WindowStyle::kDialog);
    w.SetSize(20, 10);
    Image img = w.Render();
    ASSERT_EQ(img.Width(), 20);
    EXPECT_EQ(img.PixelColor(19, 9), Rgb(10, 200, 30));
}

// What the screen shows of a window: on the headless platform, its backing
// store as it stands.
QImage OnScreen(HostWindow& w) {
    return QGuiApplication::primaryScreen()->grabWindow(WidgetOf(w)->winId()).toImage();
}

QRgb Opaque(Color c) { return qRgb(RedOf(c), GreenOf(c), BlueOf(c)); }

TEST(HostWindow, ARepaintReachesTheScreenOnlyWhereItIsDirtyAndSparesChildWidgets) {
    Recorder r;
    r.fill = Rgb(200, 0, 0);
    HostWindow w(&r, WindowStyle::kDialog);
    w.SetSize(60, 40);
    // A child widget between the two rectangles repainted below.
    QWidget child(WidgetOf(w));
    child.setGeometry(25, 15, 10, 10);
    child.setAutoFillBackground(true);
    QPalette palette = child.palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 200));
    child.setPalette(palette);
    w.Show();
    Application::ProcessEvents();
    ASSERT_EQ(OnScreen(w).pixel(5, 5), Opaque(Rgb(200, 0, 0)));

    r.fill = Rgb(0, 200, 0);
    r.log.clear();
    w.Invalidate({0, 0, 10, 10});
    w.Invalidate({50, 30, 60, 40});
    Application::ProcessEvents();
    ASSERT_FALSE(r.log.empty());
    const QImage screen = OnScreen(w);
    EXPECT_EQ(screen.pixel(5, 5), Opaque(Rgb(0, 200, 0)));
    EXPECT_EQ(screen.pixel(55, 35), Opaque(Rgb(0, 200, 0)));
    EXPECT_EQ(screen.pixel(40, 20), Opaque(Rgb(200, 0, 0))) << "between the dirty rectangles";
    EXPECT_EQ(screen.pixel(30, 20), qRgb(0, 0, 200)) << "the child widget was painted over";
    // The window draws straight into what the screen shows: no picture of
    // its own.
    EXPECT_EQ(static_cast<HostWidget*>(WidgetOf(w))->backBuffer, nullptr);
}

TEST(HostWindow, AGrabOfTheWidgetShowsWhatTheHandlerDraws) {
    Recorder r;
    r.fill = Rgb(10, 20, 250);
    HostWindow w(&r, WindowStyle::kPopup);
    w.SetSize(30, 20);
    w.Show();
    Application::ProcessEvents();
    r.fill = Rgb(250, 20, 10);
    const QImage grabbed = WidgetOf(w)->grab().toImage();
    ASSERT_EQ(grabbed.size(), QSize(30, 20));
    EXPECT_EQ(grabbed.pixel(0, 0) | 0xFF000000u, Opaque(Rgb(250, 20, 10)));
    EXPECT_EQ(grabbed.pixel(29, 19) | 0xFF000000u, Opaque(Rgb(250, 20, 10)));
}

TEST(HostWindow, ModalRunEndsWithTheCodeGiven) {
    Recorder r;
    HostWindow w(&r, WindowStyle::kDialog);
    w.SetSize(20, 20);
    Timer t;
    t.Start(10, [&] { w.EndModal(42); });
    EXPECT_EQ(w.RunModal(), 42);
    EXPECT_FALSE(w.InModalLoop());
}

TEST(HostWindow, DestroyingTheWindowEndsItsModalRun) {
    Recorder r;
    HostWindow w(&r, WindowStyle::kDialog);
    Timer t;
    t.Start(10, [&] { w.Destroy(); });
    EXPECT_EQ(w.RunModal(), -1);
}

// The system takes a modality only when a window is shown: one given to a
// window that shows already must still keep input from the other windows.
TEST(HostWindow, AModalRunBlocksTheOtherWindowsAlsoWhenItShowedBefore) {
    Recorder ownerLog;
    Recorder dialogLog;
    HostWindow owner(&ownerLog, WindowStyle::kDialog);
    owner.Show();
    for (const bool shownBefore : {false, true}) {
        SCOPED_TRACE(shownBefore);
        HostWindow w(&dialogLog, WindowStyle::kDialog, &owner);
        if (shownBefore) w.Show();
        QWidget* modalDuringRun = nullptr;
        Timer t;
        t.Start(10, [&] {
            modalDuringRun = QApplication::activeModalWidget();
            w.EndModal(1);
        });
        EXPECT_EQ(w.RunModal(), 1);
        EXPECT_TRUE(w.IsModal());
        EXPECT_EQ(modalDuringRun, WidgetOf(w));
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "nothing blocks after the runs";
}

TEST(Timer, RepeatsUntilStopped) {
    Timer t;
    int count = 0;
    t.Start(
        5,
        [&] {
            if (++count == 3) t.Stop();
        },
        true);
    Application::ProcessEventsFor(100);
    EXPECT_EQ(count, 3);
    EXPECT_FALSE(t.IsActive());
}

TEST(EditBox, HoldsTextAndFiltersDigitsWhenAsked) {
    Recorder r;
    HostWindow w(&r, WindowStyle::kDialog);
    w.SetSize(100, 50);
    EditBox box(w, 2110, {5, 5, 90, 25});
    int changes = 0;
    box.OnTextChanged([&] { ++changes; });
    box.SetText("Macro1");
    EXPECT_EQ(box.Text(), "Macro1");
    EXPECT_EQ(changes, 1);
    box.SetNumbersOnly(true);
    EXPECT_EQ(box.Id(), 2110);
    // Pasted control characters never reach a name: a line break would end
    // its line in a file, a TAB come back from the keyboard as '_'.
    box.SetNumbersOnly(false);
    auto* edit = WidgetOf(w)->findChild<QLineEdit*>(QStringLiteral("edit2110"));
    ASSERT_NE(edit, nullptr);
    QGuiApplication::clipboard()->setText(QStringLiteral("ab\r\ncd\tef\x7F"));
    edit->selectAll();
    edit->paste();
    EXPECT_EQ(box.Text(), "abcdef");
}

}  // namespace
}  // namespace lumbra

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "base/UiDispatcher.h"
#include "platform/Launch.h"

namespace lumbra {
namespace {

TEST(Application, WorkPostedFromAnotherThreadRunsOnTheUiThread) {
    std::thread::id ranOn;
    std::thread worker(
        [&] { TheUiDispatcher().Post([&] { ranOn = std::this_thread::get_id(); }); });
    worker.join();
    EXPECT_EQ(ranOn, std::thread::id());  // not before the event loop runs
    Application::ProcessEvents();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(Launch, ExecutableFilesAreStartedWithoutAShell) {
    auto dir =
        std::filesystem::temp_directory_path() / ("lumbra-launch-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    auto script = dir / "touch me.sh";  // a space: no shell may split the path
    auto marker = dir / "ran";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\ntouch '" << marker.string() << "'\n";
    }
    chmod(script.c_str(), 0700);
    ASSERT_TRUE(OpenWithDesktop(script.string()));
    for (int i = 0; i < 200 && !std::filesystem::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_FALSE(OpenWithDesktop(""));
    std::filesystem::remove_all(dir);
}

// A box created hidden sets up nothing (no font) until it is shown, and is then made with
// everything it was told meanwhile, its name for screen readers included.
TEST(EditBox, AHiddenBoxIsMadeWhenFirstShownWithWhatItWasTold) {
    Recorder r;
    HostWindow w(&r, WindowStyle::kDialog);
    w.SetSize(100, 50);
    const Rect place{5, 5, 95, 30};
    EditBox box(w, 2111, place, false);
    int changes = 0;
    box.OnTextChanged([&] { ++changes; });
    box.SetNumbersOnly(true);
    box.SetMaxLength(6);
    box.SetAccessibleName("Times to repeat the macro");
    box.SetText("12345678");
    box.SetText("123456");  // the same text once cut: no news
    EXPECT_EQ(box.Text(), "123456");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(box.GetRect(), place);
    EXPECT_FALSE(box.IsVisible());
    EXPECT_EQ(WidgetOf(w)->findChild<QLineEdit*>(QStringLiteral("edit2111")), nullptr);

    box.SetText("1234");
    box.SetVisible(true);
    auto* edit = WidgetOf(w)->findChild<QLineEdit*>(QStringLiteral("edit2111"));
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->isHidden());
    EXPECT_EQ(edit->text(), QStringLiteral("1234"));
    EXPECT_EQ(edit->maxLength(), 6);
    EXPECT_EQ(edit->accessibleName(), QStringLiteral("Times to repeat the macro"));
    EXPECT_EQ(box.GetRect(), place);
    edit->insert(QStringLiteral("a"));  // digits only
    edit->insert(QStringLiteral("5"));
    EXPECT_EQ(box.Text(), "12345");
    EXPECT_EQ(changes, 3);
}

}  // namespace
}  // namespace lumbra
