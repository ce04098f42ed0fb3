#pragma once

#include "model/item_fields.h"
#include "model/item_kinds.h"

#include <map>
#include <string>

namespace qvt::test {

// Every field of an item by name (the kind's fields as its field table names
// them), values in decimal (constants with three decimals, texts as they
// are). Compares items of any kind field by field.
std::map<std::string, std::string> FieldsOf(const TitcItem& item);

// Sets every kind field of `item` (not the base fields) from a sequence of
// boundary values that starts at `seed`; texts get every byte the record can
// carry. Input's format and size get values that fit their packed form.
void FillKindFields(TitcItem& item, int seed);

} // namespace qvt::test
