#pragma once

#include "label/label_design.h"

#include <string>

namespace qvt::test {

// A variable table as a new project has it.
VariableTable resetTable();

// "Et40x20", horizontal, 76 by 151: a field of str01, the text ABC, a line and
// a barcode of int02 (the label the printer stream examples are worked on).
LabelDesign workedExampleDesign();

// The small label the sample project carries: a title text, the quantity
// (int01), a rule and a CODE39 barcode of the item code (str01).
LabelDesign sampleProjectDesign();

} // namespace qvt::test
