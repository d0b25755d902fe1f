#pragma once
// How the first price line of the Bar page reads under the chosen date and
// time layouts, in words, so a misreading shows before a job runs:
//
//   "01/02/2006 1200 1203 1198 1201", MM/DD/YYYY, DATE  2145
//   -> "Line 1 reads: date 2006-01-02  time 12:03  open 1198  high 1201 ..."
//      (the first price taken for the time: fewer prices than four remain)
//
// The first line is the first after the header that is not blank, read as
// the job reads it: rewritten by the shape of the lines, so a semicolon file
// with decimal commas ("02.01.2019;10.586,70;...") shows its prices
// ("open 10586.7"). A line that does not read gives the parser's own reason.

#include <QString>
#include <cstddef>

#include "bars/line_shape.h"
#include "calendar/layout_numbers.h"
#include "calendar/parse_date.h"

namespace varn {

class LineList;

// How many lines from the top are passed over when blank before the preview
// gives up: a store that starts with more blank lines shows no line.
inline constexpr std::size_t PreviewBlankLinesMax = 1000;

// The text of the preview for line number (from 0) as shown to the user
// (from 1). form is Ohlc or Single.
QString LinePreviewText(std::size_t number, std::string_view line, DateLayout date_layout,
                        TimeLayout time_layout, PriceForm form, const DateNames& names);

// The preview of the first line of lines after the header of shape that is
// not blank, as shape rewrites it, or a note that there is none. The prices
// read as form unless the columns of shape name their own.
QString FirstLinePreviewText(const LineList& lines, const LineShape& shape, DateLayout date_layout,
                             TimeLayout time_layout, PriceForm form, const DateNames& names);

}  // namespace varn
