#include "io/job.h"

namespace varn {

void JobReport::Skip(std::int64_t line, std::string_view reason) {
    ++lines_skipped;
    if (WantsReason()) first_skipped.push_back({line, std::string(reason)});
}

}  // namespace varn
