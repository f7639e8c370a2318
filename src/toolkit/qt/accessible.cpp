#include "toolkit/qt/accessible.h"

#include "toolkit/qt/caption_label.h"
#include "toolkit/qt/form_widget.h"
#include "toolkit/qt/frame_box.h"
#include "toolkit/qt/picture_box.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace vd::qt {

namespace {

// The caption line as a screen reader reads it: a label whose text is its
// caption, read like any text, so that a reader can speak it as it changes.
class CaptionLabelAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CaptionLabelAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? label()->text() : QAccessibleWidget::text(t);
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // Read-only text without a cursor or selection.
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return label()->text().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(label()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    QLabel *label() const { return static_cast<QLabel *>(widget()); }
};

// What a screen reader is told our own widgets are: a window (Qt would call a
// plain top-level widget a "filler"), a picture, a frame that groups the
// buttons. Buttons and the caption line are Qt's own and say so themselves.
QAccessibleInterface *accessibleFor(const QString &, QObject *object)
{
    QAccessible::Role role;
    if (qobject_cast<QWidget *>(object) == nullptr)
        return nullptr;
    if (auto *label = dynamic_cast<CaptionLabel *>(object))
        return new CaptionLabelAccessible(label); // Qt's accessibility cache owns it
    if (dynamic_cast<FormWidget *>(object))
        role = QAccessible::Window;
    else if (dynamic_cast<PictureBox *>(object))
        role = QAccessible::Graphic;
    else if (dynamic_cast<FrameBox *>(object))
        role = QAccessible::Grouping;
    else
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), role); // Qt's accessibility cache owns it
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(accessibleFor);
}

} // namespace vd::qt
