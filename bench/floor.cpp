// The floor of the start-up measurement: the least a Qt Widgets program does
// to put a window of the intro window's size on the screen. A bare frameless
// window of that size at 96 dpi, centred, that paints itself once and quits.
//
// With --thai-caption it also draws one group name in the menu window's
// font, Loma bold at 13 px: a second floor for memory, with Qt's text
// machinery (fontconfig, FreeType, HarfBuzz) loaded.
#include "forms/window_measures.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

class Bare final : public QWidget {
public:
    explicit Bare(bool caption) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), caption_(caption) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(212, 208, 200));
        if (caption_) {
            QFont font;
            font.setFamilies({QStringLiteral("Loma")});
            font.setPixelSize(13);
            font.setBold(true);
            p.setFont(font);
            p.drawText(rect(), Qt::AlignCenter, QStringLiteral("กลุ่มชุดดินที่ 1"));
        }
        if (!painted_) {
            painted_ = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }

private:
    bool caption_;
    bool painted_ = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const bool caption = argc > 1 && QString::fromLocal8Bit(argv[1]) == QLatin1String("--thai-caption");
    Bare window(caption);
    window.setObjectName(QStringLiteral("Floor"));
    namespace measures = vd::forms::measures;
    window.setFixedSize(measures::intro::Width / measures::TwipsPerPixel,
                        measures::intro::Height / measures::TwipsPerPixel);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), window.size());
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    return QApplication::exec();
}
