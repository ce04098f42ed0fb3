#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace qvt {

// What an item reports when it is compiled. The numbers are shown to the user
// beside the item (design window error list) and stay stable.
enum ErrorCode : int {
    ErrTargetNotSelected = 1,
    ErrSourceNotSelected = 2,
    ErrConstantStringMissing = 3,
    ErrStateNumberNotUnique = 4,
    ErrOkNotConnected = 5,
    ErrErrNotConnected = 6,
    ErrNextNotConnected = 7,
    ErrNoKeyConnected = 8,
    ErrColumnOutOfRange = 9,
    ErrRowOutOfRange = 10,
    ErrEqualNotConnected = 11,
    ErrNotEqualNotConnected = 12,
    ErrLessNotConnected = 13,
    ErrGreaterNotConnected = 14,
    ErrStartTimeNotSelected = 15,
    ErrIncrementNotSelected = 16,
    ErrFlagNotSelected = 17,
};

inline constexpr int kErrorCodeCount = 17;

// The text shown for an error code; empty for a number that is not a code.
std::string_view ErrorText(int code);

struct ErrorRecord {
    int id = 0;    // the item's id
    int code = 0;  // ErrorCode

    friend bool operator==(const ErrorRecord&, const ErrorRecord&) = default;
};

// The errors of the machine being compiled, in the order the items reported
// them. The list shown to the user holds at most 99 rows, so later errors are
// dropped rather than pushing earlier ones out.
class ErrorList {
public:
    static constexpr int kCapacity = 99;

    void AddError(int itemId, int code)
    {
        if (records_.size() < size_t(kCapacity))
            records_.push_back({itemId, code});
    }
    void clear() { records_.clear(); }
    bool empty() const { return records_.empty(); }
    int count() const { return int(records_.size()); }
    const ErrorRecord& operator[](int i) const { return records_[size_t(i)]; }
    const std::vector<ErrorRecord>& records() const { return records_; }

private:
    std::vector<ErrorRecord> records_;
};

} // namespace qvt
