#pragma once

#include "model/item.h"

#include <memory>

namespace qvt {

class TextMeasurer;

// The 17 item kinds. Fields are public and kept in the order the terminal's
// other tools declare them; the record key, storage and property panel row of
// each field are in the kind's table in model/item_fields.cpp.
// A variable index names an entry of the variable table (0 = "Constant" where
// a constant is allowed, no variable elsewhere); a target is an item id of the
// same machine, 0 = not connected.

// Shows a screen and reads one input into a variable.
class TItcInputMenu final : public TitcItem {
public:
    TItcInputMenu();
    std::int32_t KindNumber() const override { return KindInput; }
    std::string Title() const override;

    std::int32_t stateNumber = 0;  // 0..255
    std::string screenText;        // up to 8 lines of 20, CR LF between lines
    std::int32_t target = 0;
    // inputFormat: type in bits 5..7 (0 unsigned, 1 signed integer, 2 unsigned,
    // 3 signed real, 4 string), for reals the integer digits in bits 0..4;
    // inputSize: length, or decimals of a real. The record packs the two into one key.
    std::int32_t inputFormat = 0;
    std::int32_t inputSize = 0;
    std::int32_t okTarget = 0;      // exit "OK"
    std::int32_t errorTarget = 0;   // exit "Error"
    std::int32_t cancelTarget = 0;  // exit "Cancel"
    std::int32_t inputRow = 0;
    std::int32_t inputColumn = 0;
    std::int32_t maxLength = 0;
    bool showInitial = false;
};

// Shows a screen and waits for a key; one exit per key.
class TItcReadKeyMenu final : public TitcItem {
public:
    // Exit spans are measured with `measurer`; without one they are left
    // degenerate (they are only used for drawing).
    explicit TItcReadKeyMenu(const TextMeasurer* measurer = nullptr);
    std::int32_t KindNumber() const override { return KindReadKey; }
    std::string Title() const override;

    std::int32_t stateNumber = 0;
    std::string screenText;
    std::int32_t f1Target = 0;      // exits "F1" .. "F5"
    std::int32_t f2Target = 0;
    std::int32_t f3Target = 0;
    std::int32_t f4Target = 0;
    std::int32_t f5Target = 0;
    std::int32_t digit1Target = 0;  // exits "1" .. "9"
    std::int32_t digit2Target = 0;
    std::int32_t digit3Target = 0;
    std::int32_t digit4Target = 0;
    std::int32_t digit5Target = 0;
    std::int32_t digit6Target = 0;
    std::int32_t digit7Target = 0;
    std::int32_t digit8Target = 0;
    std::int32_t digit9Target = 0;
    std::int32_t digit0Target = 0;  // exit "0"
    std::int32_t enterTarget = 0;   // exit "E"
    std::int32_t spaceTarget = 0;   // exit "S"
    std::int32_t deleteTarget = 0;  // exit "D"
    std::int32_t cancelTarget = 0;  // exit "C"
    std::int32_t upTarget = 0;      // exit "^"
    std::int32_t downTarget = 0;    // exit "v"
    std::int32_t leftTarget = 0;    // exit "<"
    std::int32_t rightTarget = 0;   // exit ">"
};

// Reads the next sequence number into a string variable.
class TItcGetSequence final : public TitcItem {
public:
    TItcGetSequence();
    std::int32_t KindNumber() const override { return KindGetSequence; }

    std::int32_t target = 0;
    std::int32_t nextTarget = 0;  // exit "Next"
};

// Reads the second of the century into an integer variable.
class TitcSecOfCentury final : public TitcItem {
public:
    TitcSecOfCentury();
    std::int32_t KindNumber() const override { return KindSecOfCentury; }

    std::int32_t target = 0;
    std::int32_t nextTarget = 0;  // exit "Next"
};

// Writes a tagged record of two variables to flash.
class TItcWriteToFlash final : public TitcItem {
public:
    TItcWriteToFlash();
    std::int32_t KindNumber() const override { return KindWriteToFlash; }

    std::int32_t tag = 0;          // 0..255
    std::int32_t source1 = 0;
    std::int32_t source2 = 0;
    std::int32_t okTarget = 0;     // exit "OK"
    std::int32_t errorTarget = 0;  // exit "Error"
};

// Fields shared by StrCpy and StrCat: a slice start..end of a source (or constant).
class TItcStrCopyOrCat : public TitcItem {
public:
    std::int32_t target = 0;
    std::int32_t source = 0;      // 0 = constText
    std::int32_t start = 0;       // 0 = constStart
    std::int32_t end = 0;         // 0 = constEnd
    std::string constText;
    std::int32_t constStart = 0;
    std::int32_t constEnd = 0;
    std::int32_t nextTarget = 0;  // exit "Next"

protected:
    TItcStrCopyOrCat();
};

class TItcStrCopy final : public TItcStrCopyOrCat {
public:
    TItcStrCopy();
    std::int32_t KindNumber() const override { return KindStrCopy; }
};

class TItcStrCat final : public TItcStrCopyOrCat {
public:
    TItcStrCat();
    std::int32_t KindNumber() const override { return KindStrCat; }
};

// Length of a string variable into an integer variable.
class TItcStrLen final : public TitcItem {
public:
    TItcStrLen();
    std::int32_t KindNumber() const override { return KindStrLen; }

    std::int32_t target = 0;
    std::int32_t source = 0;
    std::int32_t nextTarget = 0;  // exit "Next"
};

// Position of a constant inside a string variable.
class TItcStrPos final : public TitcItem {
public:
    TItcStrPos();
    std::int32_t KindNumber() const override { return KindStrPos; }

    std::int32_t target = 0;
    std::int32_t source = 0;
    std::string constText;
    std::int32_t occurrence = 0;  // 0 compiles as 1
    std::int32_t nextTarget = 0;  // exit "Next"
};

// Compares a string variable with another or with a constant.
class TItcStrCmp final : public TitcItem {
public:
    TItcStrCmp();
    std::int32_t KindNumber() const override { return KindStrCmp; }

    std::int32_t target = 0;
    std::int32_t source = 0;          // 0 = constText
    std::string constText;
    std::int32_t equalTarget = 0;     // exit "Equal"
    std::int32_t notEqualTarget = 0;  // exit "Not Equal"
};

// Operation codes of TItcProcess::operation.
enum ProcessOperation : std::int32_t {
    OpAssign = 0, OpAdd, OpSubstract, OpMultiply, OpDivide, OpMod, OpAnd, OpOr,
};

// target = target <operation> source (or constValue).
class TItcProcess final : public TitcItem {
public:
    TItcProcess();
    std::int32_t KindNumber() const override { return KindProcess; }

    std::int32_t target = 0;
    std::int32_t source = 0;      // 0 = constValue
    std::int32_t operation = 0;   // ProcessOperation
    double constValue = 0;        // stored in thousandths
    std::int32_t nextTarget = 0;  // exit "Next"
};

// Compares a number with another variable or a constant.
class TItcNumCmp final : public TitcItem {
public:
    TItcNumCmp();
    std::int32_t KindNumber() const override { return KindNumCmp; }

    std::int32_t target = 0;
    std::int32_t source = 0;         // 0 = constValue
    double constValue = 0;           // stored in thousandths
    std::int32_t equalTarget = 0;    // exit "Equal"
    std::int32_t lessTarget = 0;     // exit "Less"
    std::int32_t greaterTarget = 0;  // exit "Greater"
};

// Synchronises a variable with the host; a state without exits.
class TItcSync final : public TitcItem {
public:
    TItcSync();
    std::int32_t KindNumber() const override { return KindSync; }
    std::string Title() const override;

    std::int32_t stateNumber = 0;
    std::int32_t source = 0;
};

// Ends a timer machine; no fields, no exits.
class TItcTmrReturn final : public TitcItem {
public:
    TItcTmrReturn();
    std::int32_t KindNumber() const override { return KindTmrReturn; }
};

// Reads the date into a string variable.
class TItcGetDate final : public TitcItem {
public:
    TItcGetDate();
    std::int32_t KindNumber() const override { return KindGetDate; }

    std::int32_t target = 0;
    std::int32_t nextTarget = 0;  // exit "Next"
};

// Reads the time into a string variable.
class TItcGetTime final : public TitcItem {
public:
    TItcGetTime();
    std::int32_t KindNumber() const override { return KindGetTime; }

    std::int32_t target = 0;
    std::int32_t nextTarget = 0;  // exit "Next"
};

// Watchdog timer over three integer variables.
class TItcWdt final : public TitcItem {
public:
    TItcWdt();
    std::int32_t KindNumber() const override { return KindWdt; }

    std::int32_t startTime = 0;
    std::int32_t increment = 0;
    std::int32_t flag = 0;
    std::int32_t nextTarget = 0;  // exit "Next"
};

// A new item of kind `kind` with its default exits and `kind` set; every other
// field zero or empty. Null for a number that is not one of the 17 kinds.
// `measurer` sizes ReadKey's exits (may be null).
std::unique_ptr<TitcItem> CreateItem(std::int32_t kind, const TextMeasurer* measurer = nullptr);

} // namespace qvt
