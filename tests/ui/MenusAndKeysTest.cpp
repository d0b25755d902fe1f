// What a desktop user reaches for: the menus, their keys and the others.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "WindowFixture.h"
#include "ui/BarTextArea.h"

using namespace varn;
using namespace varn::testing;

class MenusAndKeysTest : public WindowFixture {
    Q_OBJECT

  private:
    QTabWidget* Pages() { return Child<QTabWidget>("pages"); }

  private slots:
    // Each key from a control of a page: the dialogs it opens (Ctrl+O opens
    // on the page that shows), the page it shows, whether the window stays.
    void KeysDoWhatTheySay_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<QList<int>>("want");  // open and save asked, help shown, page, open
        const QKeyCombination open(Qt::ControlModifier, Qt::Key_O);
        QTest::newRow("Ctrl+O, convert") << 0 << "conversion_list" << open << QList{1, 1, 0, 0, 1};
        QTest::newRow("Ctrl+O, truncate") << 1 << "keep_lines_box" << open << QList{1, 0, 0, 1, 1};
        QTest::newRow("Ctrl+O, bars") << 2 << "bar_text" << open << QList{1, 0, 0, 2, 1};
        QTest::newRow("Ctrl+Q") << 2 << "bar_text"
                                << QKeyCombination(Qt::ControlModifier, Qt::Key_Q)
                                << QList{0, 0, 0, 2, 0};
        QTest::newRow("F1") << 0 << "conversion_list" << QKeyCombination(Qt::Key_F1)
                            << QList{0, 0, 1, 0, 1};
        QTest::newRow("Enter on a button")
            << 1 << "open_lines_button" << QKeyCombination(Qt::Key_Return) << QList{1, 0, 0, 1, 1};
        QTest::newRow("Alt+B: Create &Bar")
            << 2 << "bar_text" << QKeyCombination(Qt::AltModifier, Qt::Key_B)
            << QList{0, 1, 0, 2, 1};
        QTest::newRow("Ctrl+Tab") << 2 << "bar_text"
                                  << QKeyCombination(Qt::ControlModifier, Qt::Key_Tab)
                                  << QList{0, 0, 0, 0, 1};
        QTest::newRow("Ctrl+Shift+Tab")
            << 0 << "conversion_list"
            << QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Backtab)
            << QList{0, 0, 0, 2, 1};
    }
    void KeysDoWhatTheySay() {
        QFETCH(int, page);
        QFETCH(QString, focus);
        QFETCH(QKeyCombination, keys);
        QFETCH(QList<int>, want);
        WriteAll(Path("keys.txt"), "010102 1.5 1.6 1.4 1.55\r\n");
        OpenPrices(Path("keys.txt"));
        ShowActive();
        Pages()->setCurrentIndex(page);
        auto* focused = Child<QWidget>(focus.toLatin1().constData());
        focused->setFocus();
        dialogs_->open_answers.push_back(Path("keys.txt"));
        dialogs_->save_answers.push_back(std::nullopt);
        QTest::keyClick(focused, keys.key(), keys.keyboardModifiers());
        // A button pressed by a key shows itself pressed for a moment first.
        QTest::qWait(QApplication::doubleClickInterval() / 2);
        WaitUntilIdle();
        QCOMPARE(QList({dialogs_->open_asked - 1, dialogs_->save_asked, int(dialogs_->help.size()),
                        Pages()->currentIndex(), int(window_->isVisible())}),
                 want);
    }

    // About names the version and the licence; the help page lists every
    // layout and period the lists offer.
    void HelpMenuShowsAboutAndHelp() {
        Child<QAction>("about_action")->trigger();
        Child<QAction>("help_action")->trigger();
        QCOMPARE(dialogs_->about.size(), 1);
        QVERIFY(dialogs_->about.front().contains(QStringLiteral("MIT")));
        QVERIFY(dialogs_->about.front().contains(QStringLiteral(VARN_VERSION)));
        // The page lists what the lists offer.
        QStringList missing;
        for (const QComboBox* list : window_->findChildren<QComboBox*>()) {
            if (list->objectName().endsWith(QStringLiteral("layout_list")) ||
                list->objectName() == QStringLiteral("period_list")) {
                for (const QString& item : Items(list)) {
                    if (!dialogs_->help.front().contains(item.toHtmlEscaped())) missing += item;
                }
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    }

    // The Edit menu is the text area's: its actions act on the price lines.
    void EditMenuActsOnTheText() {
        const QString input = Path("edit.txt");
        WriteAll(input, "ab\r\ncd\r\n");
        OpenPrices(input);
        auto* edit = Child<QMenu>("edit_menu");
        emit edit->aboutToShow();
        QStringList texts;
        for (QAction* action : edit->actions()) texts += action->text().remove(QLatin1Char('&'));
        QCOMPARE(texts,
                 QStringList({"Undo", "Redo", "", "Cut", "Copy", "Paste", "", "Select All"}));
        edit->actions().back()->trigger();
        QCOMPARE(Child<BarTextArea>("bar_text")->SelectedText(), std::string("ab\ncd"));
        // On another page it acts on nothing.
        Pages()->setCurrentIndex(0);
        emit edit->aboutToShow();
        for (QAction* action : edit->actions()) QVERIFY(!action->isEnabled());
    }

    // Every button and label with text has a letter to reach it by.
    void ControlsHaveMnemonics() {
        QStringList without;
        for (const QAbstractButton* button : window_->findChildren<QAbstractButton*>()) {
            if (!button->text().isEmpty() && !button->text().contains(QLatin1Char('&'))) {
                without.push_back(button->objectName());
            }
        }
        for (const QLabel* label : window_->findChildren<QLabel*>()) {
            if (label->buddy() != nullptr && !label->text().contains(QLatin1Char('&'))) {
                without.push_back(label->objectName());
            }
        }
        QVERIFY2(without.isEmpty(), qPrintable(without.join(QStringLiteral(", "))));
    }
};

QTEST_MAIN(MenusAndKeysTest)
#include "MenusAndKeysTest.moc"
