#include "ui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bars/bar_line.h"
#include "bars/bar_sinks.h"
#include "bars/build_bars.h"
#include "calendar/date_layouts.h"
#include "convert/conversions.h"
#include "io/line_output.h"
#include "truncate/truncate.h"
#include "ui/BackgroundJob.h"
#include "ui/BarChart.h"
#include "ui/BarOptionsRow.h"
#include "ui/BarTextArea.h"
#include "ui/ConversionExamples.h"
#include "ui/FirstLinePreview.h"
#include "ui/HelpText.h"
#include "ui/ProgressWindow.h"
#include "ui/RangeSpinBox.h"
#include "ui/ReportText.h"

namespace varn {

struct MainWindow::BuiltBars {
    QString input;        // the file the lines came from
    QString suffix;       // what the save dialog's proposal ends with: "month"
    QString failed_path;  // where saving failed last, if it did
    std::vector<std::string> bars;
    std::vector<ChartBar> chart_bars;
    JobReport report;
};

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

using Symbols = std::vector<std::pair<std::string, std::int64_t>>;

// Lines read beside the window by a job that takes no stop flag (RunDetect):
// once stop answers true every line reads empty, and the job soon ends.
class StoppableLines final : public LineList {
  public:
    StoppableLines(const LineList& lines, std::function<bool()> stop)
        : lines_(lines), stop_(std::move(stop)) {}
    std::size_t Count() const override { return lines_.Count(); }
    std::string_view Line(std::size_t i) const override {
        return stop_() ? std::string_view() : lines_.Line(i);
    }

  private:
    const LineList& lines_;
    std::function<bool()> stop_;
};

}  // namespace

MainWindow::MainWindow(const RegionalNames& names, Dialogs* dialogs, QWidget* parent)
    : QMainWindow(parent),
      regional_(names),
      names_(names),
      dialogs_(dialogs != nullptr ? dialogs : &platform_dialogs_) {
    setObjectName(QStringLiteral("main_window"));
    setWindowTitle(QStringLiteral("Varn Format Convertor"));
    setAcceptDrops(true);
    resize(794, 309);

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pages"));
    setCentralWidget(pages_);

    BuildConvertPage();
    BuildTruncatePage();
    BuildBarPage();
    pages_->setCurrentWidget(bar_page_);
    progress_ = new ProgressWindow(this);
    job_ = new BackgroundJob(this);
    symbol_job_ = new BackgroundJob(this);
    symbol_job_->setObjectName(QStringLiteral("symbol_job"));
    job_->setObjectName(QStringLiteral("job"));
    connect(job_, &BackgroundJob::Progress, progress_, &ProgressWindow::SetPosition);
    connect(progress_, &ProgressWindow::BreakClicked, job_, &BackgroundJob::RequestStop);

    BuildMenus();
    // Ctrl+Tab and Ctrl+Shift+Tab switch pages from any control.
    const auto switch_pages = [this](int step) {
        pages_->setCurrentIndex((pages_->currentIndex() + step + pages_->count()) %
                                pages_->count());
    };
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [switch_pages] { switch_pages(1); });
    }
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                                     QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [switch_pages] { switch_pages(-1); });
    }

    conversion_list_->setCurrentIndex(0);
    OnConversionChosen();
    UpdateButtons();
}

MainWindow::~MainWindow() {
    // The job may be reading the lines the members below hold.
    job_->StopAndWait();
    symbol_job_->StopAndWait();
    SetBusyCursor(false);
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("file_menu"));
    QAction* open = file->addAction(QStringLiteral("&Open..."), this, &MainWindow::OnOpenChosen);
    open->setObjectName(QStringLiteral("open_action"));
    open->setShortcut(QKeySequence::Open);
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("&Quit"), this, &QWidget::close);
    quit->setObjectName(QStringLiteral("quit_action"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    // The text area's own actions, as things stand when the menu opens; its
    // keys are the area's, so the menu only shows them.
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("edit_menu"));
    connect(edit, &QMenu::aboutToShow, this, [this, edit] {
        edit->clear();
        bar_text_->AddEditActions(edit);
        for (QAction* action : edit->actions()) {
            action->setShortcutContext(Qt::WidgetShortcut);
            if (pages_->currentWidget() != bar_page_) action->setEnabled(false);
        }
    });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("help_menu"));
    QAction* page = help->addAction(QStringLiteral("Varn Format Convertor &Help"), this,
                                    [this] { dialogs_->ShowHelp(this, HelpPageText()); });
    page->setObjectName(QStringLiteral("help_action"));
    page->setShortcut(QKeySequence::HelpContents);
    QAction* about = help->addAction(QStringLiteral("&About"), this,
                                     [this] { dialogs_->ShowAbout(this, AboutText()); });
    about->setObjectName(QStringLiteral("about_action"));
}

void MainWindow::OnOpenChosen() {
    if (pages_->currentWidget() == convert_page_) {
        OnConvertClicked();
    } else if (pages_->currentWidget() == truncate_page_) {
        OnOpenLinesClicked();
    } else {
        OnOpenPricesClicked();
    }
}

void MainWindow::UpdateButtons() {
    const bool idle = !job_running_;
    // Create Bar and Truncate last act on lines loaded: without them they
    // are greyed, and say why.
    const bool bar_lines = bar_lines_.Count() > 0;
    // A columns list or a zone that does not read: nothing is built until
    // it does.
    const QString refusal = bar_options_ != nullptr ? bar_options_->ColumnsRefusal() : QString();
    const QString zones = bar_options_ != nullptr ? bar_options_->ZonesRefusal() : QString();
    create_bars_button_->setEnabled(idle && bar_lines && refusal.isEmpty() && zones.isEmpty());
    create_bars_button_->setToolTip(
        !refusal.isEmpty()       ? QStringLiteral("The columns field does not read: ") + refusal
        : !zones.isEmpty()       ? QStringLiteral("The zone does not read: ") + zones
        : bar_lines              ? QStringLiteral("Build bars from the lines below and save them")
        : bar_file_name_.empty() ? QStringLiteral("Open a price file first")
                                 : QStringLiteral("There are no price lines to build bars from"));
    const bool truncate_lines = !truncate_lines_.empty();
    truncate_button_->setEnabled(idle && truncate_lines);
    truncate_button_->setToolTip(
        truncate_lines                ? QStringLiteral("Write the last lines of the file opened")
        : truncate_file_name_.empty() ? QStringLiteral("Open a file first")
                                      : QStringLiteral("The file opened has no lines"));
    for (QPushButton* button : {convert_button_, open_lines_button_, open_prices_button_}) {
        button->setEnabled(idle);
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Enter presses the focused button, as it does in a dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
            button != nullptr && button->isEnabled() && isAncestorOf(button)) {
            button->animateClick();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::BuildConvertPage() {
    convert_page_ = new QWidget();
    convert_page_->setObjectName(QStringLiteral("convert_page"));
    pages_->addTab(convert_page_, QStringLiteral("Varn Format"));

    format_label_ = new QLabel(QStringLiteral("F&ormat"), convert_page_);
    format_label_->setObjectName(QStringLiteral("format_label"));
    format_label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    conversion_list_ = new QComboBox(convert_page_);
    conversion_list_->setObjectName(QStringLiteral("conversion_list"));
    conversion_list_->setEditable(false);
    conversion_list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    FillList(conversion_list_, ConversionItems);
    format_label_->setBuddy(conversion_list_);

    convert_button_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton),
                                      QStringLiteral("&Convert"), convert_page_);
    convert_button_->setObjectName(QStringLiteral("convert_button"));
    convert_button_->setMinimumSize(133, 54);

    example_group_ = new QGroupBox(QStringLiteral("Example"), convert_page_);
    example_group_->setObjectName(QStringLiteral("example_group"));
    example_text_ = new QPlainTextEdit(example_group_);
    example_text_->setObjectName(QStringLiteral("example_text"));
    example_text_->setReadOnly(true);
    example_text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* group_layout = new QVBoxLayout(example_group_);
    group_layout->addWidget(example_text_);

    // The list and the button in a row, the example under them taking the
    // rest of the page.
    auto* row = new QHBoxLayout();
    row->addWidget(format_label_);
    row->addWidget(conversion_list_, 1);
    row->addWidget(convert_button_);
    auto* page = new QVBoxLayout(convert_page_);
    page->setContentsMargins(7, 9, 7, 7);
    page->setSpacing(11);
    page->addLayout(row);
    page->addWidget(example_group_, 1);

    setTabOrder(conversion_list_, example_text_);
    setTabOrder(example_text_, convert_button_);

    connect(conversion_list_, &QComboBox::currentIndexChanged, this,
            &MainWindow::OnConversionChosen);
    connect(conversion_list_, &QComboBox::activated, this, &MainWindow::OnConversionChosen);
    connect(convert_button_, &QPushButton::clicked, this, &MainWindow::OnConvertClicked);
}

void MainWindow::BuildTruncatePage() {
    truncate_page_ = new QWidget();
    truncate_page_->setObjectName(QStringLiteral("truncate_page"));
    pages_->addTab(truncate_page_, QStringLiteral("Trunc File"));

    open_lines_button_ = new QPushButton(QStringLiteral("&Open"), truncate_page_);
    open_lines_button_->setObjectName(QStringLiteral("open_lines_button"));
    open_lines_button_->setMinimumSize(75, 34);

    line_count_label_ = new QLabel(QStringLiteral("...."), truncate_page_);
    line_count_label_->setObjectName(QStringLiteral("line_count_label"));
    // Room for the count of the largest file, so the row keeps its place.
    line_count_label_->setMinimumWidth(
        line_count_label_->fontMetrics().horizontalAdvance(QStringLiteral("0000000000 lines")));

    truncate_button_ = new QPushButton(QStringLiteral("&Truncate last"), truncate_page_);
    truncate_button_->setObjectName(QStringLiteral("truncate_button"));
    truncate_button_->setMinimumSize(117, 34);

    keep_lines_box_ = new RangeSpinBox(truncate_page_);
    keep_lines_box_->setObjectName(QStringLiteral("keep_lines_box"));
    keep_lines_box_->setRange(1, 10000000);
    keep_lines_box_->setValue(10000);
    keep_lines_box_->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    keep_lines_box_->setMinimumWidth(103);

    lines_label_ = new QLabel(QStringLiteral("&lines"), truncate_page_);
    lines_label_->setObjectName(QStringLiteral("lines_label"));
    lines_label_->setBuddy(keep_lines_box_);

    auto* row = new QHBoxLayout();
    row->setSpacing(9);
    row->addWidget(open_lines_button_);
    row->addWidget(line_count_label_);
    row->addWidget(truncate_button_);
    row->addWidget(keep_lines_box_);
    row->addWidget(lines_label_);
    row->addStretch(1);
    auto* page = new QVBoxLayout(truncate_page_);
    page->setContentsMargins(4, 3, 4, 4);
    page->addLayout(row);
    page->addStretch(1);

    setTabOrder(open_lines_button_, truncate_button_);
    setTabOrder(truncate_button_, keep_lines_box_);

    connect(open_lines_button_, &QPushButton::clicked, this, &MainWindow::OnOpenLinesClicked);
    connect(truncate_button_, &QPushButton::clicked, this, &MainWindow::OnTruncateClicked);
}

void MainWindow::BuildBarPage() {
    bar_page_ = new QWidget();
    bar_page_->setObjectName(QStringLiteral("bar_page"));
    pages_->addTab(bar_page_, QStringLiteral("Bar"));

    bar_panel_ = new QFrame(bar_page_);
    bar_panel_->setObjectName(QStringLiteral("bar_panel"));
    bar_panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);

    open_prices_button_ =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogOpenButton), QString(), bar_panel_);
    open_prices_button_->setObjectName(QStringLiteral("open_prices_button"));
    open_prices_button_->setFixedSize(48, 37);
    open_prices_button_->setIconSize(QSize(24, 24));
    open_prices_button_->setToolTip(QStringLiteral("Open a price file (Ctrl+O)"));

    date_layout_list_ = new QComboBox(bar_panel_);
    date_layout_list_->setObjectName(QStringLiteral("date_layout_list"));
    // Each list as wide as its longest item.
    date_layout_list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (int n = 0; n < DateLayoutCount; ++n) date_layout_list_->addItem(Latin1(DateLayoutItem(n)));

    time_layout_list_ = new QComboBox(bar_panel_);
    time_layout_list_->setObjectName(QStringLiteral("time_layout_list"));
    time_layout_list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    FillList(time_layout_list_, TimeLayoutItems);

    period_list_ = new QComboBox(bar_panel_);
    period_list_->setObjectName(QStringLiteral("period_list"));
    period_list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    FillList(period_list_, BarPeriodItems);
    period_list_->setCurrentIndex(Number(BarPeriod::Month));

    create_bars_button_ = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay),
                                          QStringLiteral("Create &Bar"), bar_panel_);
    create_bars_button_->setObjectName(QStringLiteral("create_bars_button"));
    create_bars_button_->setMinimumSize(123, 31);

    delimiter_label_ = new QLabel(QStringLiteral("deli&miter"), bar_panel_);
    delimiter_label_->setObjectName(QStringLiteral("delimiter_label"));
    delimiter_label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    delimiter_list_ = new QComboBox(bar_panel_);
    delimiter_list_->setObjectName(QStringLiteral("delimiter_list"));
    delimiter_list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    FillList(delimiter_list_, DelimiterItems);
    delimiter_list_->setCurrentIndex(0);
    delimiter_label_->setBuddy(delimiter_list_);

    columns_label_ = new QLabel(QStringLiteral("DATE [TIME] OPEN HIGH LOW CLOSE"), bar_panel_);
    columns_label_->setObjectName(QStringLiteral("columns_label"));
    columns_label_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    columns_label_->setAlignment(Qt::AlignCenter);
    columns_label_->setMinimumHeight(25);

    auto* lists = new QHBoxLayout();
    lists->setSpacing(2);
    lists->addWidget(open_prices_button_);
    lists->addWidget(date_layout_list_);
    lists->addWidget(time_layout_list_);
    lists->addWidget(period_list_);
    lists->addSpacing(2);
    lists->addWidget(create_bars_button_);
    lists->addSpacing(6);
    lists->addWidget(delimiter_label_);
    lists->addWidget(delimiter_list_);
    lists->addStretch(1);
    auto* panel = new QVBoxLayout(bar_panel_);
    panel->setContentsMargins(2, 1, 1, 1);
    panel->setSpacing(3);
    panel->addLayout(lists);
    // The caption naming the columns read by position; the options row puts
    // the controls that name them otherwise beside it.
    auto* caption_row = new QHBoxLayout();
    caption_row->setSpacing(6);
    caption_row->addWidget(columns_label_, 1);
    panel->addLayout(caption_row);

    bar_text_ = new BarTextArea(bar_lines_, bar_page_);
    bar_text_->setObjectName(QStringLiteral("bar_text"));
    // At the least a line and the scroll bar under it: with the chart and
    // the options row's two lines, the page still fits the window's first
    // size.
    bar_text_->setMinimumHeight(bar_text_->fontMetrics().lineSpacing() +
                                style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth));

    auto* layout = new QVBoxLayout(bar_page_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar_panel_);
    // The text area and, once a job has run, the chart of its bars.
    bar_splitter_ = new QSplitter(Qt::Vertical, bar_page_);
    bar_splitter_->setObjectName(QStringLiteral("bar_splitter"));
    bar_splitter_->addWidget(bar_text_);
    chart_ = new BarChart(bar_splitter_);
    chart_->setObjectName(QStringLiteral("chart"));
    chart_->hide();
    bar_splitter_->addWidget(chart_);
    bar_splitter_->setChildrenCollapsible(false);
    layout->addWidget(bar_splitter_, 1);
    // Where things stand: the file, its lines, and what detection found.
    status_text_ = QStringLiteral("No file loaded");
    bar_status_ = new QLabel(status_text_, bar_page_);
    bar_status_->setObjectName(QStringLiteral("bar_status"));
    bar_status_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // How the lines read makes a long line: it wraps rather than widen the
    // window.
    bar_status_->setWordWrap(true);
    bar_status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(bar_status_);
    // How the first line reads under the layouts chosen: a time taken from a
    // whole-number price, or day and month swapped, show before a job runs.
    line_preview_ = new QLabel(bar_page_);
    line_preview_->setObjectName(QStringLiteral("line_preview"));
    line_preview_->setWordWrap(true);
    line_preview_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line_preview_->setContentsMargins(3, 1, 3, 1);
    layout->addWidget(line_preview_);
    // A layout chosen by hand: say how the first lines read under it.
    connect(date_layout_list_, &QComboBox::activated, this, &MainWindow::ShowChosenLayoutsStatus);
    connect(time_layout_list_, &QComboBox::activated, this, &MainWindow::ShowChosenLayoutsStatus);

    setTabOrder(open_prices_button_, date_layout_list_);
    setTabOrder(date_layout_list_, time_layout_list_);
    setTabOrder(time_layout_list_, period_list_);
    setTabOrder(period_list_, create_bars_button_);
    setTabOrder(create_bars_button_, delimiter_list_);
    setTabOrder(delimiter_list_, bar_text_);

    connect(open_prices_button_, &QPushButton::clicked, this, &MainWindow::OnOpenPricesClicked);
    connect(create_bars_button_, &QPushButton::clicked, this, &MainWindow::OnCreateBarsClicked);
    BuildBarOptionsRow(caption_row);
    connect(date_layout_list_, &QComboBox::currentIndexChanged, this, &MainWindow::ShowLinePreview);
    connect(time_layout_list_, &QComboBox::currentIndexChanged, this, &MainWindow::ShowLinePreview);
    connect(bar_options_, &BarOptionsRow::FormChanged, this, &MainWindow::ShowLinePreview);
    // A columns list that does not read shows so at once; one committed, or
    // the decimal comma, has the lines detected again.
    connect(bar_options_, &BarOptionsRow::ColumnsEdited, this, [this] {
        UpdateButtons();
        ShowBarStatus();
        ShowLinePreview();
    });
    connect(bar_options_, &BarOptionsRow::ReadingChosen, this, &MainWindow::OnReadingChosen);
    connect(bar_options_, &BarOptionsRow::ZonesEdited, this, [this] {
        UpdateButtons();
        ShowBarStatus();
    });
    connect(bar_text_, &BarTextArea::Edited, this, &MainWindow::ShowLinePreview);
    connect(bar_text_, &BarTextArea::Edited, this, [this] {
        bar_text_edited_ = true;
        UpdateButtons();
    });
    // A bar length takes the period list's place: the list says so.
    connect(bar_options_, &BarOptionsRow::LengthChanged, this, [this](bool chosen) {
        period_list_->setEnabled(!chosen);
        period_list_->setToolTip(chosen ? QStringLiteral("A bar length is chosen in the bar "
                                                         "list; choose \"period list\" there to "
                                                         "use a period")
                                        : QString());
    });
    setTabOrder(bar_text_, chart_);
}

// The further bar choices, in a row under the lists and before the text area
// in the focus order.
void MainWindow::BuildBarOptionsRow(QHBoxLayout* caption_row) {
    bar_options_ = new BarOptionsRow(bar_page_);
    if (auto* layout = qobject_cast<QVBoxLayout*>(bar_page_->layout())) {
        layout->insertWidget(1, bar_options_);
    }
    caption_row->addWidget(bar_options_->ReadingControls(), 1);
    setTabOrder(delimiter_list_, bar_options_->FirstControl());
    setTabOrder(bar_options_->LastControl(), bar_text_);
}

void MainWindow::OnConversionChosen() {
    example_text_->clear();
    const std::optional<Conversion> conversion = ConversionOf(conversion_list_->currentIndex());
    if (!conversion) return;
    QStringList example;
    for (const std::string_view line : ExampleInput(*conversion)) example.push_back(Latin1(line));
    example_text_->setPlainText(example.join(QLatin1Char('\n')));
}

void MainWindow::ShowFailure(const JobStatus& status) {
    dialogs_->ShowError(this, QString::fromLocal8Bit(status.Message()));
}

void MainWindow::RememberFolder(const QString& chosen) {
    last_folder_ = QFileInfo(chosen).absolutePath();
}

QString MainWindow::ProposedName(const QString& input, const QString& suffix) {
    if (input.isEmpty()) return last_folder_;
    const QFileInfo info(input);
    // The output is plain text: a compressed file's name loses both of its
    // extensions ("prices.csv.gz" -> "prices-month.txt").
    QString base = info.completeBaseName();
    if (info.suffix().compare(QLatin1String("gz"), Qt::CaseInsensitive) == 0 ||
        info.suffix().compare(QLatin1String("zip"), Qt::CaseInsensitive) == 0) {
        base = QFileInfo(base).completeBaseName();
    }
    return info.dir().filePath(base + QLatin1Char('-') + suffix + QStringLiteral(".txt"));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!job_running_ && event->mimeData()->hasUrls() &&
        event->mimeData()->urls().front().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    if (job_running_ || !event->mimeData()->hasUrls()) return;
    const QString path = event->mimeData()->urls().front().toLocalFile();
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    DropFile(path);
}

void MainWindow::DropFile(const QString& path) {
    if (job_running_) return;
    RememberFolder(path);
    // A file dropped loads into the page that shows, or is the input of Convert.
    if (pages_->currentWidget() == convert_page_) {
        ConvertFile(path);
    } else if (pages_->currentWidget() == truncate_page_) {
        LoadTruncateLines(path);
    } else {
        LoadBarFile(path);
    }
}

std::vector<std::string_view> MainWindow::FirstBarLines() const {
    const std::size_t count = std::min(bar_lines_.Count(), DetectFirstLines);
    std::vector<std::string_view> first;
    first.reserve(count);
    for (std::size_t i = 0; i < count; ++i) first.push_back(bar_lines_.Line(i));
    return first;
}

bool MainWindow::FindPageShape(LineShape& shape, std::string& reason) const {
    // As the bar job finds it from its first lines and choices.
    BarChoices choices;
    bar_options_->Apply(choices);
    ShapeChoices wanted = choices.shape;
    wanted.prices = choices.prices;
    return FindLineShape(FirstBarLines(), wanted, shape, reason);
}

void MainWindow::SetBarStatus(const QString& text) {
    status_text_ = text;
    ShowBarStatus();
}

void MainWindow::ShowBarStatus() {
    const QString refusal = bar_options_->ColumnsRefusal();
    const QString zones = bar_options_->ZonesRefusal();
    bar_status_->setText(!refusal.isEmpty() ? QStringLiteral("Columns field: ") + refusal
                         : !zones.isEmpty() ? QStringLiteral("Zone field, ") + zones
                                            : status_text_);
}

void MainWindow::ShowChosenLayoutsStatus() {
    const auto date = DateLayoutOf(date_layout_list_->currentIndex());
    const auto time = TimeLayoutOf(time_layout_list_->currentIndex());
    if (!date || !time || bar_file_name_.empty()) return;
    const QString file = QFileInfo(QString::fromLocal8Bit(bar_file_name_.c_str())).fileName();
    LineShape shape;
    std::string reason;
    if (!FindPageShape(shape, reason)) {
        SetBarStatus(QStringLiteral("%1: %2 lines. The columns cannot give bars: ")
                         .arg(file)
                         .arg(bar_lines_.Count()) +
                     WindowWords(reason));
        return;
    }
    BarChoices choices;
    bar_options_->Apply(choices);
    const std::vector<std::string_view> first = FirstBarLines();
    const int fitting = CountFittingLines(first, {*date, *time}, choices.prices, names_, shape);
    const std::size_t after_header =
        first.size() - std::min(first.size(), static_cast<std::size_t>(shape.header_line));
    SetBarStatus(ChosenLayoutsStatusText(
        file, bar_lines_.Count(), fitting,
        static_cast<int>(std::min<std::size_t>(after_header, DetectLineCount)), shape));
}

void MainWindow::ShowLinePreview() {
    if (line_preview_ == nullptr || bar_options_ == nullptr) return;  // still being built
    const auto date = DateLayoutOf(date_layout_list_->currentIndex());
    const auto time = TimeLayoutOf(time_layout_list_->currentIndex());
    if (!date || !time || bar_lines_.Count() == 0) {
        line_preview_->clear();
        return;
    }
    LineShape shape;
    std::string reason;
    if (!FindPageShape(shape, reason)) {
        line_preview_->setText(QStringLiteral("The columns cannot give bars: ") +
                               WindowWords(reason));
        return;
    }
    BarChoices choices;
    bar_options_->Apply(choices);
    line_preview_->setText(
        FirstLinePreviewText(bar_lines_, shape, *date, *time, choices.prices, names_));
}

void MainWindow::ApplyDetection(const Detection& detection, PriceForm form,
                                const ShapeChoices& shape) {
    detection_ = detection;
    detected_shape_ = shape;
    detected_with_form_ = form;
    bar_options_->SetDetectedForm(detection.detected() ? detection.form : PriceForm::Auto);
    if (detection.detected()) {
        date_layout_list_->setCurrentIndex(Number(detection.pair.date_layout));
        time_layout_list_->setCurrentIndex(Number(detection.pair.time_layout));
    }
    SetBarStatus(
        DetectionStatusText(QFileInfo(QString::fromLocal8Bit(bar_file_name_.c_str())).fileName(),
                            bar_lines_.Count(), detection));
    ShowLinePreview();
}

BarChoices MainWindow::SymbolCountChoices(PriceForm form, const ShapeChoices& shape) const {
    BarChoices choices;
    choices.names = regional_;
    choices.date_layout =
        DateLayoutOf(date_layout_list_->currentIndex()).value_or(DateLayout::YYMMDD);
    choices.time_layout =
        TimeLayoutOf(time_layout_list_->currentIndex()).value_or(TimeLayout::NotIndicated);
    choices.prices = form;
    choices.shape = shape;
    return choices;
}

bool MainWindow::ReadingChangedSinceDetection() const {
    if (bar_file_name_.empty()) return false;  // nothing was detected: lines typed in
    const ShapeChoices shape = bar_options_->Shape();
    return shape.columns != detected_shape_.columns ||
           shape.decimal_comma != detected_shape_.decimal_comma;
}

void MainWindow::OnReadingChosen() {
    if (!bar_options_->ColumnsRefusal().isEmpty() || !ReadingChangedSinceDetection()) return;
    // While a job runs the lines are not read again; they are when it ends.
    if (job_running_) return;
    // A press of Create Bar that took the focus from the columns field
    // detects again itself: a job started here would grey the button under
    // the press.
    if (QApplication::focusWidget() == create_bars_button_) return;
    DetectAgain({});
}

void MainWindow::DetectAgain(std::function<void()> then) {
    const ShapeChoices shape = bar_options_->Shape();
    const PriceForm form = bar_options_->FormToDetect();
    auto detection = std::make_shared<Detection>();
    StartJob(
        QStringLiteral("Detect"), QString(), false,
        [this, detection, shape, form](const JobCallbacks&) {
            // The lines stay as they are while the job runs; names_ is not
            // changed after the window is made.
            *detection = DetectInputLayouts(bar_lines_, names_, form, shape);
        },
        [this, detection, shape, form, then = std::move(then)] {
            ApplyDetection(*detection, form, shape);
            CountSymbols(*detection, SymbolCountChoices(form, shape), true);
            if (!then) return;
            // Nothing fits the lines read so, or they cannot be read: nothing
            // is built on the old layouts, and the status line says why.
            if (detection->detected() || detection->outcome == Detection::Outcome::TooFewLines) {
                then();
            } else {
                dialogs_->ShowError(this, bar_status_->text());
            }
        });
}

void MainWindow::SetJobRunning(bool running) {
    if (running == job_running_) return;
    job_running_ = running;
    // The button that started the job loses the focus while it is greyed;
    // it gets it back after.
    if (running) focus_before_job_ = QApplication::focusWidget();
    // While a job reads what the window holds, nothing may start another job
    // or change the lines it reads.
    UpdateButtons();
    LockText();
    SetBusyCursor(running);
    if (!running && focus_before_job_ != nullptr && focus_before_job_->isEnabled() &&
        focus_before_job_->isVisible()) {
        focus_before_job_->setFocus();
    }
    // A reading chosen while the job ran is taken now.
    if (!running && ReadingChangedSinceDetection()) {
        QTimer::singleShot(0, this, &MainWindow::OnReadingChosen);
    }
}

void MainWindow::LockText() { bar_text_->SetReadOnly(job_running_ || symbol_job_->Running()); }

void MainWindow::CountSymbols(const Detection& detection, BarChoices choices, bool keep_choice) {
    symbol_job_->StopAndWait();
    LockText();
    // Another file's symbols go at once; the same lines read anew keep
    // theirs until the count says.
    if (!keep_choice || detection.outcome == Detection::Outcome::BadColumns ||
        !detection.shape.HasSymbol()) {
        bar_options_->SetSymbols({}, keep_choice);
    }
    if (detection.outcome == Detection::Outcome::BadColumns || !detection.shape.HasSymbol()) {
        return;
    }
    if (detection.detected()) {
        choices.date_layout = detection.pair.date_layout;
        choices.time_layout = detection.pair.time_layout;
    }
    auto symbols = std::make_shared<Symbols>();
    symbol_job_->Start(
        [this, symbols, choices, name = bar_file_name_](const JobCallbacks& callbacks) {
            // The lines stay as they are while the count runs: the text is
            // read-only, and a load stops the count before it replaces them.
            const StoppableLines lines(bar_lines_, callbacks.stop_requested);
            const JobReport report = RunDetect(LineSource::Lines(lines, name), choices);
            if (report.ok() && report.reading) *symbols = report.reading->symbols;
        },
        [this, symbols, keep_choice] {
            bar_options_->SetSymbols(*symbols, keep_choice);
            LockText();
        });
    LockText();
}

void MainWindow::SetBusyCursor(bool busy) {
    if (busy == busy_cursor_) return;
    busy_cursor_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

bool MainWindow::StartJob(const QString& name, const QString& message, bool with_progress,
                          BackgroundJob::Work work, std::function<void()> then) {
    if (job_->Running()) return false;
    SetJobRunning(true);
    if (with_progress) progress_->Start(name, message);
    return job_->Start(std::move(work), [this, then = std::move(then)] {
        progress_->hide();
        // The window was closed while the job ran: nothing more is asked.
        if (closing_) {
            SetJobRunning(false);
            close();
            return;
        }
        // The dialogs that follow show the ordinary cursor.
        SetBusyCursor(false);
        then();
        // A continuation may have started the next step of the same job.
        if (!job_->Running()) SetJobRunning(false);
    });
}

// Convert.
void MainWindow::OnConvertClicked() {
    if (job_running_) return;
    QString input = last_folder_;
    if (!dialogs_->GetOpenFileName(this, input)) return;
    RememberFolder(input);
    ConvertFile(input);
}

void MainWindow::ConvertFile(const QString& input) {
    const std::optional<Conversion> conversion = ConversionOf(conversion_list_->currentIndex());
    if (!conversion) return;
    QString output = ProposedName(input, QString::number(Number(*conversion)));
    if (!dialogs_->GetSaveFileName(this, output)) return;
    auto report = std::make_shared<JobReport>();
    StartJob(
        QStringLiteral("Convert"), QFileInfo(input).fileName(), true,
        [report, input_path = LocalPath(input), output_path = LocalPath(output),
         choices = ConversionChoices{*conversion}](const JobCallbacks& callbacks) {
            report->status = CatchOutOfMemory(input_path, [&] {
                *report = RunConversion(LineSource::File(input_path),
                                        Destination::File(output_path), choices, callbacks);
                return report->status;
            });
        },
        [this, report, output, conversion] {
            if (report->stopped) return;  // Break: the output was left as it was
            if (report->used_no_line()) {
                dialogs_->ShowError(
                    this,
                    NoLineUsedText(*report,
                                   QStringLiteral("as conversion %1").arg(Number(*conversion))));
                return;
            }
            if (!report->ok()) {
                ShowFailure(report->status);
                return;
            }
            dialogs_->ShowMessage(this, CreatedMessage(output), ConversionReportText(*report));
        });
}

// Open (Trunc File).
void MainWindow::OnOpenLinesClicked() {
    if (job_running_) return;
    QString path = last_folder_;
    if (!dialogs_->GetOpenFileName(this, path)) return;
    RememberFolder(path);
    LoadTruncateLines(path);
}

void MainWindow::LoadTruncateLines(const QString& path) {
    struct Load {
        TruncLines lines;
        JobStatus status;
    };
    auto load = std::make_shared<Load>();
    const std::string file = LocalPath(path);
    StartJob(
        QStringLiteral("Open"), QString(), false,
        [load, file](const JobCallbacks&) {
            load->status = CatchOutOfMemory(file, [&] { return LoadTruncFile(file, load->lines); });
        },
        [this, load, file] {
            if (!load->status) {
                ShowFailure(load->status);
                return;
            }
            truncate_lines_ = std::move(load->lines);
            truncate_file_name_ = file;
            UpdateButtons();
            line_count_label_->setText(QString::number(truncate_lines_.size()) +
                                       QStringLiteral(" lines"));
        });
}

// Truncate last.
void MainWindow::OnTruncateClicked() {
    if (job_running_) return;
    if (truncate_lines_.empty()) return;
    keep_lines_box_->interpretText();
    QString path = ProposedName(QString::fromLocal8Bit(truncate_file_name_.c_str()),
                                QStringLiteral("last") + QString::number(keep_lines_box_->value()));
    if (!dialogs_->GetSaveFileName(this, path)) return;
    const std::int64_t wanted = keep_lines_box_->value();
    auto report = std::make_shared<JobReport>();
    StartJob(
        QStringLiteral("Truncate last"), QFileInfo(path).fileName(), true,
        [this, report, wanted, output_path = LocalPath(path)](const JobCallbacks& callbacks) {
            // The lines stay as they are while the job runs: Open is locked.
            const StringLines lines(truncate_lines_);
            report->status = CatchOutOfMemory(output_path, [&] {
                *report =
                    RunTruncate(LineSource::Lines(lines, truncate_file_name_),
                                Destination::File(output_path), TruncateChoices{wanted}, callbacks);
                return report->status;
            });
        },
        [this, report, path, wanted] {
            if (report->stopped) return;
            if (!report->ok()) {
                ShowFailure(report->status);
                return;
            }
            dialogs_->ShowMessage(this, CreatedMessage(path), TruncReportText(*report, wanted));
        });
}

// Open (Bar).
void MainWindow::OnOpenPricesClicked() {
    if (job_running_) return;
    QString path = last_folder_;
    // Cancelling keeps what is loaded, edits and all.
    if (!dialogs_->GetOpenFileName(this, path)) return;
    RememberFolder(path);
    LoadBarFile(path);
}

void MainWindow::LoadBarFile(const QString& path) {
    if (job_running_) return;
    RememberFolder(path);
    pages_->setCurrentWidget(bar_page_);
    if (bar_text_edited_ &&
        !dialogs_->Confirm(this, QStringLiteral("The price lines were edited. Replace them with "
                                                "%1 and lose the edits?")
                                     .arg(QFileInfo(path).fileName()))) {
        return;
    }
    struct Load {
        BarInputLines lines;
        Detection detection;
        JobStatus status;
        std::size_t longest = 0;  // measured here, not on the window's thread
    };
    auto load = std::make_shared<Load>();
    const std::string file = LocalPath(path);
    const QString shown_name = QFileInfo(path).fileName();
    SetBarStatus(QStringLiteral("%1: loading ...").arg(shown_name));
    // Read with the columns and decimal comma chosen (the columns while their
    // list reads), as a bar job reads them.
    const ShapeChoices shape = bar_options_->Shape();
    const PriceForm form = bar_options_->FormToDetect();
    StartJob(
        QStringLiteral("Open"), QString(), false,
        [this, load, file, form, shape](const JobCallbacks&) {
            // names_ is not changed after the window is made.
            load->status = CatchOutOfMemory(file, [&] {
                return LoadBarInput(file, load->lines, names_, load->detection, form, shape);
            });
            if (load->status) load->longest = BarTextArea::LongestLine(load->lines);
        },
        [this, load, file, path, form, shape] {
            if (!load->status) {
                // What was loaded before stays, edits and all.
                SetBarStatus(QStringLiteral("%1: cannot be read").arg(path));
                ShowFailure(load->status);
                return;
            }
            symbol_job_->StopAndWait();  // it reads the lines replaced here
            bar_lines_ = std::move(load->lines);
            bar_file_name_ = file;
            bar_text_edited_ = false;
            // The bars shown were another file's.
            chart_->Clear();
            chart_->hide();
            bar_text_->Reload(load->longest);
            ApplyDetection(load->detection, form, shape);
            CountSymbols(load->detection, SymbolCountChoices(form, shape), false);
            UpdateButtons();
        });
}

// Create Bar.
void MainWindow::OnCreateBarsClicked() {
    if (job_running_ || bar_lines_.Count() == 0) return;
    // A value left half typed shows what the job will use before it runs.
    bar_options_->CommitEdits();
    if (!bar_options_->ColumnsRefusal().isEmpty() || !bar_options_->ZonesRefusal().isEmpty()) {
        return;
    }
    // The lines are read as the status line says: detected again first
    // under a reading chosen since.
    if (ReadingChangedSinceDetection()) {
        DetectAgain([this] { CreateBars(); });
        return;
    }
    CreateBars();
}

void MainWindow::CreateBars() {
    BarChoices choices;
    choices.delimiter = delimiter_list_->currentIndex() == 1 ? Delimiter::Comma : Delimiter::Space;
    choices.date_layout =
        DateLayoutOf(date_layout_list_->currentIndex()).value_or(DateLayout::YYMMDD);
    choices.time_layout =
        TimeLayoutOf(time_layout_list_->currentIndex()).value_or(TimeLayout::NotIndicated);
    choices.period = BarPeriodOf(period_list_->currentIndex()).value_or(BarPeriod::Month);
    choices.names = regional_;
    bar_options_->Apply(choices);
    // The lists show what detection found: the job detects as `varn bars`
    // does, from the same lines and choices, so it finds the same layouts,
    // tells how it chose the day order, and refuses what it cannot read
    // right (which number of a tick line is the volume).
    const bool as_detected = detection_.detected() &&
                             bar_options_->FormToDetect() == detected_with_form_ &&
                             choices.date_layout == detection_.pair.date_layout &&
                             choices.time_layout == detection_.pair.time_layout;
    if (as_detected) {
        choices.date_layout.reset();
        choices.time_layout.reset();
        choices.prices = detected_with_form_;
    }

    auto built = std::make_shared<BuiltBars>();
    built->input = QString::fromLocal8Bit(bar_file_name_.c_str());
    // "one file each": the bars go straight into a folder chosen first, a
    // file a symbol; the chart, which shows one series, is not fed.
    const bool split = bar_options_->SplitChosen();
    QString folder;
    if (split) {
        folder = built->input.isEmpty() ? last_folder_ : QFileInfo(built->input).absolutePath();
        if (!dialogs_->GetFolder(this, folder)) return;
        choices.split_dir = LocalPath(folder);
    } else {
        // The proposal names what is built: "prices-month.txt",
        // "prices-20min.txt", "prices-EURUSD-month.txt".
        built->suffix =
            bar_options_->LengthChosen()
                ? bar_options_->LengthName()
                : Latin1(BarPeriodNames[static_cast<std::size_t>(Number(choices.period))]);
        if (!choices.symbol.empty()) {
            built->suffix.prepend(QString::fromLocal8Bit(SymbolFileName(choices.symbol)) +
                                  QLatin1Char('-'));
        }
        choices.on_bar = [built](const BuiltBar& bar) {
            built->chart_bars.push_back({std::string(bar.stamp), bar.open, bar.high, bar.low,
                                         bar.close, bar.volume, bar.date});
        };
    }
    StartJob(
        QStringLiteral("Create Bar"), QStringLiteral("Calculate ..."), true,
        [this, built, choices](const JobCallbacks& callbacks) {
            // The lines stay as they are while the job runs: the text is
            // read-only and Open is locked.
            built->report.status = CatchOutOfMemory(bar_file_name_, [&] {
                built->report = RunBars(LineSource::Lines(bar_lines_, bar_file_name_),
                                        Destination::Lines(built->bars), choices, callbacks);
                return built->report.status;
            });
        },
        [this, built, split, folder, volume = choices.volume, stamp = choices.stamp] {
            const JobReport& report = built->report;
            if (ShowBarJobRefusal(report)) return;
            // Lines edited since they were detected may detect otherwise:
            // the lists show what the job used.
            if (report.layouts && report.layouts->detected) {
                date_layout_list_->setCurrentIndex(Number(report.layouts->date));
                time_layout_list_->setCurrentIndex(Number(report.layouts->time));
            }
            if (split) {
                // The chart showed the bars of another job.
                chart_->Clear();
                chart_->hide();
                dialogs_->ShowMessage(
                    this, QStringLiteral("One file per symbol created in %1!").arg(folder),
                    SplitReportText(report));
                return;
            }
            // A line that went back in time started the job again from its
            // first line, and the bars of the pass before it were shown too:
            // the chart keeps those of the pass that was written.
            std::vector<ChartBar>& shown = built->chart_bars;
            const auto written = static_cast<std::size_t>(report.bars_written);
            if (shown.size() > written) {
                shown.erase(shown.begin(), shown.end() - static_cast<std::ptrdiff_t>(written));
            }
            ShowChart(std::move(shown), volume, stamp);
            SaveBars(built);
        });
}

bool MainWindow::ShowBarJobRefusal(const JobReport& report) {
    if (report.used_no_line()) {
        dialogs_->ShowError(
            this, NoLineUsedText(report, QStringLiteral("as a bar under the chosen layouts")));
        return true;
    }
    if (report.ok()) return false;
    // Lines edited to hold more symbols than the list knows: it offers them.
    if (report.status.error == ReadingError(ReadingFault::ManySymbols) && report.reading) {
        bar_options_->SetSymbols(report.reading->symbols, true);
    }
    dialogs_->ShowError(this, BarFailureText(report));
    return true;
}

void MainWindow::SaveBars(std::shared_ptr<BuiltBars> built) {
    // After a failed save the dialog proposes the file that failed.
    QString path = built->failed_path.isEmpty() ? ProposedName(built->input, built->suffix)
                                                : built->failed_path;
    if (!dialogs_->GetSaveFileName(this, path)) return;
    auto status = std::make_shared<JobStatus>();
    StartJob(
        QStringLiteral("Create Bar"), QStringLiteral("Writing %1").arg(QFileInfo(path).fileName()),
        false,
        [built, status, output_path = LocalPath(path)](const JobCallbacks&) {
            *status = CatchOutOfMemory(output_path, [&] {
                return WriteLineFile(built->bars, Destination::File(output_path));
            });
        },
        [this, built, status, path] {
            if (!*status) {
                // The bars are kept: the user picks another place.
                ShowFailure(*status);
                built->failed_path = path;
                SaveBars(built);
                return;
            }
            dialogs_->ShowMessage(this, CreatedMessage(path), BarReportText(built->report));
        });
}

void MainWindow::ShowChart(std::vector<ChartBar> bars, bool with_volume, StampStyle style) {
    // The chart takes half of the text area's room the first time, rather
    // than making the window taller.
    const bool first = chart_->isHidden();
    const QList<int> sizes = bar_splitter_->sizes();
    chart_->SetBars(std::move(bars), with_volume, style);
    chart_->show();
    if (first && !sizes.isEmpty()) {
        const int room = sizes.front();
        bar_splitter_->setSizes({room - room / 2, room / 2});
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A running job is asked to stop first; the window closes when it has,
    // asking nothing more.
    if (job_running_) {
        closing_ = true;
        job_->RequestStop();
        progress_->PressBreak();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

}  // namespace varn
