#pragma once
// The text area of the bar page: a view over the page's line store that draws
// only the lines in sight, so a file of a million lines shows at once and
// costs no copy. The user edits it like a plain text box; every edit goes to
// the store line by line:
//
//   typing "x" at column 2 of "ab|cd"   Replace(i, "abxcd")
//   Enter at column 2 of "abcd"         Replace(i, "ab"), Insert(i + 1, "cd")
//   Backspace at column 0 of line i     Replace(i - 1, line i-1 + line i), Remove(i)
//
// Columns count bytes: the file's single-byte characters, shown as Latin-1.
// A tab is shown as one blank cell. A double click selects a word (a run of
// characters between blanks, tabs, commas and semicolons: a date or a
// price), a triple click the line; Ctrl+Left and Ctrl+Right move by words.
// Ctrl+End goes to the place after the last line, where what is typed or
// pasted starts a new line.
//
// Each edit is kept as the lines it replaced and the lines that replaced
// them, so Ctrl+Z puts the old lines back and Ctrl+Shift+Z (or Ctrl+Y) the
// new ones; characters typed in a row undo together. The history is bounded
// (HistoryEditsMax edits, HistoryBytesMax bytes of text) and cleared when the
// store is reloaded.

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

class QMenu;

namespace varn {

class BarInputLines;
class LineList;

// A place in the text: line and column, both from 0.
struct TextPlace {
    std::size_t line = 0;
    std::size_t column = 0;
    friend bool operator==(const TextPlace&, const TextPlace&) = default;
    // NOLINTNEXTLINE(modernize-use-nullptr): a false finding on a defaulted <=>
    friend auto operator<=>(const TextPlace&, const TextPlace&) = default;
};

class BarTextArea final : public QAbstractScrollArea {
    Q_OBJECT

  public:
    static constexpr std::size_t HistoryEditsMax = 1000;
    static constexpr std::size_t HistoryBytesMax = std::size_t{64} << 20;

    explicit BarTextArea(BarInputLines& lines, QWidget* parent = nullptr);

    // Call after the store was changed from outside: the cursor goes to the
    // start and the scroll ranges are measured again, from longest_line when
    // it is known (LongestLine, worked out where the lines were loaded).
    void Reload(std::optional<std::size_t> longest_line = std::nullopt);
    // The characters of the longest of lines.
    static std::size_t LongestLine(const LineList& lines);

    void SetReadOnly(bool read_only);
    bool IsReadOnly() const { return read_only_; }

    TextPlace Cursor() const { return cursor_; }
    // The place after the last line: line Count(), column 0.
    TextPlace EndPlace() const;
    void SetCursor(TextPlace place, bool keep_anchor = false);
    bool HasSelection() const { return anchor_ != cursor_; }
    // The selected text, lines joined by "\n".
    std::string SelectedText() const;
    void SelectAll();

    // Edits at the cursor, as typing does (ignored when read-only).
    void InsertText(const std::string& text);
    void Backspace();
    void DeleteForward();

    // The clipboard: the selection as Latin-1 text; a paste inserts the
    // clipboard's text, characters beyond Latin-1 as '?'.
    void Cut();
    void Copy() const;
    void Paste();

    // The bytes of text the history may hold (HistoryBytesMax at first); an
    // edit larger alone clears the history and is not kept.
    void SetHistoryBytesMax(std::size_t bytes);
    bool CanUndo() const { return !read_only_ && !undo_.empty(); }
    bool CanRedo() const { return !read_only_ && !redo_.empty(); }
    void Undo();
    void Redo();

    // The menu the right button opens, its actions enabled as things stand
    // now; the caller owns it.
    QMenu* CreateContextMenu(QWidget* parent);
    // The same actions added to menu (the window's Edit menu).
    void AddEditActions(QMenu* menu);

  signals:
    void Edited();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    // One edit: lines [first, first + before.size()) became after.
    struct Edit {
        std::size_t first = 0;
        std::vector<std::string> before;
        std::vector<std::string> after;
        TextPlace cursor_before;
        TextPlace anchor_before;
        TextPlace cursor_after;
        bool typing = false;  // one character typed: joins the typing just before
        std::size_t Bytes() const;
    };

    // Replaces count lines from first by lines, keeps the edit for undo and
    // puts the cursor at cursor_after.
    void ReplaceLines(std::size_t first, std::size_t count, std::vector<std::string> lines,
                      TextPlace cursor_after, bool typing);
    // Replaces count lines from first by lines in the store alone.
    void PutLines(std::size_t first, std::size_t count, const std::vector<std::string>& lines);
    void Remember(Edit edit);
    void ClearHistory();
    // Inserts text at the cursor in place of the selection.
    void InsertAtCursor(const std::string& text, bool typing);
    std::size_t LineLength(std::size_t line) const;
    // place within the text; the end place stays.
    TextPlace ClampPlace(TextPlace place) const;
    // The start and end of the word at place, and the starts of the next
    // and the previous word (across line ends).
    TextPlace WordStart(TextPlace place) const;
    TextPlace WordEnd(TextPlace place) const;
    TextPlace NextWord(TextPlace place) const;
    TextPlace PreviousWord(TextPlace place) const;
    void SelectWordAt(TextPlace place);
    void SelectLineAt(std::size_t line);
    TextPlace PlaceAt(QPoint point) const;
    // After an edit: the cursor ends any selection and the view follows it.
    void FinishEdit();
    void UpdateScrollBars();
    void EnsureCursorVisible();
    void NoteLength(std::size_t length);
    int VisibleLineCount() const;
    // Where a column starts, in pixels from the start of the line.
    qreal ColumnX(std::size_t column) const;

    BarInputLines& lines_;
    TextPlace cursor_;
    TextPlace anchor_;
    std::size_t wanted_column_ = 0;  // kept by Up and Down across shorter lines
    QElapsedTimer triple_click_;     // since the last double click, for a third
    QPoint double_click_at_;
    bool selecting_lines_ = false;  // a triple click's line stays as the mouse moves
    bool read_only_ = false;
    std::size_t longest_ = 0;  // characters of the longest line seen
    int line_height_ = 1;
    // The font's own advance of one character, unrounded: 7.2 px rounded to 7
    // puts column 45 a whole character left of where it is drawn.
    qreal char_width_ = 1;
    std::deque<Edit> undo_;
    std::vector<Edit> redo_;
    std::size_t history_bytes_ = 0;  // text held by undo_ and redo_
    std::size_t history_bytes_max_ = HistoryBytesMax;
};

}  // namespace varn
