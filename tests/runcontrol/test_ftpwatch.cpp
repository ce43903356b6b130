// The FTP change watch on its own: what it makes of the copies the server
// shows and of how a load's fetch ended, step by step on a hand-set clock.
#include "run/control/ftpwatch.h"
#include "run/control/settlerule.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Copy = FtpFileWatch::Copy;
using Outcome = FetchReport::Outcome;

const Copy kBoard(QStringLiteral("03/07/2024 09:00:00"), 100);
const Copy kNew(QStringLiteral("03/07/2024 09:05:00"), 120);
const Copy kNewer(QStringLiteral("03/07/2024 09:05:00"), 130);
const Copy kNone;

// One step: the watch sees a copy at a look or an ask, or hears how a
// load's fetch ended, `at` seconds from 10:00:00.
struct Step {
    int at;
    std::function<void(FtpFileWatch&, const QDateTime&)> act;
};

Step look(int at, const Copy& c)
{
    return {at, [c](FtpFileWatch& w, const QDateTime& now) { w.saw(c, now, true); }};
}
Step ask(int at, const Copy& c)
{
    return {at, [c](FtpFileWatch& w, const QDateTime& now) { w.saw(c, now, false); }};
}
Step fetch(int at, Outcome outcome, const Copy& found, const Copy& board = kBoard)
{
    return {at, [=](FtpFileWatch& w, const QDateTime& now) { w.fetched({outcome, found, board}, now); }};
}

// What the watch says after the steps.
struct After {
    std::optional<Copy> decided; // the copy a fetch may take now
    bool settling;
    bool failing;
};

} // namespace

TEST(FtpWatch, DecidesOnlyACopyThatStayedTheSameOrARetry)
{
    const int settle = settle::kSettleSecs;
    struct Case {
        const char* what;
        QList<Step> steps;
        After after;
    } cases[] = {
        {"the board's copy, seen by a look",
         {fetch(0, Outcome::Unchanged, kBoard), look(50, kBoard)},
         {{}, false, false}},
        {"a new copy, not yet settled",
         {fetch(0, Outcome::Unchanged, kBoard), look(50, kNew), ask(50 + settle - 1, kNew)},
         {{}, true, false}},
        {"a new copy that stayed the same",
         {fetch(0, Outcome::Unchanged, kBoard), look(50, kNew), ask(50 + settle, kNew)},
         {kNew, false, false}},
        {"a new copy that grew meanwhile",
         {fetch(0, Outcome::Unchanged, kBoard), look(50, kNew), ask(50 + settle, kNewer)},
         {{}, true, false}},
        // The fetch found another copy than the one that settled: that one
        // settles anew; the board's copy stays.
        {"a copy the fetch did not take",
         {fetch(0, Outcome::Unchanged, kBoard), look(50, kNew), ask(55, kNew), fetch(56, Outcome::NotSettled, kNewer),
          ask(56 + settle, kNewer)},
         {kNewer, false, false}},
        {"a start that left a new copy on the server",
         {fetch(0, Outcome::NotSettled, kNew, kNone), ask(settle, kNew)},
         {kNew, false, false}},
        // A watch that a load told it knows no board's copy takes nothing
        // for it: the first copy it sees settles and is fetched.
        {"a copy seen after a start that knew none",
         {fetch(0, Outcome::Failed, kNone, kNone), look(50, kBoard), ask(50 + settle, kBoard)},
         {kBoard, false, true}},
        // A watch no load told anything takes the first copy for the board's.
        {"a fresh watch", {look(50, kNew), ask(50 + settle, kNew)}, {{}, false, false}},
        // A failed fetch of a copy seen before is tried again at the next
        // look, without a settle wait, until the board's copy is seen again.
        {"a failed fetch of a settled copy",
         {fetch(0, Outcome::Unchanged, kBoard), look(50, kNew), ask(55, kNew), fetch(56, Outcome::Failed, kNew),
          look(110, kNew)},
         {kNew, false, true}},
        {"the board's copy ends the failures",
         {fetch(0, Outcome::Unchanged, kBoard), look(50, kNew), ask(55, kNew), fetch(56, Outcome::Failed, kNew),
          look(110, kBoard), look(170, kNew)},
         {{}, true, false}},
        // A clock set back (a time sync) starts the settle wait again at the
        // look that sees it, not only at an ask.
        {"a clock set back at a look",
         {fetch(0, Outcome::Unchanged, kBoard), look(50, kNew), look(20, kNew), ask(20 + settle - 1, kNew)},
         {{}, true, false}},
        {"a clock set back, then the copy stays",
         {fetch(0, Outcome::Unchanged, kBoard), look(50, kNew), look(20, kNew), ask(20 + settle, kNew)},
         {kNew, false, false}},
    };
    const QDateTime base(QDate(2024, 3, 7), QTime(10, 0, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FtpFileWatch w;
        w.watch({QStringLiteral("data.txt"), QStringLiteral("host"), QStringLiteral("user"), QStringLiteral("pw")});
        for (const Step& s : c.steps)
            s.act(w, base.addSecs(s.at));
        EXPECT_EQ(w.decided(), c.after.decided);
        EXPECT_EQ(w.settling(), c.after.settling);
        EXPECT_EQ(w.failing(), c.after.failing);
    }
}

TEST(FtpWatch, AFetchThatTookAnotherCopyIsANewOneForThePass)
{
    const QDateTime now(QDate(2024, 3, 7), QTime(10, 0, 0));
    FtpFileWatch w;
    EXPECT_TRUE(w.fetched({Outcome::Took, kBoard, kBoard}, now));
    EXPECT_FALSE(w.fetched({Outcome::Took, kBoard, kBoard}, now));
    EXPECT_FALSE(w.fetched({Outcome::Unchanged, kBoard, kBoard}, now));
    EXPECT_FALSE(w.fetched({Outcome::NotSettled, kNew, kBoard}, now));
    EXPECT_TRUE(w.fetched({Outcome::Took, kNew, kNew}, now));
}
