#pragma once
// How the fields of a price file's lines are cut and read, before their
// dates and prices are: the separator, the decimal mark, and the columns a
// header line (or the user) names. A line is then rewritten into the form the
// date and price readers take, "DATE [TIME] OPEN HIGH LOW CLOSE [VOLUME [OI]]"
// or "DATE [TIME] PRICE [VOLUME]", fields separated by one blank.
//
//   Date,Open,High,Low,Close,Adj Close,Volume          header: columns by name
//   2024-01-02,"1,234.50",1240,1230,1238,1238.1,"82,488,700"
//     becomes "2024-01-02 1234.50 1240 1230 1238 82488700"
//
//   02.01.2019;10.586,70;10.823,42;10.568,26;10.680,92;132921872
//     (semicolons, decimal commas) becomes
//     "02.01.2019 10586.70 10823.42 10568.26 10680.92 132921872"
//
// A file that today's reading reads right is left as it is: no header, blanks,
// commas, semicolons or tabs between fields, decimal points and plain
// numbers. Its lines are handed to the readers untouched.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/layout_numbers.h"
#include "text/number_text.h"
#include "text/separated_fields.h"

namespace varn {

// The columns a header or the --columns list may name; Skip is any other.
enum class Column : int {
    Skip,
    Date,
    Time,
    DateTime,
    Open,
    High,
    Low,
    Close,
    Volume,
    OpenInterest,
    Symbol,
    Bid,
    Ask,
};

// The word the column list writes for column: "date", "open_interest", "skip".
std::string_view ColumnWord(Column column);

// The column a name stands for, case, "<" and ">", quotes, blanks, dots, "-"
// and "_" ignored: "Date", "<DATE>" and "date" are Date; "Open Interest",
// "OI" and "OpenInt" are OpenInterest; "Close", "Last" and "Price" are Close;
// "Vol", "Size" and "Qty" are Volume; "Ticker", "Name" and "Pair" are Symbol;
// "Datetime" and "Timestamp" are DateTime. Nothing for any other name ("Adj
// Close", "Change"); "skip" is Skip.
std::optional<Column> ColumnOfName(std::string_view name);

// Reads a list such as "symbol,skip,date,time,open,high,low,close,volume"
// (comma-separated names as ColumnOfName takes them) into columns. False, with
// the reason in words, when a name is unknown or the list is empty.
[[nodiscard]] bool ReadColumnList(std::string_view list, std::vector<Column>& columns,
                                  std::string& reason);

// What the user fixed of the reading: columns by hand (empty: by a header
// line, or by position), a decimal comma whatever the lines suggest, and the
// form of the prices (Single takes the close of four named prices).
struct ShapeChoices {
    std::vector<Column> columns;
    bool decimal_comma = false;
    PriceForm prices = PriceForm::Auto;
};

struct LineShape {
    Separator separator = Separator::Spaces;
    DecimalMark decimal = DecimalMark::Point;
    // The column of each field (empty: date, time and prices by position).
    std::vector<Column> columns;
    bool columns_from_header = false;
    // The prices lines are rewritten with: Ohlc, Single, or Auto (positional).
    PriceForm prices = PriceForm::Auto;
    std::int64_t header_line = 0;  // 1-based line naming the columns; 0: none
    // Positional lines are rewritten: a decimal comma, pipes, grouped
    // thousands or currency signs in numbers, or a comma before a fraction of
    // a second.
    bool rewrite = false;

    // Whether lines are rewritten at all: columns in the order of today's
    // reading (date, time, open, high, low, close, volume, open interest)
    // are not.
    bool Rewrites() const { return rewrite; }
    // Whether a column holds the symbol.
    bool HasSymbol() const;
    // "date, time, open, high, low, close, skip, volume" as the column words.
    std::string ColumnsText() const;
};

// Decides the shape of a file from its first lines: the separator they share,
// a header among the first five non-blank lines, and the decimal mark of the
// numbers after the first field. False, with the reason in words, when the
// columns cannot be read: no date column, no price, some but not all of
// open, high, low and close, or a header whose fields are fewer than the
// lines'.
[[nodiscard]] bool FindLineShape(std::span<const std::string_view> first,
                                 const ShapeChoices& choices, LineShape& shape,
                                 std::string& reason);

// line rewritten by shape, or line itself when shape rewrites nothing. The
// text returned is good until the next call on the same thread. symbol, when
// given, receives the symbol column (empty when none).
std::string_view ShapeLine(std::string_view line, const LineShape& shape,
                           std::string_view* symbol = nullptr);

}  // namespace varn
