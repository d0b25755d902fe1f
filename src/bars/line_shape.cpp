#include "bars/line_shape.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

#include "text/numbers.h"

namespace varn {
namespace {

struct NamedColumn {
    std::string_view name;  // lower-case, without the characters names ignore
    Column column;
};

constexpr NamedColumn kNames[] = {
    {"skip", Column::Skip},
    {"date", Column::Date},
    {"dtyyyymmdd", Column::Date},
    {"day", Column::Date},
    {"time", Column::Time},
    {"datetime", Column::DateTime},
    {"date/time", Column::DateTime},
    {"timestamp", Column::DateTime},
    {"gmttime", Column::DateTime},
    {"localtime", Column::DateTime},
    {"open", Column::Open},
    {"high", Column::High},
    {"low", Column::Low},
    {"close", Column::Close},
    {"last", Column::Close},
    {"price", Column::Close},
    {"closeprice", Column::Close},
    {"lastprice", Column::Close},
    {"volume", Column::Volume},
    {"vol", Column::Volume},
    {"size", Column::Volume},
    {"qty", Column::Volume},
    {"quantity", Column::Volume},
    {"openinterest", Column::OpenInterest},
    {"oi", Column::OpenInterest},
    {"openint", Column::OpenInterest},
    {"symbol", Column::Symbol},
    {"ticker", Column::Symbol},
    {"name", Column::Symbol},
    {"pair", Column::Symbol},
    {"instrument", Column::Symbol},
    {"bid", Column::Bid},
    {"ask", Column::Ask},
    {"bidprice", Column::Bid},
    {"askprice", Column::Ask},
};

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

bool IsNumberColumn(Column column) {
    switch (column) {
        case Column::Open:
        case Column::High:
        case Column::Low:
        case Column::Close:
        case Column::Volume:
        case Column::OpenInterest:
        case Column::Bid:
        case Column::Ask:
            return true;
        default:
            return false;
    }
}

bool IsPriceName(Column column) {
    return IsNumberColumn(column) && column != Column::Volume && column != Column::OpenInterest;
}

// The first field of each column, -1 for a column not named.
using ColumnIndex = std::array<int, 13>;

ColumnIndex IndexColumns(const std::vector<Column>& columns) {
    ColumnIndex at;
    at.fill(-1);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        int& slot = at[static_cast<std::size_t>(columns[i])];
        if (slot < 0) slot = static_cast<int>(i);
    }
    return at;
}

int At(const ColumnIndex& at, Column column) { return at[static_cast<std::size_t>(column)]; }

// Whether field reads as a number, as written or in either decimal form.
bool ReadsAsNumber(std::string_view field) {
    std::string plain;
    double value = 0;
    for (const DecimalMark mark : {DecimalMark::Point, DecimalMark::Comma}) {
        if (TextToDouble(PlainNumber(field, mark, plain), value)) return true;
    }
    return false;
}

// Whether columns read as today's reading reads a line by position: the date
// (or the date with its time), a time, then open, high, low and close, and
// volume and open interest, in this order, with nothing between.
bool ReadByPosition(const std::vector<Column>& columns) {
    static constexpr std::array<Column, 6> kTail = {Column::Open,   Column::High,
                                                    Column::Low,    Column::Close,
                                                    Column::Volume, Column::OpenInterest};
    std::size_t i = 0;
    if (i < columns.size() && columns[i] == Column::DateTime) {
        ++i;
    } else if (i < columns.size() && columns[i] == Column::Date) {
        ++i;
        if (i < columns.size() && columns[i] == Column::Time) ++i;
    } else {
        return false;
    }
    if (columns.size() - i < 4 || columns.size() - i > kTail.size()) return false;
    return std::equal(columns.begin() + static_cast<std::ptrdiff_t>(i), columns.end(),
                      kTail.begin());
}

// Why columns cannot give bars, or empty when they can; sets form.
std::string CheckColumns(const std::vector<Column>& columns, PriceForm chosen, PriceForm& form) {
    const ColumnIndex at = IndexColumns(columns);
    const auto has = [&at](Column column) { return At(at, column) >= 0; };
    if (!has(Column::Date) && !has(Column::DateTime)) {
        return "the columns name no date (date, datetime or timestamp)";
    }
    const int four = has(Column::Open) + has(Column::High) + has(Column::Low);
    if (four == 3 && has(Column::Close)) {
        form = chosen == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
        return {};
    }
    if (four > 0) {
        return "the columns name some of open, high, low and close but not all four; name the "
               "price to build bars from with --columns (date,skip,close)";
    }
    if (!has(Column::Close) && !has(Column::Bid) && !has(Column::Ask)) {
        return "the columns name no price (open, high, low and close, or close, last, price, "
               "bid or ask)";
    }
    if (chosen == PriceForm::Ohlc) {
        return "the columns name one price, not open, high, low and close";
    }
    form = PriceForm::Single;
    return {};
}

// Whether columns name a date. A header in another language ("Datum;Zeit;
// Open;...") names none that is known: its lines are then read by position,
// the header passed over.
bool NamesDate(const std::vector<Column>& columns) {
    return std::any_of(columns.begin(), columns.end(), [](Column column) {
        return column == Column::Date || column == Column::DateTime;
    });
}

// Whether some field holds a digit.
bool HasDigits(const std::vector<std::string_view>& fields) {
    return std::any_of(fields.begin(), fields.end(), [](std::string_view field) {
        return std::any_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
    });
}

// Whether some line has a non-empty field beyond the first count.
bool HasMoreFields(const std::vector<std::vector<std::string_view>>& lines, std::size_t count) {
    for (const auto& fields : lines) {
        for (std::size_t i = count; i < fields.size(); ++i) {
            if (!fields[i].empty()) return true;
        }
    }
    return false;
}

// Appends field to out after a blank, "_" standing for an empty one.
void AppendField(std::string& out, std::string_view field) {
    if (!out.empty()) out += ' ';
    if (field.empty()) {
        out += '_';
    } else {
        out.append(field);
    }
}

// A time with a comma before its fraction of a second, with a point there.
std::string_view PointedTime(std::string_view field, std::string& out) {
    if (!IsTimeWithCommaFraction(field)) return field;
    out.assign(field);
    out[out.rfind(',')] = '.';
    return out;
}

}  // namespace

std::string_view ColumnWord(Column column) {
    switch (column) {
        case Column::Date:
            return "date";
        case Column::Time:
            return "time";
        case Column::DateTime:
            return "datetime";
        case Column::Open:
            return "open";
        case Column::High:
            return "high";
        case Column::Low:
            return "low";
        case Column::Close:
            return "close";
        case Column::Volume:
            return "volume";
        case Column::OpenInterest:
            return "open_interest";
        case Column::Symbol:
            return "symbol";
        case Column::Bid:
            return "bid";
        case Column::Ask:
            return "ask";
        case Column::Skip:
            break;
    }
    return "skip";
}

std::optional<Column> ColumnOfName(std::string_view name) {
    std::string key;
    for (const char c : name) {
        if (c == '<' || c == '>' || c == '"' || c == '\'' || c == '.' || c == '_' || c == '-' ||
            IsBlank(c)) {
            continue;
        }
        key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (const NamedColumn& named : kNames) {
        if (named.name == key) return named.column;
    }
    return std::nullopt;
}

bool ReadColumnList(std::string_view list, std::vector<Column>& columns, std::string& reason) {
    columns.clear();
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view name = list.substr(start, comma - start);
        const std::optional<Column> column = ColumnOfName(name);
        if (!column) {
            reason = "unknown column '" + std::string(name) +
                     "': use date, time, datetime, open, high, low, close, volume, "
                     "open_interest, symbol, bid, ask or skip";
            return false;
        }
        columns.push_back(*column);
        start = comma + 1;
    }
    return true;
}

bool LineShape::HasSymbol() const {
    return std::find(columns.begin(), columns.end(), Column::Symbol) != columns.end();
}

std::string LineShape::ColumnsText() const {
    std::string text;
    for (const Column column : columns) {
        if (!text.empty()) text += ", ";
        text.append(ColumnWord(column));
    }
    return text;
}

bool FindLineShape(std::span<const std::string_view> first, const ShapeChoices& choices,
                   LineShape& shape, std::string& reason) {
    shape = LineShape{};
    shape.separator = FindSeparator(first);
    // The non-blank lines, split, with their line numbers.
    std::vector<std::vector<std::string_view>> split;
    std::vector<std::int64_t> numbers;
    std::vector<std::string> scratch(first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (IsBlankLine(first[i])) continue;
        split.emplace_back();
        SplitSeparated(first[i], shape.separator, split.back(), scratch[i]);
        numbers.push_back(static_cast<std::int64_t>(i) + 1);
    }

    // A header: among the first five non-blank lines, one that names two
    // columns or more, a price among them, and holds no number.
    std::size_t data = 0;
    std::vector<Column> named;
    for (std::size_t k = 0; k < std::min<std::size_t>(5, split.size()); ++k) {
        int known = 0;
        bool price = false;
        bool number = false;
        std::vector<Column> columns;
        for (const std::string_view field : split[k]) {
            const std::optional<Column> column = ColumnOfName(field);
            columns.push_back(column.value_or(Column::Skip));
            if (column && *column != Column::Skip) {
                ++known;
                price = price || IsPriceName(*column);
            }
            number = number || ReadsAsNumber(field);
        }
        if (known >= 2 && price && !number) {
            shape.header_line = numbers[k];
            named = std::move(columns);
            data = k + 1;
            break;
        }
    }
    // A first line of names none of which is known ("Datum;Eröffnung;...")
    // is a header too when it holds no digit and the lines after it do: its
    // lines are read by position.
    if (shape.header_line == 0 && split.size() > 1 && !HasDigits(split[0]) &&
        std::all_of(split.begin() + 1, split.end(), HasDigits)) {
        shape.header_line = numbers[0];
        data = 1;
    }
    const std::vector<std::vector<std::string_view>> lines(
        split.begin() + static_cast<std::ptrdiff_t>(std::min(data, split.size())), split.end());

    if (!choices.columns.empty()) {
        shape.columns = choices.columns;
    } else if (shape.header_line > 0 && NamesDate(named)) {
        shape.columns = named;
        shape.columns_from_header = true;
        if (HasMoreFields(lines, named.size())) {
            reason = "the header on line " + std::to_string(shape.header_line) + " names " +
                     std::to_string(named.size()) +
                     " columns but lines hold more fields: name the columns with --columns";
            return false;
        }
    }

    // The decimal mark, from the numbers after the date (or in the number
    // columns).
    DecimalEvidence evidence;
    for (const auto& fields : lines) {
        for (std::size_t i = 1; i < fields.size(); ++i) {
            if (shape.columns.empty() ||
                (i < shape.columns.size() && IsNumberColumn(shape.columns[i]))) {
                evidence.Weigh(fields[i]);
            }
        }
    }
    shape.decimal = choices.decimal_comma ? DecimalMark::Comma : evidence.Mark();

    if (!shape.columns.empty()) {
        reason = CheckColumns(shape.columns, choices.prices, shape.prices);
        if (!reason.empty()) return false;
        shape.rewrite =
            !(ReadByPosition(shape.columns) && shape.prices == PriceForm::Ohlc &&
              shape.decimal == DecimalMark::Point && shape.separator != Separator::Pipe);
    } else {
        shape.rewrite = shape.decimal == DecimalMark::Comma || shape.separator == Separator::Pipe;
    }
    // Numbers that need rewriting (grouped thousands, currency signs), times
    // with a comma before their fraction, and empty fields between others
    // (which a reading by runs of separators would close up) make a rewrite
    // of any file.
    std::string plain;
    for (const auto& fields : lines) {
        std::size_t last = fields.size();
        while (last > 0 && fields[last - 1].empty()) --last;
        for (std::size_t i = 0; i < last && !shape.rewrite; ++i) {
            shape.rewrite = fields[i].empty() || IsTimeWithCommaFraction(fields[i]) ||
                            (i > 0 && PlainNumber(fields[i], shape.decimal, plain) != fields[i]);
        }
    }
    return true;
}

std::string_view ShapeLine(std::string_view line, const LineShape& shape,
                           std::string_view* symbol) {
    if (symbol != nullptr) *symbol = {};
    if (!shape.Rewrites()) return line;
    thread_local std::vector<std::string_view> fields;
    thread_local std::string scratch;
    thread_local std::string out;
    thread_local std::string number;
    SplitSeparated(line, shape.separator, fields, scratch);
    out.clear();
    const auto append_number = [&](std::string_view field) {
        AppendField(out, PlainNumber(field, shape.decimal, number));
    };
    const auto append_time = [&](std::string_view field) {
        AppendField(out, PointedTime(field, number));
    };
    if (shape.columns.empty()) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (IsTimeWithCommaFraction(fields[i]) || i == 0) {
                append_time(fields[i]);
            } else {
                append_number(fields[i]);
            }
        }
        return out;
    }
    const ColumnIndex at = IndexColumns(shape.columns);
    const auto field = [&](Column column) -> std::string_view {
        const int i = At(at, column);
        return i >= 0 && static_cast<std::size_t>(i) < fields.size()
                   ? fields[static_cast<std::size_t>(i)]
                   : std::string_view();
    };
    if (symbol != nullptr) *symbol = field(Column::Symbol);
    if (At(at, Column::DateTime) >= 0 && At(at, Column::Date) < 0) {
        append_time(field(Column::DateTime));
    } else {
        append_time(field(Column::Date));
        if (At(at, Column::Time) >= 0) append_time(field(Column::Time));
    }
    const bool volume = At(at, Column::Volume) >= 0;
    const bool open_interest = At(at, Column::OpenInterest) >= 0;
    if (shape.prices == PriceForm::Ohlc) {
        for (const Column column : {Column::Open, Column::High, Column::Low, Column::Close}) {
            append_number(field(column));
        }
        if (volume || open_interest) append_number(field(Column::Volume));
        if (open_interest) append_number(field(Column::OpenInterest));
    } else {
        const Column price = At(at, Column::Close) >= 0 ? Column::Close
                             : At(at, Column::Bid) >= 0 ? Column::Bid
                                                        : Column::Ask;
        append_number(field(price));
        if (volume) append_number(field(Column::Volume));
    }
    return out;
}

}  // namespace varn
