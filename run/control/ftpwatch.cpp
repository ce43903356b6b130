#include "run/control/ftpwatch.h"

#include "run/control/settlerule.h"

#include <algorithm>

bool FtpFileWatch::watch(const Source& source)
{
    if (source_ == source)
        return false;
    reset();
    source_ = source;
    return true;
}

void FtpFileWatch::clearFailures()
{
    failed_ = Copy();
    failedFetches_ = 0;
    looksToSkip_ = 0;
}

void FtpFileWatch::clearPending()
{
    pending_.reset();
    ready_ = false;
}

void FtpFileWatch::saw(const Copy& s, const QDateTime& now, bool look)
{
    seen_ = s;
    if (s.time.isEmpty()) {
        clearPending();
        return;
    }
    if (!remembered_.time.isEmpty() && s.same(remembered_)) {
        // The server shows the copy the board has (a fetch made while the
        // other file restarted the run failed, say): nothing is left to
        // fetch again.
        clearFailures();
        clearPending();
        return;
    }
    if (!told_ && remembered_.time.isEmpty()) {
        remembered_ = s;
        clearPending();
        return;
    }
    if (!failed_.time.isEmpty() && s.same(failed_)) {
        // The copy whose fetch failed was seen before that fetch, and has
        // settled long since: it is fetched again, without a wait, once its
        // gap has passed.
        if (looksToSkip_ > 0) {
            if (look)
                --looksToSkip_;
            clearPending();
            return;
        }
        if (!ready_ || !pending_->same(s)) {
            pending_ = s;
            pendingSince_ = now;
            ready_ = true;
            readyAt_ = now;
        }
        return;
    }
    // A new export, or the first copy seen after a fetch that found none:
    // fetched once it has stayed the same for kSettleSecs.
    if (!pending_ || !pending_->same(s) || pendingSince_ > now) {
        pending_ = s;
        pendingSince_ = now;
        ready_ = false;
    } else if (!ready_ && pendingSince_.secsTo(now) >= settle::kSettleSecs) {
        ready_ = true;
        readyAt_ = now;
    }
}

bool FtpFileWatch::fetched(const FetchReport& fetch, const QDateTime& now)
{
    using Outcome = FetchReport::Outcome;
    told_ = true;
    // A restart's fetch was made for the copy its look (or a later ask)
    // saw; a start's for none the watch knows.
    Copy madeFor = seen_;
    seen_ = Copy();
    // The load fetched the file: a copy settling meanwhile is the fetch's
    // business now.
    clearPending();
    switch (fetch.outcome) {
    case Outcome::Took: {
        clearFailures();
        const Copy taken = !fetch.found.time.isEmpty() ? fetch.found : madeFor;
        const bool other = !taken.same(remembered_);
        remembered_ = taken;
        return other;
    }
    case Outcome::Unchanged:
        clearFailures();
        remembered_ = fetch.found;
        return false;
    case Outcome::NotSettled:
        // Nothing was fetched: what the fetch found is seen as any copy a
        // look sees (a new export settles first).
        if (!fetch.board.time.isEmpty())
            remembered_ = fetch.board;
        saw(fetch.found, now, false);
        return false;
    case Outcome::Failed:
        break;
    }
    if (!fetch.board.time.isEmpty())
        remembered_ = fetch.board;
    // The board's copy is still the old one. The same copy failing again
    // waits longer each time. A fetch made for no copy the watch saw was
    // made for the one it found on the server; when it found none either
    // (the other file restarted the run in a minute whose look got no
    // time), it is one more failure of the copy that failed.
    if (madeFor.time.isEmpty())
        madeFor = fetch.found;
    if (failedFetches_ > 0 && (madeFor.time.isEmpty() || madeFor.same(failed_))) {
        ++failedFetches_;
    } else {
        failed_ = madeFor;
        failedFetches_ = 1;
    }
    looksToSkip_ = std::min((1 << std::min(failedFetches_ - 1, 10)) - 1, kMaxFetchRetryLooks - 1);
    return false;
}

void FtpFileWatch::passOver()
{
    if (!settled())
        return;
    remembered_ = *pending_;
    clearFailures();
    clearPending();
}

bool FtpFileWatch::waitedLong(const QDateTime& now) const
{
    return settled() && readyAt_.secsTo(now) >= settle::kMaxSettleWaitSecs;
}

bool FtpFileWatch::askDue(const QDateTime& now)
{
    if (!settling())
        return false;
    // A clock set back starts the wait again.
    if (pendingSince_ > now)
        pendingSince_ = now;
    return pendingSince_.secsTo(now) >= settle::kSettleSecs;
}

void settleFtpPair(FtpFileWatch& data, FtpFileWatch& booking, const QDateTime& now, const AskFtpFile& ask)
{
    const auto named = [](const FtpFileWatch& w) { return !w.source().file.isEmpty(); };
    const auto askNow = [&](FtpFileWatch& w) { w.saw(ask(w), now, false); };
    const bool askData = named(data) && data.askDue(now);
    const bool askBooking = named(booking) && booking.askDue(now);
    if (askData)
        askNow(data);
    if (askBooking)
        askNow(booking);
    // A file that has settled now is fetched only with the other one as it
    // stands now, not as the look saw it.
    if (askData && data.settled() && !askBooking && named(booking))
        askNow(booking);
    else if (askBooking && booking.settled() && !askData && named(data))
        askNow(data);
}

bool restartForFtpPair(const FtpFileWatch& data, const FtpFileWatch& booking, const QDateTime& now)
{
    const auto side = [&now](const FtpFileWatch& w) {
        return settle::PairSide{w.settled(), w.settling(), w.waitedLong(now)};
    };
    return settle::restartForPair(side(data), side(booking));
}
