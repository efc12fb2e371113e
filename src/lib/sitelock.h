#pragma once

#include <QString>

namespace qs {

// The lock file in the site folder. Hidden: no listing, generator, index or check sees it.
inline constexpr char16_t kSiteLockName[] = u".quillsite.lock";

class Dialogs;

// Held by whatever writes into a site, so that two programs (two windows, a window and a script) never
// pick the same page number or move a page the other is writing. A lock left by a program that has
// ended is taken over; one held by a live program is waited for a moment, then refused with a message
// naming that program. Guards of one process on one site nest (the outermost takes the lock).
//
// The first time a process takes a site's lock it also clears what stopped runs left there: work files
// of ended processes and a page move cut in the middle (see MoveJournal).
class SiteLock {

public:
    explicit SiteLock(const QString& siteFolder, int waitMs = 3000);
    ~SiteLock();
    SiteLock(const SiteLock&) = delete;
    SiteLock& operator=(const SiteLock&) = delete;

    bool held() const { return held_; }
    // Why it is not held, in French: the site, the program holding it, its user, machine and process.
    const QString& failure() const { return failure_; }

private:
    QString key_;
    bool held_ = false;
    QString failure_;
};

// When the lock is not held: says why (failure()) through `dialogs` and returns true.
bool lockRefused(const SiteLock& lock, Dialogs& dialogs);

// A page move under way: the copy is made first, then the source goes to the trash. Written before
// the copy and removed when the move is over, it lets the next run that locks the site take back the
// copy of a move stopped between the two, so that the page is never in both categories.
class MoveJournal {
public:
    MoveJournal(const QString& siteFolder, const QString& source, const QString& target);
    ~MoveJournal();
    MoveJournal(const MoveJournal&) = delete;
    MoveJournal& operator=(const MoveJournal&) = delete;

private:
    QString path_;
};

// What the next run does with a stopped run's leftovers (called by SiteLock). Returns the number of
// files cleared or taken back.
int recoverInterruptedWork(const QString& siteFolder);

} // namespace qs
