// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of the start-up benchmark: the least a Qt Widgets program does to
// show what lumbra's first frame shows. It opens a frameless 818 x 628
// window, decodes one picture of that size and paints it, and writes the
// monotonic time of that first painted frame (in nanoseconds) into
// LUMBRA_STARTUP_PROBE, as lumbra does.

#include <time.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

class Picture : public QWidget {
public:
    explicit Picture(const QString& file) : QWidget(nullptr, Qt::FramelessWindowHint) {
        m_image.load(file);
        setFixedSize(818, 628);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).drawImage(0, 0, m_image);
        if (m_probed) return;
        m_probed = true;
        const char* path = std::getenv("LUMBRA_STARTUP_PROBE");
        if (!path || !*path) return;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (FILE* f = std::fopen(path, "w")) {
            std::fprintf(f, "%lld\n",
                         static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fclose(f);
        }
    }

private:
    QImage m_image;
    bool m_probed = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: lumbra_bench_floor PICTURE.png\n", stderr);
        return 2;
    }
    Picture window(QString::fromLocal8Bit(argv[1]));
    window.show();
    return app.exec();
}
