// The real program on the Qt toolkit, with a recording word processor and
// failure reports collected instead of shown.
#pragma once

#include "app/program.h"
#include "fake_word.h"
#include "forms/intro/form1.h"
#include "forms/menu/form2.h"
#include "toolkit/qt/qt_toolkit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace vd::testing {

struct ProgramFixture {
    qt::QtToolkit toolkit;
    automation::Registry classes;
    WordLog word;
    std::vector<std::string> reports;
    std::unique_ptr<app::Program> program;

    ProgramFixture()
    {
        registerFakeWord(classes, word);
        program = std::make_unique<app::Program>(toolkit, classes);
        toolkit.setMessageHook([this](const std::string &, const std::string &text) { reports.push_back(text); });
        toolkit.dispatch([&] { program->start(); });
    }

    ~ProgramFixture()
    {
        program.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The visible top-level window of that class, or nullptr.
    static QWidget *window(const char *className)
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(className) && w->isVisible())
                return w;
        return nullptr;
    }

    static QWidget *control(const char *className, const QString &name)
    {
        QWidget *w = window(className);
        return w ? w->findChild<QWidget *>(name) : nullptr;
    }

    // A real click in the middle of the control, then the deferred deletions
    // of windows unloaded by the handler.
    static bool click(const char *className, const QString &name)
    {
        QWidget *c = control(className, name);
        if (!c)
            return false;
        QTest::mouseClick(c, Qt::LeftButton, {}, c->rect().center());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return true;
    }

    static QString labelText()
    {
        auto *l = qobject_cast<QLabel *>(control("Form2", QStringLiteral("Label1")));
        return l ? l->text() : QStringLiteral("<no caption line>");
    }
};

} // namespace vd::testing
