// TFForm1, the main window: the program's only visible window. Built from its
// design (main_window_design.cpp) when created; its handlers bind the controls
// to the star-sign calculator, the profile update, the lucky-number draw and
// the report commands, and it keeps the current report (the male or the
// female page's), chosen by the gender group.
#pragma once

#include "app/form_builder.h"
#include "app/form_controls.h"
#include "desktop/printer_setup_dialog.h"
#include "profile/profile_record.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class TPageReport;
class TSpinEdit;

namespace desktop {
class FocusRouter;
}

class TFForm1 : public QWidget {
public:
    // Builds the window from its design, binds its events and runs FormCreate.
    // The window is not shown.
    TFForm1();
    ~TFForm1() override;
    TFForm1(const TFForm1&) = delete;
    TFForm1& operator=(const TFForm1&) = delete;

    // ---- Controls, named as in the design.
    app::BevelPanel* Panel1 = nullptr;  // heading line
    app::BevelPanel* Panel2 = nullptr;  // title
    app::BevelPanel* Panel3 = nullptr;  // gender and lucky numbers
    app::BevelPanel* Panel4 = nullptr;  // name and sentiment
    app::BevelPanel* Panel6 = nullptr;  // print offset
    app::BevelPanel* Panel7 = nullptr;  // PrintSetup and Exit
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;  // date box
    QLineEdit* Edit1 = nullptr;      // name box
    QLineEdit* Edit2 = nullptr;      // sign box (read-only)
    QLineEdit* Edit3 = nullptr;      // sentiment box
    QLineEdit* Edit4 = nullptr;      // lucky-number box
    QPlainTextEdit* Memo1 = nullptr; // the profile text table, never shown
    QPushButton* Button1 = nullptr;  // Preview
    QPushButton* Button2 = nullptr;  // Print
    QPushButton* Button3 = nullptr;  // Exit
    QPushButton* Button4 = nullptr;  // PrintSetup
    app::RadioGroup* RadioGroup1 = nullptr;            // gender
    app::CheckingRadioButton* RadioButton1 = nullptr;  // lucky numbers
    TSpinEdit* SpinEdit1 = nullptr;               // print offset

    // ---- Handlers (Sender: the control whose event it is, or the window).
    void FormCreate(QObject* Sender);
    void FormActivate(QObject* Sender);
    void RadioGroup1Click(QObject* Sender);
    void Button3Click(QObject* Sender);
    void MaskEdit1Exit(QObject* Sender);
    void Edit2Exit(QObject* Sender);
    void RadioButton1Enter(QObject* Sender);
    void RadioButton1Click(QObject* Sender);
    void Button1Click(QObject* Sender);
    void Button2Click(QObject* Sender);
    void Button4Click(QObject* Sender);
    void SpinEdit1Change(QObject* Sender);

    // ---- State.
    // The male or the female page's report; none until the first activation.
    TPageReport* currentReport() const { return currentReport_; }
    // The birthday string last set by the calculator (for example "April 5th").
    const QString& birthday() const { return birthday_; }

    // The controls in tab order (every focusable one, tab stop or not).
    const std::vector<QWidget*>& tabChain() const { return form_.tabChain; }
    // The content under the scroll bars.
    QWidget* surface() const { return form_.surface; }

    // Tells `trace` the name of each handler an event runs, and its sender,
    // just before it runs (for tests that check the order of events).
    using HandlerTrace = std::function<void(const char* handler, QObject* sender)>;
    void setHandlerTrace(HandlerTrace trace) { trace_ = std::move(trace); }

    // The printer setup dialog, shown modally by Button4Click.
    desktop::PrinterSetupDialog PrinterSetupDialog1{this};

private:
    void bindEvents();
    // The report the commands act on. Normally set at the first activation; if
    // the desktop never activated the window, the gender group decides now.
    TPageReport& reportForCommand();

    app::BuiltForm form_;
    desktop::FocusRouter* router_ = nullptr;
    TPageReport* currentReport_ = nullptr;
    QString birthday_;
    // Whether detail.fdg holds the profile this window shows (see Edit2Exit).
    profile::DetailFileState detailState_;
    HandlerTrace trace_;
};

// The main window, filled once at start-up.
extern TFForm1* FForm1;
