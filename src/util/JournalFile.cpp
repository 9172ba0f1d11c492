#include "util/JournalFile.h"

#include "util/ContentDigest.h"
#include "util/TempNames.h"

#include <algorithm>
#include <charconv>

namespace lw {
namespace {

// Fields end with a NUL byte, the one byte no name holds. The phase is one byte at a fixed place
// right after the header, so it can be changed in place; the check digest covers the rest.
constexpr std::string_view kHeader = "Loamwright journal 2";
constexpr std::size_t kPhaseAt = kHeader.size() + 1;
constexpr char kForward = 'F';
constexpr char kBack = 'B';
constexpr std::uint64_t kMaxJournalSize = 1 << 20;
constexpr std::size_t kMaxFolders = 64;
constexpr std::size_t kMaxEntries = 1024;

void Field(std::string& text, std::string_view value) {
    text += value;
    text += '\0';
}

void Number(std::string& text, std::uint64_t value) {
    Field(text, std::to_string(value));
}

void Stamp(std::string& text, const FileStamp& stamp) {
    Number(text, stamp.Device);
    Number(text, stamp.Inode);
    Field(text, std::to_string(stamp.ModifiedNs));
}

void Version(std::string& text, const FileVersion& version) {
    if (!version.present) {
        Field(text, "none");
        return;
    }
    Field(text, "content");
    Number(text, version.size);
    Field(text, version.digested ? DigestText(version.digest) : "-");
    Stamp(text, version.stamp);
}

std::uint64_t CheckDigest(std::string_view body) {
    std::string copy(body);
    copy[kPhaseAt] = '?';
    return DigestOf(copy);
}

// Reads the fields of an untrusted journal; every way it can be wrong is a JournalError.
class FieldReader {
public:
    FieldReader(std::string_view bytes, const std::string& path) : bytes_(bytes), path_(path) {}

    [[noreturn]] void fail(const std::string& what) const {
        throw JournalError("The journal " + path_ + " " + what +
                           "; it was not acted upon, and nothing was changed. If no Loamwright "
                           "operation was interrupted in that folder, move it out of the folder.");
    }
    [[noreturn]] void damaged() const { fail("is damaged or cut short"); }

    std::string_view next() {
        const std::size_t end = bytes_.find('\0', at_);
        if (end == std::string_view::npos)
            damaged();
        const std::string_view field = bytes_.substr(at_, end - at_);
        at_ = end + 1;
        return field;
    }
    void expect(std::string_view word) {
        if (next() != word)
            damaged();
    }
    std::uint64_t number() {
        const std::string_view text = next();
        std::uint64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size())
            damaged();
        return value;
    }
    std::int64_t signedNumber() {
        const std::string_view text = next();
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size())
            damaged();
        return value;
    }
    FileStamp stamp(std::uint64_t size) {
        FileStamp stamp;
        stamp.Size = size;
        stamp.Device = number();
        stamp.Inode = number();
        stamp.ModifiedNs = signedNumber();
        return stamp;
    }
    FileVersion version() {
        FileVersion version;
        const std::string_view kind = next();
        if (kind == "none")
            return version;
        if (kind != "content")
            damaged();
        version.present = true;
        version.size = number();
        const std::string_view digest = next();
        version.digested = digest != "-";
        if (version.digested && !ParseDigestText(digest, version.digest))
            damaged();
        version.stamp = stamp(version.size);
        return version;
    }
    // A name of a file in the journal's own folder, and nothing else.
    std::string name() {
        const std::string_view text = next();
        if (!IsBareName(text))
            fail("names a file outside its folder (\"" + std::string(text) + "\")");
        return std::string(text);
    }
    std::size_t at() const { return at_; }
    bool atEnd() const { return at_ == bytes_.size(); }

private:
    std::string_view bytes_;
    const std::string& path_;
    std::size_t at_ = 0;
};

JournalEntry ReadEntry(FieldReader& in) {
    JournalEntry entry;
    const std::string_view method = in.next();
    if (method == "rename")
        entry.method = ReplaceMethod::Rename;
    else if (method == "in-place")
        entry.method = ReplaceMethod::InPlace;
    else
        in.damaged();
    entry.target = in.name();
    entry.staged = in.name();
    const std::string_view kept = in.next();
    if (!kept.empty() && !IsBareName(kept))
        in.fail("names a file outside its folder (\"" + std::string(kept) + "\")");
    entry.kept = std::string(kept);
    in.expect("new");
    entry.fresh = in.version();
    in.expect("old");
    entry.old = in.version();
    in.expect("kept");
    entry.keptStamp = in.stamp(entry.old.size);
    // Only names this program gives, beside the target they belong to.
    if (entry.target == kJournalName || !IsMarkedName(entry.staged, entry.target, kStagedMarker) ||
        (!entry.kept.empty() && !IsMarkedName(entry.kept, entry.target, kKeptMarker)))
        in.fail("names files that are not the ones this program makes (\"" + entry.target + "\")");
    // A target without new content is one the operation removes: it had content, kept by name.
    const bool removed = !entry.fresh.present;
    if ((removed && (!entry.old.present || entry.method != ReplaceMethod::Rename)) ||
        (!removed && !entry.fresh.digested) || entry.old.present == entry.kept.empty() ||
        (entry.method == ReplaceMethod::InPlace && entry.kept.empty()))
        in.damaged();
    return entry;
}

bool IsRegularOrAbsent(const std::string& path, std::optional<FileStatus>& status) {
    status = StatusOf(path);
    return !status || status->isRegular();
}

} // namespace

bool IsBareName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos)
        return false;
#ifdef _WIN32
    if (name.find_first_of("\\:") != std::string_view::npos)
        return false;
#endif
    return true;
}

std::string EncodeJournal(const Journal& journal) {
    std::string text;
    Field(text, kHeader);
    Field(text, std::string(1, journal.phase == JournalPhase::Forward ? kForward : kBack));
    Field(text, "operation");
    Field(text, journal.operation);
    Field(text, "place");
    Number(text, journal.place);
    Number(text, journal.folders.size());
    for (const std::string& folder : journal.folders) {
        Field(text, "folder");
        Field(text, folder);
    }
    for (const JournalEntry& entry : journal.entries) {
        Field(text, "file");
        Field(text, entry.method == ReplaceMethod::InPlace ? "in-place" : "rename");
        Field(text, entry.target);
        Field(text, entry.staged);
        Field(text, entry.kept);
        Field(text, "new");
        Version(text, entry.fresh);
        Field(text, "old");
        Version(text, entry.old);
        Field(text, "kept");
        Stamp(text, entry.keptStamp);
    }
    const std::uint64_t check = CheckDigest(text);
    Field(text, "check");
    Field(text, DigestText(check));
    return text;
}

Journal DecodeJournal(std::string_view bytes, const std::string& path) {
    FieldReader in(bytes, path);
    if (bytes.size() < kPhaseAt + 2 || bytes.substr(0, kHeader.size()) != kHeader) {
        if (bytes.starts_with("Loamwright replacement journal"))
            throw EarlierJournalError(path);
        in.fail("is no journal of this program");
    }
    // The check comes first: whatever a damaged journal says is not read at all.
    constexpr std::string_view kCheck("check\0", 6);
    constexpr std::size_t kCheckSize = kCheck.size() + 16 + 1;
    std::uint64_t stored = 0;
    const std::size_t body = bytes.size() - std::min(bytes.size(), kCheckSize);
    if (bytes.size() < kCheckSize || bytes.substr(body, kCheck.size()) != kCheck ||
        bytes.back() != '\0' || !ParseDigestText(bytes.substr(body + kCheck.size(), 16), stored) ||
        stored != CheckDigest(bytes.substr(0, body)))
        in.damaged();
    FieldReader fields(bytes.substr(0, body), path);
    fields.expect(kHeader);
    Journal journal;
    const std::string_view phase = fields.next();
    if (phase.size() != 1 || (phase[0] != kForward && phase[0] != kBack))
        fields.damaged();
    journal.phase = phase[0] == kForward ? JournalPhase::Forward : JournalPhase::Back;
    fields.expect("operation");
    journal.operation = std::string(fields.next());
    if (!IsLowerHex(journal.operation, kOperationIdLength))
        fields.damaged();
    fields.expect("place");
    journal.place = fields.number();
    const std::uint64_t folderCount = fields.number();
    if (folderCount == 0 || folderCount > kMaxFolders || journal.place >= folderCount)
        fields.damaged();
    for (std::uint64_t i = 0; i < folderCount; ++i) {
        fields.expect("folder");
        journal.folders.emplace_back(fields.next());
    }
    while (!fields.atEnd()) {
        fields.expect("file");
        if (journal.entries.size() >= kMaxEntries)
            fields.damaged();
        journal.entries.push_back(ReadEntry(fields));
    }
    if (journal.entries.empty())
        fields.damaged();
    for (std::size_t i = 0; i < journal.entries.size(); ++i)
        for (std::size_t j = i + 1; j < journal.entries.size(); ++j)
            if (journal.entries[i].target == journal.entries[j].target)
                fields.damaged();
    return journal;
}

std::string JournalPathIn(const std::string& folder) {
    return JoinPath(folder, kJournalName);
}

std::optional<Journal> ReadJournalIn(const std::string& folder) {
    const std::string path = JournalPathIn(folder);
    std::optional<FileStatus> status;
    if (!IsRegularOrAbsent(path, status))
        throw JournalError(path + " is " + KindOfSpecialFile(*status) +
                           " where Loamwright keeps the journal of an interrupted operation; "
                           "nothing was changed. Move it out of the folder.");
    if (!status)
        return std::nullopt;
    if (status->size > kMaxJournalSize)
        FieldReader("", path).damaged();
    File file = File::OpenRead(path);
    std::string bytes(static_cast<std::size_t>(file.size()), '\0');
    bytes.resize(file.readSome(bytes.data(), bytes.size()));
    file.close();
    return DecodeJournal(bytes, path);
}

void WriteJournal(const std::string& folder, const Journal& journal) {
    std::string staged;
    File file = CreateUnique(JoinPath(folder, std::string(kJournalName) + kStagedMarker), staged);
    try {
        const std::string text = EncodeJournal(journal);
        file.write(text.data(), text.size());
        file.sync();
        file.close();
        RenameFile(staged, JournalPathIn(folder));
    } catch (...) {
        RemoveFileQuietly(staged);
        throw;
    }
    try {
        SyncFolder(folder);
    } catch (...) {
        RemoveFileQuietly(JournalPathIn(folder));
        throw;
    }
}

void SetJournalPhase(const std::string& folder, JournalPhase phase) {
    File file = File::OpenReadWrite(JournalPathIn(folder));
    file.seek(kPhaseAt);
    const char mark = phase == JournalPhase::Forward ? kForward : kBack;
    file.write(&mark, 1);
    file.sync();
    file.close();
}

// Not synced: a journal is removed once its folder is whole, old or new, and one that comes back
// after a power cut finds it so and only tidies up.
void RemoveJournal(const std::string& folder) {
    RemoveFile(JournalPathIn(folder));
}

std::vector<std::string> FindEarlierJournals(const std::string& folder) {
    std::vector<std::string> names;
    try {
        names = FolderEntries(folder);
    } catch (const IoError&) {
        return {}; // a folder others may only pass through (mode 711)
    }
    std::vector<std::string> journals;
    for (const std::string& name : names) {
        const std::size_t at = name.rfind(kJournalMarker);
        if (at == std::string::npos ||
            !IsMarkedName(name, std::string_view(name).substr(0, at), kJournalMarker))
            continue;
        const std::string path = JoinPath(folder, name);
        if (IsRegularFile(path))
            journals.push_back(path);
    }
    return journals;
}

JournalError EarlierJournalError(const std::string& path) {
    return JournalError("The journal " + path +
                        " was left by an earlier Loamwright version, which named files by their "
                        "full paths; it was not acted upon, and nothing was changed. Check the "
                        "files it names, then move it out of the folder.");
}

} // namespace lw
