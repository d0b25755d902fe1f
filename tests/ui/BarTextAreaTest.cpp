// The bar text area: keys and the mouse edit and select the lines of the
// store it shows.

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QtTest>
#include <functional>

#include "bars/bar_input.h"
#include "ui/BarTextArea.h"

using namespace varn;

namespace {

QStringList Lines(const BarInputLines& lines) {
    QStringList all;
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        const std::string_view line = lines.Line(i);
        all.push_back(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    }
    return all;
}

// The action of menu whose text, without its '&', is text.
QAction* ActionNamed(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (QString(action->text()).remove(QLatin1Char('&')) == text) return action;
    }
    return nullptr;
}

// The edits undo and redo are tried on, each from the store "abc", "def".
enum class EditKind {
    TypeWord,        // "XY" typed at 0:1
    Backspace,       // at 0:2
    JoinLines,       // Backspace at 1:0
    DeleteForward,   // at 1:0
    SplitLine,       // Enter at 0:1
    PasteTwoLines,   // "p\nq" pasted at 1:1
    CutAcrossLines,  // 0:1 to 1:2 cut
    TypeOverSelection,
};

}  // namespace

Q_DECLARE_METATYPE(EditKind)

class BarTextAreaTest : public QObject {
    Q_OBJECT

  private:
    BarInputLines lines_;
    std::unique_ptr<BarTextArea> area_;

  private slots:
    void init() {
        lines_.Assign("abc\r\ndef\r\n");
        area_ = std::make_unique<BarTextArea>(lines_);
        area_->resize(400, 300);
        area_->show();
        area_->setFocus();
    }
    void cleanup() { area_.reset(); }

    void TypingEditsLineUnderCursor() {
        area_->SetCursor({0, 1});
        QTest::keyClicks(area_.get(), QStringLiteral("XY"));
        QCOMPARE(Lines(lines_), QStringList({"aXYbc", "def"}));
        QCOMPARE(area_->Cursor(), (TextPlace{0, 3}));
    }

    void EditKeysChangeLines_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("want");
        QTest::addColumn<int>("want_line");
        QTest::addColumn<int>("want_column");
        QTest::newRow("enter splits the line")
            << 0 << 1 << int(Qt::Key_Return) << QStringList({"a", "bc", "def"}) << 1 << 0;
        QTest::newRow("enter at the end adds an empty line")
            << 1 << 3 << int(Qt::Key_Return) << QStringList({"abc", "def", ""}) << 2 << 0;
        QTest::newRow("backspace inside removes a character")
            << 0 << 2 << int(Qt::Key_Backspace) << QStringList({"ac", "def"}) << 0 << 1;
        QTest::newRow("backspace at line start joins")
            << 1 << 0 << int(Qt::Key_Backspace) << QStringList({"abcdef"}) << 0 << 3;
        QTest::newRow("backspace at the very start does nothing")
            << 0 << 0 << int(Qt::Key_Backspace) << QStringList({"abc", "def"}) << 0 << 0;
        QTest::newRow("delete inside removes a character")
            << 1 << 0 << int(Qt::Key_Delete) << QStringList({"abc", "ef"}) << 1 << 0;
        QTest::newRow("delete at line end joins")
            << 0 << 3 << int(Qt::Key_Delete) << QStringList({"abcdef"}) << 0 << 3;
        QTest::newRow("delete at the very end does nothing")
            << 1 << 3 << int(Qt::Key_Delete) << QStringList({"abc", "def"}) << 1 << 3;
    }
    void EditKeysChangeLines() {
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(int, key);
        QFETCH(QStringList, want);
        QFETCH(int, want_line);
        QFETCH(int, want_column);
        area_->SetCursor({static_cast<std::size_t>(line), static_cast<std::size_t>(column)});
        QTest::keyClick(area_.get(), static_cast<Qt::Key>(key));
        QCOMPARE(Lines(lines_), want);
        QCOMPARE(area_->Cursor(), (TextPlace{static_cast<std::size_t>(want_line),
                                             static_cast<std::size_t>(want_column)}));
    }

    void MovementKeysMoveCursor_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("want_line");
        QTest::addColumn<int>("want_column");
        // From line 0, column 2 of "abc", "def".
        QTest::newRow("right") << int(Qt::Key_Right) << 0 << 0 << 3;
        QTest::newRow("left") << int(Qt::Key_Left) << 0 << 0 << 1;
        QTest::newRow("down") << int(Qt::Key_Down) << 0 << 1 << 2;
        QTest::newRow("up stays on the first line") << int(Qt::Key_Up) << 0 << 0 << 2;
        QTest::newRow("home") << int(Qt::Key_Home) << 0 << 0 << 0;
        QTest::newRow("end") << int(Qt::Key_End) << 0 << 0 << 3;
        QTest::newRow("control end goes past the last line")
            << int(Qt::Key_End) << int(Qt::ControlModifier) << 2 << 0;
        QTest::newRow("page down") << int(Qt::Key_PageDown) << 0 << 1 << 2;
    }
    void MovementKeysMoveCursor() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, want_line);
        QFETCH(int, want_column);
        area_->SetCursor({0, 2});
        QTest::keyClick(area_.get(), static_cast<Qt::Key>(key),
                        static_cast<Qt::KeyboardModifiers>(modifiers));
        QCOMPARE(area_->Cursor(), (TextPlace{static_cast<std::size_t>(want_line),
                                             static_cast<std::size_t>(want_column)}));
        QVERIFY(!area_->HasSelection());
    }

    void RightAtLineEndGoesToNextLine() {
        area_->SetCursor({0, 3});
        QTest::keyClick(area_.get(), Qt::Key_Right);
        QCOMPARE(area_->Cursor(), (TextPlace{1, 0}));
    }

    void UpAndDownKeepColumnAcrossShortLine() {
        lines_.Assign("abcdef\nx\nabcdef\n");
        area_->Reload();
        area_->SetCursor({0, 4});
        QTest::keyClick(area_.get(), Qt::Key_Down);
        QCOMPARE(area_->Cursor(), (TextPlace{1, 1}));
        QTest::keyClick(area_.get(), Qt::Key_Down);
        QCOMPARE(area_->Cursor(), (TextPlace{2, 4}));
        QTest::keyClick(area_.get(), Qt::Key_Left);
        QTest::keyClick(area_.get(), Qt::Key_Up);
        QTest::keyClick(area_.get(), Qt::Key_Up);
        QCOMPARE(area_->Cursor(), (TextPlace{0, 3}));
    }

    void ShiftSelectsAndControlCCopies() {
        area_->SetCursor({0, 1});
        QTest::keyClick(area_.get(), Qt::Key_Down, Qt::ShiftModifier);
        QVERIFY(area_->HasSelection());
        QCOMPARE(QString::fromStdString(area_->SelectedText()), QStringLiteral("bc\nd"));
        QApplication::clipboard()->clear();
        QTest::keyClick(area_.get(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("bc\nd"));
        QCOMPARE(Lines(lines_), QStringList({"abc", "def"}));
    }

    void TypingReplacesSelection() {
        area_->SetCursor({0, 1});
        area_->SetCursor({1, 2}, true);
        QTest::keyClick(area_.get(), Qt::Key_Z);
        QCOMPARE(Lines(lines_), QStringList({"azf"}));
        QCOMPARE(area_->Cursor(), (TextPlace{0, 2}));
    }

    void ControlASelectsAll() {
        QTest::keyClick(area_.get(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(QString::fromStdString(area_->SelectedText()), QStringLiteral("abc\ndef"));
        QTest::keyClick(area_.get(), Qt::Key_Backspace);
        QCOMPARE(Lines(lines_), QStringList({""}));
    }

    void ReadOnlyIgnoresEdits() {
        area_->SetReadOnly(true);
        area_->SetCursor({0, 1});
        QTest::keyClicks(area_.get(), QStringLiteral("XY"));
        QTest::keyClick(area_.get(), Qt::Key_Return);
        QTest::keyClick(area_.get(), Qt::Key_Backspace);
        QTest::keyClick(area_.get(), Qt::Key_Delete);
        QCOMPARE(Lines(lines_), QStringList({"abc", "def"}));
        QTest::keyClick(area_.get(), Qt::Key_Right);
        QCOMPARE(area_->Cursor(), (TextPlace{0, 2}));
    }

    void TypingIntoEmptyStoreMakesLine() {
        lines_.Clear();
        area_->Reload();
        QTest::keyClicks(area_.get(), QStringLiteral("01/02/2001"));
        QCOMPARE(Lines(lines_), QStringList({"01/02/2001"}));
    }

    void MouseClickPlacesCursorAndDragSelects() {
        const QFontMetrics metrics(area_->font());
        const int width = metrics.horizontalAdvance(QLatin1Char('M'));
        const int height = metrics.height();
        QTest::mouseClick(area_->viewport(), Qt::LeftButton, {},
                          QPoint(2 * width + 1, height + height / 2));
        QCOMPARE(area_->Cursor(), (TextPlace{1, 2}));
        QTest::mouseClick(area_->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          QPoint(width + 1, height / 2));
        QCOMPARE(QString::fromStdString(area_->SelectedText()), QStringLiteral("bc\nde"));
    }

    // A click lands where the font draws the column: the font's advance is
    // fractional (about 7.2 px), and a width rounded to whole pixels drifts a
    // character or more off by column 45.
    void ClickAtColumnTypesThere_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("scrolled");
        QTest::newRow("column 45 unscrolled") << 45 << 0;
        QTest::newRow("column 1 unscrolled") << 1 << 0;
        QTest::newRow("column 200 scrolled right") << 200 << 1200;
        QTest::newRow("column 299 scrolled to the end") << 299 << -1;
    }
    void ClickAtColumnTypesThere() {
        QFETCH(int, column);
        QFETCH(int, scrolled);
        QString line;
        for (int i = 0; i < 300; ++i) line += QChar(u'a' + i % 26);
        lines_.Assign(line.toStdString() + "\n" + line.toStdString() + "\n");
        area_->Reload();
        QScrollBar* horizontal = area_->horizontalScrollBar();
        QVERIFY(horizontal->maximum() > 1200);  // the line is wider than the view
        horizontal->setValue(scrolled < 0 ? horizontal->maximum() : scrolled);
        const int offset = horizontal->value();
        // Where the font puts the start of the column, as a string is drawn.
        const QFontMetricsF metrics(area_->viewport()->font());
        const qreal left = metrics.horizontalAdvance(line.left(column));
        const qreal width = metrics.horizontalAdvance(line.mid(column, 1));
        const int x = static_cast<int>(left + width * 0.3) - offset;
        QVERIFY2(x >= 0 && x < area_->viewport()->width(), qPrintable(QString::number(x)));
        const int y = area_->fontMetrics().height() + 2;  // the second line
        QTest::mouseClick(area_->viewport(), Qt::LeftButton, {}, QPoint(x, y));
        QCOMPARE(area_->Cursor(), (TextPlace{1, static_cast<std::size_t>(column)}));
        QTest::keyClicks(area_.get(), QStringLiteral("#"));
        const QString want = line.left(column) + QLatin1Char('#') + line.mid(column);
        QCOMPARE(Lines(lines_), QStringList({line, want}));
    }

    void UndoAndRedoEachEdit_data() {
        QTest::addColumn<EditKind>("kind");
        QTest::addColumn<QStringList>("want");
        QTest::addColumn<int>("start_line");
        QTest::addColumn<int>("start_column");
        QTest::newRow("typing") << EditKind::TypeWord << QStringList({"aXYbc", "def"}) << 0 << 1;
        QTest::newRow("backspace") << EditKind::Backspace << QStringList({"ac", "def"}) << 0 << 2;
        QTest::newRow("backspace joining")
            << EditKind::JoinLines << QStringList({"abcdef"}) << 1 << 0;
        QTest::newRow("delete") << EditKind::DeleteForward << QStringList({"abc", "ef"}) << 1 << 0;
        QTest::newRow("enter") << EditKind::SplitLine << QStringList({"a", "bc", "def"}) << 0 << 1;
        QTest::newRow("paste") << EditKind::PasteTwoLines << QStringList({"abc", "dp", "qef"}) << 1
                               << 1;
        QTest::newRow("cut") << EditKind::CutAcrossLines << QStringList({"af"}) << 1 << 2;
        QTest::newRow("typing over a selection")
            << EditKind::TypeOverSelection << QStringList({"aZf"}) << 1 << 2;
    }
    void UndoAndRedoEachEdit() {
        QFETCH(EditKind, kind);
        QFETCH(QStringList, want);
        QFETCH(int, start_line);
        QFETCH(int, start_column);
        const QStringList original{"abc", "def"};
        const TextPlace start{static_cast<std::size_t>(start_line),
                              static_cast<std::size_t>(start_column)};
        area_->SetCursor(start);
        switch (kind) {
            case EditKind::TypeWord:
                QTest::keyClicks(area_.get(), QStringLiteral("XY"));
                break;
            case EditKind::Backspace:
            case EditKind::JoinLines:
                QTest::keyClick(area_.get(), Qt::Key_Backspace);
                break;
            case EditKind::DeleteForward:
                QTest::keyClick(area_.get(), Qt::Key_Delete);
                break;
            case EditKind::SplitLine:
                QTest::keyClick(area_.get(), Qt::Key_Return);
                break;
            case EditKind::PasteTwoLines:
                QApplication::clipboard()->setText(QStringLiteral("p\nq"));
                QTest::keySequence(area_.get(), QKeySequence::Paste);
                break;
            case EditKind::CutAcrossLines:
                area_->SetCursor({0, 1});
                area_->SetCursor(start, true);
                QTest::keySequence(area_.get(), QKeySequence::Cut);
                break;
            case EditKind::TypeOverSelection:
                area_->SetCursor({0, 1});
                area_->SetCursor(start, true);
                QTest::keyClicks(area_.get(), QStringLiteral("Z"));
                break;
        }
        QCOMPARE(Lines(lines_), want);
        const TextPlace after = area_->Cursor();
        QVERIFY(area_->CanUndo());

        QTest::keySequence(area_.get(), QKeySequence::Undo);
        QCOMPARE(Lines(lines_), original);
        QCOMPARE(area_->Cursor(), start);
        QVERIFY(!area_->CanUndo());

        QTest::keyClick(area_.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Lines(lines_), want);
        QCOMPARE(area_->Cursor(), after);

        QTest::keyClick(area_.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Lines(lines_), original);
        QTest::keyClick(area_.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Lines(lines_), want);
        QVERIFY(!area_->CanRedo());
    }

    void TypingInARowUndoesTogether() {
        area_->SetCursor({1, 3});
        QTest::keyClicks(area_.get(), QStringLiteral("ghi"));
        area_->SetCursor({0, 0});
        QTest::keyClicks(area_.get(), QStringLiteral("12"));
        QCOMPARE(Lines(lines_), QStringList({"12abc", "defghi"}));
        area_->Undo();
        QCOMPARE(Lines(lines_), QStringList({"abc", "defghi"}));
        area_->Undo();
        QCOMPARE(Lines(lines_), QStringList({"abc", "def"}));
        QVERIFY(!area_->CanUndo());
        area_->Redo();
        area_->Redo();
        QCOMPARE(Lines(lines_), QStringList({"12abc", "defghi"}));
    }

    void NewEditAfterUndoDropsRedo() {
        area_->SetCursor({0, 3});
        QTest::keyClicks(area_.get(), QStringLiteral("x"));
        area_->Undo();
        QVERIFY(area_->CanRedo());
        QTest::keyClick(area_.get(), Qt::Key_Delete);  // "abc" and "def" join
        QVERIFY(!area_->CanRedo());
        QTest::keyClick(area_.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Lines(lines_), QStringList({"abcdef"}));
        area_->Undo();
        QCOMPARE(Lines(lines_), QStringList({"abc", "def"}));
    }

    void ReloadClearsHistory() {
        QTest::keyClicks(area_.get(), QStringLiteral("x"));
        QVERIFY(area_->CanUndo());
        lines_.Assign("new\n");
        area_->Reload();
        QVERIFY(!area_->CanUndo());
        QTest::keySequence(area_.get(), QKeySequence::Undo);
        QCOMPARE(Lines(lines_), QStringList({"new"}));
    }

    void ReadOnlyDoesNotUndo() {
        QTest::keyClicks(area_.get(), QStringLiteral("x"));
        area_->SetReadOnly(true);
        QTest::keySequence(area_.get(), QKeySequence::Undo);
        QCOMPARE(Lines(lines_), QStringList({"xabc", "def"}));
        area_->SetReadOnly(false);
        area_->Undo();
        QCOMPARE(Lines(lines_), QStringList({"abc", "def"}));
    }

    void HistoryKeepsTheLastEditsOnly() {
        const int extra = 5;
        area_->SetCursor({1, 3});
        for (std::size_t i = 0; i < BarTextArea::HistoryEditsMax + extra; ++i) {
            area_->InsertText("\n");
        }
        QCOMPARE(lines_.Count(), 2 + BarTextArea::HistoryEditsMax + extra);
        std::size_t undone = 0;
        while (area_->CanUndo()) {
            area_->Undo();
            ++undone;
        }
        QCOMPARE(undone, BarTextArea::HistoryEditsMax);
        QCOMPARE(lines_.Count(), std::size_t{2 + extra});
    }

    // Bytes counted as a line's characters and its end, before and after.
    void HistoryKeepsTheTextItMayHold() {
        area_->SetHistoryBytesMax(40);
        area_->SetCursor({1, 3});
        area_->InsertText("\n");                              // "def" -> "def", "": 4 + 5 = 9 bytes
        area_->InsertText("\n");                              // "" -> "", "": 1 + 2 = 3 bytes
        area_->InsertText("012345678901234567890123456789");  // 1 + 31 = 32: the first goes
        QCOMPARE(lines_.Count(), std::size_t{4});
        area_->Undo();
        area_->Undo();
        QVERIFY(!area_->CanUndo());
        QCOMPARE(Lines(lines_), QStringList({"abc", "def", ""}));
        area_->Redo();
        area_->Redo();
        // An edit larger than the whole history is made, not kept, and ends
        // what was kept.
        area_->SelectAll();
        area_->InsertText("01234567890123456789012345678901234567890123456789");
        QCOMPARE(Lines(lines_),
                 QStringList({"01234567890123456789012345678901234567890123456789"}));
        QVERIFY(!area_->CanUndo());
        QVERIFY(!area_->CanRedo());
    }

    void ContextMenuEnablesByState_data() {
        QTest::addColumn<bool>("select");
        QTest::addColumn<bool>("read_only");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QList<bool>>("want");  // cut, copy, paste, select all
        QTest::newRow("nothing selected") << false << false << "x" << QList<bool>{0, 0, 1, 1};
        QTest::newRow("a selection") << true << false << "x" << QList<bool>{1, 1, 1, 1};
        QTest::newRow("empty clipboard") << true << false << "" << QList<bool>{1, 1, 0, 1};
        QTest::newRow("read-only with selection") << true << true << "x" << QList<bool>{0, 1, 0, 1};
    }
    void ContextMenuEnablesByState() {
        QFETCH(bool, select);
        QFETCH(bool, read_only);
        QFETCH(QString, clipboard);
        QFETCH(QList<bool>, want);
        if (clipboard.isEmpty()) {
            QApplication::clipboard()->clear();
        } else {
            QApplication::clipboard()->setText(clipboard);
        }
        if (select) {
            area_->SetCursor({0, 1});
            area_->SetCursor({0, 3}, true);
        }
        area_->SetReadOnly(read_only);
        const std::unique_ptr<QMenu> menu(area_->CreateContextMenu(nullptr));
        const QStringList names{"Cut", "Copy", "Paste", "Select All"};
        const QList<QKeySequence::StandardKey> keys{QKeySequence::Cut, QKeySequence::Copy,
                                                    QKeySequence::Paste, QKeySequence::SelectAll};
        for (qsizetype i = 0; i < names.size(); ++i) {
            QAction* action = ActionNamed(menu.get(), names[i]);
            QVERIFY2(action != nullptr, qPrintable(names[i]));
            QCOMPARE(action->isEnabled(), want[i]);
            QCOMPARE(action->shortcut(), QKeySequence(keys[i]));
            QVERIFY(action->isShortcutVisibleInContextMenu());
        }
    }

    void ContextMenuActionsUseClipboard() {
        const auto trigger = [this](const QString& name) {
            const std::unique_ptr<QMenu> menu(area_->CreateContextMenu(nullptr));
            QAction* action = ActionNamed(menu.get(), name);
            QVERIFY(action != nullptr && action->isEnabled());
            action->trigger();
        };
        trigger(QStringLiteral("Select All"));
        QCOMPARE(QString::fromLatin1(area_->SelectedText()), QStringLiteral("abc\ndef"));
        trigger(QStringLiteral("Copy"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc\ndef"));
        area_->SetCursor({0, 0});
        area_->SetCursor({0, 2}, true);
        trigger(QStringLiteral("Cut"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ab"));
        QCOMPARE(Lines(lines_), QStringList({"c", "def"}));
        area_->SetCursor({1, 3});
        trigger(QStringLiteral("Paste"));
        QCOMPARE(Lines(lines_), QStringList({"c", "defab"}));
        trigger(QStringLiteral("Undo"));
        QCOMPARE(Lines(lines_), QStringList({"c", "def"}));
        trigger(QStringLiteral("Redo"));
        QCOMPARE(Lines(lines_), QStringList({"c", "defab"}));
    }

    void ControlEndScrollsToLastOfManyLines() {
        std::string text;
        for (int i = 0; i < 1000; ++i) text += "01/02/2001 1.5 1.6 1.4 1.55\n";
        lines_.Assign(text);
        area_->Reload();
        QCOMPARE(area_->verticalScrollBar()->value(), 0);
        QTest::keyClick(area_.get(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(area_->Cursor(), (TextPlace{1000, 0}));
        QVERIFY(area_->verticalScrollBar()->value() > 900);
        QTest::keyClick(area_.get(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(area_->verticalScrollBar()->value(), 0);
    }

    // A double click takes the word under it, a date or a price whole; a
    // third click takes the line.
    void ClicksSelectWordsAndLines() {
        struct Row {
            int column, clicks;
            const char* selected;
        };
        const Row rows[] = {
            {3, 2, "01/02/2001"}, {12, 2, "1.5"}, {17, 2, "1.6"}, {3, 3, "01/02/2001 1.5,1.6\n"}};
        lines_.Assign("01/02/2001 1.5,1.6\nnext\n");
        area_->Reload();
        const QFontMetricsF metrics(area_->viewport()->font());
        for (const Row& row : rows) {
            const QPoint at(
                static_cast<int>(metrics.horizontalAdvance(QString(row.column, u'0'))) + 1,
                area_->fontMetrics().height() / 2);
            QTest::mouseClick(area_->viewport(), Qt::LeftButton, {}, QPoint(1, 1));
            QTest::qWait(QApplication::doubleClickInterval() + 10);  // no click runs on
            QTest::mouseDClick(area_->viewport(), Qt::LeftButton, {}, at);
            if (row.clicks == 3) QTest::mouseClick(area_->viewport(), Qt::LeftButton, {}, at);
            QCOMPARE(area_->SelectedText(), std::string(row.selected));
        }
    }

    // Ctrl+Left and Ctrl+Right in "01/02/2001 1.5,1.6" and "next".
    void ControlArrowsMoveByWords() {
        struct Row {
            Qt::Key key;
            TextPlace from, want;
        };
        const Row rows[] = {{Qt::Key_Right, {0, 2}, {0, 11}}, {Qt::Key_Right, {0, 11}, {0, 15}},
                            {Qt::Key_Right, {0, 18}, {1, 0}}, {Qt::Key_Left, {0, 13}, {0, 11}},
                            {Qt::Key_Left, {0, 11}, {0, 0}},  {Qt::Key_Left, {1, 0}, {0, 18}}};
        lines_.Assign("01/02/2001 1.5,1.6\nnext\n");
        area_->Reload();
        for (const Row& row : rows) {
            area_->SetCursor(row.from);
            QTest::keyClick(area_.get(), row.key, Qt::ControlModifier);
            QVERIFY2(
                area_->Cursor() == row.want,
                qPrintable(QStringLiteral("from %1:%2").arg(row.from.line).arg(row.from.column)));
        }
    }

    // After Ctrl+End a paste starts a new line, whether the text pasted
    // ends with a line break or not; Backspace there takes nothing away.
    void PasteAfterTheLastLineStartsALine() {
        const std::pair<QString, QStringList> rows[] = {{"x\ny\n", {"abc", "def", "x", "y"}},
                                                        {"x\ny", {"abc", "def", "x", "y"}},
                                                        {"z", {"abc", "def", "z"}}};
        for (const auto& [pasted, want] : rows) {
            QApplication::clipboard()->setText(pasted);
            QTest::keyClick(area_.get(), Qt::Key_End, Qt::ControlModifier);
            area_->Paste();
            QCOMPARE(Lines(lines_), want);
            area_->Undo();
        }
        QCOMPARE(Lines(lines_), QStringList({"abc", "def"}));
        QTest::keyClick(area_.get(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(area_.get(), Qt::Key_Backspace);
        QCOMPARE(Lines(lines_), QStringList({"abc", "def"}));
        QCOMPARE(area_->Cursor(), (TextPlace{1, 3}));
    }
};

QTEST_MAIN(BarTextAreaTest)
#include "BarTextAreaTest.moc"
