#include "WindowFixture.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSemaphore>
#include <QtTest>
#include <atomic>

#include "ui/BackgroundJob.h"

namespace varn::testing {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray DailyLines(QDate first, int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        text += first.addDays(i).toString(QStringLiteral("MM/dd/yyyy")).toLatin1();
        text += " 1.5 1.6 1.4 1.55\r\n";
    }
    return text;
}

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i));
    return items;
}

void WindowFixture::init() {
    QVERIFY(dir_.isValid());
    dialogs_ = std::make_unique<AnsweredDialogs>();
    window_ = std::make_unique<MainWindow>(EnglishRegionalNames(), dialogs_.get());
}

void WindowFixture::cleanup() {
    QObject::disconnect(at_progress_);
    window_.reset();
    dialogs_.reset();
}

void WindowFixture::Click(const char* name) {
    auto* button = Child<QPushButton>(name);
    QVERIFY(button != nullptr);
    button->click();
    WaitUntilIdle();
}

void WindowFixture::WaitUntilIdle() {
    auto* open = Child<QPushButton>("open_prices_button");
    auto* symbols = Child<BackgroundJob>("symbol_job");
    QVERIFY(open != nullptr && symbols != nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(open->isEnabled() && !symbols->Running(), 120000);
}

void WindowFixture::OpenPrices(const QString& path) {
    dialogs_->open_answers.push_back(path);
    Click("open_prices_button");
}

QString WindowFixture::OpenDaily(const char* name, int days) {
    const QString path = Path(name);
    WriteAll(path, DailyLines(QDate(2001, 1, 15), days));
    OpenPrices(path);
    Child<QComboBox>("date_layout_list")->setCurrentIndex(5);  // MM/DD/YYYY
    return path;
}

void WindowFixture::ShowActive() {
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void WindowFixture::AtProgress(int percent, std::function<void()> act) {
    auto* job = window_->findChild<BackgroundJob*>(QStringLiteral("job"));
    QVERIFY(job != nullptr);
    struct Hold {
        std::atomic<bool> fired{false};
        QSemaphore done;
        std::function<void()> act;
    };
    auto hold = std::make_shared<Hold>();
    hold->act = std::move(act);
    QObject::disconnect(at_progress_);
    // Runs on the job's thread, which waits while the window's thread acts.
    at_progress_ = connect(
        job, &BackgroundJob::Progress, job,
        [hold, window = window_.get(), percent](int reached) {
            if (reached < percent || hold->fired.exchange(true)) return;
            QMetaObject::invokeMethod(
                window,
                [hold] {
                    hold->act();
                    hold->done.release();
                },
                Qt::QueuedConnection);
            hold->done.acquire();
        },
        Qt::DirectConnection);
}

}  // namespace varn::testing
