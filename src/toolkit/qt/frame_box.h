// A frame without a title, on Qt Widgets.
#pragma once

#include <QWidget>

namespace vd::qt {

class QtToolkit;

// Its background colour and a single outline, an etched line along its
// edges.
class FrameBox final : public QWidget {
public:
    FrameBox(QtToolkit &toolkit, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paint();
    QtToolkit &toolkit_;
};

} // namespace vd::qt
