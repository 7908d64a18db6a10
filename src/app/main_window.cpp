#include "app/main_window.h"

#include "app/main_window_design.h"
#include "app/program_icon.h"
#include "pages/page_forms.h"
#include "desktop/focus_router.h"
#include "desktop/message_box.h"
#include "profile/lucky_numbers.h"
#include "profile/profile_record.h"
#include "profile/profile_text_table.h"
#include "profile/star_sign.h"
#include "report/page_report.h"
#include "widgets/spin_edit.h"

#include <QPixmap>

#include <stdexcept>
#include <string_view>

TFForm1* FForm1 = nullptr;

namespace {

using Handler = void (TFForm1::*)(QObject*);

struct NamedHandler {
    std::string_view name;
    Handler handler;
};

// The handlers the design's events can name.
const NamedHandler kHandlers[] = {
    {"FormCreate", &TFForm1::FormCreate},
    {"FormActivate", &TFForm1::FormActivate},
    {"RadioGroup1Click", &TFForm1::RadioGroup1Click},
    {"Button3Click", &TFForm1::Button3Click},
    {"MaskEdit1Exit", &TFForm1::MaskEdit1Exit},
    {"Edit2Exit", &TFForm1::Edit2Exit},
    {"RadioButton1Enter", &TFForm1::RadioButton1Enter},
    {"RadioButton1Click", &TFForm1::RadioButton1Click},
    {"Button1Click", &TFForm1::Button1Click},
    {"Button2Click", &TFForm1::Button2Click},
    {"Button4Click", &TFForm1::Button4Click},
    {"SpinEdit1Change", &TFForm1::SpinEdit1Change},
};

Handler findHandler(std::string_view name)
{
    for (const NamedHandler& h : kHandlers)
        if (h.name == name)
            return h.handler;
    throw std::logic_error("the main window has no handler " + std::string(name));
}

TPageReport* pageReportOf(ProfilePageForm* form)
{
    return form ? form->PageReport1 : nullptr;
}

} // namespace

TFForm1::TFForm1()
{
    const app::FormDesign& design = app::mainWindowDesign();
    form_ = app::buildForm(this, design);
    setWindowIcon(app::programIcon());

    Panel1 = form_.as<app::BevelPanel>("Panel1");
    Panel2 = form_.as<app::BevelPanel>("Panel2");
    Panel3 = form_.as<app::BevelPanel>("Panel3");
    Panel4 = form_.as<app::BevelPanel>("Panel4");
    Panel6 = form_.as<app::BevelPanel>("Panel6");
    Panel7 = form_.as<app::BevelPanel>("Panel7");
    Label1 = form_.as<QLabel>("Label1");
    Label2 = form_.as<QLabel>("Label2");
    Label3 = form_.as<QLabel>("Label3");
    Label4 = form_.as<QLabel>("Label4");
    Label5 = form_.as<QLabel>("Label5");
    MaskEdit1 = form_.as<QLineEdit>("MaskEdit1");
    Edit1 = form_.as<QLineEdit>("Edit1");
    Edit2 = form_.as<QLineEdit>("Edit2");
    Edit3 = form_.as<QLineEdit>("Edit3");
    Edit4 = form_.as<QLineEdit>("Edit4");
    Memo1 = form_.as<QPlainTextEdit>("Memo1");
    Button1 = form_.as<QPushButton>("Button1");
    Button2 = form_.as<QPushButton>("Button2");
    Button3 = form_.as<QPushButton>("Button3");
    Button4 = form_.as<QPushButton>("Button4");
    RadioGroup1 = form_.as<app::RadioGroup>("RadioGroup1");
    RadioButton1 = form_.as<app::CheckingRadioButton>("RadioButton1");
    SpinEdit1 = form_.as<TSpinEdit>("SpinEdit1");

    // The hidden memo holds the profile text table, one line per table line.
    Memo1->setPlainText(profile::profileTextLines().join(QLatin1Char('\n')));

    router_ = new desktop::FocusRouter(this);
    bindEvents();
}

TFForm1::~TFForm1()
{
    if (FForm1 == this)
        FForm1 = nullptr;
}

void TFForm1::bindEvents()
{
    const app::FormDesign& design = app::mainWindowDesign();
    std::vector<Handler> onCreate;
    for (const app::EventBinding& b : design.events) {
        const Handler h = findHandler(b.handler);
        QObject* sender = b.control ? static_cast<QObject*>(form_.control(b.control)) : this;
        if (b.event == app::FormEvent::Create && !b.control) {
            onCreate.push_back(h);
            continue;
        }
        app::bindEvent(this, form_, design, *router_, b, [this, h, sender, name = b.handler] {
            if (trace_)
                trace_(name, sender);
            (this->*h)(sender);
        });
    }
    // Creation runs last, once the whole window exists; an error here is a
    // failure to create the window.
    for (Handler h : onCreate)
        (this->*h)(this);
}

// ---- Window handlers ----------------------------------------------------------

void TFForm1::FormCreate(QObject*)
{
    MaskEdit1->setText(QStringLiteral("0101"));
}

void TFForm1::FormActivate(QObject*)
{
    // Back to Male each time; a change of selection runs RadioGroup1Click.
    RadioGroup1->setItemIndex(0);
    MaskEdit1->setFocus(Qt::OtherFocusReason);
}

void TFForm1::RadioGroup1Click(QObject*)
{
    switch (RadioGroup1->itemIndex()) {
    case -1:
    case 0:
        currentReport_ = pageReportOf(FFormM);
        break;
    case 1:
        currentReport_ = pageReportOf(Form2);
        break;
    default:
        break;
    }
}

void TFForm1::Button3Click(QObject*)
{
    close();
}

// ---- Profile --------------------------------------------------------------------

void TFForm1::MaskEdit1Exit(QObject*)
{
    // Throws the conversion error before anything changes.
    const profile::StarSignResult result = profile::calculateStarSign(MaskEdit1->text());
    for (const QString& notice : result.notices)
        desktop::showMessage(notice);
    Panel1->setCaption(result.heading);
    birthday_ = result.birthday;
    Edit2->setText(result.sign);
}

void TFForm1::Edit2Exit(QObject*)
{
    profile::ProfileInputs inputs;
    inputs.signBoxText = Edit2->text();
    inputs.birthday = birthday_;
    inputs.name = Edit1->text();
    inputs.sentiment = Edit3->text();
    inputs.luckyNumbers = Edit4->text();
    if (currentReport_ && currentReport_ == pageReportOf(Form2))
        inputs.variant = profile::Variant::Female;
    else if (currentReport_ && currentReport_ == pageReportOf(FFormM))
        inputs.variant = profile::Variant::Male;
    profile::updateProfile(inputs, detailState_);
}

void TFForm1::RadioButton1Enter(QObject*)
{
    RadioButton1->setChecked(false);
}

void TFForm1::RadioButton1Click(QObject*)
{
    Edit4->setText(profile::drawLuckyNumbersText());
}

// ---- Report commands ------------------------------------------------------------

TPageReport& TFForm1::reportForCommand()
{
    if (!currentReport_)
        RadioGroup1Click(RadioGroup1);
    if (!currentReport_)
        throw std::runtime_error("The profile pages are not ready");
    // The page reads detail.fdg only after asking whether it holds the profile
    // this window shows.
    for (ProfilePageForm* form : {static_cast<ProfilePageForm*>(Form2), static_cast<ProfilePageForm*>(FFormM)})
        if (form)
            form->watchDetailFile(&detailState_);
    return *currentReport_;
}

void TFForm1::Button1Click(QObject*)
{
    reportForCommand().Preview();
}

void TFForm1::Button2Click(QObject* sender)
{
    // Preview's button runs the profile update as the focus enters it; a click
    // on Print must compose what the window shows just the same.
    TPageReport& report = reportForCommand();
    Edit2Exit(sender);
    report.Print();
}

void TFForm1::Button4Click(QObject*)
{
    // Confirmed or cancelled, the dialog has done all there is to do.
    PrinterSetupDialog1.Execute();
}

void TFForm1::SpinEdit1Change(QObject*)
{
    const int value = SpinEdit1->Value();
    if (TPageReport* female = pageReportOf(Form2))
        female->setLeftMarginInches(value);
    if (TPageReport* male = pageReportOf(FFormM))
        male->setLeftMarginInches(value);
}
