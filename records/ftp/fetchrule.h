#pragma once
// Which copy of a source file on the FTP server a fetch takes: the one rule
// every fetch of the data file and the booking file goes through, at a
// start, a restart for a change and a command alike. A copy is the file's
// time and size as the server shows them.
//
// A fetch takes only a copy the board decided to take (one its change
// watch has seen stay the same), and never fetches the copy the board
// already holds. Whatever else it finds is left on the server: the board
// keeps its local copy, and the change watch takes the copy it found for a
// new export, which settles as any other. A server that gives no time or no
// size can't show a copy to tell from another: there the fetch takes the
// file as it stands, and its own check before and after the transfer is
// the only guard.
#include "platform/ftp/ftpclient.h"

#include <functional>

// What a fetch does with the copy it found on the server.
enum class FetchChoice {
    Transfer,   // fetch it (its time and size are checked again after the transfer)
    Unchanged,  // it is the board's copy: nothing to fetch
    NotSettled, // not a copy the board decided to take: left where it is
};

// `found`: the copy on the server; `board`: the copy the board holds (time
// "" when it does not know); `decided`: whether the board decided to take
// `found`, asked only when that decides.
inline FetchChoice chooseFetch(const ftp::FileState& found, const ftp::FileState& board,
                               const std::function<bool()>& decided)
{
    if (found.time.isEmpty() || found.size < 0)
        return FetchChoice::Transfer;
    if (!board.time.isEmpty() && board.size >= 0 && found.same(board))
        return FetchChoice::Unchanged;
    return !decided || decided() ? FetchChoice::Transfer : FetchChoice::NotSettled;
}

// How the last fetch of a file ended, for the change watch. Times are
// "yyyy/mm/dd hh:mm:ss".
struct FetchReport {
    enum class Outcome {
        Took,       // fetched `found`, which is the board's copy now
        Unchanged,  // `found` is the board's copy: nothing was fetched
        NotSettled, // `found` was not a copy to take: nothing was fetched
        Failed,     // nothing was fetched (no server, no file, a broken transfer, a cancel ...)
    };
    Outcome outcome = Outcome::Failed;
    // The copy the fetch found on the server and decided about; time "":
    // it found none (no login, no such file) or the server gave no time.
    ftp::FileState found;
    // The copy the board holds after the fetch; time "": not known (never
    // fetched, or its local file changed since).
    ftp::FileState board;
    bool operator==(const FetchReport&) const = default;
};
