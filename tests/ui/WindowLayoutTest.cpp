// The window's layout: at its default size no caption is cut and every list
// is wide enough for its longest item, on each page and in the progress
// window; made larger, the pages use the room.

#include <QAbstractItemView>
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

#include "WindowFixture.h"
#include "calendar/regional.h"
#include "ui/BarTextArea.h"
#include "ui/MainWindow.h"
#include "ui/ProgressWindow.h"

using namespace varn;

namespace {

// The room a list's longest item lacks in the field that draws the current
// item (0 when it shows whole): the style draws the text one pixel in from
// each side of that field, clipped and not elided. An editable list (the
// zones, hundreds of names) scrolls a long name in its field like any line
// edit; the list that drops down must show every name whole.
int ComboShortfall(const QComboBox* list) {
    const QFontMetrics metrics = list->fontMetrics();
    int text = 0;
    for (int i = 0; i < list->count(); ++i) {
        text = std::max(text, metrics.horizontalAdvance(list->itemText(i)));
    }
    if (list->isEditable()) {
        const int scroll_bar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        return std::max(0, text + scroll_bar - list->view()->minimumWidth());
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
            if (list->isEditable()) {  // the zones: filled when first used
                list->showPopup();
                list->hidePopup();
            }
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

class WindowLayoutTest : public varn::testing::WindowFixture {
    Q_OBJECT

  private:
    QTabWidget* Pages() { return Child<QTabWidget>("pages"); }

  private slots:
    void init() {
        WindowFixture::init();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void DefaultSizeIsKept() {
        QCOMPARE(window_->size(), QSize(794, 309));
        QVERIFY(window_->minimumSizeHint().width() <= 794);
        QVERIFY(window_->minimumSizeHint().height() <= 309);
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
        const QString input = dir_.filePath(QStringLiteral("million.txt"));
        varn::testing::WriteAll(input, QByteArray("1\n").repeated(1000000));
        Pages()->setCurrentIndex(1);
        dialogs_->open_answers.push_back(input);
        Click("open_lines_button");
        auto* count = window_->findChild<QLabel*>(QStringLiteral("line_count_label"));
        QCOMPARE(count->text(), QStringLiteral("1000000 lines"));
        CheckNothingCut(Pages()->currentWidget());
    }

    void ProgressWindowCutsNothing() {
        ProgressWindow& progress = window_->Progress();
        progress.Start(QStringLiteral("Create Bar"), QStringLiteral("Calculate ..."));
        progress.SetPosition(42);
        QCOMPARE(progress.size(), QSize(373, 217));
        CheckNothingCut(&progress);
        progress.hide();
    }

    // Made larger, the text area and the example box take the room.
    void PagesUseTheRoomGiven_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("grows");
        QTest::newRow("Varn Format example") << 0 << "example_group";
        QTest::newRow("Bar text area") << 2 << "bar_text";
    }
    void PagesUseTheRoomGiven() {
        QFETCH(int, page);
        QFETCH(QString, grows);
        Pages()->setCurrentIndex(page);
        QApplication::processEvents();
        auto* widget = window_->findChild<QWidget*>(grows);
        QVERIFY(widget != nullptr);
        const QSize before = widget->size();
        window_->resize(794 + 300, 309 + 200);
        QApplication::processEvents();
        QCOMPARE(widget->width(), before.width() + 300);
        QCOMPARE(widget->height(), before.height() + 200);
        CheckNothingCut(Pages()->currentWidget());
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "WindowLayoutTest.moc"
