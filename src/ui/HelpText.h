#pragma once
// The words of the Help menu: the About box (name, version, licence) and the
// help page, which lists the jobs, the date and time layouts and the bar
// periods from the lists the window itself shows, so the page and the lists
// cannot disagree.
//
//   AboutText()    -> "<b>Varn Format Convertor</b> 0.1.0 ... MIT licence ..."
//   HelpPageText() -> "... <li>5: MM/DD/YYYY  OHLC Vol O.I.</li> ..."

#include <QString>

namespace varn {

// The program's version, as the build names it ("0.1.0").
QString ProgramVersion();

// Rich text for the About box.
QString AboutText();

// Rich text for the help page.
QString HelpPageText();

}  // namespace varn
