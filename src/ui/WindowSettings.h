#pragma once
// What the window remembers between runs (QSettings, in the user's
// configuration folder): its size and place, the folder last opened from,
// and the user's choices, each under a key that names it ("bars/period"
// holds the period list's choice). Settings written under the keys of
// earlier versions ("choices/ComboBox2") are read once, moved to their new
// keys and removed. Only the program itself restores and saves them; a
// window made by the tests starts at the defaults.

class QSettings;

namespace varn {

class MainWindow;

// Moves values under the keys of earlier versions to their keys now; a value
// under the new key wins over an old one.
void MigrateWindowSettings(QSettings& settings);
// Restores what was saved, after migrating; a missing or out-of-range value
// keeps the default.
void RestoreWindowSettings(MainWindow& window);
void RestoreWindowSettings(MainWindow& window, QSettings& settings);
// Saves the window's size, place, folder and choices.
void SaveWindowSettings(const MainWindow& window);
void SaveWindowSettings(const MainWindow& window, QSettings& settings);

}  // namespace varn
