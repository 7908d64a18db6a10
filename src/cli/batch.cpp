#include "cli/batch.h"

#include "cli/profile_input.h"
#include "cli/profile_list.h"
#include "pages/page_forms.h"
#include "desktop/printer_system.h"
#include "desktop/user_interface.h"
#include "report/page_report.h"
#include "report/qr_printer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <exception>
#include <unistd.h>

namespace cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    interrupted = 1;
}

void say(const QString& message)
{
    std::fprintf(stderr, "stellaro: %s\n", message.toLocal8Bit().constData());
}

// Nobody sits at the command line's windows: what would be asked is answered
// from the command, and what would be shown goes to standard error.
class CommandLineUserInterface final : public desktop::UserInterface {
public:
    explicit CommandLineUserInterface(const Output& output) : output_(output) {}
    void errorBox(const QString& text) override { say(text); }
    void messageBox(const QString& text) override { say(text.trimmed()); }
    void beep() override {}
    std::optional<QString> fileName(QWidget*, desktop::FileDialogKind, const desktop::FileDialogOptions&) override
    {
        return std::nullopt;
    }
    bool replaceFile(QWidget*, const QString&) override { return true; } // the command names its output
    std::optional<QString> pdfFileName(const QString&) override
    {
        if (output_.kind == Output::Kind::Pdf)
            return output_.file;
        return std::nullopt;
    }
    bool printerSetup(desktop::PrinterSetupWindow&) override { return false; }

private:
    Output output_;
};

// One page to compose.
struct Job {
    bool female = false;
    QStringList lines; // the profile record, in detail.fdg's order
};

Job jobFor(bool female, const profile::ProfileRecord& record)
{
    return {female, QStringList(record.begin(), record.end())};
}

// Progress on standard error: a bar on a terminal, a line now and then in a log.
class Progress {
public:
    explicit Progress(int total) : total_(total), terminal_(::isatty(STDERR_FILENO) == 1) {}
    void at(int done)
    {
        if (total_ < 2)
            return;
        const int percent = done * 100 / total_;
        if (percent == shown_)
            return;
        shown_ = percent;
        if (terminal_) {
            const int width = 30;
            const int filled = done * width / total_;
            std::fprintf(stderr, "\rComposing [%s%s] %d/%d", QByteArray(filled, '#').constData(),
                         QByteArray(width - filled, '.').constData(), done, total_);
            if (done == total_)
                std::fputc('\n', stderr);
        } else if (percent % 10 == 0) {
            std::fprintf(stderr, "stellaro: composed %d of %d pages\n", done, total_);
        }
        std::fflush(stderr);
    }
    void abandon()
    {
        if (terminal_ && shown_ >= 0)
            std::fputc('\n', stderr);
    }

private:
    int total_;
    bool terminal_;
    int shown_ = -1;
};

// Chooses the printer the output goes to; an error message when there is none.
QString choosePrinter(platform::TPrinter& printer, const Output& output)
{
    QString name;
    if (output.kind == Output::Kind::Pdf) {
        name = QString::fromLatin1(desktop::printToPdfName);
    } else if (output.kind == Output::Kind::Print) {
        name = output.printer;
    }
    const QString pdfPrinter = QString::fromLatin1(desktop::printToPdfName);
    if (!name.isEmpty()) {
        const int index = static_cast<int>(printer.printers().indexOf(name));
        if (index < 0) {
            QString error = QStringLiteral("there is no printer named '%1' (the printers are: %2)")
                                .arg(name, printer.printers().join(QStringLiteral(", ")));
            if (printer.printers() == QStringList{pdfPrinter})
                error += QStringLiteral("; is the printing system running?");
            return error;
        }
        printer.setPrinterIndex(index);
    }
    // The built-in PDF printer would ask for a file name in a dialog.
    if (output.kind == Output::Kind::Print && printer.getPrinter().device == pdfPrinter)
        return QStringLiteral("there is no printer to print on; write a PDF file with --pdf FILE instead");
    return {};
}

// Composes every job into the program's page store, one page each, then hands
// them to the output as one file or one print job.
int composeAndWrite(const std::vector<Job>& jobs, const Output& output, std::optional<int> offset)
{
    desktop::installUserInterface(std::make_unique<CommandLineUserInterface>(output));
    desktop::useSystemPrinter();
    TQRPrinter& store = createQRPrinter(qApp);
    store.setShowProgress(false);
    if (const QString error = choosePrinter(store.printer(), output); !error.isEmpty()) {
        say(error);
        return kExitFailure;
    }
    TForm2 female;
    TFFormM male;
    for (ProfilePageForm* form : {static_cast<ProfilePageForm*>(&female), static_cast<ProfilePageForm*>(&male)}) {
        form->PageReport1->ShowProgress = false;
        if (offset)
            form->PageReport1->setLeftMarginInches(*offset);
    }

    std::vector<QByteArray> pages;
    pages.reserve(jobs.size());
    int width = 0;
    int height = 0;
    Progress progress(static_cast<int>(jobs.size()));
    interrupted = 0;
    const auto previous = std::signal(SIGINT, onInterrupt);
    for (const Job& job : jobs) {
        if (interrupted)
            break;
        ProfilePageForm& form = job.female ? static_cast<ProfilePageForm&>(female) : male;
        form.useProfileLines(job.lines);
        form.PageReport1->Prepare();
        for (int n = 1; n <= store.storedPageCount(); ++n)
            pages.push_back(store.pageImage(n));
        width = store.printableWidth();
        height = store.printableHeight();
        store.setTitle(form.PageReport1->ReportTitle);
        store.Cleanup();
        progress.at(static_cast<int>(&job - jobs.data()) + 1);
    }
    std::signal(SIGINT, previous);
    if (interrupted) {
        progress.abandon();
        say(QStringLiteral("interrupted; nothing was written"));
        return 128 + SIGINT;
    }

    store.adoptPages(std::move(pages), width, height);
    if (output.kind == Output::Kind::Report)
        store.Save(output.file);
    else
        store.Print();
    store.Cleanup();
    return kExitOk;
}

std::optional<std::vector<Job>> jobsFor(const ComposeCommand& c)
{
    const auto checked = profileRecordFor(c.profile);
    if (const auto* e = std::get_if<ProfileError>(&checked)) {
        say(QStringLiteral("--%1: %2").arg(e->field, e->reason));
        return std::nullopt;
    }
    return std::vector<Job>{jobFor(c.profile.female, std::get<profile::ProfileRecord>(checked))};
}

std::optional<std::vector<Job>> jobsFor(const BatchCommand& c)
{
    // "-", as with other tools, is standard input.
    const bool standardInput = c.listFile == QLatin1String("-");
    const QString name = standardInput ? QStringLiteral("standard input") : c.listFile;
    QFile file(c.listFile);
    const bool folder = !standardInput && QFileInfo(c.listFile).isDir();
    if (folder || !(standardInput ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly))) {
        say(QStringLiteral("cannot read %1: %2").arg(name, folder ? QStringLiteral("it is a folder") : file.errorString()));
        return std::nullopt;
    }
    const ProfileList list = readProfileList(file.readAll());
    if (file.error() != QFileDevice::NoError) {
        say(QStringLiteral("cannot read %1: %2").arg(name, file.errorString()));
        return std::nullopt;
    }
    if (!list.errors.empty()) {
        constexpr std::size_t kShown = 20;
        for (std::size_t i = 0; i < list.errors.size() && i < kShown; ++i)
            say(QStringLiteral("%1: %2").arg(name, list.errors[i].text()));
        if (list.errors.size() > kShown)
            say(QStringLiteral("%1: %2 more errors").arg(name).arg(list.errors.size() - kShown));
        say(QStringLiteral("nothing was written"));
        return std::nullopt;
    }
    std::vector<Job> jobs;
    for (const ListRow& row : list.rows)
        jobs.push_back(jobFor(row.female, row.record));
    return jobs;
}

} // namespace

int runWithoutWindow(int argc, char** argv, const Command& command)
{
    // Qt's remark that a service has no runtime folder is no concern of ours here.
    static QtMessageHandler qtHandler = nullptr;
    qtHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (!text.startsWith(QLatin1String("QStandardPaths: ")))
            qtHandler(type, context, text);
    });
    // Pages are composed for a 96 dpi screen whatever display there is, and none
    // is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    std::optional<std::vector<Job>> jobs;
    Output output;
    std::optional<int> offset;
    if (const auto* c = std::get_if<ComposeCommand>(&command)) {
        jobs = jobsFor(*c);
        output = c->output;
        offset = c->offset;
    } else if (const auto* b = std::get_if<BatchCommand>(&command)) {
        jobs = jobsFor(*b);
        output = b->output;
        offset = b->offset;
    }
    if (!jobs)
        return kExitFailure;
    try {
        return composeAndWrite(*jobs, output, offset);
    } catch (const std::exception& e) {
        say(QString::fromUtf8(e.what()));
        return kExitFailure;
    }
}

} // namespace cli
