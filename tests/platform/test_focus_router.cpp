// Enter and exit events for controls and containers, routed from Qt's focus changes.
#include "support/fake_user_interface.h"
#include "desktop/error_box.h"
#include "desktop/focus_router.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// form
// |- panelA: a1, a2
// |- panelB: groupG (g1), b1
// `- c
struct RoutedForm {
    QWidget form;
    QWidget* panelA = new QWidget(&form);
    QLineEdit* a1 = new QLineEdit(panelA);
    QLineEdit* a2 = new QLineEdit(panelA);
    QWidget* panelB = new QWidget(&form);
    QWidget* groupG = new QWidget(panelB);
    QLineEdit* g1 = new QLineEdit(groupG);
    QLineEdit* b1 = new QLineEdit(panelB);
    QLineEdit* c = new QLineEdit(&form);
    desktop::FocusRouter* router = new desktop::FocusRouter(&form);
    Log log;
    std::map<std::string, QWidget*> byName{{"panelA", panelA}, {"a1", a1}, {"a2", a2}, {"panelB", panelB},
                                           {"groupG", groupG}, {"g1", g1}, {"b1", b1}, {"c", c}};

    RoutedForm()
    {
        form.resize(300, 300);
        for (auto& [name, w] : byName) {
            router->setEnterHandler(w, [this, n = name] { log.push_back("enter " + n); });
            router->setExitHandler(w, [this, n = name] { log.push_back("exit " + n); });
        }
    }

    void showActive()
    {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
};

// The first focus enters from the form inwards; after that, a move exits
// outwards up to the container the two controls share, then enters inwards.
TEST(FocusRouter, ExitsOutwardsThenEntersInwardsUpToTheCommonContainer)
{
    const struct { const char* from; const char* to; Log expected; } cases[] = {
        {"a1", "a2", {"exit a1", "enter a2"}},
        {"a1", "c", {"exit a1", "exit panelA", "enter c"}},
        {"c", "a1", {"exit c", "enter panelA", "enter a1"}},
        {"a1", "g1", {"exit a1", "exit panelA", "enter panelB", "enter groupG", "enter g1"}},
        {"g1", "b1", {"exit g1", "exit groupG", "enter b1"}},
        {"b1", "g1", {"exit b1", "enter groupG", "enter g1"}},
        {"g1", "a2", {"exit g1", "exit groupG", "exit panelB", "enter panelA", "enter a2"}},
    };
    RoutedForm f;
    f.g1->setFocus();  // remembered by Qt, delivered when the window becomes active
    f.showActive();
    EXPECT_EQ(f.log, (Log{"enter panelB", "enter groupG", "enter g1"}));
    EXPECT_EQ(f.router->activeControl(), f.g1);
    for (const auto& mc : cases) {
        SCOPED_TRACE(std::string(mc.from) + " -> " + mc.to);
        f.byName.at(mc.from)->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), f.byName.at(mc.from));
        f.log.clear();
        f.byName.at(mc.to)->setFocus();
        EXPECT_EQ(f.log, mc.expected);
    }
}

// Focus going to another window runs no exit and coming back runs no enter; a
// move made meanwhile (as an activation handler does) is routed from the old control.
TEST(FocusRouter, OtherWindowsInterruptNothing)
{
    RoutedForm f;
    f.showActive();
    for (QWidget* back : {static_cast<QWidget*>(f.a1), static_cast<QWidget*>(f.g1)}) {
        f.a1->setFocus();
        f.log.clear();
        QWidget other;
        auto* otherEdit = new QLineEdit(&other);
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        otherEdit->setFocus();
        EXPECT_TRUE(f.log.empty());
        EXPECT_EQ(f.router->activeControl(), f.a1);
        back->setFocus();
        f.form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f.form));
        EXPECT_EQ(QApplication::focusWidget(), back);
        const Log routed{"exit a1", "exit panelA", "enter panelB", "enter groupG", "enter g1"};
        EXPECT_EQ(f.log, back == f.a1 ? Log{} : routed);
    }
}

// Handlers out of the ordinary: one that moves the focus, one that throws, a
// control without a handler, and a control deleted while it is active.
TEST(FocusRouter, UnusualHandlersAndDeletedControls)
{
    RoutedForm f;
    f.showActive();
    f.a1->setFocus();
    f.router->setExitHandler(f.a1, [&] {
        f.log.push_back("exit a1");
        f.c->setFocus();
    });
    f.log.clear();
    f.a2->setFocus();
    // a2 never gets its enter: the focus had already gone on to c.
    EXPECT_EQ(f.log, (Log{"exit a1", "exit a2", "exit panelA", "enter c"}));
    EXPECT_EQ(QApplication::focusWidget(), f.c);
    EXPECT_EQ(f.router->activeControl(), f.c);

    // An error in one handler shows the error box, and the others still run.
    f.a1->setFocus();
    f.router->setExitHandler(f.a1, [] { throw std::runtime_error("'' is not a valid integer value"); });
    f.log.clear();
    f.g1->setFocus();
    EXPECT_EQ(f.log, (Log{"exit panelA", "enter panelB", "enter groupG", "enter g1"}));
    EXPECT_EQ(testsupport::ui().errors, QStringList{QStringLiteral("'' is not a valid integer value.")});

    // A control without handlers is skipped.
    f.router->setEnterHandler(f.panelB, {});
    f.a2->setFocus();
    f.log.clear();
    f.b1->setFocus();
    EXPECT_EQ(f.log, (Log{"exit a2", "exit panelA", "enter b1"}));

    // The active control goes away: the next move enters from the form.
    f.c->setFocus();
    f.log.clear();
    delete f.c;
    f.byName.erase("c");
    f.a2->setFocus();
    EXPECT_EQ(f.log, (Log{"enter panelA", "enter a2"}));
}

} // namespace
