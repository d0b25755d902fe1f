#pragma once
// The zones of a bar job, chosen once before its lines are read: the names
// of BarChoices::zone_in and zone_out resolved, the zone of the times as
// chosen or as the lines' zone word names it ("09:30:00 US/Eastern"), and a
// refusal when bars in a zone are asked of times whose zone is not known.
//
// With zone_out "America/New_York", no zone_in, and first lines
// "03/08/2024,09:30:00 Europe/London,...", the times are read in
// Europe/London and a note says so; with first lines "03/08/2024,09:30:00,..."
// the job is refused: their zone has to be given.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "bars/build_bars.h"
#include "bars/line_shape.h"
#include "calendar/zone_shift.h"

namespace varn {

// The zones of a job whose layouts are in report.layouts, looked at on its
// first lines (shape cuts them; name names them in a failure). Without zones
// chosen: ok, zones left converting nothing. A name that is no zone fails
// with ZoneError(UnknownZone), times without a zone (no offset, no zone
// word that names a zone) under zone_out with ZoneError(TimesWithoutZone),
// dates without times (time layout 0) under zone_out with
// ZoneError(DatesWithoutTimes);
// the status names the zone or says what to give. On success zones is set
// (in_word viewing in_word, which the caller keeps), report.reading names
// the zones, and notes say where the zone of the times came from or why a
// zone given is not used.
JobStatus ChooseZones(std::span<const std::string_view> first, const std::string& name,
                      const BarChoices& choices, const LineShape& shape, const DateNames& names,
                      JobReport& report, std::string& in_word, ZoneShift& zones);

// "12 lines fall in the hour the clocks went back in America/New_York; read
// as its first pass".
std::string RepeatedHourNote(std::int64_t lines, const Zone& zone);

}  // namespace varn
