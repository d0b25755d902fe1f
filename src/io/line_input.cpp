#include "io/line_input.h"

namespace varn {

JobStatus LineInput::Open(const LineSource& source, LineRules rules) {
    name_ = source.name();
    line_number_ = 0;
    stopped_ = false;
    list_ = nullptr;
    switch (source.kind()) {
        case LineSource::Kind::File:
        case LineSource::Kind::StandardInput:
            return reader_.Open(source, rules);
        case LineSource::Kind::Lines:
            list_ = source.lines();
            return JobStatus::Ok();
    }
    return JobStatus::Ok();
}

bool LineInput::StopNow() {
    if (!stopped_) stopped_ = stop_();
    return stopped_;
}

bool LineInput::NextListed(std::string_view& line) {
    if (static_cast<std::size_t>(line_number_) >= list_->Count()) return false;
    line = list_->Line(static_cast<std::size_t>(line_number_));
    ++line_number_;
    return true;
}

}  // namespace varn
