// The floor of the start-up measurement: the least a Qt Widgets program does
// to put a window of the intro window's size on the screen. A bare 547 x 355
// frameless window, centred, that paints itself once and quits.
//
// With --thai-caption it also draws one group name in the menu window's
// font, Loma bold at 13 px: a second floor for memory, with Qt's text
// machinery (fontconfig, FreeType, HarfBuzz) loaded.
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
    window.setFixedSize(547, 355);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), window.size());
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    return QApplication::exec();
}
