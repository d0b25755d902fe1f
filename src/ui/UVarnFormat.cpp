#include "ui/UVarnFormat.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "bars/bar_line.h"
#include "bars/build_bars.h"
#include "calendar/date_layouts.h"
#include "convert/conversions.h"
#include "io/line_output.h"
#include "truncate/truncate.h"
#include "ui/BarChart.h"
#include "ui/BarOptionsRow.h"
#include "ui/BarTextArea.h"
#include "ui/FirstLinePreview.h"
#include "ui/ReportText.h"
#include "ui/T_progr.h"

namespace varn {

TForm1* Form1 = nullptr;

namespace {

// A path as the file layer takes it: in the local 8-bit encoding.
std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString CreatedMessage(const QString& path) {
    return QStringLiteral("File ") + path + QStringLiteral(" created!");
}

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

void FillList(QComboBox* list, auto&& items) {
    for (const auto& item : items) list->addItem(Latin1(item));
}

// A spin box that takes any whole number typed and brings it into range when
// the text is read (on leaving the box): 20000000 becomes the maximum, 0 the
// minimum, and text that is no number counts as the minimum.
class RangeSpinBox final : public QSpinBox {
  public:
    using QSpinBox::QSpinBox;

  protected:
    QValidator::State validate(QString& input, int&) const override {
        const QString text = input.trimmed();
        if (text.isEmpty() || text == QStringLiteral("-") || text == QStringLiteral("+")) {
            return QValidator::Intermediate;
        }
        bool ok = false;
        const qlonglong value = text.toLongLong(&ok);
        if (!ok) {
            // Digits too many for a number still only await correction.
            const bool digits = std::all_of(
                text.begin() + (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+')),
                text.end(), [](QChar c) { return c.isDigit(); });
            return digits ? QValidator::Intermediate : QValidator::Invalid;
        }
        return value >= minimum() && value <= maximum() ? QValidator::Acceptable
                                                        : QValidator::Intermediate;
    }
    void fixup(QString& input) const override {
        const QString text = input.trimmed();
        bool ok = false;
        const qlonglong value = text.toLongLong(&ok);
        if (!ok) {
            const bool negative = text.startsWith(QLatin1Char('-'));
            const bool digits = text.size() > 1 && std::all_of(text.begin() + 1, text.end(),
                                                               [](QChar c) { return c.isDigit(); });
            input = QString::number(digits && !negative ? maximum() : minimum());
            return;
        }
        input = QString::number(std::clamp<qlonglong>(value, minimum(), maximum()));
    }
};

// How often a running bar job lets pending events run: the clock is read
// every CheckEveryLines lines, events run once EventInterval has passed.
constexpr unsigned CheckEveryLines = 1024;
constexpr qint64 EventIntervalMs = 5;

}  // namespace

TForm1::TForm1(const RegionalNames& names, FileDialogs* dialogs, QWidget* parent)
    : QWidget(parent),
      regional_(names),
      names_(names),
      dialogs_(dialogs != nullptr ? dialogs : &platform_dialogs_) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Varn Format Convertor"));
    setAcceptDrops(true);
    resize(794, 309);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl1);

    BuildVarnFormatPage();
    BuildTruncPage();
    BuildBarPage();
    PageControl1->setCurrentWidget(TabSheet3);

    FormCreate();
}

TForm1::~TForm1() { FormDestroy(); }

void TForm1::BuildVarnFormatPage() {
    TabSheet1 = new QWidget();
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Varn Format"));

    Label1 = new QLabel(QStringLiteral("Format"), TabSheet1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    ComboBox1 = new QComboBox(TabSheet1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    FillList(ComboBox1, ConversionItems);
    Label1->setBuddy(ComboBox1);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton),
                              QStringLiteral("Convert"), TabSheet1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setMinimumSize(133, 54);

    GroupBox1 = new QGroupBox(QStringLiteral("Example"), TabSheet1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Memo1 = new QPlainTextEdit(GroupBox1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* group_layout = new QVBoxLayout(GroupBox1);
    group_layout->addWidget(Memo1);

    // The list and the button in a row, the example under them taking the
    // rest of the page.
    auto* row = new QHBoxLayout();
    row->addWidget(Label1);
    row->addWidget(ComboBox1, 1);
    row->addWidget(BitBtn1);
    auto* page = new QVBoxLayout(TabSheet1);
    page->setContentsMargins(7, 9, 7, 7);
    page->setSpacing(11);
    page->addLayout(row);
    page->addWidget(GroupBox1, 1);

    setTabOrder(ComboBox1, Memo1);
    setTabOrder(Memo1, BitBtn1);

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm1::ComboBox1Change);
    connect(ComboBox1, &QComboBox::activated, this, &TForm1::ComboBox1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
}

void TForm1::BuildTruncPage() {
    TabSheet2 = new QWidget();
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Trunc File"));

    BitBtn2 = new QPushButton(QStringLiteral("Open"), TabSheet2);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setMinimumSize(75, 34);

    Label3 = new QLabel(QStringLiteral("...."), TabSheet2);
    Label3->setObjectName(QStringLiteral("Label3"));
    // Room for the count of the largest file, so the row keeps its place.
    Label3->setMinimumWidth(
        Label3->fontMetrics().horizontalAdvance(QStringLiteral("0000000000 lines")));

    BitBtn3 = new QPushButton(QStringLiteral("Truncate last"), TabSheet2);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setMinimumSize(117, 34);

    SpinEdit1 = new RangeSpinBox(TabSheet2);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(1, 10000000);
    SpinEdit1->setValue(10000);
    SpinEdit1->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    SpinEdit1->setMinimumWidth(103);

    Label2 = new QLabel(QStringLiteral("lines"), TabSheet2);
    Label2->setObjectName(QStringLiteral("Label2"));

    auto* row = new QHBoxLayout();
    row->setSpacing(9);
    row->addWidget(BitBtn2);
    row->addWidget(Label3);
    row->addWidget(BitBtn3);
    row->addWidget(SpinEdit1);
    row->addWidget(Label2);
    row->addStretch(1);
    auto* page = new QVBoxLayout(TabSheet2);
    page->setContentsMargins(4, 3, 4, 4);
    page->addLayout(row);
    page->addStretch(1);

    setTabOrder(BitBtn2, BitBtn3);
    setTabOrder(BitBtn3, SpinEdit1);

    connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
}

void TForm1::BuildBarPage() {
    TabSheet3 = new QWidget();
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Bar"));

    Panel1 = new QFrame(TabSheet3);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    BitBtn4 =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogOpenButton), QString(), Panel1);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn4->setFixedSize(48, 37);
    BitBtn4->setIconSize(QSize(24, 24));
    BitBtn4->setToolTip(QStringLiteral("Open"));

    ComboBoxD = new QComboBox(Panel1);
    ComboBoxD->setObjectName(QStringLiteral("ComboBoxD"));
    // Each list as wide as its longest item.
    ComboBoxD->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    ComboBoxT = new QComboBox(Panel1);
    ComboBoxT->setObjectName(QStringLiteral("ComboBoxT"));
    ComboBoxT->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    FillList(ComboBoxT, TimeLayoutItems);

    ComboBox2 = new QComboBox(Panel1);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    FillList(ComboBox2, BarPeriodItems);
    ComboBox2->setCurrentIndex(Number(BarPeriod::Month));

    BitBtn5 = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay),
                              QStringLiteral("Create Bar"), Panel1);
    BitBtn5->setObjectName(QStringLiteral("BitBtn5"));
    BitBtn5->setMinimumSize(123, 31);

    Label4 = new QLabel(QStringLiteral("delimer"), Panel1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    ComboBox3 = new QComboBox(Panel1);
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    ComboBox3->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    FillList(ComboBox3, DelimiterItems);
    ComboBox3->setCurrentIndex(0);
    Label4->setBuddy(ComboBox3);

    Panel2 = new QLabel(QStringLiteral("DATE [TIME] OPEN HIGH LOW CLOSE"), Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setAlignment(Qt::AlignCenter);
    Panel2->setMinimumHeight(25);

    auto* lists = new QHBoxLayout();
    lists->setSpacing(2);
    lists->addWidget(BitBtn4);
    lists->addWidget(ComboBoxD);
    lists->addWidget(ComboBoxT);
    lists->addWidget(ComboBox2);
    lists->addSpacing(2);
    lists->addWidget(BitBtn5);
    lists->addSpacing(6);
    lists->addWidget(Label4);
    lists->addWidget(ComboBox3);
    lists->addStretch(1);
    auto* panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(2, 1, 1, 1);
    panel->setSpacing(3);
    panel->addLayout(lists);
    panel->addWidget(Panel2);

    RichEdit1 = new BarTextArea(bar_input_lines_, TabSheet3);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));

    auto* layout = new QVBoxLayout(TabSheet3);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    // The text area and, once a job has run, the chart of its bars.
    auto* split = new QSplitter(Qt::Vertical, TabSheet3);
    split->setObjectName(QStringLiteral("BarSplitter"));
    split->addWidget(RichEdit1);
    Chart = new BarChart(split);
    Chart->setObjectName(QStringLiteral("BarChart"));
    Chart->hide();
    split->addWidget(Chart);
    split->setChildrenCollapsible(false);
    layout->addWidget(split, 1);
    // Where things stand: the file, its lines, and what detection found.
    BarStatus = new QLabel(QStringLiteral("No file loaded"), TabSheet3);
    BarStatus->setObjectName(QStringLiteral("BarStatus"));
    BarStatus->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    BarStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(BarStatus);
    // How the first line reads under the layouts chosen: a time taken from a
    // whole-number price, or day and month swapped, show before a job runs.
    LinePreview = new QLabel(TabSheet3);
    LinePreview->setObjectName(QStringLiteral("LinePreview"));
    LinePreview->setWordWrap(true);
    LinePreview->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LinePreview->setContentsMargins(3, 1, 3, 1);
    layout->addWidget(LinePreview);
    // A layout chosen by hand: say how the first lines read under it.
    connect(ComboBoxD, &QComboBox::activated, this, &TForm1::ShowChosenLayoutsStatus);
    connect(ComboBoxT, &QComboBox::activated, this, &TForm1::ShowChosenLayoutsStatus);

    setTabOrder(BitBtn4, ComboBoxD);
    setTabOrder(ComboBoxD, ComboBoxT);
    setTabOrder(ComboBoxT, ComboBox2);
    setTabOrder(ComboBox2, BitBtn5);
    setTabOrder(BitBtn5, ComboBox3);
    setTabOrder(ComboBox3, RichEdit1);

    connect(BitBtn4, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn5Click);
    BuildBarOptionsRow();
    connect(ComboBoxD, &QComboBox::currentIndexChanged, this, &TForm1::ShowLinePreview);
    connect(ComboBoxT, &QComboBox::currentIndexChanged, this, &TForm1::ShowLinePreview);
    connect(BarOptions, &BarOptionsRow::FormChanged, this, &TForm1::ShowLinePreview);
    connect(RichEdit1, &BarTextArea::Edited, this, &TForm1::ShowLinePreview);
}

// The further bar choices, in a row under the lists and before the text area
// in the focus order.
void TForm1::BuildBarOptionsRow() {
    BarOptions = new BarOptionsRow(TabSheet3);
    if (auto* layout = qobject_cast<QVBoxLayout*>(TabSheet3->layout())) {
        layout->insertWidget(1, BarOptions);
    }
    setTabOrder(ComboBox3, BarOptions->FirstControl());
    setTabOrder(BarOptions->LastControl(), RichEdit1);
}

void TForm1::FormCreate() {
    ComboBox1->setCurrentIndex(0);
    ComboBox1Change();
    trunc_file_lines_.clear();
    ComboBoxD->clear();
    for (int n = 0; n < DateLayoutCount; ++n) ComboBoxD->addItem(Latin1(DateLayoutItem(n)));
    ComboBoxD->setCurrentIndex(0);
    ComboBoxT->setCurrentIndex(0);
}

void TForm1::FormDestroy() { TruncLines().swap(trunc_file_lines_); }

void TForm1::ComboBox1Change() {
    Memo1->clear();
    QStringList example;
    const std::optional<Conversion> conversion = ConversionOf(ComboBox1->currentIndex());
    if (!conversion) return;
    for (const std::string_view line : ConversionExample(*conversion)) {
        example.push_back(Latin1(line));
    }
    if (!example.isEmpty()) Memo1->setPlainText(example.join(QLatin1Char('\n')));
}

void TForm1::ShowFailure(const JobStatus& status) {
    dialogs_->ShowError(this, QString::fromLocal8Bit(status.Message()));
}

void TForm1::RememberFolder(const QString& chosen) {
    last_folder_ = QFileInfo(chosen).absolutePath();
}

QString TForm1::ProposedName(const QString& input, const QString& suffix) {
    if (input.isEmpty()) return last_folder_;
    const QFileInfo info(input);
    return info.dir().filePath(info.completeBaseName() + QLatin1Char('-') + suffix +
                               QStringLiteral(".txt"));
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!job_running_ && event->mimeData()->hasUrls() &&
        event->mimeData()->urls().front().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    if (job_running_ || !event->mimeData()->hasUrls()) return;
    const QString path = event->mimeData()->urls().front().toLocalFile();
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    DropFile(path);
}

void TForm1::DropFile(const QString& path) {
    if (job_running_) return;
    RememberFolder(path);
    // A file dropped loads into the page that shows, or is the input of Convert.
    if (PageControl1->currentWidget() == TabSheet1) {
        ConvertFile(path);
    } else if (PageControl1->currentWidget() == TabSheet2) {
        LoadTruncFileLines(path);
    } else {
        LoadBarFile(path);
    }
}

void TForm1::ShowChosenLayoutsStatus() {
    const auto date = DateLayoutOf(ComboBoxD->currentIndex());
    const auto time = TimeLayoutOf(ComboBoxT->currentIndex());
    if (!date || !time || bar_file_name_.empty()) return;
    const std::size_t examined =
        std::min<std::size_t>(bar_input_lines_.Count(), static_cast<std::size_t>(DetectLineCount));
    BarChoices choices;
    BarOptions->Apply(choices);
    const PriceForm form =
        choices.prices == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
    int fitting = 0;
    for (std::size_t i = 0; i < examined; ++i) {
        if (LineFitsLayouts(*date, *time, form, bar_input_lines_.Line(i), names_)) ++fitting;
    }
    BarStatus->setText(ChosenLayoutsStatusText(
        QFileInfo(QString::fromLocal8Bit(bar_file_name_.c_str())).fileName(),
        bar_input_lines_.Count(), fitting, static_cast<int>(examined)));
}

void TForm1::ShowLinePreview() {
    if (LinePreview == nullptr || BarOptions == nullptr) return;  // still being built
    const auto date = DateLayoutOf(ComboBoxD->currentIndex());
    const auto time = TimeLayoutOf(ComboBoxT->currentIndex());
    if (!date || !time || bar_input_lines_.Count() == 0) {
        LinePreview->clear();
        return;
    }
    BarChoices choices;
    BarOptions->Apply(choices);
    LinePreview->setText(
        FirstLinePreviewText(bar_input_lines_, *date, *time, choices.prices, names_));
}

void TForm1::SetJobRunning(bool running) {
    job_running_ = running;
    for (QPushButton* button : {BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5}) {
        button->setEnabled(!running);
    }
    RichEdit1->SetReadOnly(running);
}

// Convert.
void TForm1::BitBtn1Click() {
    if (job_running_) return;
    QString input = last_folder_;
    if (!dialogs_->GetOpenFileName(this, input)) return;
    RememberFolder(input);
    ConvertFile(input);
}

void TForm1::ConvertFile(const QString& input) {
    const std::optional<Conversion> conversion = ConversionOf(ComboBox1->currentIndex());
    if (!conversion) return;
    QString output = ProposedName(input, QString::number(Number(*conversion)));
    if (!dialogs_->GetSaveFileName(this, output)) return;
    const std::string input_path = LocalPath(input);
    JobReport report;
    report.status = CatchOutOfMemory(input_path, [&] {
        report = RunConversion(LineSource::File(input_path), Destination::File(LocalPath(output)),
                               {*conversion});
        return report.status;
    });
    if (report.used_no_line()) {
        dialogs_->ShowError(
            this,
            NoLineUsedText(report, QStringLiteral("as conversion %1").arg(Number(*conversion))));
        return;
    }
    if (!report.ok()) {
        ShowFailure(report.status);
        return;
    }
    dialogs_->ShowMessage(this, CreatedMessage(output), ConversionReportText(report));
}

// Open (Trunc File).
void TForm1::BitBtn2Click() {
    if (job_running_) return;
    QString path = last_folder_;
    if (!dialogs_->GetOpenFileName(this, path)) return;
    RememberFolder(path);
    LoadTruncFileLines(path);
}

void TForm1::LoadTruncFileLines(const QString& path) {
    trunc_file_name_ = LocalPath(path);
    const JobStatus status = CatchOutOfMemory(
        trunc_file_name_, [&] { return LoadTruncFile(trunc_file_name_, trunc_file_lines_); });
    if (!status) {
        TruncLines().swap(trunc_file_lines_);  // what was read before memory ran out
        ShowFailure(status);
        return;
    }
    Label3->setText(QString::number(trunc_file_lines_.size()) + QStringLiteral(" lines"));
}

// Truncate last.
void TForm1::BitBtn3Click() {
    if (job_running_) return;
    if (trunc_file_lines_.empty()) return;
    SpinEdit1->interpretText();
    QString path = ProposedName(QString::fromLocal8Bit(trunc_file_name_.c_str()),
                                QStringLiteral("last") + QString::number(SpinEdit1->value()));
    if (!dialogs_->GetSaveFileName(this, path)) return;
    const std::string output_path = LocalPath(path);
    const StringLines lines(trunc_file_lines_);
    const std::int64_t wanted = SpinEdit1->value();
    JobReport report;
    report.status = CatchOutOfMemory(output_path, [&] {
        report = RunTruncate(LineSource::Lines(lines, trunc_file_name_),
                             Destination::File(output_path), TruncateChoices{wanted});
        return report.status;
    });
    if (!report.ok()) {
        ShowFailure(report.status);
        return;
    }
    dialogs_->ShowMessage(this, CreatedMessage(path), TruncReportText(report, wanted));
}

// Open (Bar).
void TForm1::BitBtn4Click() {
    if (job_running_) return;
    QString path = last_folder_;
    // Cancelling keeps what is loaded, edits and all.
    if (!dialogs_->GetOpenFileName(this, path)) return;
    RememberFolder(path);
    LoadBarFile(path);
}

bool TForm1::LoadBarFile(const QString& path) {
    if (job_running_) return false;
    PageControl1->setCurrentWidget(TabSheet3);
    bar_file_name_ = LocalPath(path);
    Detection detection;
    const JobStatus status = CatchOutOfMemory(bar_file_name_, [&] {
        return LoadBarInput(bar_file_name_, bar_input_lines_, names_, detection,
                            BarOptions->FormToDetect());
    });
    if (!status) bar_input_lines_.Clear();  // what was read before memory ran out
    BarOptions->SetDetectedForm(detection.detected() ? detection.form : PriceForm::Auto);
    RichEdit1->Reload();
    if (!status) {
        LinePreview->clear();
        BarStatus->setText(QStringLiteral("%1: cannot be read").arg(path));
        ShowFailure(status);
        return false;
    }
    if (detection.detected()) {
        ComboBoxD->setCurrentIndex(Number(detection.pair.date_layout));
        ComboBoxT->setCurrentIndex(Number(detection.pair.time_layout));
    }
    BarStatus->setText(
        DetectionStatusText(QFileInfo(path).fileName(), bar_input_lines_.Count(), detection));
    ShowLinePreview();
    return true;
}

// Create Bar.
void TForm1::BitBtn5Click() {
    if (job_running_) return;
    BarChoices choices;
    choices.delimiter = ComboBox3->currentIndex() == 1 ? Delimiter::Comma : Delimiter::Space;
    choices.date_layout = DateLayoutOf(ComboBoxD->currentIndex()).value_or(DateLayout::YYMMDD);
    choices.time_layout =
        TimeLayoutOf(ComboBoxT->currentIndex()).value_or(TimeLayout::NotIndicated);
    choices.period = BarPeriodOf(ComboBox2->currentIndex()).value_or(BarPeriod::Month);
    choices.names = regional_;
    BarOptions->Apply(choices);

    // While the job lets events run, nothing may start another job or change
    // the lines it reads.
    SetJobRunning(true);
    ShowProgress(QString(), QStringLiteral("Calculate ..."), true);

    QElapsedTimer clock;
    clock.start();
    unsigned lines_since_check = 0;
    int shown_percent = -1;
    JobCallbacks progress;
    progress.step = [&shown_percent](int percent) {
        if (percent == shown_percent) return;
        shown_percent = percent;
        StepProgress(percent);
    };
    progress.stop_requested = [&clock, &lines_since_check] {
        if (++lines_since_check >= CheckEveryLines) {
            lines_since_check = 0;
            if (clock.elapsed() >= EventIntervalMs) {
                QCoreApplication::processEvents();
                clock.restart();
            }
        }
        return BreakRequested();
    };
    std::vector<std::string> bars;
    std::vector<ChartBar> chart_bars;
    choices.on_bar = [&chart_bars](const BuiltBar& bar) {
        chart_bars.push_back(
            {std::string(bar.stamp), bar.open, bar.high, bar.low, bar.close, bar.volume});
    };
    JobReport report;
    report.status = CatchOutOfMemory(bar_file_name_, [&] {
        report = RunBars(LineSource::Lines(bar_input_lines_, bar_file_name_),
                         Destination::Lines(bars), choices, progress);
        return report.status;
    });

    CloseProgress();
    SetJobRunning(false);
    if (report.used_no_line()) {
        dialogs_->ShowError(this, NoLineUsedText(report, QStringLiteral("as a bar under the "
                                                                        "chosen layouts")));
        return;
    }
    if (!report.ok()) {
        std::vector<std::string>().swap(bars);  // what was built before memory ran out
        ShowFailure(report.status);
        return;
    }
    Chart->SetBars(std::move(chart_bars), choices.volume);
    Chart->show();
    QString path =
        ProposedName(QString::fromLocal8Bit(bar_file_name_.c_str()),
                     Latin1(BarPeriodNames[static_cast<std::size_t>(Number(choices.period))]));
    if (!dialogs_->GetSaveFileName(this, path)) return;
    const JobStatus status = WriteLineFile(bars, Destination::File(LocalPath(path)));
    if (!status) {
        ShowFailure(status);
        return;
    }
    dialogs_->ShowMessage(this, CreatedMessage(path), BarReportText(report));
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A running bar job is asked to stop first; the window closes after it.
    if (job_running_) {
        if (TT_Progr != nullptr) TT_Progr->Button1Click();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace varn
