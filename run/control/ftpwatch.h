#pragma once
// The change watch of a source file on the FTP server. A copy of the file
// is its time and size as the server shows them; of each file the watch
// keeps the copy the board has, a new copy that waits to settle, and the
// copy whose fetch failed, with the gap before it is fetched again. It asks
// no server and reads no clock: the run hands it what the server showed,
// how the settings load's fetches ended, and the time; the watch answers
// whether a copy is to be fetched, now or once it has settled, and which
// copy a fetch may take (decided()).
//
// The rules, in short:
// - The board's copy is what the load's fetch reports (the copy it took,
//   or the one kept beside the local file). A watch that no load told
//   anything yet takes the first copy it sees for the board's.
// - Another copy is a new export: it is fetched once it has stayed the same
//   for settle::kSettleSecs (asked again between looks while it changes).
//   A fetch that found another copy than the one decided on took nothing:
//   the copy it found is a new export too.
// - A copy whose fetch failed, seen before the fetch (its time known), is
//   fetched again without a settle wait, at doubling gaps in looks while
//   it keeps failing (1, 2, 4 ... at most kMaxFetchRetryLooks). A fetch
//   that found no copy (no server, a refused login, no such file) knows no
//   copy: whatever a later look sees is a new export and settles first.
// - A copy the board has ends the failures: nothing is left to fetch.
// - The two files of a pair restart the run together (settleFtpPair,
//   restartForFtpPair).
#include "platform/ftp/ftpclient.h"
#include "records/ftp/fetchrule.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class FtpFileWatch {
public:
    // A copy of the file; its time in the form the run keeps ("" unknown).
    using Copy = ftp::FileState;
    // Which file of which server and account the watch is for.
    struct Source {
        QString file, server, user, password;
        bool operator==(const Source&) const = default;
    };

    // The longest gap, in looks (clock minutes), between two retries of a
    // fetch that keeps failing.
    static constexpr int kMaxFetchRetryLooks = 60;

    // Points the watch at `source`; for another one than before it starts
    // afresh (true): no copy, failure or gap carried over.
    bool watch(const Source& source);
    const Source& source() const { return source_; }
    // Forgets everything, the source too (a start).
    void reset() { *this = FtpFileWatch(); }

    // A look (`look`, once a minute) or an ask between looks saw copy `s`
    // on the server at `now`; time "": the server gave none, and nothing
    // waits to settle until a look sees the file again. Only looks count
    // down a retry's gap. A clock set back starts a settle wait again.
    void saw(const Copy& s, const QDateTime& now, bool look);
    // After a settings load's fetch of the file, how it ended (times in the
    // form the run keeps). True when the board's copy is now another one.
    bool fetched(const FetchReport& fetch, const QDateTime& now);
    // A restart for the copy decided on fetched nothing of the file (its
    // load fetches no file of that name): that copy is done with, as if the
    // board had it, and only the next change settles anew.
    void passOver();
    // The copy a fetch may take now: a new one that has settled, or a
    // retry; nothing while there is none.
    std::optional<Copy> decided() const { return settled() ? pending_ : std::nullopt; }

    // A new copy waits to settle.
    bool settling() const { return pending_.has_value() && !ready_; }
    // A copy is to be fetched now: a new one that has settled, or a retry.
    bool settled() const { return pending_.has_value() && ready_; }
    // The last fetch of the file failed.
    bool failing() const { return failedFetches_ > 0; }
    // Settled, and waited at least kMaxSettleWaitSecs since.
    bool waitedLong(const QDateTime& now) const;
    // Settling, and settle::kSettleSecs have passed since the copy was seen
    // as it is: time to ask for it again.
    bool askDue(const QDateTime& now);

private:
    void clearFailures();
    void clearPending();

    Source source_;
    bool told_ = false;     // a load told the watch how its fetch ended
    Copy remembered_;       // the board's copy; time "": not known (before a load: the next copy seen)
    Copy seen_;             // at the latest look or ask; time "": none
    Copy failed_;           // the copy whose fetch failed; time "": none known
    int failedFetches_ = 0; // fetches of `failed_` failed in a row
    int looksToSkip_ = 0;   // looks left before `failed_` is fetched again
    // A copy to fetch: a new one once it has stayed the same since
    // `pendingSince_` for settle::kSettleSecs (then `ready_`), a retry at once.
    std::optional<Copy> pending_;
    QDateTime pendingSince_;
    bool ready_ = false;
    QDateTime readyAt_;
};

// Asks the server for the file of `watch`; time "" when it gave none.
using AskFtpFile = std::function<FtpFileWatch::Copy(const FtpFileWatch& watch)>;

// Between looks: asks again for each file whose new copy has waited
// settle::kSettleSecs, and once a file has settled, for the other file of
// the pair too (when it has a name and was not asked just now). So the run
// restarts for a file only with the other one seen as the board has it, or
// settled itself: an export that began after the look is waited for too.
void settleFtpPair(FtpFileWatch& data, FtpFileWatch& booking, const QDateTime& now, const AskFtpFile& ask);

// Whether the run restarts for the pair now (settle::restartForPair).
bool restartForFtpPair(const FtpFileWatch& data, const FtpFileWatch& booking, const QDateTime& now);
