#pragma once
// The line rules, written once: every reader of lines (the line reader,
// counting, the backward scan for the last lines of a file, the bar page's
// line store and pasting into it) finds its line ends here. Two rule sets:
//
// - LineRules::Stream, for the conversions: a line ends at LF or CR LF, any CR
//   not followed by LF is dropped, and Ctrl-Z (code 26) ends the input
//   wherever it falls.
// - LineRules::List, for files read as a list of lines (truncation, counting,
//   bar input): a line ends at CR LF, LF or a lone CR.
//
// Under both, a final line break adds no empty line, lines have no length
// limit and NUL is an ordinary byte. "a\r\nb\rc" is the lines "a", "bc" under
// Stream and "a", "b", "c" under List; "\x1a" is no line at all under Stream
// and the one line "\x1a" under List.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace varn {

enum class LineRules { Stream, List };

inline constexpr char CtrlZ = 26;

// ---- Stream rules ----

// The length of the input that text holds: the bytes before its first Ctrl-Z,
// or all of it.
std::size_t StreamInputLength(std::string_view text);

// The position of the first LF of text at or after pos; text.size() when
// there is none.
inline std::size_t FindLineFeed(std::string_view text, std::size_t pos) {
    const void* at = std::memchr(text.data() + pos, '\n', text.size() - pos);
    return at == nullptr ? text.size()
                         : static_cast<std::size_t>(static_cast<const char*>(at) - text.data());
}

// Drops every CR of line: the one before its LF belongs to the line end, and
// a CR not followed by LF is dropped.
void DropCarriageReturns(std::string& line);

// ---- List rules ----

// Finds the line breaks of one text under the List rules, remembering the
// next LF and the next CR it saw: each is looked for once per position, so a
// text of lone CRs costs no more than one of LFs. Reset it when the text
// changes.
class ListBreakFinder {
  public:
    // The position of the first LF or CR of text at or after pos;
    // text.size() when there is none.
    std::size_t Next(std::string_view text, std::size_t pos);
    void Reset() { next_lf_ = next_cr_ = kUnknown; }

  private:
    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
    std::size_t next_lf_ = kUnknown;
    std::size_t next_cr_ = kUnknown;
};

// The bytes of the line break at text[at], an LF or a CR: 2 for CR LF, else 1.
inline std::size_t ListBreakLength(std::string_view text, std::size_t at) {
    return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
}

// Calls line(offset, length) for each line of text in order, under the List
// rules.
template <typename LineFn>
void ForEachListLine(std::string_view text, LineFn&& line) {
    ListBreakFinder finder;
    const std::size_t size = text.size();
    std::size_t start = 0;
    while (start < size) {
        const std::size_t at = finder.Next(text, start);
        line(start, at - start);
        if (at == size) break;
        start = at + ListBreakLength(text, at);
    }
}

// The lines of text under the List rules.
std::vector<std::string> ListLines(std::string_view text);

// The pieces text makes when pasted at a cursor: split at every line break
// of the List rules, so n breaks give n + 1 pieces. "" is one empty piece,
// "a\n" the pieces "a" and "", "a\r\nb" the pieces "a" and "b".
std::vector<std::string> SplitPastedText(std::string_view text);

// The number of LF bytes in text, counted in vector lanes.
std::int64_t CountLineFeeds(std::string_view text);

// Counts the lines of an input given block by block, in order, under the
// List rules; a CR LF may be split between two blocks.
class ListLineCounter {
  public:
    void Add(std::string_view block);
    // The lines of the blocks added so far.
    std::int64_t Count() const;

  private:
    std::int64_t breaks_ = 0;
    bool after_cr_ = false;  // the last byte added was CR
    char last_ = '\n';       // the last byte added; LF while there is none
};

// The bytes of a final line break at the end of text (of which only the last
// two bytes matter): 2 for CR LF, 1 for LF or CR, 0 for none. The backward
// scan leaves them out, since a final line break adds no line.
std::size_t FinalBreakLength(std::string_view text);

// Finds where the last n lines of an input begin, scanning it backwards
// block by block under the List rules. Feed it the input without its final
// line break (FinalBreakLength), last block first.
class LastLinesScanner {
  public:
    explicit LastLinesScanner(std::int64_t n) : wanted_(n) {}
    // Scans block, the bytes just before those scanned so far, from its end.
    // True when the last n lines begin inside block or right after it; start
    // then holds that offset in block. False when they begin further back, or
    // when the input has n lines or fewer (then they begin at its start).
    [[nodiscard]] bool Scan(std::string_view block, std::size_t& start);

  private:
    std::int64_t wanted_;
    std::int64_t breaks_ = 0;
    bool after_lf_ = false;  // the byte after the one being scanned is LF
};

// The offset in text at which its last n lines begin under the List rules:
// 0 when it has n lines or fewer, text.size() when n < 1.
std::size_t LastLinesStart(std::string_view text, std::int64_t n);

}  // namespace varn
