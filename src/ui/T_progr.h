#pragma once
// The progress window: a small window above all others with a bar, a message
// and a "Break" button, driven by a job that runs on the window thread.
//
//   ShowProgress("", "Calculate ...", true);
//   for (...) { StepProgress(percent); if (BreakRequested()) break; }
//   CloseProgress();  // a fresh hidden window takes its place
//
// The bar is set by a ProgressPositionMessage event (150 shows 100, -5 shows
// 0); pressing "Break" sends a BreakBroadcastMessage event to every top-level
// window of the program, sets the bar to 0 and sets BreakPressed.

#include <QEvent>
#include <QString>
#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

namespace varn {

// Sets the bar of the progress window to position(), clamped to 0 to 100.
class ProgressPositionMessage final : public QEvent {
  public:
    static constexpr QEvent::Type EventType = static_cast<QEvent::Type>(QEvent::User + 1797);
    explicit ProgressPositionMessage(int position) : QEvent(EventType), position_(position) {}
    int position() const { return position_; }

  private:
    int position_;
};

// Announces to every top-level window that "Break" was pressed; no window acts
// on it, but anyone may listen.
inline constexpr QEvent::Type BreakBroadcastMessage =
    static_cast<QEvent::Type>(QEvent::User + 1809);

class TTT_Progr final : public QWidget {
    Q_OBJECT

  public:
    explicit TTT_Progr(QWidget* parent = nullptr);

    bool BreakPressed() const { return break_pressed_; }
    void SetBreakPressed(bool pressed) { break_pressed_ = pressed; }
    int Position() const;

  public slots:
    void FormCreate();
    // The "Break" button.
    void Button1Click();

  signals:
    // Emitted after "Break" was pressed and broadcast.
    void BreakClicked();

  protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormShow();

    QProgressBar* Gauge1 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    bool break_pressed_ = false;

    friend void ShowProgress(const QString&, const QString&, bool);
};

// The one progress window; hidden while no job runs. Null before
// CreateProgressWindow and after DestroyProgressWindow.
extern TTT_Progr* TT_Progr;

// Creates the hidden progress window (at program start).
void CreateProgressWindow();
// Destroys it (at program end).
void DestroyProgressWindow();

// Clears BreakPressed, sets the title and message, shows the "Break" button
// only when allow_break, sets the bar to 0 and shows the window without making
// it modal. Re-initialises a window already shown.
void ShowProgress(const QString& caption, const QString& message, bool allow_break);
// Shows the window (as ShowProgress("", "", true)) when hidden, sets the bar
// to position (clamped to 0 to 100) and lets pending events run.
void StepProgress(int position);
// Whether "Break" was pressed since the last ShowProgress; runs no events.
bool BreakRequested();
// Removes the window and puts a fresh hidden one in its place.
void CloseProgress();

}  // namespace varn
