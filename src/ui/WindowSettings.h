#pragma once
// What the window remembers between runs (QSettings, in the user's
// configuration folder): its size and place, the folder last opened from,
// and the last choices of the Format, period and delimiter lists and of the
// line count. Only the program itself restores and saves them; a window made
// by the tests starts at the defaults.

namespace varn {

class TForm1;

// Restores what was saved; a missing or out-of-range value keeps the default.
void RestoreWindowSettings(TForm1& form);
// Saves the window's size, place, folder and choices.
void SaveWindowSettings(const TForm1& form);

}  // namespace varn
