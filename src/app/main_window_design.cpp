#include "app/main_window_design.h"

namespace app {

namespace {

constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kRed = qRgb(255, 0, 0);

constexpr FontDesign kWindowFont{"Arial", 16, true, kNavy};
constexpr FontDesign kTitleFont{"Arial", 21, true, kNavy};
constexpr FontDesign kHeadingFont{"Arial", 21, true, kRed};
constexpr FontDesign kSmallFont{"Arial", 13, true, kNavy};

using K = ControlKind;

// Listed parents first; within a parent, in tab order.
const ControlDesign kControls[] = {
    // name            kind            parent    left top  width height  text                            font           tab    order
    {"MaskEdit1",      K::MaskEdit,    nullptr,   16, 184,  89,  27,  "",                                nullptr,       true,   0},
    {"Memo1",          K::Memo,        nullptr,  344, 416,  73,  25,  "",                                nullptr,       false,  1, false, false},
    {"Button1",        K::Button,      nullptr,  512, 240,  89,  25,  "Preview",                         &kSmallFont,   false,  2},
    {"Edit2",          K::Edit,        nullptr,   16, 216, 137,  27,  "Sign",                            nullptr,       false,  3, true},
    {"Button2",        K::Button,      nullptr,  512, 280,  89,  25,  "Print",                           &kSmallFont,   false,  4},
    {"Panel1",         K::Panel,       nullptr,    8,  72, 609,  41,  "",                                &kHeadingFont, false,  5},
    {"Panel2",         K::Panel,       nullptr,    8,   8, 609,  57,  "Stellaro U.K. Version 1.04",      &kTitleFont,   false,  6},
    {"Panel3",         K::Panel,       nullptr,  320, 176, 153, 193,  "",                                &kSmallFont,   false,  7},
    {"Panel4",         K::Panel,       nullptr,    8, 176, 289, 193,  "",                                &kSmallFont,   false,  8},
    {"Panel7",         K::Panel,       nullptr,  496, 176, 121, 193,  "",                                &kSmallFont,   false,  9},
    {"Panel6",         K::Panel,       nullptr,    8, 120, 609,  41,  "",                                nullptr,       false, 10},

    {"Edit4",          K::Edit,        "Panel3",   9, 153, 121,  24,  "",                                nullptr,       false,  0},
    {"RadioGroup1",    K::RadioGroup,  "Panel3",  17,  30, 121,  65,  "",                                nullptr,       true,   1, false, true, "Male\nFemale"},
    {"RadioButton1",   K::RadioButton, "Panel3",  16, 110, 122,  25,  "Lucky Numbers",                   nullptr,       true,   2},

    {"Edit1",          K::Edit,        "Panel4",   8,  98, 249,  21,  "Name",                            nullptr,       true,   0},
    {"Edit3",          K::Edit,        "Panel4",   8, 146, 249,  21,  "Personal Sentiment Line",         nullptr,       true,   1},
    {"Label2",         K::Label,       "Panel4", 112,  11,  90,  16,  "Enter the Date",                  nullptr,       false,  2},
    {"Label3",         K::Label,       "Panel4", 160,  51,  52,  16,  "Starsign",                        nullptr,       false,  3},
    {"Label4",         K::Label,       "Panel4",   8,  75,  74,  16,  "Enter Name",                      nullptr,       false,  4},
    {"Label5",         K::Label,       "Panel4",   8, 123, 122,  16,  "Enter Le Sentiment",              nullptr,       false,  5},

    {"Button3",        K::Button,      "Panel7",  17, 147,  85,  25,  "Exit",                            nullptr,       false,  0},
    {"Button4",        K::Button,      "Panel7",  17,  24,  89,  25,  "PrintSetup",                      nullptr,       true,   1},

    {"SpinEdit1",      K::SpinEdit,    "Panel6", 536,   8,  49,  26,  "",                                &kSmallFont,   true,   0, false, true, nullptr, {-10, 20, 3}},
    {"Label1",         K::Label,       "Panel6", 296,  16, 234,  21,  "Move Print Position By 1:10 Inches", &kSmallFont, false,  1},
};

using E = FormEvent;

const EventBinding kEvents[] = {
    {nullptr,        E::Create,   "FormCreate"},
    {nullptr,        E::Activate, "FormActivate"},
    {nullptr,        E::Click,    "RadioGroup1Click"},
    {"MaskEdit1",    E::Exit,     "MaskEdit1Exit"},
    {"Edit2",        E::Click,    "Edit2Exit"},
    {"Edit2",        E::Exit,     "Edit2Exit"},
    {"Edit1",        E::Exit,     "Edit2Exit"},
    {"Edit3",        E::Exit,     "Edit2Exit"},
    {"RadioGroup1",  E::Click,    "RadioGroup1Click"},
    {"RadioGroup1",  E::Exit,     "Edit2Exit"},
    {"RadioButton1", E::Enter,    "RadioButton1Enter"},
    {"RadioButton1", E::Click,    "RadioButton1Click"},
    {"RadioButton1", E::Exit,     "Edit2Exit"},
    {"Button1",      E::Enter,    "Edit2Exit"},
    {"Button1",      E::Click,    "Button1Click"},
    {"Button2",      E::Click,    "Button2Click"},
    {"Panel7",       E::Enter,    "RadioGroup1Click"},
    {"Button4",      E::Click,    "Button4Click"},
    {"Button3",      E::Click,    "Button3Click"},
    {"SpinEdit1",    E::Change,   "SpinEdit1Change"},
};

const FormDesign kDesign{
    "Stellaro Ver 1.04",
    kBlue,
    kWindowFont,
    202, 111, 434, 300,
    true,
    617, 369,
    kControls,
    kEvents,
};

} // namespace

const FormDesign& mainWindowDesign()
{
    return kDesign;
}

} // namespace app
