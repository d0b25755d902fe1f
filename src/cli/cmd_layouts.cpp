// varn layouts
//
// Lists the numbers of the date layouts, time layouts, bar periods and
// conversions that the other commands take, and how two-digit years read.
#include "bars/bar_line.h"
#include "calendar/date_layouts.h"
#include "cli/command.h"
#include "convert/conversions.h"

namespace varn::cli {

void AddLayoutsCommand(CLI::App& app, CommandRun& run) {
    CLI::App* cmd = app.add_subcommand("layouts", "List the layouts, periods and conversions");
    cmd->callback([&run] {
        run = [](Streams& s) {
            s.out << "date layouts (--date-layout):\n";
            for (int d = 0; d < DateLayoutCount; ++d)
                s.out << "  " << d << "  " << DateLayoutItem(d) << '\n';
            s.out << "time layouts (--time-layout):\n";
            for (int t = 0; t < TimeLayoutCount; ++t) {
                s.out << "  " << t << "  " << TimeLayoutItems[static_cast<std::size_t>(t)] << '\n';
            }
            s.out << "periods (--period):\n";
            for (int p = 0; p < BarPeriodCount; ++p) {
                const auto i = static_cast<std::size_t>(p);
                s.out << "  " << p << "  " << BarPeriodNames[i] << "  " << BarPeriodItems[i]
                      << '\n';
            }
            s.out << "conversions (convert --format):\n";
            for (int c = 0; c < ConversionCount; ++c) {
                s.out << "  " << c << "  " << ConversionItems[static_cast<std::size_t>(c)] << '\n';
            }
            s.out << "two-digit years (date layouts 0-4 and 11, conversion 1):\n"
                  << "  00-50 are 2000-2050, 51-99 are 1951-1999\n"
                  << "stamps:\n"
                  << "  ISO 8601: date layout 12 with time layout 8 (2024-02-01T14:30:00Z),\n"
                  << "    or 3 when a blank joins them; date layout 14 with time layout 8\n"
                  << "    (20240201T143000)\n"
                  << "  Unix seconds and milliseconds (22, 23) pair with time layout 8;\n"
                  << "    they read as UTC, within 1971-2100\n"
                  << "  every time may carry a fraction of a second (14:01:59.421) and a\n"
                  << "    24-hour time a zone offset (Z, +01:00) or a zone word after it\n"
                  << "    (US/Eastern): the wall time is read as written\n";
            return ExitOk;
        };
    });
}

}  // namespace varn::cli
