#include "calendar/date_layouts.h"

#include <cstddef>
#include <string_view>

namespace varn {

ShortText DateLayoutItem(int n) {
    if (n < 0 || n >= DateLayoutCount) return ShortText();
    const std::string_view stored = DateLayoutTable[static_cast<std::size_t>(n)];
    // The placeholder is filled the way "%s" takes an empty argument: it
    // vanishes and the blanks on both sides stay.
    const std::size_t at = stored.find("%s");
    ShortText item(stored.substr(0, at));
    if (at != std::string_view::npos) item.append(stored.substr(at + 2));
    return ToShortText(item);
}

}  // namespace varn
