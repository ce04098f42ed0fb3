#include "fake_line.h"

#include <algorithm>

namespace qvt::test {

void FakeLine::sort()
{
    std::stable_sort(scheduled_.begin(), scheduled_.end(),
                     [](const Arrival& a, const Arrival& b) { return a.at < b.at; });
}

void FakeLine::deliverDue()
{
    while (!scheduled_.empty() && scheduled_.front().at <= clock_.now) {
        queued_.insert(queued_.end(), scheduled_.front().bytes.begin(), scheduled_.front().bytes.end());
        scheduled_.pop_front();
    }
}

std::size_t FakeLine::QueuedInputCount()
{
    deliverDue();
    return queued_.size();
}

bool FakeLine::ReadPort(std::size_t count, Bytes& out)
{
    if (failNextRead) {
        failNextRead = false;
        return false;
    }
    count = std::min(count, queued_.size());
    out.insert(out.end(), queued_.begin(), queued_.begin() + std::ptrdiff_t(count));
    queued_.erase(queued_.begin(), queued_.begin() + std::ptrdiff_t(count));
    return true;
}

void FakeLine::WritePort(std::span<const std::uint8_t> bytes)
{
    writes.emplace_back(bytes.begin(), bytes.end());
    if (!responder)
        return;
    for (Bytes& reply : responder(bytes))
        arrive(clock_.now + replyDelayMs, std::move(reply));
}

void FakeLine::waitForInput(int ms)
{
    waitCalls.push_back(ms);
    const std::int64_t limit = clock_.now + ms;
    if (!scheduled_.empty() && scheduled_.front().at <= limit)
        clock_.now = std::max(clock_.now, scheduled_.front().at);
    else
        clock_.now = limit;
    deliverDue();
}

} // namespace qvt::test
