#pragma once
// A spin box that takes any whole number typed and brings it into range when
// the text is read (on leaving the box): with the range 1 to 10000000,
// "20000000" becomes 10000000, "0" becomes 1, and a text that is no number
// counts as the minimum.

#include <QSpinBox>

namespace varn {

class RangeSpinBox final : public QSpinBox {
  public:
    using QSpinBox::QSpinBox;

  protected:
    QValidator::State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;
};

}  // namespace varn
