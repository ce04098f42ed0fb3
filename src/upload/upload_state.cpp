#include "upload/upload_state.h"

#include "upload/byte_channel.h"

#include <chrono>
#include <thread>

namespace qvt {

std::optional<int> speedIndexOf(std::string_view speedText)
{
    for (std::size_t i = 0; i < kSpeedTexts.size(); ++i)
        if (kSpeedTexts[i] == speedText)
            return int(i);
    return std::nullopt;
}

int replyWaitMs(std::uint16_t timeFactor, int speedIndex)
{
    return int(timeFactor) * (speedIndex + 2) / (speedIndex + 1);
}

std::int64_t SteadyClock::nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::sleepMs(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace qvt
