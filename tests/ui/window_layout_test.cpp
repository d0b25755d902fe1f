// The window's layout: at its default size no caption is cut and every list
// is wide enough for its longest item, on each page and in the progress
// window; made larger, the pages use the room.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "calendar/regional.h"
#include "ui/BarTextArea.h"
#include "ui/T_progr.h"
#include "ui/UVarnFormat.h"
#include "ui_support.h"

using namespace varn;

namespace {

// The room a list's longest item lacks in the field that draws the current
// item (0 when it shows whole): the style draws the text one pixel in from
// each side of that field, clipped and not elided.
int ComboShortfall(const QComboBox* list) {
    const QFontMetrics metrics = list->fontMetrics();
    int text = 0;
    for (int i = 0; i < list->count(); ++i) {
        text = std::max(text, metrics.horizontalAdvance(list->itemText(i)));
    }
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.subControls = QStyle::SC_All;
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, list);
    return std::max(0, text - (field.width() - 2));
}

// Fails the running test for each control under root, shown, whose text
// does not fit the room it was given.
void CheckNothingCut(QWidget* root) {
    QApplication::processEvents();
    int checked = 0;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(root)) continue;
        const QString name = widget->objectName().isEmpty()
                                 ? QString::fromLatin1(widget->metaObject()->className())
                                 : widget->objectName();
        const QString where = QStringLiteral("%1 is %2 x %3, needs ")
                                  .arg(name)
                                  .arg(widget->width())
                                  .arg(widget->height());
        if (auto* list = qobject_cast<QComboBox*>(widget)) {
            ++checked;
            const int shortfall = ComboShortfall(list);
            QVERIFY2(shortfall == 0, qPrintable(where + QStringLiteral("%1 more").arg(shortfall)));
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && label->wordWrap()) {
            ++checked;
            const int needed = label->heightForWidth(label->width());
            QVERIFY2(label->height() >= needed, qPrintable(where + QString::number(needed)));
            continue;
        }
        if (qobject_cast<QLabel*>(widget) == nullptr &&
            qobject_cast<QAbstractButton*>(widget) == nullptr) {
            continue;
        }
        ++checked;
        const QSize needed = widget->sizeHint();
        QVERIFY2(
            widget->width() >= needed.width() && widget->height() >= needed.height(),
            qPrintable(where + QStringLiteral("%1 x %2").arg(needed.width()).arg(needed.height())));
    }
    QVERIFY2(checked > 0, qPrintable(root->objectName()));
}

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<AnsweredDialogs> dialogs_;
    std::unique_ptr<TForm1> form_;

    QTabWidget* Pages() { return form_->findChild<QTabWidget*>(QStringLiteral("PageControl1")); }

  private slots:
    void initTestCase() { CreateProgressWindow(); }
    void cleanupTestCase() { DestroyProgressWindow(); }
    void init() {
        dialogs_ = std::make_unique<AnsweredDialogs>();
        form_ = std::make_unique<TForm1>(EnglishRegionalNames(), dialogs_.get());
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }
    void cleanup() {
        form_.reset();
        dialogs_.reset();
    }

    void DefaultSizeIsKept() {
        QCOMPARE(form_->size(), QSize(794, 309));
        QVERIFY(form_->minimumSizeHint().width() <= 794);
        QVERIFY(form_->minimumSizeHint().height() <= 309);
    }

    void NothingCutAtDefaultSize_data() {
        QTest::addColumn<int>("page");
        QTest::newRow("Varn Format") << 0;
        QTest::newRow("Trunc File") << 1;
        QTest::newRow("Bar") << 2;
    }
    void NothingCutAtDefaultSize() {
        QFETCH(int, page);
        Pages()->setCurrentIndex(page);
        CheckNothingCut(Pages()->currentWidget());
    }

    // The count of a large file, read by the Open button.
    void LineCountOfLargeFileShowsWhole() {
        QVERIFY(dir_.isValid());
        const QString input = dir_.filePath(QStringLiteral("million.txt"));
        varn::testing::WriteAll(input, QByteArray("1\n").repeated(1000000));
        Pages()->setCurrentIndex(1);
        dialogs_->open_answers.push_back(input);
        form_->findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
        auto* count = form_->findChild<QLabel*>(QStringLiteral("Label3"));
        QCOMPARE(count->text(), QStringLiteral("1000000 lines"));
        CheckNothingCut(Pages()->currentWidget());
    }

    void ProgressWindowCutsNothing() {
        ShowProgress(QString(), QStringLiteral("Calculate ..."), true);
        StepProgress(42);
        QVERIFY(TT_Progr != nullptr);
        QCOMPARE(TT_Progr->size(), QSize(373, 217));
        CheckNothingCut(TT_Progr);
        CloseProgress();
    }

    // Made larger, the text area and the example box take the room.
    void PagesUseTheRoomGiven_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("grows");
        QTest::newRow("Varn Format example") << 0 << "GroupBox1";
        QTest::newRow("Bar text area") << 2 << "RichEdit1";
    }
    void PagesUseTheRoomGiven() {
        QFETCH(int, page);
        QFETCH(QString, grows);
        Pages()->setCurrentIndex(page);
        QApplication::processEvents();
        auto* widget = form_->findChild<QWidget*>(grows);
        QVERIFY(widget != nullptr);
        const QSize before = widget->size();
        form_->resize(794 + 300, 309 + 200);
        QApplication::processEvents();
        QCOMPARE(widget->width(), before.width() + 300);
        QCOMPARE(widget->height(), before.height() + 200);
        CheckNothingCut(Pages()->currentWidget());
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
