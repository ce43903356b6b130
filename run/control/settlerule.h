#pragma once
// When a changed source file counts as changed, for the local files and the
// files on the FTP server alike: once it has stayed the same for a while,
// and, since exports often come in pairs (functions and bookings), once the
// other file of the pair is not still being written.
namespace settle {

// How long a changed source file must stay the same before it counts as
// changed: longer than the pauses of a busy exporter or a slow shared
// folder between two lines.
constexpr int kSettleSecs = 5;
// How long a settled source file waits at most for the other one to settle
// before the run restarts for it.
constexpr int kMaxSettleWaitSecs = 60;

// How a source file of a pair stands this tick.
struct PairSide {
    bool settled;    // changed, and settled: the run may restart for it
    bool settling;   // changed, and still settling
    bool waitedLong; // settled, and waited its longest for the other one
};

// Whether the run restarts for the pair: a settled file waits while the
// other one is still being written, so that half of it is never taken; a
// file that never settles holds the other one back for kMaxSettleWaitSecs
// at most.
inline bool restartForPair(const PairSide& data, const PairSide& booking)
{
    return (data.settled && !booking.settling) || (booking.settled && !data.settling) || data.waitedLong ||
           booking.waitedLong;
}

} // namespace settle
