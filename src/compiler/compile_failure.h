#pragma once

#include "core/project_state.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace qvt {

// A limit of the image was exceeded (a value that does not fit its byte, a
// full code or screen area, an image too large for its offset fields, ...).
// Unlike item errors this abandons the compile: no image can be written.
// `machine` and `itemId` say where, when the limit belongs to one item.
class CompileFailure : public std::runtime_error {
public:
    explicit CompileFailure(const std::string& limit) : std::runtime_error(limit), limit_(limit) {}

    const std::string& limit() const { return limit_; }
    std::optional<MachineId> machine;
    int itemId = 0;  // 0 when no single item is to blame

    // "Online: item 12: <limit>", leaving out what is not known.
    std::string describe() const;

private:
    std::string limit_;
};

} // namespace qvt
