#pragma once
// What the window tests share: a fresh main window for every test, its
// questions answered by AnsweredDialogs, a temporary folder for the files,
// and the steps a user takes (open prices, press a button and wait for the
// job it starts) so a test reads as what the user does:
//
//   class MainWindowTest : public WindowFixture { ... };
//   OpenPrices(Path("daily.txt"));
//   dialogs_->save_answers.push_back(Path("bars.txt"));
//   Click("create_bars_button");   // returns once the job and its dialogs are done

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "ui/MainWindow.h"
#include "ui/tools/AnsweredDialogs.h"

class QComboBox;

namespace varn::testing {

// The bytes of path, or "<missing>" when it cannot be read.
QByteArray ReadAll(const QString& path);
// Writes bytes to path, failing the running test when it cannot.
void WriteAll(const QString& path, const QByteArray& bytes);
// Daily price lines "MM/DD/YYYY 1.5 1.6 1.4 1.55" CR LF from first, count days.
QByteArray DailyLines(QDate first, int count);
// The items of a list, in order.
QStringList Items(const QComboBox* list);

class WindowFixture : public QObject {
    Q_OBJECT

  protected:
    // The control named name (its objectName), or null with a warning.
    template <class T>
    T* Child(const char* name) const {
        T* child = window_->findChild<T*>(QString::fromLatin1(name));
        if (child == nullptr) qWarning("no control %s", name);
        return child;
    }
    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    // Clicks the button named name and waits until the job it started, with
    // the dialogs after it, has ended.
    void Click(const char* name);
    // Waits until no job runs (the open buttons, locked while one does, take
    // clicks again) and the symbols are counted.
    void WaitUntilIdle();
    // Loads path on the Bar page through its open button.
    void OpenPrices(const QString& path);
    // Writes days of daily lines from 15 January 2001 to name, opens them and
    // chooses their date layout (a file this short is not detected).
    QString OpenDaily(const char* name, int days);
    // Shows the window and waits until it has the focus, so keys reach it.
    void ShowActive();
    // When the next job reports percent done or more, holds its thread, runs
    // act on the window's thread and then lets the job go on: act sees the
    // job under way, however fast the machine. Call before starting the job.
    void AtProgress(int percent, std::function<void()> act);

    QTemporaryDir dir_;
    std::unique_ptr<AnsweredDialogs> dialogs_;
    QMetaObject::Connection at_progress_;
    std::unique_ptr<MainWindow> window_;

  protected slots:
    // QtTest runs these around every test of a derived class; one that
    // defines its own init calls this one first.
    void init();
    void cleanup();
};

}  // namespace varn::testing
