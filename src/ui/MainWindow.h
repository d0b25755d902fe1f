#pragma once
// The main window: three pages, one per job. "Varn Format" converts a price
// file, "Trunc File" writes the last lines of a file, "Bar" loads price lines
// and builds open-high-low-close bars from them. The slots only gather the
// user's choices, call the job and turn its report into words:
//
//   OnConvertClicked: open dialog "in.txt", save dialog "out.txt", conversion 0
//   -> RunConversion(in.txt, out.txt, {Conversion::DatePrice}) -> "File out.txt created!"
//
// Every control carries its member's name, without the trailing underscore,
// as its objectName ("period_list" for period_list_), which the settings and
// the tests find it by.

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bars/bar_input.h"
#include "bars/build_bars.h"
#include "calendar/parse_date.h"
#include "calendar/regional.h"
#include "truncate/truncate.h"
#include "ui/BackgroundJob.h"
#include "ui/BarChart.h"
#include "ui/PlatformDialogs.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTabWidget;

namespace varn {

class BarOptionsRow;
class BarTextArea;
class ProgressWindow;

class MainWindow final : public QMainWindow {
    Q_OBJECT

  public:
    // names are the regional month names and designators the date parser
    // searches; dialogs answers the window's questions, the platform's dialogs
    // when null.
    explicit MainWindow(const RegionalNames& names, Dialogs* dialogs = nullptr,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    const TruncLines& TruncateLines() const { return truncate_lines_; }
    BarInputLines& BarLines() { return bar_lines_; }
    // The window that shows a running job's progress.
    ProgressWindow& Progress() { return *progress_; }
    // Loads path into the Bar page as its open button does after the dialog,
    // and shows that page. The file is read on the job's thread; a failure is
    // reported and keeps what was loaded. Nothing happens while a job runs.
    void LoadBarFile(const QString& path);
    // What a file dropped on the window does: loaded into the Bar or Trunc
    // File page, whichever shows, or converted from the Varn Format page.
    void DropFile(const QString& path);
    // The folder the open dialogs start in: the one last chosen from.
    const QString& LastFolder() const { return last_folder_; }
    void SetLastFolder(const QString& folder) { last_folder_ = folder; }

  public slots:
    // File > Open: the open button of the page that shows (Convert on the
    // Varn Format page).
    void OnOpenChosen();
    void OnConversionChosen();
    void OnConvertClicked();
    void OnOpenLinesClicked();
    void OnTruncateClicked();
    void OnOpenPricesClicked();
    void OnCreateBarsClicked();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildConvertPage();
    void BuildTruncatePage();
    void BuildBarPage();
    // The options row under the panel, its reading controls in caption_row.
    void BuildBarOptionsRow(QHBoxLayout* caption_row);
    void BuildMenus();
    // Enables the buttons that have something to act on, with a tooltip
    // saying why when they do not.
    void UpdateButtons();
    // Shows bars in the chart, which takes room from the text area.
    void ShowChart(std::vector<ChartBar> bars, bool with_volume, StampStyle style);
    // The bars of a Create Bar, kept until they are saved.
    struct BuiltBars;

    // Runs work on the job's thread with the controls locked and a busy
    // cursor (and, with_progress, the progress window named name showing
    // message), then runs then on this thread. False when a job runs.
    bool StartJob(const QString& name, const QString& message, bool with_progress,
                  BackgroundJob::Work work, std::function<void()> then);
    void SetJobRunning(bool running);
    // The text area is read-only while a job or the symbol count reads it.
    void LockText();
    // Counts the symbols of the page's lines, read as detection read them
    // (under its layouts, or those of choices when it found none), on a
    // thread of its own while the window is used, and shows them in the
    // symbol list (keep_choice as SetSymbols takes it). Files with a symbol
    // column only; the load itself does not wait for the count.
    void CountSymbols(const Detection& detection, BarChoices choices, bool keep_choice);
    void SetBusyCursor(bool busy);
    // Asks where to save built and writes it there on the job's thread.
    void SaveBars(std::shared_ptr<BuiltBars> built);
    // Says why a bar job wrote nothing, when it did not; false when it did.
    bool ShowBarJobRefusal(const JobReport& report);
    void ShowChosenLayoutsStatus();
    // Says how the first line reads under the layouts, price form and
    // reading chosen.
    void ShowLinePreview();
    // Takes what detection found of the page's lines, read with form and
    // shape: the layouts in the lists, the form "auto" means, the status line.
    void ApplyDetection(const Detection& detection, PriceForm form, const ShapeChoices& shape);
    // A columns list committed or the decimal comma changed: the lines are
    // detected again with them.
    void OnReadingChosen();
    // Detects the page's lines again on the job's thread under the reading
    // chosen, and runs then after when something was detected (or the file
    // is too short to be).
    void DetectAgain(std::function<void()> then);
    // The choices under which the symbols of the page's lines are counted
    // when they were detected with form and shape: the layouts of the lists
    // (detection puts its own in their place), no zones.
    BarChoices SymbolCountChoices(PriceForm form, const ShapeChoices& shape) const;
    // Whether the reading chosen differs from the one of the last detection.
    bool ReadingChangedSinceDetection() const;
    // Builds bars from the page's lines (Create Bar, once the reading chosen
    // is the detected one).
    void CreateBars();
    // The first lines of the page, as many as detection looks at.
    std::vector<std::string_view> FirstBarLines() const;
    // The shape of the page's lines under the choices of the page, as a bar
    // job finds it; false with the reason when the columns cannot give bars.
    bool FindPageShape(LineShape& shape, std::string& reason) const;
    // Shows text in the status line, or while the columns list is refused,
    // why (text is shown again once the list reads).
    void SetBarStatus(const QString& text);
    void ShowBarStatus();
    void ConvertFile(const QString& input);
    void LoadTruncateLines(const QString& path);
    void RememberFolder(const QString& chosen);
    // input's folder and name with "-" suffix ".txt": what the save dialog
    // proposes ("prices.txt", "month" -> "prices-month.txt"; "prices.csv.gz"
    // too).
    QString ProposedName(const QString& input, const QString& suffix);
    void ShowFailure(const JobStatus& status);

    RegionalNames regional_;  // the regional month names and designators
    DateNames names_;         // the same, prepared once for detection
    PlatformDialogs platform_dialogs_;
    Dialogs* dialogs_;
    TruncLines truncate_lines_;
    std::string truncate_file_name_;  // the file the lines came from
    BarInputLines bar_lines_;
    std::string bar_file_name_;
    // The last detection of the page's lines, and the reading and price form
    // it was asked with.
    Detection detection_;
    ShapeChoices detected_shape_;
    PriceForm detected_with_form_ = PriceForm::Auto;
    QString status_text_;       // the status line, when the columns list reads
    QString last_folder_;       // where the open dialogs start
    bool job_running_ = false;  // a job, or the dialogs after it, under way
    bool busy_cursor_ = false;
    bool closing_ = false;          // closed during a job: close when it has ended
    bool bar_text_edited_ = false;  // the price lines were edited since they loaded
    QPointer<QWidget> focus_before_job_;
    BackgroundJob* job_ = nullptr;
    BackgroundJob* symbol_job_ = nullptr;  // counts the symbols of the page's lines
    ProgressWindow* progress_ = nullptr;

    QTabWidget* pages_ = nullptr;
    QWidget* convert_page_ = nullptr;
    QWidget* truncate_page_ = nullptr;
    QWidget* bar_page_ = nullptr;
    // Varn Format
    QLabel* format_label_ = nullptr;
    QComboBox* conversion_list_ = nullptr;
    QGroupBox* example_group_ = nullptr;
    QPlainTextEdit* example_text_ = nullptr;
    QPushButton* convert_button_ = nullptr;
    // Trunc File
    QPushButton* open_lines_button_ = nullptr;
    QLabel* line_count_label_ = nullptr;
    QPushButton* truncate_button_ = nullptr;
    QSpinBox* keep_lines_box_ = nullptr;
    QLabel* lines_label_ = nullptr;
    // Bar
    QFrame* bar_panel_ = nullptr;
    QPushButton* open_prices_button_ = nullptr;
    QComboBox* date_layout_list_ = nullptr;
    QComboBox* time_layout_list_ = nullptr;
    QComboBox* period_list_ = nullptr;
    QPushButton* create_bars_button_ = nullptr;
    QLabel* delimiter_label_ = nullptr;
    QComboBox* delimiter_list_ = nullptr;
    QLabel* columns_label_ = nullptr;  // "DATE [TIME] OPEN HIGH LOW CLOSE"
    BarTextArea* bar_text_ = nullptr;
    BarOptionsRow* bar_options_ = nullptr;
    QSplitter* bar_splitter_ = nullptr;
    BarChart* chart_ = nullptr;       // the bars of the last job; hidden until one ran
    QLabel* bar_status_ = nullptr;    // the file, its lines and what detection found
    QLabel* line_preview_ = nullptr;  // how the first line reads under the chosen layouts
};

}  // namespace varn
