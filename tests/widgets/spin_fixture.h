// A spin edit set up as the main window's print offset (-10..20, value 3, 49 x 26,
// bold 13-pixel Arial), on a small window with one other box to move the focus to.
// Beeps, OnChange calls and error boxes are recorded instead of shown.
#pragma once

#include "support/fake_user_interface.h"
#include "desktop/error_box.h"
#include "desktop/system_beep.h"
#include "widgets/spin_edit.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <vector>

struct Change {
    QString text;
    std::int32_t value;
    bool operator==(const Change&) const = default;
};
inline void PrintTo(const Change& c, std::ostream* os) { *os << '"' << c.text.toStdString() << "\"=" << c.value; }

class SpinFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(200, 60);
        other = new QLineEdit(&window);
        other->setGeometry(100, 8, 80, 26);
        spin = new TSpinEdit(&window);
        QFont font(QStringLiteral("Arial"));
        font.setBold(true);
        font.setPixelSize(13);
        spin->setFont(font);
        spin->setAutoSize(false);
        spin->setGeometry(8, 8, 49, 26);
        spin->setMinValue(-10);
        spin->setMaxValue(20);
        spin->setValue(3);
        spin->OnChange = [this](QObject* sender) {
            EXPECT_EQ(sender, spin);
            changes.push_back({spin->text(), spin->Value()});
        };
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // Focus into the box as Tab would bring it (the whole text selected).
    void enterBox() { spin->setFocus(Qt::TabFocusReason); }
    void leaveBox() { other->setFocus(Qt::TabFocusReason); }

    TTimerSpeedButton* upArrow() const { return spin->Button()->upButton(); }
    TTimerSpeedButton* downArrow() const { return spin->Button()->downButton(); }

    QWidget window;
    TSpinEdit* spin = nullptr;
    QLineEdit* other = nullptr;
    std::vector<Change> changes;
    // The beeps and error boxes, as the fake user interface counted them.
    int& beeps = testsupport::ui().beeps;
    QStringList& errors = testsupport::ui().errors;
};
