#include "io/decode_error.h"

#include <string>

namespace varn {
namespace {

class DecodeCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "decode"; }
    std::string message(int code) const override {
        switch (static_cast<DecodeError>(code)) {
            case DecodeError::NotText:
                return "not a text file";
            case DecodeError::Utf16WithoutMark:
                return "UTF-16 text without a byte order mark";
            case DecodeError::Compressed:
                return "compressed in a form not read here";
            case DecodeError::SeveralMembers:
                return "a zip file of several members";
            case DecodeError::NoSuchMember:
                return "no such member in the zip file";
            case DecodeError::Workbook:
                return "a spreadsheet, not a text file";
            case DecodeError::Damaged:
                return "the data is damaged";
        }
        return "cannot decode";
    }
};

}  // namespace

std::error_code DecodeErrorCode(DecodeError error) {
    static const DecodeCategory category;
    return {static_cast<int>(error), category};
}

}  // namespace varn
