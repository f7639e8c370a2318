// The caption line: a label whose texts are drawn once and kept for the run.
#pragma once

#include <QLabel>

namespace vd::qt {

class QtToolkit;

// The texts it showed last are kept drawn (see RenderCache), so that a
// repaint after a pointer movement is one copy of pixels instead of shaping
// and drawing Thai text again.
class CaptionLabel final : public QLabel {
public:
    CaptionLabel(QtToolkit &toolkit, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paint(const QRect &r);

    QtToolkit &toolkit_;
};

} // namespace vd::qt
