#pragma once
// The progress window: a small window above the others with a bar, a message
// and a "Break" button, shown while a job runs. The main window owns it,
// starts it for each job and feeds it the job's progress by signal; "Break"
// asks the job to stop, and the job closes the window when it ends:
//
//   progress->Start("Create Bar", "Calculate ...");  // bar at 0, Break cleared
//   progress->SetPosition(42);                      // 150 shows 100, -5 shows 0
//   "Break" pressed -> BreakPressed() true, bar back to 0, BreakClicked()

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace varn {

class ProgressWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    // Clears the break request, names the job in the title, shows message,
    // sets the bar to 0 and shows the window without making it modal, on top
    // of the others. Starts afresh a window already shown.
    void Start(const QString& job, const QString& message);
    // Whether "Break" was pressed since the last Start.
    bool BreakPressed() const { return break_pressed_; }
    int Position() const;

  public slots:
    // Sets the bar to percent, clamped to 0 to 100.
    void SetPosition(int percent);
    // What the "Break" button does: the bar back to 0, the request set and
    // BreakClicked emitted; once only until the next Start.
    void PressBreak();

  signals:
    void BreakClicked();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QProgressBar* progress_bar_ = nullptr;
    QLabel* message_label_ = nullptr;
    QPushButton* break_button_ = nullptr;
    bool break_pressed_ = false;
};

}  // namespace varn
