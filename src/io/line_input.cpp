#include "io/line_input.h"

namespace varn {

JobStatus LineInput::Open(const LineSource& source, LineRules rules) {
    name_ = source.name();
    line_number_ = 0;
    stopped_ = false;
    list_ = nullptr;
    switch (source.kind()) {
        case LineSource::Kind::File:
            return reader_.Open(source.name(), rules);
        case LineSource::Kind::StandardInput:
            reader_.OpenStandardInput(rules);
            return JobStatus::Ok();
        case LineSource::Kind::Lines:
            list_ = source.lines();
            return JobStatus::Ok();
    }
    return JobStatus::Ok();
}

bool LineInput::Next(std::string_view& line) {
    if (stopped_) return false;
    if (stop_ && stop_()) {
        stopped_ = true;
        return false;
    }
    if (list_ != nullptr) {
        if (static_cast<std::size_t>(line_number_) >= list_->Count()) return false;
        line = list_->Line(static_cast<std::size_t>(line_number_));
    } else if (!reader_.Next(line)) {
        return false;
    }
    ++line_number_;
    return true;
}

}  // namespace varn
