#pragma once
// The main window: three pages, one per job. "Varn Format" converts a price
// file, "Trunc File" writes the last lines of a file, "Bar" loads price lines
// and builds open-high-low-close bars from them. The handlers only gather the
// user's choices, call the job and turn its status into words:
//
//   BitBtn1Click: open dialog "in.txt", save dialog "out.txt", conversion 0
//   -> RunConversion(in.txt, out.txt, Conversion::DatePrice) -> "File out.txt created!"

#include <QWidget>

#include "bars/bar_input.h"
#include "calendar/parse_date.h"
#include "calendar/regional.h"
#include "truncate/truncate.h"
#include "ui/FileDialogs.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QFrame;

namespace varn {

class BarChart;
class BarOptionsRow;
class BarTextArea;

class TForm1 final : public QWidget {
    Q_OBJECT

  public:
    // names are the regional month names and designators the date parser
    // searches; dialogs answers the window's questions, the platform's dialogs
    // when null.
    explicit TForm1(const RegionalNames& names, FileDialogs* dialogs = nullptr,
                    QWidget* parent = nullptr);
    ~TForm1() override;

    const TruncLines& TruncFileLines() const { return trunc_file_lines_; }
    BarInputLines& BarLines() { return bar_input_lines_; }
    // Whether a job that lets events run ("Create Bar") is under way.
    bool JobRunning() const { return job_running_; }
    // Loads path into the Bar page as its open button does after the dialog,
    // and shows that page; a failure is reported. False when nothing was
    // loaded (a failure, or a job under way).
    bool LoadBarFile(const QString& path);
    // What a file dropped on the window does: loaded into the Bar or Trunc
    // File page, whichever shows, or converted from the Varn Format page.
    void DropFile(const QString& path);
    // The folder the open dialogs start in: the one last chosen from.
    const QString& LastFolder() const { return last_folder_; }
    void SetLastFolder(const QString& folder) { last_folder_ = folder; }

  public slots:
    void FormCreate();
    void FormDestroy();
    void ComboBox1Change();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildVarnFormatPage();
    void BuildTruncPage();
    void BuildBarPage();
    void BuildBarOptionsRow();
    void SetJobRunning(bool running);
    void ShowChosenLayoutsStatus();
    // Says how the first line reads under the layouts and price form chosen.
    void ShowLinePreview();
    void ConvertFile(const QString& input);
    void LoadTruncFileLines(const QString& path);
    void RememberFolder(const QString& chosen);
    // input's folder and name with "-" suffix ".txt": what the save dialog
    // proposes ("prices.txt", "month" -> "prices-month.txt").
    QString ProposedName(const QString& input, const QString& suffix);
    void ShowFailure(const JobStatus& status);

    RegionalNames regional_;  // the regional month names and designators
    DateNames names_;         // the same, prepared once for detection
    QtFileDialogs platform_dialogs_;
    FileDialogs* dialogs_;
    TruncLines trunc_file_lines_;
    std::string trunc_file_name_;  // the file the lines came from
    BarInputLines bar_input_lines_;
    std::string bar_file_name_;
    QString last_folder_;  // where the open dialogs start
    bool job_running_ = false;

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    // Varn Format
    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    // Trunc File
    QPushButton* BitBtn2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QLabel* Label2 = nullptr;
    // Bar
    QFrame* Panel1 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QComboBox* ComboBoxD = nullptr;
    QComboBox* ComboBoxT = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QLabel* Panel2 = nullptr;
    BarTextArea* RichEdit1 = nullptr;
    BarOptionsRow* BarOptions = nullptr;
    BarChart* Chart = nullptr;      // the bars of the last job; hidden until one ran
    QLabel* BarStatus = nullptr;    // the file, its lines and what detection found
    QLabel* LinePreview = nullptr;  // how the first line reads under the chosen layouts
};

// The program's main window, while it runs.
extern TForm1* Form1;

}  // namespace varn
