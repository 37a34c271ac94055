#include "reports/printer_device.h"

#include "core/numbers.h"

namespace acquenza {

std::string NumberItemText(double number) {
    // The blank before a value that is not negative stands where a minus sign
    // would, so signed and unsigned values in a column line up.
    std::string text(number < 0 ? "" : " ");
    text += NumberText(number);
    text += ' ';
    return text;
}

}  // namespace acquenza
