// What a desktop user reaches for: the menu bar (File, Edit, Help), the
// keys of its actions, the underlined letters of buttons and labels, Enter
// on a focused button and Ctrl+Tab between the pages from any control.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "WindowFixture.h"
#include "bars/bar_line.h"
#include "calendar/date_layouts.h"
#include "ui/BarTextArea.h"

using namespace varn;
using namespace varn::testing;

class MenusAndKeysTest : public WindowFixture {
    Q_OBJECT

  private:
    void ShowActive() {
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }
    QTabWidget* Pages() { return Child<QTabWidget>("pages"); }

  private slots:
    void MenusHoldTheirActions_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("Open") << "file_menu"
                              << "open_action" << QKeySequence(QKeySequence::Open);
        QTest::newRow("Quit") << "file_menu"
                              << "quit_action" << QKeySequence(Qt::CTRL | Qt::Key_Q);
        QTest::newRow("Help") << "help_menu"
                              << "help_action" << QKeySequence(QKeySequence::HelpContents);
        QTest::newRow("About") << "help_menu"
                               << "about_action" << QKeySequence();
    }
    void MenusHoldTheirActions() {
        QFETCH(QString, menu);
        QFETCH(QString, action);
        QFETCH(QKeySequence, keys);
        auto* shown = Child<QMenu>(menu.toLatin1().constData());
        QVERIFY(window_->menuBar()->actions().contains(shown->menuAction()));
        auto* found = Child<QAction>(action.toLatin1().constData());
        QVERIFY(shown->actions().contains(found));
        QCOMPARE(found->shortcut(), keys);
    }

    // Ctrl+O opens on the page that shows, as that page's open button does.
    void OpenKeyOpensOnThePageThatShows_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("save_asked");
        QTest::addColumn<QString>("count");
        QTest::newRow("Varn Format: the input of Convert") << 0 << 1 << "....";
        QTest::newRow("Trunc File: lines counted") << 1 << 0 << "2 lines";
        QTest::newRow("Bar: prices loaded") << 2 << 0 << "....";
    }
    void OpenKeyOpensOnThePageThatShows() {
        QFETCH(int, page);
        QFETCH(int, save_asked);
        QFETCH(QString, count);
        const QString input = Path("keys.txt");
        WriteAll(input, DailyLines(QDate(2001, 1, 1), 2));
        ShowActive();
        Pages()->setCurrentIndex(page);
        dialogs_->open_answers.push_back(input);
        dialogs_->save_answers.push_back(std::nullopt);
        QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);
        WaitUntilIdle();
        QCOMPARE(dialogs_->open_asked, 1);
        QCOMPARE(dialogs_->save_asked, save_asked);
        QCOMPARE(Child<QLabel>("line_count_label")->text(), count);
        QCOMPARE(window_->BarLines().Count(), std::size_t{page == 2 ? 2U : 0U});
    }

    void QuitKeyCloses() {
        ShowActive();
        QTest::keyClick(window_.get(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!window_->isVisible());
    }

    // About names the version and the licence; the help page lists every
    // layout and period the lists offer.
    void HelpMenuShowsAboutAndHelp() {
        Child<QAction>("about_action")->trigger();
        QCOMPARE(dialogs_->about.size(), 1);
        QVERIFY(dialogs_->about.front().contains(QStringLiteral("MIT")));
        QVERIFY(dialogs_->about.front().contains(QStringLiteral(VARN_VERSION)));
        Child<QAction>("help_action")->trigger();
        QCOMPARE(dialogs_->help.size(), 1);
        const QString help = dialogs_->help.front();
        QStringList missing;
        for (int n = 0; n < DateLayoutCount; ++n) {
            const QString item = QString::fromLatin1(DateLayoutItem(n).c_str()).toHtmlEscaped();
            if (!help.contains(item)) missing.push_back(item);
        }
        for (const auto items : {std::span<const std::string_view>(TimeLayoutItems),
                                 std::span<const std::string_view>(BarPeriodItems)}) {
            for (const std::string_view item : items) {
                if (!help.contains(QString::fromLatin1(item.data(), qsizetype(item.size())))) {
                    missing.push_back(QString::fromLatin1(item.data(), qsizetype(item.size())));
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
        QAction* select_all = nullptr;
        for (QAction* action : edit->actions()) {
            if (action->isSeparator()) continue;
            texts.push_back(action->text().remove(QLatin1Char('&')));
            if (texts.back() == QStringLiteral("Select All")) select_all = action;
        }
        QCOMPARE(texts, QStringList({"Undo", "Redo", "Cut", "Copy", "Paste", "Select All"}));
        select_all->trigger();
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

    void AltLetterPressesTheButton() {
        const QString input = Path("alt.txt");
        WriteAll(input, "010102 1.5 1.6 1.4 1.55\r\n");
        OpenPrices(input);
        ShowActive();
        dialogs_->save_answers.push_back(std::nullopt);
        QTest::keyClick(window_.get(), Qt::Key_B, Qt::AltModifier);  // Create &Bar
        // The button shows itself pressed for a moment first.
        QTRY_COMPARE(dialogs_->save_asked, 1);
        WaitUntilIdle();
    }

    void EnterPressesTheFocusedButton() {
        ShowActive();
        Pages()->setCurrentIndex(1);
        auto* open = Child<QPushButton>("open_lines_button");
        open->setFocus();
        QVERIFY(open->hasFocus());
        QTest::keyClick(open, Qt::Key_Return);
        QTRY_COMPARE(dialogs_->open_asked, 1);
    }

    void ControlTabSwitchesPagesFromAnyControl() {
        ShowActive();
        auto* text = Child<BarTextArea>("bar_text");
        text->setFocus();
        QVERIFY(text->hasFocus());
        QCOMPARE(Pages()->currentIndex(), 2);
        QTest::keyClick(text, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(Pages()->currentIndex(), 0);
        auto* list = Child<QComboBox>("conversion_list");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Pages()->currentIndex(), 2);
    }
};

QTEST_MAIN(MenusAndKeysTest)
#include "MenusAndKeysTest.moc"
