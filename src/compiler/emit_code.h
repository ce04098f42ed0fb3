#pragma once

namespace qvt {

class CodeWriter;
class TitcItem;

// Checks one item, recording its errors, and appends its instruction at the
// writer's code position. The instruction is written even when the item has
// errors, so that later items are checked from the right positions.
// Throws CompileFailure when a value exceeds its field.
void EmitCode(const TitcItem& item, CodeWriter& writer);

} // namespace qvt
