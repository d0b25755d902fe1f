#include "calendar/parse_date.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "calendar/calendar.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/text_helpers.h"

namespace varn {

namespace {

// The line is copied into a buffer on the stack: bar building parses millions
// of lines, and none of them should cost a heap allocation.
constexpr std::size_t LineMax = ShortTextMax;
// Date text and time text are cut to this many characters.
constexpr std::size_t FieldTextMax = 100;
constexpr std::size_t NotFound = std::string_view::npos;

constexpr char Upper(char c) {
    return static_cast<unsigned char>(c - 'a') < 26 ? static_cast<char>(c - 32) : c;
}

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr bool IsControlOrBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

constexpr bool IsLetterOrHigh(char c) {
    const auto code = static_cast<unsigned char>(c);
    return static_cast<unsigned char>((code | 0x20) - 'a') < 26 || code >= 128;
}

// Upper-cases "a" to "z" eight bytes at a time; every other byte stays.
void UpperCaseInPlace(char* data, std::size_t size) {
    constexpr std::uint64_t Ones = 0x0101010101010101;
    constexpr std::uint64_t High = Ones * 0x80;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, 8);
        const std::uint64_t low7 = word & ~High;
        // Per byte, the high bit of from_a is set when low7 >= 'a', that of
        // past_z when low7 > 'z'; no byte carries into the next.
        const std::uint64_t from_a = low7 + Ones * (0x80 - 'a');
        const std::uint64_t past_z = low7 + Ones * (0x80 - 'z' - 1);
        const std::uint64_t lower = from_a & ~past_z & ~word & High;
        word ^= lower >> 2;  // 0x80 >> 2 is the case bit 0x20
        std::memcpy(data + i, &word, 8);
    }
    for (; i < size; ++i) data[i] = Upper(data[i]);
}

// Whether text holds no letter, no byte of code 128 or above and no double
// quote, eight bytes at a time. Normalising such a text changes nothing when
// no month name or AM/PM designator can occur in it without those bytes.
bool IsPlainText(std::string_view text) {
    constexpr std::uint64_t Ones = 0x0101010101010101;
    constexpr std::uint64_t High = Ones * 0x80;
    const auto not_plain = [](std::uint64_t word) {
        const std::uint64_t low7 = word & ~High;
        // Per byte: letters are those whose low7 | 0x20 lies in "a" to "z";
        // no sum below carries into the next byte.
        const std::uint64_t folded = low7 | (Ones * 0x20);
        const std::uint64_t from_a = folded + Ones * (0x80 - 'a');
        const std::uint64_t past_z = folded + Ones * (0x80 - 'z' - 1);
        const std::uint64_t letter = from_a & ~past_z & High;
        // A zero byte of low7 ^ '"' is a double quote.
        const std::uint64_t quote = low7 ^ (Ones * '"');
        const std::uint64_t has_quote = (quote - Ones) & ~quote & High;
        return ((word & High) | letter | has_quote) != 0;
    };
    const char* p = text.data();
    std::size_t size = text.size();
    for (; size >= 8; p += 8, size -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (not_plain(word)) return false;
    }
    if (size > 0) {
        // The last bytes, padded with blanks.
        std::uint64_t word = Ones * ' ';
        std::memcpy(&word, p, size);
        if (not_plain(word)) return false;
    }
    return true;
}

// The English month names as they stand in an upper-cased line.
constexpr std::array<std::string_view, 12> EnglishUpperLong = {
    "JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
    "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
constexpr std::array<std::string_view, 12> EnglishUpperShort = {
    "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

constexpr ByteTable DashSlash{CharSet("-/")};
constexpr ByteTable Dot{CharSet(".")};
constexpr ByteTable DotSlash{CharSet("./")};
constexpr ByteTable DashDotSlash{CharSet("-./")};
constexpr ByteTable BlankSlash{CharSet(" /")};
constexpr ByteTable NameSeparators{CharSet("\",_")};
constexpr ByteTable NameSeparatorsDash{CharSet("\",-_")};
constexpr ByteTable YearSeparators{CharSet("\",/_")};
constexpr CharSet Slash("/");
constexpr ByteTable LineTable{LineSeparators};
constexpr ByteTable LineNoSemicolonTable{LineSeparatorsNoSemicolon};
constexpr ByteTable WordTable{WordSeparators};

std::string Designator(const std::string& designator) {
    return designator.substr(0, AmPmDesignatorMax);
}

// Upper-cases, joins an AM/PM marker to its time and joins a month-name date,
// on size characters at data.
void NormaliseInPlace(char* data, std::size_t size, const DateNames& names) {
    UpperCaseInPlace(data, size);
    const std::string_view line(data, size);

    const int marker = AmPmMarkerPosition(line, names);
    if (marker > 0) {
        // 9:45 PM becomes 9:45_PM, one field.
        for (auto i = static_cast<std::size_t>(marker - 1); i > 0 && IsControlOrBlank(data[i - 1]);
             --i) {
            data[i - 1] = '_';
        }
    }

    // The first three words: a month-name date never reaches beyond them, and
    // a month name in a later field (a remark, a ticker) must not make a
    // numeric line a month-name line.
    std::size_t span_end = 0;
    for (const std::string_view word : FirstFields<3>(line, WordTable)) {
        if (!word.empty()) span_end = static_cast<std::size_t>(word.data() - data) + word.size();
    }
    if (MonthInText(line.substr(0, span_end), names) != 0) {
        for (std::size_t i = 0; i < span_end; ++i) {
            const char c = data[i];
            if (IsControlOrBlank(c) || c == '"' || c == ',' || c == '-') data[i] = '_';
        }
    } else {
        for (std::size_t i = line.find('"'); i != NotFound; i = line.find('"', i + 1)) {
            data[i] = ' ';
        }
    }
}

// Deletes the first blank among the first p characters (p counted from 1).
void DeleteFirstBlank(char* data, std::size_t& size, int p) {
    const std::size_t limit = std::min(size, static_cast<std::size_t>(std::max(p, 0)));
    for (std::size_t i = 0; i < limit; ++i) {
        if (data[i] == ' ') {
            std::memmove(data + i, data + i + 1, size - i - 1);
            --size;
            return;
        }
    }
}

// The value of one to nine decimal digits and nothing else; false for any
// other text, which the full integer reading then judges. Both readings give
// the same value wherever this one succeeds.
bool ReadDecimal(std::string_view text, std::int32_t& value) {
    if (text.empty() || text.size() > 9) return false;
    std::int32_t result = 0;
    for (const char c : text) {
        if (!IsDigit(c)) return false;
        result = result * 10 + (c - '0');
    }
    value = result;
    return true;
}

std::int32_t DecimalOr(std::string_view text, std::int32_t fallback) {
    if (text.empty()) return fallback;  // no number reads from nothing
    std::int32_t value = 0;
    return ReadDecimal(text, value) ? value : StrictIntegerOr(text, fallback);
}

// The digits of a fraction of a second (1 to 9 of them; none reads as 0) as
// nanoseconds: "421" is 421,000,000.
bool ReadFraction(std::string_view digits, std::int32_t& nanoseconds) {
    if (digits.size() > 9) return false;
    std::int32_t value = 0;
    for (const char c : digits) {
        if (!IsDigit(c)) return false;
        value = value * 10 + (c - '0');
    }
    for (std::size_t n = digits.size(); n < 9; ++n) value *= 10;
    nanoseconds = value;
    return true;
}

// Reads a run of 1 to max_digits digits at text[pos]; false when there is none.
bool ReadDigitsAt(std::string_view text, std::size_t& pos, std::size_t max_digits,
                  std::int32_t& value) {
    const std::size_t start = pos;
    std::int32_t read = 0;
    while (pos < text.size() && pos - start < max_digits && IsDigit(text[pos])) {
        read = read * 10 + (text[pos++] - '0');
    }
    value = read;
    return pos != start;
}

// A fraction of a second at text[pos]: "." or "," and 1 to 9 digits. Moves
// pos past it; nothing there reads as no fraction.
bool ReadFractionAt(std::string_view text, std::size_t& pos, std::int32_t& nanoseconds) {
    nanoseconds = 0;
    if (pos >= text.size() || (text[pos] != '.' && text[pos] != ',')) return true;
    std::size_t end = pos + 1;
    while (end < text.size() && IsDigit(text[end])) ++end;
    if (end == pos + 1 || !ReadFraction(text.substr(pos + 1, end - pos - 1), nanoseconds)) {
        return false;
    }
    pos = end;
    return true;
}

// "H:M" or "H:M:S" (1 to 9 digits each) with an optional fraction of a
// second, at the start of text. Returns the characters read, 0 when text does
// not begin so.
std::size_t ReadClock(std::string_view text, ParsedDate& date) {
    std::size_t pos = 0;
    if (!ReadDigitsAt(text, pos, 9, date.hours)) return 0;
    if (pos >= text.size() || text[pos] != ':') return 0;
    ++pos;
    if (!ReadDigitsAt(text, pos, 9, date.minutes)) return 0;
    date.seconds = 0;
    date.nanoseconds = 0;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if (!ReadDigitsAt(text, pos, 9, date.seconds)) return 0;
        if (!ReadFractionAt(text, pos, date.nanoseconds)) return 0;
    }
    return pos;
}

// The whole of text as a zone offset written after a time: "Z", or a sign
// and HH, HHMM or HH:MM (at most 14:00 either way). Empty text is no offset.
bool ReadZoneSuffix(std::string_view text, ParsedDate& date) {
    date.has_offset = false;
    date.offset_minutes = 0;
    if (text.empty()) return true;
    if (text == "Z") {
        date.has_offset = true;
        return true;
    }
    if (text[0] != '+' && text[0] != '-') return false;
    const std::string_view digits = text.substr(1);
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    std::size_t pos = 0;
    if (!ReadDigitsAt(digits, pos, 2, hours) || pos != 2) return false;
    if (pos < digits.size() && digits[pos] == ':') ++pos;
    if (pos < digits.size()) {
        const std::size_t start = pos;
        if (!ReadDigitsAt(digits, pos, 2, minutes) || pos - start != 2) return false;
    }
    if (pos != digits.size() || minutes > 59 || hours * 60 + minutes > 14 * 60) return false;
    const std::int32_t offset = hours * 60 + minutes;
    date.offset_minutes = static_cast<std::int16_t>(text[0] == '-' ? -offset : offset);
    date.has_offset = true;
    return true;
}

// A year beyond the limit stays as it is (and is refused): adding the century
// could overflow.
std::int32_t Window50(std::int32_t year) {
    if (year > MaxYear) return year;
    return year <= 50 ? year + 2000 : year + 1900;
}

enum class DatePart { kYear, kMonth, kDay };
enum class DateCheck { kMonthUpTo12, kDay1To31, kWindow50 };

const char* Label(DatePart part) {
    switch (part) {
        case DatePart::kYear:
            return "Year";
        case DatePart::kMonth:
            return "Month";
        case DatePart::kDay:
            break;
    }
    return "Day";
}

// A date of three numbers, f1, f2 and f3 in this order.
struct NumericLayout {
    const ByteTable* set;
    std::array<DatePart, 3> fields;
    std::array<DateCheck, 3> checks;
    int check_count;
};

constexpr std::array<DatePart, 3> Mdy = {DatePart::kMonth, DatePart::kDay, DatePart::kYear};
constexpr std::array<DatePart, 3> Dmy = {DatePart::kDay, DatePart::kMonth, DatePart::kYear};
constexpr std::array<DatePart, 3> Ymd = {DatePart::kYear, DatePart::kMonth, DatePart::kDay};
constexpr std::array<DatePart, 3> Ydm = {DatePart::kYear, DatePart::kDay, DatePart::kMonth};
constexpr std::array<DateCheck, 3> TwoDigitYear = {DateCheck::kMonthUpTo12, DateCheck::kDay1To31,
                                                   DateCheck::kWindow50};
constexpr std::array<DateCheck, 3> DayThenMonth = {DateCheck::kDay1To31, DateCheck::kMonthUpTo12,
                                                   DateCheck::kWindow50};
constexpr std::array<DateCheck, 3> MonthThenDay = {DateCheck::kMonthUpTo12, DateCheck::kDay1To31,
                                                   DateCheck::kWindow50};

// The numeric layouts read by NumericLayout, by date layout number.
const NumericLayout* NumericLayoutOf(DateLayout date_layout) {
    static constexpr NumericLayout Layouts[] = {
        {&DashSlash, Mdy, TwoDigitYear, 3},     // 1 MM/DD/YY
        {&DashSlash, Dmy, TwoDigitYear, 3},     // 2 DD/MM/YY
        {&Dot, Mdy, TwoDigitYear, 3},           // 3 MM.DD.YY
        {&Dot, Dmy, TwoDigitYear, 3},           // 4 DD.MM.YY
        {&DashSlash, Mdy, DayThenMonth, 2},     // 5 MM/DD/YYYY
        {&DashSlash, Dmy, DayThenMonth, 2},     // 6 DD/MM/YYYY
        {&Dot, Mdy, DayThenMonth, 2},           // 7 MM.DD.YYYY
        {&DotSlash, Dmy, DayThenMonth, 2},      // 8 DD.MM.YYYY
        {&DashDotSlash, Ymd, MonthThenDay, 2},  // 12 YYYY/MM/DD
        {&DotSlash, Ydm, MonthThenDay, 2},      // 13 YYYY/DD/MM
        {&BlankSlash, Mdy, DayThenMonth, 2},    // 15 M / D/YYYY
        {&BlankSlash, Dmy, DayThenMonth, 2},    // 16 D / M/YYYY
    };
    switch (date_layout) {
        case DateLayout::MMDDYYSlash:
        case DateLayout::DDMMYYSlash:
        case DateLayout::MMDDYYDot:
        case DateLayout::DDMMYYDot:
        case DateLayout::MMDDYYYYSlash:
        case DateLayout::DDMMYYYYSlash:
        case DateLayout::MMDDYYYYDot:
        case DateLayout::DDMMYYYYDot:
            return &Layouts[Number(date_layout) - 1];
        case DateLayout::YYYYMMDDSlash:
        case DateLayout::YYYYDDMMSlash:
            return &Layouts[Number(date_layout) - 4];
        case DateLayout::MDYYYYSpaced:
        case DateLayout::DMYYYYSpaced:
            return &Layouts[Number(date_layout) - 5];
        default:
            return nullptr;
    }
}

// Reads the date text by one date layout into date, and words the reason of
// a failure into the error text when one is wanted.
class DateReader {
  public:
    DateReader(std::string_view date_text, const DateNames& names, ShortText* error)
        : text_(date_text), names_(names), error_(error) {}

    bool Read(DateLayout date_layout, ParsedDate& date) {
        if (const NumericLayout* layout = NumericLayoutOf(date_layout)) {
            return ReadNumeric(*layout, date);
        }
        switch (date_layout) {
            case DateLayout::YYMMDD:
                return ReadPacked(date);
            case DateLayout::YYYYMMDD:
                return ReadPackedLong(date);
            case DateLayout::DayMonthNameYear:
                return ReadNamed(NameSeparators, 1, date) && CheckDay(date.day, Field(1));
            case DateLayout::MonthNameDayYear:
                return ReadNamed(NameSeparators, 2, date) && CheckDay(date.day, Field(2));
            case DateLayout::DayMonthNameYY:
                error_ = nullptr;  // this layout reports no reason
                if (!ReadNamed(NameSeparators, 1, date)) return false;
                date.year = Window50(date.year);
                return CheckDay(date.day, Field(1));
            case DateLayout::MonthNameYY:
            case DateLayout::MonthNameYear:
                date.day = 1;
                return ReadNamed(NameSeparatorsDash, 0, date);
            case DateLayout::YYYY:
                date.day = 1;
                date.month = 1;
                UseSet(YearSeparators);
                return ReadNumber(Field(3), DatePart::kYear, date.year) && NothingLeft();
            case DateLayout::YYYYCommaMM:
                return ReadYearAndMonth(2, 1, true, date);
            case DateLayout::MMCommaYYYY:
                return ReadYearAndMonth(1, 2, false, date);
            case DateLayout::UnixSeconds:
                return ReadEpoch(10, date);
            case DateLayout::UnixMilliseconds:
                return ReadEpoch(13, date);
            default:
                break;
        }
        return false;
    }

  private:
    void UseSet(const ByteTable& set) { fields_ = FirstFields<4>(text_, set); }
    std::string_view Field(int n) const { return fields_[static_cast<std::size_t>(n - 1)]; }

    // A layout reads the whole date text: a field after its three fails.
    bool NothingLeft() { return Field(4).empty() ? true : Fail("Date", Field(4)); }

    // Layouts 22 and 23: seconds (digits 10) or milliseconds (digits 13)
    // since 1970-01-01 00:00 UTC, the seconds with an optional fraction;
    // the date and time of day in UTC, within 1971 to 2100.
    bool ReadEpoch(std::size_t digits, ParsedDate& date) {
        std::string_view whole = text_;
        std::string_view fraction;
        if (const std::size_t point = whole.find('.'); point != NotFound && digits == 10) {
            fraction = whole.substr(point + 1);
            whole = whole.substr(0, point);
            if (fraction.empty() || fraction.size() > 9) return false;
        }
        if (whole.size() != digits) return false;
        std::int64_t count = 0;
        for (const char c : whole) {
            if (!IsDigit(c)) return false;
            count = count * 10 + (c - '0');
        }
        std::int32_t nanoseconds = 0;
        if (!ReadFraction(fraction, nanoseconds)) return false;
        if (digits == 13) {
            nanoseconds = static_cast<std::int32_t>(count % 1000) * 1000000;
            count /= 1000;
        }
        // 1971-01-01 00:00:00 to 2100-12-31 23:59:59.
        if (count < 31536000 || count > 4133980799) return false;
        static const std::int64_t epoch_day = DayNumber(1970, 1, 1);
        DateOfDay(epoch_day + count / 86400, date.year, date.month, date.day);
        const auto second_of_day = static_cast<std::int32_t>(count % 86400);
        date.hours = second_of_day / 3600;
        date.minutes = second_of_day / 60 % 60;
        date.seconds = second_of_day % 60;
        date.nanoseconds = nanoseconds;
        date.offset_minutes = 0;
        date.has_offset = true;
        return true;
    }

    bool Fail(const char* label, std::string_view field) {
        if (error_ != nullptr) {
            *error_ = "Can't extract ";
            *error_ += label;
            *error_ += " string: ";
            *error_ += text_;
            *error_ += " substring: ";
            *error_ += field;
            if (error_->size() > ShortTextMax) error_->resize(ShortTextMax);
        }
        return false;
    }

    bool ReadNumber(std::string_view field, DatePart part, std::int32_t& value) {
        std::int32_t read = 0;
        if (!ReadDecimal(field, read) && !TextToInteger(field, read)) {
            return Fail(Label(part), field);
        }
        value = read;
        return true;
    }

    bool CheckDay(std::int32_t day, std::string_view field) {
        return day >= 1 && day <= 31 ? true : Fail("Day", field);
    }

    bool CheckMonth(std::int32_t month, std::string_view field) {
        return month <= 12 ? true : Fail("Month", field);
    }

    bool ReadNumeric(const NumericLayout& layout, ParsedDate& date) {
        UseSet(*layout.set);
        std::array<std::string_view, 3> texts;  // by DatePart
        for (int n = 1; n <= 3; ++n) {
            const DatePart part = layout.fields[static_cast<std::size_t>(n - 1)];
            const std::string_view field = Field(n);
            texts[static_cast<std::size_t>(part)] = field;
            std::int32_t& value = part == DatePart::kYear    ? date.year
                                  : part == DatePart::kMonth ? date.month
                                                             : date.day;
            if (!ReadNumber(field, part, value)) return false;
        }
        if (!NothingLeft()) return false;
        for (int i = 0; i < layout.check_count; ++i) {
            switch (layout.checks[static_cast<std::size_t>(i)]) {
                case DateCheck::kMonthUpTo12:
                    if (!CheckMonth(date.month, texts[1])) return false;
                    break;
                case DateCheck::kDay1To31:
                    if (!CheckDay(date.day, texts[2])) return false;
                    break;
                case DateCheck::kWindow50:
                    date.year = Window50(date.year);
                    break;
            }
        }
        return true;
    }

    // Layouts 9, 10, 11, 17 and 18: the day in field day_field (0: none), the
    // month by name anywhere in the date text, the year in field 3.
    bool ReadNamed(const ByteTable& set, int day_field, ParsedDate& date) {
        UseSet(set);
        if (day_field > 0 && !ReadNumber(Field(day_field), DatePart::kDay, date.day)) {
            return false;
        }
        date.month = MonthInText(text_, names_);
        if (date.month == 0) {
            if (error_ != nullptr) {
                *error_ = "Can't extract month from string: ";
                *error_ += text_;
                if (error_->size() > ShortTextMax) error_->resize(ShortTextMax);
            }
            return false;
        }
        return ReadNumber(Field(3), DatePart::kYear, date.year) && NothingLeft();
    }

    // Layouts 20 and 21: year and month, no day. A third field means the
    // text carries more than a month and does not fit. In layout 20 a month written "1"
    // is October, the "0" of "10" having been lost as a trailing zero.
    bool ReadYearAndMonth(int month_field, int year_field, bool october_rule, ParsedDate& date) {
        UseSet(DashDotSlash);
        date.day = 1;
        const std::string_view month_text = Field(month_field);
        const std::string_view first = Field(1);
        if (month_field == 1) {
            if (!ReadNumber(first, DatePart::kMonth, date.month)) return false;
            if (!ReadNumber(Field(year_field), DatePart::kYear, date.year)) return false;
        } else {
            if (!ReadNumber(first, DatePart::kYear, date.year)) return false;
            if (!ReadNumber(month_text, DatePart::kMonth, date.month)) return false;
        }
        const std::string_view third = Field(3);
        if (!third.empty()) return Fail("Day", third);
        if (!CheckMonth(date.month, month_text)) return false;
        if (october_rule && date.month == 1 && month_text == "1") date.month = 10;
        return true;
    }

    // Layout 0, "YYMMDD": exactly six characters.
    bool ReadPacked(ParsedDate& date) {
        if (text_.size() != 6) return false;
        const std::string_view year = text_.substr(0, 2);
        const std::string_view month = text_.substr(2, 2);
        const std::string_view day = text_.substr(4, 2);
        if (!ReadPart(day, " not a day", date.day) ||
            !ReadPart(month, " not a month", date.month) ||
            !ReadPart(year, " not a year", date.year)) {
            return false;
        }
        if (date.month > 12) return FailPacked(month, " not a month");
        if (date.day < 1 || date.day > 31) return FailPacked(day, " not a day");
        date.year = Window50(date.year);
        return true;
    }

    bool ReadPart(std::string_view text, const char* reason, std::int32_t& value) {
        std::int32_t read = 0;
        if (!ReadDecimal(text, read) && !TextToInteger(text, read)) return FailPacked(text, reason);
        value = read;
        return true;
    }

    bool FailPacked(std::string_view text, const char* reason) {
        if (error_ != nullptr) {
            *error_ = text;
            *error_ += reason;
            if (error_->size() > ShortTextMax) error_->resize(ShortTextMax);
        }
        return false;
    }

    // Layout 14, "YYYYMMDD": exactly eight characters.
    bool ReadPackedLong(ParsedDate& date) {
        if (text_.size() != 8) {
            if (error_ != nullptr) *error_ = "Error in data string";
            return false;
        }
        if (!ReadWhole(text_.substr(6, 2), " Can't extract day", date.day) ||
            !ReadWhole(text_.substr(4, 2), " Can't extract month", date.month) ||
            !ReadWhole(text_.substr(0, 4), " Can't extract year", date.year)) {
            return false;
        }
        if (date.month > 12) return FailPacked(text_, " Can't extract month");
        if (date.day < 1 || date.day > 31) return FailPacked(text_, " Can't extract day");
        return true;
    }

    bool ReadWhole(std::string_view part, const char* reason, std::int32_t& value) {
        std::int32_t read = 0;
        if (!ReadDecimal(part, read) && !TextToInteger(part, read)) {
            return FailPacked(text_, reason);
        }
        value = read;
        return true;
    }

    std::string_view text_;
    const DateNames& names_;
    ShortText* error_;
    std::array<std::string_view, 4> fields_{};
};

// The colon rule: H:M or H:M:S, with an optional fraction of a second, and
// then, with twelve_hour, an am/pm marker (after "_" when the line had a blank
// there), without it an optional zone offset. Nothing else may follow: a
// marker makes the text no 24-hour time, and "9:3X" is no time at all.
bool ReadColonTime(std::string_view time_text, bool twelve_hour, const DateNames& names, bool plain,
                   ParsedDate& date) {
    // A plain line holds no marker.
    const int kind = plain ? -1 : AmPmKind(time_text, names);
    if (!twelve_hour && kind != -1) return false;
    date.has_offset = false;
    date.offset_minutes = 0;
    const std::size_t read = ReadClock(time_text, date);
    if (read == 0) return false;
    std::string_view after = time_text.substr(read);
    if (twelve_hour) {
        if (kind == -1) return false;
        while (!after.empty() && after.front() == '_') after.remove_prefix(1);
        const std::string_view marker = kind == 1 ? "PM" : "AM";
        const std::string_view regional = kind == 1 ? names.pm() : names.am();
        if (after != marker && after != regional) return false;
        date.hours = From12Hour(kind == 1 ? 1 : 0, date.hours);
    } else if (!ReadZoneSuffix(after, date)) {
        return false;
    }
    return date.hours <= 24 && date.minutes <= 60 && date.seconds <= 60;
}

// The digit rules: HHMM (digits 4) or HHMMSS (digits 6); one leading zero
// may be missing. HHMMSS may carry a fraction of a second, and with zone (the
// time joined to its date) both may carry a zone offset.
bool ReadDigitTime(std::string_view time_text, std::size_t digits, bool zone, ParsedDate& date) {
    date.nanoseconds = 0;
    date.has_offset = false;
    date.offset_minutes = 0;
    std::size_t run = 0;
    while (run < time_text.size() && IsDigit(time_text[run])) ++run;
    std::string_view after = time_text.substr(run);
    time_text = time_text.substr(0, run);
    if (digits == 6 && !after.empty() && (after.front() == '.' || after.front() == ',')) {
        std::size_t pos = 0;
        if (!ReadFractionAt(after, pos, date.nanoseconds)) return false;
        after.remove_prefix(pos);
    }
    if (!after.empty() && !(zone && ReadZoneSuffix(after, date))) return false;
    char padded[8] = {};
    if (time_text.size() == digits - 1) {
        padded[0] = '0';
        std::memcpy(padded + 1, time_text.data(), time_text.size());
        time_text = std::string_view(padded, digits);
    }
    if (time_text.size() != digits) return false;
    date.hours = DecimalOr(time_text.substr(0, 2), -1);
    date.minutes = DecimalOr(time_text.substr(2, 2), -1);
    date.seconds = digits == 6 ? DecimalOr(time_text.substr(4, 2), -1) : 0;
    return date.hours >= 0 && date.hours <= 24 && date.minutes >= 0 && date.minutes <= 59 &&
           date.seconds >= 0 && date.seconds <= 59;
}

// The time joined to its date by "T": a colon time with an optional zone
// offset, or HHMMSS or HHMM as in the basic form of ISO 8601 ("143000Z").
bool ReadJoinedTime(std::string_view time_text, const DateNames& names, ParsedDate& date) {
    if (time_text.find(':') != NotFound) return ReadColonTime(time_text, false, names, false, date);
    std::size_t run = 0;
    while (run < time_text.size() && IsDigit(time_text[run])) ++run;
    return ReadDigitTime(time_text, run <= 4 ? 4 : 6, true, date);
}

bool ReadTime(TimeLayout time_layout, std::string_view time_text, const DateNames& names,
              bool plain, ParsedDate& date) {
    switch (time_layout) {
        case TimeLayout::NotIndicated:
            date.hours = 0;
            date.minutes = 0;
            date.seconds = 0;
            date.nanoseconds = 0;
            date.has_offset = false;
            date.offset_minutes = 0;
            return true;
        case TimeLayout::SemicolonHms:
        case TimeLayout::BlankHms:
        case TimeLayout::SemicolonHm:
            return ReadColonTime(time_text, false, names, plain, date);
        case TimeLayout::SemicolonAmPm:
        case TimeLayout::BlankAmPm:
            return ReadColonTime(time_text, true, names, plain, date);
        case TimeLayout::BlankDigits:
            return ReadDigitTime(time_text, 4, false, date);
        case TimeLayout::SemicolonDigits:
            return ReadDigitTime(time_text, 6, false, date);
        case TimeLayout::InDate:
            return ReadJoinedTime(time_text, names, date);
    }
    return false;
}

// Reads one to digits_max digits at p, moving p past them; false when there
// are none. Inlined: it runs five times a line.
[[gnu::always_inline]] inline bool ReadShortNumber(const char*& p, const char* end,
                                                   std::ptrdiff_t digits_max, std::int32_t& value) {
    const char* const start = p;
    const char* const limit = end - p > digits_max ? p + digits_max : end;
    std::int32_t read = 0;
    for (; p != limit && IsDigit(*p); ++p) read = read * 10 + (*p - '0');
    value = read;
    return p != start;
}

// The shape of nearly every line of a price file, read in one pass: a
// numeric date of three runs of digits with one separator of its layout
// between them, and, by a colon time layout, H:M or H:M:S of one or two
// digits each, then the end or a separator. The line must be plain (see
// IsPlainText), so that normalising it changes nothing. Gives exactly what
// the full reading gives, and false, date untouched, for every line of any
// other shape or that fails any check: the full reading then decides.
bool ReadPlainNumeric(std::string_view text, DateLayout date_layout, TimeLayout time_layout,
                      bool short_year, ParsedDate& date, std::size_t& rest_start) {
    const NumericLayout* layout = NumericLayoutOf(date_layout);
    if (layout == nullptr || layout->set == &BlankSlash) return false;
    // Field 1 is split off at LineTable; with a time, field 2 at time_set.
    const ByteTable* time_set = nullptr;
    switch (time_layout) {
        case TimeLayout::NotIndicated:
            break;
        case TimeLayout::SemicolonHms:
        case TimeLayout::SemicolonHm:
            time_set = &LineTable;
            break;
        case TimeLayout::BlankHms:
            time_set = &LineNoSemicolonTable;
            break;
        default:
            return false;
    }
    const char* p = text.data();
    const char* const end = p + text.size();
    // The date: no separator of the date layout is a line separator or a
    // digit, so the date field and its three parts are just these.
    std::array<std::int32_t, 3> numbers{};
    for (std::size_t n = 0; n < 3; ++n) {
        if (!ReadShortNumber(p, end, 9, numbers[n])) return false;
        if (n < 2) {
            if (p == end || !layout->set->Contains(*p)) return false;
            ++p;
        }
    }
    if (p != end && !LineTable.Contains(*p)) return false;

    ParsedDate read;
    for (std::size_t n = 0; n < 3; ++n) {
        switch (layout->fields[n]) {
            case DatePart::kYear:
                read.year = numbers[n];
                break;
            case DatePart::kMonth:
                read.month = numbers[n];
                break;
            case DatePart::kDay:
                read.day = numbers[n];
                break;
        }
    }
    for (int i = 0; i < layout->check_count; ++i) {
        switch (layout->checks[static_cast<std::size_t>(i)]) {
            case DateCheck::kMonthUpTo12:
                if (read.month > 12) return false;
                break;
            case DateCheck::kDay1To31:
                if (read.day < 1 || read.day > 31) return false;
                break;
            case DateCheck::kWindow50:
                read.year = Window50(read.year);
                break;
        }
    }
    if (read.year > MaxYear) return false;
    if (short_year && read.year >= 0 && read.year <= 200) {
        read.year += read.year <= 60 ? 2000 : 1900;
    }

    if (time_set != nullptr) {
        // Field 2 at time_set: field 1 ends where the date does only when
        // the character there is a separator of that set as well.
        if (p == end || !time_set->Contains(*p)) return false;
        while (p != end && time_set->Contains(*p)) ++p;
        if (!ReadShortNumber(p, end, 2, read.hours) || p == end || *p != ':') return false;
        ++p;
        if (!ReadShortNumber(p, end, 2, read.minutes)) return false;
        read.seconds = 0;
        if (p != end && *p == ':') {
            ++p;
            if (!ReadShortNumber(p, end, 2, read.seconds)) return false;
        }
        if (p != end && !time_set->Contains(*p)) return false;
        if (read.hours > 24 || read.minutes > 60 || read.seconds > 60) return false;
    }
    rest_start = static_cast<std::size_t>(p - text.data());
    // Field by field: a copy of the whole would load back, at once, what was
    // just stored in pieces, which the processor cannot forward.
    date.year = read.year;
    date.month = read.month;
    date.day = read.day;
    date.hours = read.hours;
    date.minutes = read.minutes;
    date.seconds = read.seconds;
    date.nanoseconds = 0;
    date.offset_minutes = 0;
    date.has_offset = false;
    return true;
}

}  // namespace

bool NumericMonthNames(const RegionalNames& names) { return names.short_months[0] == "1"; }

DateNames::DateNames() : DateNames(RegionalNames{}) {}

DateNames::DateNames(const RegionalNames& regional)
    : am_(Designator(regional.am)),
      pm_(Designator(regional.pm)),
      numeric_(NumericMonthNames(regional)) {
    const auto prepare = [this](const std::string& name, std::string& prepared) {
        prepared = name;
        for (char& c : prepared) c = Upper(c);
        if (!prepared.empty() && !IsLetterOrHigh(prepared.front())) has_plain_name_ = true;
    };
    for (std::size_t m = 0; m < 12; ++m) {
        prepare(regional.long_months[m], long_months_[m]);
        prepare(regional.short_months[m], short_months_[m]);
    }
    const auto plain = [](std::string_view designator) {
        return !designator.empty() &&
               std::none_of(designator.begin(), designator.end(),
                            [](char c) { return IsLetterOrHigh(c) || c == '"'; });
    };
    has_plain_designator_ = plain(am_) || plain(pm_);
}

int MonthInText(std::string_view text, const DateNames& names) {
    const bool search_regional = !names.numeric();
    // A numeric date holds no letter and no high byte, and so no name that
    // begins with one: the English names all do, regional names nearly always.
    if (std::none_of(text.begin(), text.end(), [](char c) { return IsLetterOrHigh(c); }) &&
        !(search_regional && names.has_plain_name())) {
        return 0;
    }
    // A name can only occur when its first and last bytes do.
    const CharSet present(text);
    const auto found = [&](std::string_view name) {
        return !name.empty() && present.Contains(name.front()) && present.Contains(name.back()) &&
               text.find(name) != NotFound;
    };
    if (search_regional) {
        for (std::size_t m = 0; m < 12; ++m) {
            if (found(names.long_months()[m])) return static_cast<int>(m) + 1;
        }
        for (std::size_t m = 0; m < 12; ++m) {
            if (found(names.short_months()[m])) return static_cast<int>(m) + 1;
        }
    }
    for (std::size_t m = 0; m < 12; ++m) {
        if (found(EnglishUpperLong[m])) return static_cast<int>(m) + 1;
    }
    for (std::size_t m = 0; m < 12; ++m) {
        if (found(EnglishUpperShort[m])) return static_cast<int>(m) + 1;
    }
    return 0;
}

int AmPmMarkerPosition(std::string_view line, const DateNames& names) {
    const auto position = [line](std::string_view marker) -> int {
        if (marker.empty()) return 0;
        const std::size_t p = line.find(marker);
        if (p == NotFound || p == 0) return 0;
        const char before = line[p - 1];
        if (before != ' ' && !IsDigit(before)) return 0;
        const std::size_t after = p + marker.size();
        if (after < line.size() && !IsControlOrBlank(line[after]) && line[after] != ',') return 0;
        return static_cast<int>(p) + 1;
    };
    for (const std::string_view marker : {std::string_view("AM"), std::string_view("PM")}) {
        if (const int p = position(marker)) return p;
    }
    if (!names.numeric()) {
        // A designator equal to a candidate already tried fails the same way.
        for (const std::string_view marker : {names.am(), names.pm()}) {
            if (marker == "AM" || marker == "PM") continue;
            if (const int p = position(marker)) return p;
        }
    }
    return 0;
}

int AmPmKind(std::string_view time_text, const DateNames& names) {
    const auto counts = [time_text](std::string_view marker) {
        if (marker.empty()) return false;
        const std::size_t p = time_text.find(marker);
        if (p == NotFound || p == 0) return false;
        const char before = time_text[p - 1];
        return IsDigit(before) || before == '_';
    };
    if (counts("AM")) return 0;
    if (counts("PM")) return 1;
    // A designator equal to "AM" or "PM" was tried with it.
    const std::string_view am = names.am();
    const std::string_view pm = names.pm();
    if (am != "AM" && am != "PM" && counts(am)) return 0;
    if (pm != "AM" && pm != "PM" && counts(pm)) return 1;
    return -1;
}

void NormaliseDateLine(ShortText& line, const DateNames& names) {
    NormaliseInPlace(line.data(), line.size(), names);
}

bool ParseDateText(std::string_view line, DateLayout date_layout, TimeLayout time_layout,
                   bool short_year, const DateNames& names, ParsedDate& date, ShortText& rest,
                   std::size_t rest_max_length, ShortText* error) {
    std::string_view view;
    const bool ok = ParseDateTextView(line, date_layout, time_layout, short_year, names, date, view,
                                      rest, rest_max_length, error);
    // A rest left in the line is copied; one that was built is there already.
    if (view.data() != rest.data() || view.size() != rest.size()) rest.assign(view);
    return ok;
}

bool ParseDateTextView(std::string_view line, DateLayout date_layout, TimeLayout time_layout,
                       bool short_year, const DateNames& names, ParsedDate& date,
                       std::string_view& rest, ShortText& rest_store, std::size_t rest_max_length,
                       ShortText* error) {
    if (error != nullptr) error->clear();
    if (!DateLayoutOf(Number(date_layout)) || !TimeLayoutOf(Number(time_layout))) {
        rest_store.clear();
        rest = rest_store;
        return false;
    }

    // The month-and-year layouts carry no day, the year layout neither day
    // nor month: a
    // day (and month) is put in front so that the year is field 3.
    const bool prefixed = date_layout == DateLayout::MonthNameYY ||
                          date_layout == DateLayout::MonthNameYear ||
                          date_layout == DateLayout::YYYY;
    const bool spaced =
        date_layout == DateLayout::MDYYYYSpaced || date_layout == DateLayout::DMYYYYSpaced;
    // Most lines hold digits and separators only: no month name, no AM/PM
    // marker and no double quote can be in them, normalising leaves them as
    // they are, and they are read where they stand.
    const std::string_view cut = line.substr(0, LineMax);
    const bool plain = !prefixed && !spaced && !(names.has_plain_name() && !names.numeric()) &&
                       !names.has_plain_designator() && IsPlainText(cut);
    char buffer[LineMax];
    std::size_t size = 0;
    if (!plain) {
        const auto append = [&](std::string_view part) {
            const std::size_t n = std::min(part.size(), LineMax - size);
            std::memcpy(buffer + size, part.data(), n);
            size += n;
        };
        if (date_layout == DateLayout::MonthNameYY || date_layout == DateLayout::MonthNameYear) {
            append("1-");
        } else if (date_layout == DateLayout::YYYY) {
            append("1/1/");
        }
        append(line);

        NormaliseInPlace(buffer, size, names);

        if (spaced) {
            // " 3/ 4/2001" becomes "3/4/2001".
            DeleteFirstBlank(buffer, size,
                             FieldStartPosition(1, std::string_view(buffer, size), Slash));
            DeleteFirstBlank(buffer, size,
                             FieldStartPosition(2, std::string_view(buffer, size), Slash));
        }
    }
    const std::string_view text = plain ? cut : std::string_view(buffer, size);
    std::size_t plain_rest = 0;
    if (plain && ReadPlainNumeric(text, date_layout, time_layout, short_year, date, plain_rest)) {
        rest = text.substr(plain_rest, std::min(rest_max_length, LineMax));
        return true;
    }

    // The blank-separated time layouts do not split the time from the date at
    // ";", the digit one not the date from the time either.
    // The time joined to the date stands in field 1 with it.
    const bool in_date = time_layout == TimeLayout::InDate;
    const bool timed = time_layout != TimeLayout::NotIndicated && !in_date;
    const bool blank_time = time_layout == TimeLayout::BlankHms ||
                            time_layout == TimeLayout::BlankAmPm ||
                            time_layout == TimeLayout::BlankDigits;
    const ByteTable& date_set =
        time_layout == TimeLayout::BlankDigits ? LineNoSemicolonTable : LineTable;
    const ByteTable& time_set = blank_time ? LineNoSemicolonTable : LineTable;
    std::string_view time_text;
    const std::string_view last_field =
        timed ? FirstFields<2>(text, time_set)[1] : FirstFields<1>(text, date_set)[0];
    if (timed) time_text = last_field.substr(0, FieldTextMax);
    // Without that field the rest is the whole line.
    const std::size_t rest_start =
        last_field.empty()
            ? 0
            : static_cast<std::size_t>(last_field.data() - text.data()) + last_field.size();
    if (plain) {
        rest = text.substr(rest_start, std::min(rest_max_length, LineMax));
    } else {
        rest_store.assign(text.substr(rest_start, std::min(rest_max_length, LineMax)));
        rest = rest_store;
    }

    std::string_view date_text =
        (timed ? FirstFields<1>(text, date_set)[0] : last_field).substr(0, FieldTextMax);
    // An epoch stamp is date and time in one; so is a date joined to its time
    // by "T" between digits (a month name such as "OCT" holds a "T" too).
    const bool epoch = IsEpochLayout(date_layout);
    if (epoch && !in_date) return false;
    if (in_date && !epoch) {
        std::size_t t = date_text.find('T');
        while (t != NotFound && (t == 0 || t + 1 >= date_text.size() ||
                                 !IsDigit(date_text[t - 1]) || !IsDigit(date_text[t + 1]))) {
            t = date_text.find('T', t + 1);
        }
        if (t == NotFound) return false;
        time_text = date_text.substr(t + 1);
        date_text = date_text.substr(0, t);
    }
    if (!DateReader(date_text, names, error).Read(date_layout, date)) return false;

    if (date.year > MaxYear) return false;
    if (short_year && date.year >= 0 && date.year <= 200) {
        date.year += date.year <= 60 ? 2000 : 1900;
    }

    return epoch || ReadTime(time_layout, time_text, names, plain, date);
}

}  // namespace varn
