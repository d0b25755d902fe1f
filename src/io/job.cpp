#include "io/job.h"

namespace varn {
namespace {

class JobCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "job"; }
    std::string message(int) const override { return "no line could be used"; }
};

}  // namespace

std::error_code NoLineUsedError() {
    static const JobCategory category;
    return {1, category};
}

void JobReport::Skip(std::int64_t line, std::string_view reason) {
    ++lines_skipped;
    if (WantsReason()) first_skipped.push_back({line, std::string(reason)});
}

}  // namespace varn
