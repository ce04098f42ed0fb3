// Replies from a terminal are untrusted bytes off a cable. The first input
// byte is the address the request went to, the rest is what came back.
#include "upload/frames.h"
#include "upload/reply_decoder.h"
#include "upload/simulated_terminal.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t address = data[0];
    const std::span<const std::uint8_t> raw(data + 1, size - 1);

    qvt::TqvtResult result;
    const std::uint8_t code = qvt::decodeReply(qvt::unstuffFrame(raw), address, result);

    // A frame the fast mode takes as complete and valid must decode without a
    // frame error, and must lie within what arrived.
    const std::size_t complete = qvt::completeReplyLength(raw, address);
    if (complete > raw.size())
        std::abort();
    if (complete > 0 && code >= 0x10)
        std::abort();
    if (result.Text32A.size() > 20 || (!result.Text79.empty() && result.Text79.size() != 9))
        std::abort();
    // Every code is a terminal status or one of the six reply faults, and a
    // status only ever comes from a reply of the terminal that was asked.
    if (code > 0x60 || (code > 0x0F && (code & 0x0F) != 0))
        std::abort();
    if (code <= 0x0F && (result.Address != address || result.Status > 0x0F))
        std::abort();

    // The same bytes as requests to a simulated terminal.
    qvt::SimulatedTerminal terminal({.address = address});
    terminal.receive(raw);
    return 0;
}
