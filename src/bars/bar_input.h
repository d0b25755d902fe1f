#pragma once
// The lines of the bar page: the loaded price file, which the user may edit
// before building bars. The store keeps the file's text in one block and a
// small record per line, so a file of a million lines loads in one read and
// costs little more than its size; edited lines keep their new text apart.
//
//   BarInputLines lines;
//   Detection detection;
//   LoadBarInput("prices.txt", lines, names, detection);  // 101 lines or more: detected

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bars/detect.h"
#include "calendar/parse_date.h"
#include "calendar/regional.h"
#include "io/job.h"
#include "io/job_status.h"

namespace varn {

class BarInputLines final : public LineList {
  public:
    std::size_t Count() const override { return records_.size(); }
    // Line i (0 to Count() - 1), valid until the next change.
    std::string_view Line(std::size_t i) const override;

    void Clear();
    // Replaces everything by the lines of text (line ends CR LF, LF or lone CR;
    // a final break adds no line).
    void Assign(std::string text);
    void Append(std::string_view line);
    void Replace(std::size_t i, std::string_view line);
    void Insert(std::size_t i, std::string_view line);
    // Inserts lines before line i in one move of the lines after them, so a
    // paste of many lines costs no more than one of a single line.
    void Insert(std::size_t i, std::span<const std::string> lines);
    // Removes count lines from i on.
    void Remove(std::size_t i, std::size_t count = 1);

    // Bytes held, for the curious and the benchmarks.
    std::size_t MemoryUse() const;

  private:
    struct Record {
        std::uint64_t offset;  // into base_, or into edits_ when edited
        std::uint32_t length;
        bool edited;
    };
    std::string_view Store(std::string_view line, Record& record);

    std::string base_;   // the loaded file
    std::string edits_;  // text of lines changed or added since
    std::vector<Record> records_;
};

// Replaces lines by the lines of path, and guesses their layouts by
// DetectInputLayouts for the price form and shape choices given. On failure
// lines are left empty, detection tells TooFewLines, and the status names the
// file and the reason.
[[nodiscard]] JobStatus LoadBarInput(const std::string& path, BarInputLines& lines,
                                     const DateNames& names, Detection& detection,
                                     PriceForm form = PriceForm::Ohlc,
                                     const ShapeChoices& shape = {});

// DetectInputLayouts over the first lines of the store, the day order decided
// by all of them when it must be.
Detection DetectInputLayouts(const LineList& lines, const DateNames& names,
                             PriceForm form = PriceForm::Ohlc, const ShapeChoices& shape = {});

}  // namespace varn
