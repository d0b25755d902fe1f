#include "io/job_status.h"

#include <cerrno>

namespace varn {

JobStatus JobStatus::FromErrno(std::string path, std::string action) {
    const int code = errno != 0 ? errno : EIO;
    return Failure(std::move(path), std::error_code(code, std::generic_category()),
                   std::move(action));
}

std::string JobStatus::Message() const {
    if (ok()) return {};
    std::string text = path.empty() ? std::string("(standard stream)") : path;
    if (!action.empty()) text += ": " + action;
    text += ": " + error.message();
    return text;
}

}  // namespace varn
