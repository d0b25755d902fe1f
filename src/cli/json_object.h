#pragma once
// One JSON object, written a field at a time, for output that scripts read:
//
//   JsonObject json;
//   json.Add("date_layout", 5).Add("prices", "ohlc");
//   json.Text()   {"date_layout": 5, "prices": "ohlc"}
//
// Keys and texts are escaped as JSON requires (quotes, backslashes and
// control characters); other bytes are written as they are.

#include <cstdint>
#include <string>
#include <string_view>

namespace varn::cli {

class JsonObject {
  public:
    JsonObject& Add(std::string_view key, std::string_view text);
    JsonObject& Add(std::string_view key, std::int64_t number);
    // The object on one line, without a line end.
    std::string Text() const { return "{" + fields_ + "}"; }

  private:
    void Key(std::string_view key);
    std::string fields_;
};

}  // namespace varn::cli
