#include "ui/BarTextArea.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "bars/bar_input.h"
#include "io/line_rules.h"

namespace varn {

namespace {

// Whether c belongs to a word: anything but the separators of a price line,
// so a double click takes a whole date ("01/02/2001") or price ("1.55").
bool WordCharacter(char c) { return c != ' ' && c != '\t' && c != ',' && c != ';'; }

// The file's bytes as the screen shows them: Latin-1, a tab as one blank.
QString ShownText(std::string_view bytes) {
    QString text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

}  // namespace

BarTextArea::BarTextArea(BarInputLines& lines, QWidget* parent)
    : QAbstractScrollArea(parent), lines_(lines) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    setFont(font);
    viewport()->setFont(font);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const QFontMetricsF metrics(font);
    line_height_ = std::max(1, QFontMetrics(font).height());
    char_width_ = std::max<qreal>(1, metrics.horizontalAdvance(QLatin1Char('M')));
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));
    Reload();
}

std::size_t BarTextArea::LongestLine(const LineList& lines) {
    std::size_t longest = 0;
    const std::size_t count = lines.Count();
    for (std::size_t i = 0; i < count; ++i) longest = std::max(longest, lines.Line(i).size());
    return longest;
}

void BarTextArea::Reload(std::optional<std::size_t> longest_line) {
    longest_ = longest_line ? *longest_line : LongestLine(lines_);
    cursor_ = anchor_ = TextPlace{};
    ClearHistory();  // the lines it names are gone
    UpdateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void BarTextArea::SetReadOnly(bool read_only) {
    read_only_ = read_only;
    viewport()->update();
}

std::size_t BarTextArea::LineLength(std::size_t line) const {
    return line < lines_.Count() ? lines_.Line(line).size() : 0;
}

TextPlace BarTextArea::ClampPlace(TextPlace place) const {
    const std::size_t count = lines_.Count();
    if (count == 0) return TextPlace{};
    if (place == EndPlace()) return place;
    place.line = std::min(place.line, count - 1);
    place.column = std::min(place.column, LineLength(place.line));
    return place;
}

TextPlace BarTextArea::EndPlace() const { return {lines_.Count(), 0}; }

TextPlace BarTextArea::WordStart(TextPlace place) const {
    const std::string_view line = lines_.Line(place.line);
    std::size_t column = std::min(place.column, line.size());
    while (column > 0 && WordCharacter(line[column - 1])) --column;
    return {place.line, column};
}

TextPlace BarTextArea::WordEnd(TextPlace place) const {
    const std::string_view line = lines_.Line(place.line);
    std::size_t column = std::min(place.column, line.size());
    while (column < line.size() && WordCharacter(line[column])) ++column;
    return {place.line, column};
}

TextPlace BarTextArea::NextWord(TextPlace place) const {
    if (place.line >= lines_.Count()) return place;
    const std::string_view line = lines_.Line(place.line);
    if (place.column >= line.size()) {
        return place.line + 1 < lines_.Count() ? TextPlace{place.line + 1, 0} : place;
    }
    std::size_t column = WordEnd(place).column;
    while (column < line.size() && !WordCharacter(line[column])) ++column;
    return {place.line, column};
}

TextPlace BarTextArea::PreviousWord(TextPlace place) const {
    if (place.line >= lines_.Count()) {
        return lines_.Count() == 0 ? TextPlace{}
                                   : TextPlace{lines_.Count() - 1, LineLength(lines_.Count() - 1)};
    }
    if (place.column == 0) {
        return place.line > 0 ? TextPlace{place.line - 1, LineLength(place.line - 1)} : place;
    }
    const std::string_view line = lines_.Line(place.line);
    std::size_t column = std::min(place.column, line.size());
    while (column > 0 && !WordCharacter(line[column - 1])) --column;
    return WordStart({place.line, column});
}

void BarTextArea::SelectWordAt(TextPlace place) {
    if (place.line >= lines_.Count()) return;
    anchor_ = WordStart(place);
    cursor_ = WordEnd(place);
    wanted_column_ = cursor_.column;
    EnsureCursorVisible();
    viewport()->update();
}

void BarTextArea::SelectLineAt(std::size_t line) {
    if (line >= lines_.Count()) return;
    // The line and its end, so that typing or a cut takes the line away.
    anchor_ = {line, 0};
    cursor_ =
        line + 1 < lines_.Count() ? TextPlace{line + 1, 0} : TextPlace{line, LineLength(line)};
    wanted_column_ = cursor_.column;
    EnsureCursorVisible();
    viewport()->update();
}

void BarTextArea::SetCursor(TextPlace place, bool keep_anchor) {
    cursor_ = ClampPlace(place);
    wanted_column_ = cursor_.column;
    if (!keep_anchor) anchor_ = cursor_;
    EnsureCursorVisible();
    viewport()->update();
}

std::string BarTextArea::SelectedText() const {
    const TextPlace start = std::min(anchor_, cursor_);
    const TextPlace end = std::max(anchor_, cursor_);
    std::string text;
    for (std::size_t line = start.line; line <= end.line && line < lines_.Count(); ++line) {
        const std::string_view whole = lines_.Line(line);
        const std::size_t from = line == start.line ? std::min(start.column, whole.size()) : 0;
        const std::size_t to = line == end.line ? std::min(end.column, whole.size()) : whole.size();
        if (line != start.line) text += '\n';
        if (to > from) text.append(whole.substr(from, to - from));
    }
    return text;
}

void BarTextArea::SelectAll() {
    const std::size_t count = lines_.Count();
    anchor_ = TextPlace{};
    cursor_ = count == 0 ? TextPlace{} : TextPlace{count - 1, LineLength(count - 1)};
    EnsureCursorVisible();
    viewport()->update();
}

std::size_t BarTextArea::Edit::Bytes() const {
    std::size_t bytes = 0;
    for (const std::string& line : before) bytes += line.size() + 1;
    for (const std::string& line : after) bytes += line.size() + 1;
    return bytes;
}

void BarTextArea::PutLines(std::size_t first, std::size_t count,
                           const std::vector<std::string>& lines) {
    const std::size_t common = std::min(count, lines.size());
    for (std::size_t i = 0; i < common; ++i) {
        lines_.Replace(first + i, lines[i]);
        NoteLength(lines[i].size());
    }
    if (lines.size() > common) {
        const std::span<const std::string> added(
            lines.begin() + static_cast<std::ptrdiff_t>(common), lines.end());
        lines_.Insert(first + common, added);
        for (const std::string& line : added) NoteLength(line.size());
    }
    if (count > common) lines_.Remove(first + common, count - common);
}

void BarTextArea::ReplaceLines(std::size_t first, std::size_t count, std::vector<std::string> lines,
                               TextPlace cursor_after, bool typing) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < count; ++i) bytes += lines_.Line(first + i).size() + 1;
    for (const std::string& line : lines) bytes += line.size() + 1;
    if (bytes > history_bytes_max_) {
        // Too large to keep, and not copied: the edits before it can no
        // longer be reached either.
        ClearHistory();
        PutLines(first, count, lines);
        cursor_ = cursor_after;
        FinishEdit();
        return;
    }
    Edit edit;
    edit.first = first;
    edit.before.reserve(count);
    for (std::size_t i = 0; i < count; ++i) edit.before.emplace_back(lines_.Line(first + i));
    edit.after = std::move(lines);
    edit.cursor_before = cursor_;
    edit.anchor_before = anchor_;
    edit.cursor_after = cursor_after;
    edit.typing = typing;
    PutLines(first, count, edit.after);
    cursor_ = cursor_after;
    Remember(std::move(edit));
    FinishEdit();
}

void BarTextArea::Remember(Edit edit) {
    for (const Edit& undone : redo_) history_bytes_ -= undone.Bytes();
    redo_.clear();
    if (edit.typing && !undo_.empty()) {
        Edit& last = undo_.back();
        // Typing on where the last character typed left the cursor.
        if (last.typing && last.first == edit.first && last.after.size() == 1 &&
            edit.before.size() == 1 && edit.after.size() == 1 &&
            last.cursor_after == edit.cursor_before && edit.anchor_before == edit.cursor_before) {
            history_bytes_ -= last.Bytes();
            last.after = std::move(edit.after);
            last.cursor_after = edit.cursor_after;
            history_bytes_ += last.Bytes();
            if (history_bytes_ > history_bytes_max_) ClearHistory();
            return;
        }
    }
    history_bytes_ += edit.Bytes();
    undo_.push_back(std::move(edit));
    while (undo_.size() > HistoryEditsMax || history_bytes_ > history_bytes_max_) {
        history_bytes_ -= undo_.front().Bytes();
        undo_.pop_front();
    }
}

void BarTextArea::SetHistoryBytesMax(std::size_t bytes) {
    history_bytes_max_ = bytes;
    ClearHistory();
}

void BarTextArea::ClearHistory() {
    undo_.clear();
    redo_.clear();
    history_bytes_ = 0;
}

void BarTextArea::Undo() {
    if (!CanUndo()) return;
    Edit edit = std::move(undo_.back());
    undo_.pop_back();
    PutLines(edit.first, edit.after.size(), edit.before);
    cursor_ = ClampPlace(edit.cursor_before);
    anchor_ = ClampPlace(edit.anchor_before);
    redo_.push_back(std::move(edit));
    wanted_column_ = cursor_.column;
    UpdateScrollBars();
    EnsureCursorVisible();
    viewport()->update();
    emit Edited();
}

void BarTextArea::Redo() {
    if (!CanRedo()) return;
    Edit edit = std::move(redo_.back());
    redo_.pop_back();
    PutLines(edit.first, edit.before.size(), edit.after);
    cursor_ = ClampPlace(edit.cursor_after);
    edit.typing = false;  // what is typed next starts an edit of its own
    undo_.push_back(std::move(edit));
    FinishEdit();
}

void BarTextArea::InsertText(const std::string& text) { InsertAtCursor(text, false); }

void BarTextArea::InsertAtCursor(const std::string& text, bool typing) {
    if (read_only_) return;
    if (text.empty() && !HasSelection()) return;
    const TextPlace start = std::min(anchor_, cursor_);
    const TextPlace end = std::max(anchor_, cursor_);
    // The place after the last line is the start of a line not there yet.
    const bool past_end = lines_.Count() > 0 && end == EndPlace();
    const std::size_t count = lines_.Count() == 0 ? 0
                              : past_end          ? lines_.Count() - start.line
                                                  : end.line - start.line + 1;
    std::string head;
    std::string tail;
    if (count > 0) {
        head = lines_.Line(start.line).substr(0, start.column);
        if (!past_end) tail = lines_.Line(end.line).substr(end.column);
    }
    std::vector<std::string> parts = SplitPastedText(text);
    // Lines pasted after the last line end there: their final break adds no
    // empty line, and the cursor stays after them.
    if (past_end && start == end && parts.size() > 1 && parts.back().empty()) {
        parts.pop_back();
        const std::size_t first = lines_.Count();
        const TextPlace after{first + parts.size(), 0};
        ReplaceLines(first, 0, std::move(parts), after, typing);
        return;
    }
    const std::size_t last = parts.size() - 1;
    const TextPlace cursor_after{start.line + last,
                                 (last == 0 ? head.size() : 0) + parts[last].size()};
    parts.front().insert(0, head);
    parts.back().append(tail);
    ReplaceLines(start.line, count, std::move(parts), cursor_after, typing);
}

void BarTextArea::FinishEdit() {
    anchor_ = cursor_;
    wanted_column_ = cursor_.column;
    UpdateScrollBars();
    EnsureCursorVisible();
    viewport()->update();
    emit Edited();
}

void BarTextArea::Backspace() {
    if (read_only_ || lines_.Count() == 0) return;
    if (!HasSelection() && cursor_ == EndPlace()) {
        // There is no line break after the last line to remove.
        SetCursor({lines_.Count() - 1, LineLength(lines_.Count() - 1)});
        return;
    }
    if (HasSelection()) {
        InsertAtCursor(std::string(), false);
    } else if (cursor_.column > 0) {
        std::string line(lines_.Line(cursor_.line));
        line.erase(cursor_.column - 1, 1);
        ReplaceLines(cursor_.line, 1, {std::move(line)},
                     TextPlace{cursor_.line, cursor_.column - 1}, false);
    } else if (cursor_.line > 0) {
        std::string joined(lines_.Line(cursor_.line - 1));
        const std::size_t previous_length = joined.size();
        joined.append(lines_.Line(cursor_.line));
        ReplaceLines(cursor_.line - 1, 2, {std::move(joined)},
                     TextPlace{cursor_.line - 1, previous_length}, false);
    }
}

void BarTextArea::DeleteForward() {
    if (read_only_ || lines_.Count() == 0) return;
    if (!HasSelection() && cursor_ == EndPlace()) return;
    if (HasSelection()) {
        InsertAtCursor(std::string(), false);
    } else if (cursor_.column < LineLength(cursor_.line)) {
        std::string line(lines_.Line(cursor_.line));
        line.erase(cursor_.column, 1);
        ReplaceLines(cursor_.line, 1, {std::move(line)}, cursor_, false);
    } else if (cursor_.line + 1 < lines_.Count()) {
        std::string joined(lines_.Line(cursor_.line));
        joined.append(lines_.Line(cursor_.line + 1));
        ReplaceLines(cursor_.line, 2, {std::move(joined)}, cursor_, false);
    }
}

void BarTextArea::Copy() const {
    if (HasSelection()) QApplication::clipboard()->setText(ShownText(SelectedText()));
}

void BarTextArea::Cut() {
    if (!HasSelection() || read_only_) return;
    Copy();
    InsertAtCursor(std::string(), false);
}

void BarTextArea::Paste() {
    if (read_only_) return;
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty()) return;
    InsertAtCursor(text.toLatin1().toStdString(), false);
}

QMenu* BarTextArea::CreateContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    AddEditActions(menu);
    return menu;
}

void BarTextArea::AddEditActions(QMenu* menu) {
    const auto add = [this, menu](const QString& text, QKeySequence::StandardKey key, bool enabled,
                                  auto&& slot) {
        QAction* action = menu->addAction(text);
        action->setShortcut(QKeySequence(key));
        action->setShortcutVisibleInContextMenu(true);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    const bool editable = !read_only_;
    const bool clipboard_has_text = !QApplication::clipboard()->text().isEmpty();
    add(QStringLiteral("&Undo"), QKeySequence::Undo, CanUndo(), [this] { Undo(); });
    add(QStringLiteral("&Redo"), QKeySequence::Redo, CanRedo(), [this] { Redo(); });
    menu->addSeparator();
    add(QStringLiteral("Cu&t"), QKeySequence::Cut, editable && HasSelection(), [this] { Cut(); });
    add(QStringLiteral("&Copy"), QKeySequence::Copy, HasSelection(), [this] { Copy(); });
    add(QStringLiteral("&Paste"), QKeySequence::Paste, editable && clipboard_has_text,
        [this] { Paste(); });
    menu->addSeparator();
    add(QStringLiteral("Select &All"), QKeySequence::SelectAll, lines_.Count() > 0,
        [this] { SelectAll(); });
}

void BarTextArea::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void BarTextArea::NoteLength(std::size_t length) { longest_ = std::max(longest_, length); }

qreal BarTextArea::ColumnX(std::size_t column) const {
    return static_cast<qreal>(column) * char_width_;
}

int BarTextArea::VisibleLineCount() const {
    return std::max(1, viewport()->height() / line_height_);
}

void BarTextArea::UpdateScrollBars() {
    // One row more than the lines, for the place after the last one.
    const int count = static_cast<int>(std::min<std::size_t>(lines_.Count() + 1, 0x7fffffff));
    const int visible = VisibleLineCount();
    verticalScrollBar()->setRange(0, std::max(0, count - visible));
    verticalScrollBar()->setPageStep(visible);
    verticalScrollBar()->setSingleStep(1);
    const auto width = static_cast<qint64>(std::ceil(ColumnX(longest_ + 1)));
    const qint64 view_width = viewport()->width();
    horizontalScrollBar()->setRange(
        0, static_cast<int>(std::clamp<qint64>(width - view_width, 0, 0x7fffffff)));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
    horizontalScrollBar()->setSingleStep(std::max(1, static_cast<int>(char_width_)));
}

void BarTextArea::EnsureCursorVisible() {
    const int visible = VisibleLineCount();
    const int line = static_cast<int>(cursor_.line);
    QScrollBar* vertical = verticalScrollBar();
    if (line < vertical->value()) {
        vertical->setValue(line);
    } else if (line >= vertical->value() + visible) {
        vertical->setValue(line - visible + 1);
    }
    const qreal x = ColumnX(cursor_.column);
    QScrollBar* horizontal = horizontalScrollBar();
    if (x < horizontal->value()) {
        horizontal->setValue(static_cast<int>(std::floor(x)));
    } else if (x + char_width_ > horizontal->value() + viewport()->width()) {
        horizontal->setValue(static_cast<int>(std::ceil(x + char_width_ - viewport()->width())));
    }
}

TextPlace BarTextArea::PlaceAt(QPoint point) const {
    // Above the view counts as the lines before it, so a drag upwards scrolls.
    const int row =
        point.y() >= 0 ? point.y() / line_height_ : -1 - (-point.y() - 1) / line_height_;
    const qreal x = std::max<qreal>(0, point.x() + horizontalScrollBar()->value());
    TextPlace place;
    place.line = static_cast<std::size_t>(std::max(0, verticalScrollBar()->value() + row));
    // The nearer edge of the character clicked on.
    place.column = static_cast<std::size_t>(std::floor(x / char_width_ + 0.5));
    return ClampPlace(place);
}

void BarTextArea::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette& colours = palette();
    const int ascent = painter.fontMetrics().ascent();
    const int x_offset = horizontalScrollBar()->value();
    const auto first_column = static_cast<std::size_t>(std::floor(x_offset / char_width_));
    const auto shown_columns = static_cast<std::size_t>(viewport()->width() / char_width_) + 2;
    const std::size_t first = static_cast<std::size_t>(verticalScrollBar()->value());
    const int visible_rows = VisibleLineCount() + 1;
    const auto rows = static_cast<std::size_t>(visible_rows);
    const TextPlace start = std::min(anchor_, cursor_);
    const TextPlace end = std::max(anchor_, cursor_);
    const QColor text_colour = read_only_ ? colours.color(QPalette::Disabled, QPalette::Text)
                                          : colours.color(QPalette::Text);

    for (std::size_t row = 0; row < rows; ++row) {
        const std::size_t line = first + row;
        if (line >= lines_.Count()) break;
        const int y = static_cast<int>(row) * line_height_;
        const std::string_view whole = lines_.Line(line);

        QRect selected;
        if (HasSelection() && line >= start.line && line <= end.line) {
            const std::size_t from = line == start.line ? start.column : 0;
            // A selected line end shows as one more cell.
            const std::size_t to = line == end.line ? end.column : whole.size() + 1;
            const auto left = static_cast<qint64>(std::round(ColumnX(from))) - x_offset;
            const auto right = static_cast<qint64>(std::round(ColumnX(to))) - x_offset;
            selected = QRect(static_cast<int>(std::max<qint64>(left, -1)), y,
                             static_cast<int>(std::clamp<qint64>(right - std::max<qint64>(left, -1),
                                                                 0, 0x7fffffff)),
                             line_height_);
            painter.fillRect(selected, colours.brush(QPalette::Highlight));
        }

        if (first_column < whole.size()) {
            const QString shown = ShownText(whole.substr(first_column, shown_columns));
            const QPointF at(ColumnX(first_column) - x_offset, y + ascent);
            painter.setPen(text_colour);
            painter.drawText(at, shown);
            if (!selected.isEmpty()) {
                painter.save();
                painter.setClipRect(selected);
                painter.setPen(colours.color(QPalette::HighlightedText));
                painter.drawText(at, shown);
                painter.restore();
            }
        }
    }

    if (hasFocus() && cursor_.line >= first && cursor_.line < first + rows) {
        const qreal x = ColumnX(cursor_.column) - x_offset;
        const int y = static_cast<int>(cursor_.line - first) * line_height_;
        painter.fillRect(QRectF(x, y, 2, line_height_), colours.color(QPalette::Text));
    }
}

void BarTextArea::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        Copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        SelectAll();
        return;
    }
    if (event == QKeySequence::Cut) {
        Cut();
        return;
    }
    if (event == QKeySequence::Paste) {
        Paste();
        return;
    }
    if (event == QKeySequence::Undo) {
        Undo();
        return;
    }
    // Ctrl+Y redoes as well as the platform's own key.
    if (event == QKeySequence::Redo ||
        (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier)) {
        Redo();
        return;
    }

    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    const std::size_t page = static_cast<std::size_t>(VisibleLineCount());
    const std::size_t count = lines_.Count();
    TextPlace place = cursor_;
    // Up and Down go back to the column they started from when a line is
    // long enough again.
    const auto move_vertically = [&](std::size_t line) {
        const std::size_t wanted = wanted_column_;
        SetCursor(TextPlace{line, wanted}, shift);
        wanted_column_ = wanted;
    };
    switch (event->key()) {
        case Qt::Key_Left:
            if (control) {
                SetCursor(PreviousWord(place), shift);
                return;
            }
            if (place.line >= count && count > 0) {
                place = {count - 1, LineLength(count - 1)};
            } else if (place.column > 0) {
                --place.column;
            } else if (place.line > 0) {
                --place.line;
                place.column = LineLength(place.line);
            }
            SetCursor(place, shift);
            return;
        case Qt::Key_Right:
            if (control) {
                SetCursor(NextWord(place), shift);
                return;
            }
            if (place.column < LineLength(place.line)) {
                ++place.column;
            } else if (place.line + 1 < count) {
                ++place.line;
                place.column = 0;
            }
            SetCursor(place, shift);
            return;
        case Qt::Key_Up:
            move_vertically(place.line > 0 ? place.line - 1 : 0);
            return;
        case Qt::Key_Down:
            move_vertically(place.line + 1);
            return;
        case Qt::Key_PageUp:
            move_vertically(place.line > page ? place.line - page : 0);
            return;
        case Qt::Key_PageDown:
            move_vertically(place.line + page);
            return;
        case Qt::Key_Home:
            if (control) place.line = 0;
            place.column = 0;
            SetCursor(place, shift);
            return;
        case Qt::Key_End:
            if (control && count > 0) {
                // Past the last line's end, where a paste starts a new line.
                SetCursor(EndPlace(), shift);
                return;
            }
            place.column = LineLength(std::min(place.line, count == 0 ? 0 : count - 1));
            SetCursor(place, shift);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            InsertText("\n");
            return;
        case Qt::Key_Backspace:
            Backspace();
            return;
        case Qt::Key_Delete:
            DeleteForward();
            return;
        default:
            break;
    }

    const QString typed = event->text();
    if (!typed.isEmpty() && !control) {
        std::string bytes;
        for (const QChar c : typed) {
            const char16_t code = c.unicode();
            if ((code >= 32 && code < 127) || (code >= 160 && code < 256) || code == '\t') {
                bytes += static_cast<char>(static_cast<unsigned char>(code));
            }
        }
        if (!bytes.empty()) {
            InsertAtCursor(bytes, bytes.size() == 1);
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void BarTextArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint point = event->position().toPoint();
    // A third click soon after a double click on the same spot takes the line.
    if (triple_click_.isValid() && triple_click_.elapsed() < QApplication::doubleClickInterval() &&
        (point - double_click_at_).manhattanLength() < QApplication::startDragDistance()) {
        triple_click_.invalidate();
        SelectLineAt(PlaceAt(point).line);
        selecting_lines_ = true;
        return;
    }
    selecting_lines_ = false;
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    SetCursor(PlaceAt(point), shift);
}

void BarTextArea::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    double_click_at_ = event->position().toPoint();
    triple_click_.start();
    SelectWordAt(PlaceAt(double_click_at_));
}

void BarTextArea::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) == 0 || selecting_lines_) return;
    SetCursor(PlaceAt(event->position().toPoint()), true);
}

void BarTextArea::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void BarTextArea::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void BarTextArea::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

}  // namespace varn
