#include "util/Recovery.h"

#include "util/Errors.h"
#include "util/ReplacementSteps.h"
#include "util/TempNames.h"

#include <algorithm>
#include <cstring>

namespace lw {
namespace {

std::string Listed(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths)
        text += (text.empty() ? "" : ", ") + path;
    return text;
}

// A target overwritten in place and killed part-way holds, byte by byte, either its new or its
// old content (a power cut leaves any mix of what the disk had written); anything else is a
// change someone else made.
bool IsMixOf(const std::string& target, const std::string& fresh, const std::string& old) {
    try {
        File t = File::OpenRead(target), f = File::OpenRead(fresh), o = File::OpenRead(old);
        const std::uint64_t size = t.size();
        if (size < std::min(f.size(), o.size()) || size > std::max(f.size(), o.size()))
            return false;
        std::vector<char> a(std::size_t{1} << 20), b(a.size()), c(a.size());
        for (std::uint64_t at = 0; at < size;) {
            const std::size_t got = t.readSome(a.data(), a.size());
            const std::size_t gotFresh = f.readSome(b.data(), got);
            const std::size_t gotOld = o.readSome(c.data(), got);
            if (got == 0)
                return false;
            const bool allFresh = gotFresh == got && std::memcmp(a.data(), b.data(), got) == 0;
            const bool allOld = gotOld == got && std::memcmp(a.data(), c.data(), got) == 0;
            for (std::size_t i = 0; !allFresh && !allOld && i < got; ++i)
                if (!(i < gotFresh && a[i] == b[i]) && !(i < gotOld && a[i] == c[i]))
                    return false;
            at += got;
        }
        return true;
    } catch (const IoError&) {
        return false;
    }
}

std::string CannotRepair(const std::string& journal, const std::string& missing,
                         const std::string& target) {
    return "The interrupted operation recorded in " + journal + " cannot be repaired: " + missing +
           " is missing or does not hold what the journal records. It was not acted upon, and "
           "nothing was changed. Check " +
           target + ", then move the journal out of the folder.";
}

} // namespace

// What one folder's repair does to each of its targets.
struct InterruptedOperations::Plan {
    enum class Action {
        Keep,   // the target holds what it should
        Put,    // the source's content goes in its place
        Remove, // the operation made it: undone, it goes
        Leave,  // changed after the interruption: left, the source kept under a name of its own
    };
    struct Step {
        const JournalEntry* entry = nullptr;
        Action action = Action::Keep;
        std::string source;                // a name in the folder; empty when there is none to keep
        bool sourceIsNew = false;          // the source is the staged new content
        std::optional<FileStamp> expected; // the target as it was found
    };
    Found* part = nullptr;
    std::vector<Step> steps;
};

namespace {

// A target that changed while this run repaired it: the repair is planned again.
struct ChangedMeanwhile {};

} // namespace

InterruptedOperations::InterruptedOperations(LockSet& locks, const LogSink& log)
    : locks_(locks), log_(log) {}

void InterruptedOperations::look(const std::string& folder, bool mayWrite) {
    const auto status = StatusOf(folder);
    if (!status || !status->isFolder())
        return;
    for (std::size_t i = 0; i < looked_.size(); ++i)
        if (looked_[i].sameFileAs(*status)) {
            for (Found& found : found_)
                if (found.folder == folder)
                    found.mayWrite = found.mayWrite || mayWrite;
            return;
        }
    looked_.push_back(*status);
    FileRoleScope roles; // an error reading it says what the file is
    roles.name(JournalPathIn(folder), "journal of an interrupted operation");
    for (const std::string& earlier : FindEarlierJournals(folder))
        throw EarlierJournalError(earlier);
    if (std::optional<Journal> journal = ReadJournalIn(folder))
        found_.push_back({folder, std::move(*journal), mayWrite});
}

// The journals of one operation: those found, and those at the other places its journals name.
std::vector<InterruptedOperations::Found*>
InterruptedOperations::partsOf(const std::string& operation, std::vector<std::string>& unreached) {
    std::vector<Found*> parts;
    const auto hasPlace = [&](std::size_t place) {
        return std::any_of(parts.begin(), parts.end(),
                           [&](const Found* part) { return part->journal.place == place; });
    };
    for (Found& found : found_)
        if (found.journal.operation == operation && !found.done)
            parts.push_back(&found);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::vector<std::string> folders = parts[i]->journal.folders;
        for (std::size_t place = 0; place < folders.size(); ++place) {
            if (hasPlace(place))
                continue;
            const std::string& folder = folders[place];
            const auto status = StatusOf(folder);
            if (!status || !status->isFolder()) {
                if (std::find(unreached.begin(), unreached.end(), folder) == unreached.end())
                    unreached.push_back(folder);
                continue;
            }
            // Another place's journal is read as carefully, but only one of this operation, at
            // the place named, is taken; a folder without one was repaired already.
            std::optional<Journal> journal;
            try {
                journal = ReadJournalIn(folder);
            } catch (const JournalError&) {
                unreached.push_back(folder);
                continue;
            }
            if (journal && journal->operation == operation && journal->place == place) {
                found_.push_back({folder, std::move(*journal), CanWriteIn(folder)});
                parts.push_back(&found_.back());
            }
        }
    }
    std::sort(parts.begin(), parts.end(),
              [](const Found* a, const Found* b) { return a->journal.place < b->journal.place; });
    return parts;
}

std::vector<InterruptedOperations::Plan>
InterruptedOperations::plan(const std::vector<Found*>& parts, JournalPhase direction) const {
    std::vector<Plan> plans;
    for (Found* part : parts) {
        Plan& plan = plans.emplace_back();
        plan.part = part;
        const std::string journal = JournalPathIn(part->folder);
        for (const JournalEntry& entry : part->journal.entries) {
            const auto in = [&](const std::string& name) { return JoinPath(part->folder, name); };
            const std::string target = in(entry.target);
            Plan::Step step;
            step.entry = &entry;
            step.expected = StampOf(target);
            const bool isNew = Holds(target, entry.fresh);
            const bool isOld = HoldsOld(part->folder, entry);
            const bool stagedSound =
                !isNew && entry.fresh.present && Holds(in(entry.staged), entry.fresh);
            const bool keptSound = !isOld && KeptIsSound(part->folder, entry);
            const bool torn = entry.method == ReplaceMethod::InPlace && !isNew && !isOld &&
                              stagedSound && keptSound &&
                              IsMixOf(target, in(entry.staged), in(entry.kept));
            const bool forward = direction == JournalPhase::Forward;
            if (forward ? isNew : isOld) {
                step.action = Plan::Action::Keep;
            } else if ((!forward && (isNew || torn) && !entry.old.present) ||
                       (forward && isOld && !entry.fresh.present)) {
                step.action = Plan::Action::Remove;
            } else if ((forward && (isOld || torn)) || (!forward && (isNew || torn))) {
                if (!(forward ? stagedSound : keptSound))
                    throw JournalError(
                        CannotRepair(journal, in(forward ? entry.staged : entry.kept), target));
                step.action = Plan::Action::Put;
                step.source = forward ? entry.staged : entry.kept;
                step.sourceIsNew = forward;
            } else {
                // Whichever copy is still whole is kept for the user, the one this direction
                // would have put there first.
                step.action = Plan::Action::Leave;
                const bool takeNew = stagedSound && (forward || !keptSound);
                if (takeNew || keptSound) {
                    step.source = takeNew ? entry.staged : entry.kept;
                    step.sourceIsNew = takeNew;
                }
            }
            plan.steps.push_back(std::move(step));
        }
    }
    return plans;
}

// The way to go, and what it does in each folder. An operation goes the way its journals say,
// but for one thing: a target someone changed after the interruption is left as it is, and when
// it had not got its new content yet (its staged file is still there), what was saved there came
// from its old content, so the other targets go back to theirs too.
std::pair<JournalPhase, std::vector<InterruptedOperations::Plan>>
InterruptedOperations::decide(const std::vector<Found*>& parts) const {
    const bool forward = std::any_of(parts.begin(), parts.end(), [](const Found* part) {
        return part->journal.phase == JournalPhase::Forward;
    });
    if (!forward)
        return {JournalPhase::Back, plan(parts, JournalPhase::Back)};
    std::vector<Plan> plans = plan(parts, JournalPhase::Forward);
    for (const Plan& plan : plans)
        for (const Plan::Step& step : plan.steps)
            if (step.action == Plan::Action::Leave &&
                FileExists(JoinPath(plan.part->folder, step.entry->staged)))
                return {JournalPhase::Back, this->plan(parts, JournalPhase::Back)};
    return {JournalPhase::Forward, std::move(plans)};
}

// Does one folder's plan, then its journal and the names it leaves go.
void InterruptedOperations::act(Plan& plan, bool forward, Report& report) {
    const std::string& folder = plan.part->folder;
    if (!forward)
        std::reverse(plan.steps.begin(), plan.steps.end());
    for (const Plan::Step& step : plan.steps) {
        const std::string target = JoinPath(folder, step.entry->target);
        switch (step.action) {
        case Plan::Action::Put:
            if (!PutInPlace(folder, *step.entry, step.source, step.expected))
                throw ChangedMeanwhile{}; // it is back as it was; the plan is made again
            break;
        case Plan::Action::Remove:
            if (StampOf(target) != step.expected)
                throw ChangedMeanwhile{};
            RemoveFile(target);
            break;
        case Plan::Action::Keep:
            break;
        case Plan::Action::Leave: {
            std::string note = target + " had been changed since the operation was "
                                        "interrupted, so it is left as it is";
            if (!step.source.empty()) {
                const std::string saved = target +
                                          (step.sourceIsNew ? kSavedNewMarker : kSavedOldMarker) +
                                          UniqueNamePart();
                RenameFile(JoinPath(folder, step.source), saved);
                note += step.sourceIsNew ? "; the content the operation had for it is kept in "
                                         : "; its content from before the operation is kept in ";
                note += saved;
            }
            report.notes.push_back(note + ".");
            continue;
        }
        }
        report.targets.push_back(target);
    }
    SyncFolder(folder);
    RemoveJournal(folder);
    for (const JournalEntry& entry : plan.part->journal.entries) {
        RemoveFileQuietly(JoinPath(folder, entry.staged));
        DisposeOfOldCopy(folder, entry);
    }
}

// Plans the operation's repair and does it; a target that changes while it runs is put back
// and the repair planned again on what is there then.
bool InterruptedOperations::repairOperation(const std::string& operation) {
    std::vector<std::string> unreached;
    Report report;
    JournalPhase direction = JournalPhase::Back;
    for (int attempt = 0;; ++attempt) {
        std::vector<Found*> parts = partsOf(operation, unreached);
        for (Found* part : parts) {
            std::optional<Journal> now = ReadJournalIn(part->folder);
            if (now && now->operation == operation)
                part->journal = std::move(*now);
            else
                part->done = true;
        }
        std::erase_if(parts, [](const Found* part) { return part->done; });
        if (parts.empty())
            break;
        for (const Found* part : parts) {
            const std::string journal = JournalPathIn(part->folder);
            if (!part->mayWrite) {
                locks_.lockFolder(part->folder, false, journal, true);
                continue;
            }
            locks_.lockFolder(part->folder, true, journal);
            for (const JournalEntry& entry : part->journal.entries)
                locks_.lockFile(JoinPath(part->folder, entry.target), true,
                                JoinPath(part->folder, entry.target));
        }
        auto [way, plans] = decide(parts);
        direction = way;
        // A folder this run may not write is left as it is while its files are whole already.
        std::erase_if(plans, [](const Plan& plan) {
            const bool whole = std::all_of(plan.steps.begin(), plan.steps.end(), [](const auto& s) {
                return s.action == Plan::Action::Keep;
            });
            if (!plan.part->mayWrite && !whole)
                throw Error("The files in " + plan.part->folder +
                            " were left half changed by an interrupted operation (see " +
                            JournalPathIn(plan.part->folder) +
                            "), and this run may not write there to repair them. Run "
                            "\"loamwright-cli recover " +
                            plan.part->folder + "\" as a user who may, then try again.");
            return !plan.part->mayWrite;
        });
        if (plans.empty())
            return false;
        // Every journal says which way before any file moves: killed from here on, the next run
        // goes the same way.
        for (const Plan& plan : plans)
            if (plan.part->journal.phase != direction)
                SetJournalPhase(plan.part->folder, direction);
        const bool forward = direction == JournalPhase::Forward;
        if (!forward)
            std::reverse(plans.begin(), plans.end());
        try {
            for (Plan& plan : plans) {
                act(plan, forward, report);
                plan.part->done = true;
            }
            break;
        } catch (const ChangedMeanwhile&) {
            if (attempt >= 3)
                throw Error("The files of an interrupted operation in " +
                            plans.front().part->folder +
                            " keep changing while Loamwright repairs them; nothing more was "
                            "changed. Stop the program that writes them, then try again.");
        }
    }
    if (!report.targets.empty())
        log_("Recovered an interrupted operation: " + Listed(report.targets) +
             (report.targets.size() == 1 ? " holds" : " hold") +
             (direction == JournalPhase::Forward ? " the content from after it."
                                                 : " the content from before it again."));
    for (const std::string& note : report.notes)
        log_(note);
    for (const std::string& folder : unreached)
        log_("The interrupted operation also changed files in " + folder +
             ", which could not be found; once that folder is back, repair it with "
             "\"loamwright-cli recover " +
             folder + "\".");
    return true;
}

int InterruptedOperations::repair() {
    int repaired = 0;
    for (std::size_t next = 0; next < found_.size(); ++next) {
        const std::string operation = found_[next].journal.operation;
        if (std::find(repairedOperations_.begin(), repairedOperations_.end(), operation) !=
            repairedOperations_.end())
            continue;
        repairedOperations_.push_back(operation);
        repaired += repairOperation(operation) ? 1 : 0;
    }
    return repaired;
}

std::vector<InterruptedOperations::Outcome> InterruptedOperations::preview() {
    std::vector<Outcome> outcomes;
    std::vector<std::string> previewed;
    for (std::size_t next = 0; next < found_.size(); ++next) {
        const std::string operation = found_[next].journal.operation;
        if (std::find(previewed.begin(), previewed.end(), operation) != previewed.end())
            continue;
        previewed.push_back(operation);
        std::vector<std::string> unreached;
        const auto [direction, plans] = decide(partsOf(operation, unreached));
        for (const Plan& plan : plans)
            for (const Plan::Step& step : plan.steps) {
                const std::string target = JoinPath(plan.part->folder, step.entry->target);
                Outcome outcome{target, target};
                if (step.action == Plan::Action::Put)
                    outcome.content = JoinPath(plan.part->folder, step.source);
                else if (step.action == Plan::Action::Remove ||
                         (step.action == Plan::Action::Keep &&
                          (direction == JournalPhase::Back ? !step.entry->old.present
                                                           : !step.entry->fresh.present)))
                    outcome.content.reset();
                outcomes.push_back(outcome);
            }
    }
    return outcomes;
}

int RecoverInterruptedOperations(const std::vector<std::string>& folders, const LogSink& log) {
    LockSet locks;
    InterruptedOperations found(locks, log);
    for (const std::string& folder : folders) {
        const std::string real = ResolveLinks(folder);
        found.look(real, CanWriteIn(real));
    }
    return found.repair();
}

// A point's folder is ours by its marked name and its place: what is in it goes with it.
std::vector<std::string> UnfinishedRestorePoints(const std::string& folder) {
    std::vector<std::string> stale, entries;
    const std::string points = JoinPath(JoinPath(folder, kProgramFolder), kRestoreFolder);
    try {
        entries = FolderEntries(points);
    } catch (const IoError&) {
        return stale; // no restore points here
    }
    for (const std::string& entry : entries) {
        std::uint64_t number = 0;
        for (const char* marker : {kStagedMarker, kKeptMarker})
            if (const std::string_view base = BaseOfMarkedName(entry, marker);
                !base.empty() && IsPointNumber(base, number) &&
                StatusOf(JoinPath(points, entry)).value_or(FileStatus{}).isFolder())
                stale.push_back(JoinPath(points, entry));
    }
    return stale;
}

void RemoveFolderOfOurs(const std::string& path) {
    for (const std::string& name : FolderEntries(path))
        RemoveFile(JoinPath(path, name));
    RemoveEmptyFolder(path);
}

std::vector<std::string> StaleReplacementFiles(const std::string& folder) {
    std::vector<std::string> stale;
    if (FileExists(JournalPathIn(folder)))
        return stale; // its files are the journal's
    std::vector<std::string> entries;
    try {
        entries = FolderEntries(folder);
    } catch (const IoError&) {
        return stale; // a folder that cannot be listed has nothing of ours to find
    }
    for (const std::string& entry : entries)
        if (!BaseOfMarkedName(entry, kStagedMarker).empty() ||
            !BaseOfMarkedName(entry, kKeptMarker).empty())
            stale.push_back(JoinPath(folder, entry));
    for (std::string& point : UnfinishedRestorePoints(folder))
        stale.push_back(std::move(point));
    return stale;
}

std::vector<std::string> RemoveStaleReplacementFiles(const std::string& folder) {
    std::vector<std::string> stale = StaleReplacementFiles(folder);
    for (const std::string& path : stale) {
        if (const auto status = StatusOf(path); status && status->isFolder())
            RemoveFolderOfOurs(path);
        else
            RemoveFile(path);
    }
    return stale;
}

} // namespace lw
