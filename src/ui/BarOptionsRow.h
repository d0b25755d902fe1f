#pragma once
// The Bar page's row of further bar choices: volume and open interest
// columns, the form of the prices, bars of a number of minutes, the session
// start, the stamp style and the header line; and how the lines are read:
// the columns named by hand (the list `varn bars --columns` takes) and a
// decimal comma, whose controls the page shows beside the caption that names
// the columns read by position (ReadingControls). It starts at the choices that give
// the bars of the page's lists alone, and reads itself into a job's choices
// in one call:
//
//   BarChoices choices;              // layouts, period and delimiter filled
//   row->Apply(choices);             // "volume" ticked: choices.volume = true
//                                    // columns "date,skip,close":
//                                    //   choices.shape.columns = {Date, Skip, Close}
//
// A columns list that names an unknown column shows refused (in red, with the
// reason as its tooltip) and counts as no list until it reads.
//
// A second line holds the zones the times are written in and the bars are
// made in (names of the system's time zone database, typed or chosen; empty
// for none), whether bars are made from runs of lines as the file has them
// rather than by time, and, for lines that carry several symbols, the symbol
// to build or "one file each":
//
//   row->SetSymbols({{"AAA", 200}, {"BBB", 150}});   // the list shows, AAA chosen
//   row->Apply(choices);                             // choices.symbol = "AAA"
//   zone out "Europe/Lundon"                         // refused as the columns are:
//                                                    //   ZonesRefusal() says why

#include <QWidget>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "bars/build_bars.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace varn {

class BarOptionsRow final : public QWidget {
    Q_OBJECT

  public:
    explicit BarOptionsRow(QWidget* parent = nullptr);

    // Puts a session start left half typed back to the last one that read,
    // so what the field shows is what a job uses. Call before a job.
    void CommitEdits();
    // Fills the further fields of choices from the row. A session start being
    // typed that does not read yet counts as the last one that did.
    void Apply(BarChoices& choices) const;
    // How the lines are to be read: the columns named (none while the list
    // is refused) and the decimal comma.
    ShapeChoices Shape() const;
    // Why the columns list does not read ("unknown column 'x': use date,
    // ..."), or empty when it does (an empty list reads: no columns named).
    QString ColumnsRefusal() const;
    // Why a zone field does not read ("zone out: 'Europe/Lundon' is not a time
    // zone; ..."), or empty when both do (an empty field reads: no zone).
    QString ZonesRefusal() const;
    // The symbols of the lines with their line counts, in order of
    // appearance: with more than one the symbol list shows them, then "one
    // file each", the first chosen (with keep_choice, the symbol or "one file
    // each" chosen before, when the list has it); with one or none the list
    // hides, and no symbol is chosen.
    void SetSymbols(const std::vector<std::pair<std::string, std::int64_t>>& symbols,
                    bool keep_choice);
    // Whether "one file each" is chosen: the job writes a file a symbol into
    // a folder (BarChoices::split_dir), which the page asks for.
    bool SplitChosen() const;
    // Whether a bar length is chosen in place of the period list, and its
    // name as the command line takes it ("20min", "4h"; empty when not).
    bool LengthChosen() const;
    QString LengthName() const;

    // The form detection should look for when a file is loaded: the form
    // chosen, Auto for "auto".
    PriceForm FormToDetect() const;
    // Tells the row what detection found, which "auto" then means (four
    // prices when nothing was detected).
    void SetDetectedForm(PriceForm form);

    // The controls, first and last, for the page's focus order: the reading
    // controls come first.
    QWidget* FirstControl() const;
    QWidget* LastControl() const;
    // The columns field and the decimal comma box, for the page to place.
    QWidget* ReadingControls() const { return reading_controls_; }

  signals:
    // The form of the prices chosen changed.
    void FormChanged();
    // A bar length was chosen in place of the period list (chosen true), or
    // the period list again.
    void LengthChanged(bool chosen);
    // How the lines are read was chosen: a columns list committed (Enter, or
    // the focus leaving the field) or the decimal comma ticked or cleared.
    void ReadingChosen();
    // The columns list was edited: it may have come to read, or stopped.
    void ColumnsEdited();
    // A zone field was edited: it may have come to read, or stopped.
    void ZonesEdited();

  private:
    void SessionEdited();
    void ShowColumnsRefusal();
    void ShowZoneRefusal(QComboBox* list);

    QCheckBox* volume_box_ = nullptr;
    QCheckBox* open_interest_box_ = nullptr;
    QComboBox* price_form_list_ = nullptr;
    QComboBox* bar_length_list_ = nullptr;
    QLineEdit* session_start_edit_ = nullptr;
    QComboBox* stamp_list_ = nullptr;
    QComboBox* stamp_time_list_ = nullptr;
    QComboBox* decimals_list_ = nullptr;
    QCheckBox* header_box_ = nullptr;
    QWidget* reading_controls_ = nullptr;
    QLineEdit* columns_edit_ = nullptr;
    QCheckBox* decimal_comma_box_ = nullptr;
    QComboBox* zone_in_list_ = nullptr;
    QComboBox* zone_out_list_ = nullptr;
    QCheckBox* keep_order_box_ = nullptr;
    QLabel* symbol_label_ = nullptr;
    QComboBox* symbol_list_ = nullptr;  // the symbols, then "one file each"; hidden for one
    int session_offset_ = 0;            // the last session start that read
    PriceForm detected_form_ = PriceForm::Auto;
};

}  // namespace varn
