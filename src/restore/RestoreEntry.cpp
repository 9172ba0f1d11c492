#include "restore/RestoreEntry.h"

#include "util/ContentDigest.h"
#include "util/TempNames.h"

#include <charconv>

namespace lw {
namespace {

// One field a line, "key value"; values escape backslash, tab and line end, so a line holds
// exactly one field and a file's fields are split by tabs.
constexpr std::string_view kHeader = "Loamwright restore point 1";
constexpr std::size_t kMaxFields = 4096;

std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text)
        out += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
    return out;
}

// False for an escape this program does not write.
bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size() || (text[i] != 'n' && text[i] != 't' && text[i] != '\\'))
            return false;
        out += text[i] == 'n' ? '\n' : text[i] == 't' ? '\t' : '\\';
    }
    return true;
}

const char* KindName(KeptKind kind) {
    return kind == KeptKind::Replaced  ? "replaced"
           : kind == KeptKind::Created ? "created"
                                       : "appended";
}

std::string VersionText(const FileVersion& v) {
    if (!v.present)
        return "none";
    return std::to_string(v.size) + " " + (v.digested ? DigestText(v.digest) : "-") + " " +
           std::to_string(v.stamp.Device) + " " + std::to_string(v.stamp.Inode) + " " +
           std::to_string(v.stamp.ModifiedNs);
}

class Reader {
public:
    Reader(std::string_view bytes, const std::string& path) : bytes_(bytes), path_(path) {}

    [[noreturn]] void damaged() const {
        throw RestoreEntryError("The restore point entry " + path_ +
                                " is damaged; that restore point cannot be used.");
    }
    bool atEnd() const { return at_ == bytes_.size(); }
    // The next line, split into its key and unescaped value.
    std::pair<std::string, std::string> line() {
        const std::size_t end = bytes_.find('\n', at_);
        if (end == std::string_view::npos || ++lines_ > kMaxFields)
            damaged();
        const std::string_view text = bytes_.substr(at_, end - at_);
        at_ = end + 1;
        const std::size_t space = text.find(' ');
        std::string key(text.substr(0, space));
        std::string value;
        if (space != std::string_view::npos && !Unescape(text.substr(space + 1), value))
            damaged();
        return {key, value};
    }
    std::string expect(std::string_view key) {
        auto [k, v] = line();
        if (k != key)
            damaged();
        return v;
    }
    std::uint64_t number(std::string_view text) const {
        std::uint64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size())
            damaged();
        return value;
    }
    std::int64_t signedNumber(std::string_view text) const {
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size())
            damaged();
        return value;
    }
    FileVersion version(std::string_view text) const {
        FileVersion v;
        if (text == "none")
            return v;
        const std::vector<std::string_view> parts = split(text, ' ');
        if (parts.size() != 5)
            damaged();
        v.present = true;
        v.size = number(parts[0]);
        v.digested = parts[1] != "-";
        if (v.digested && !ParseDigestText(parts[1], v.digest))
            damaged();
        v.stamp = {v.size, signedNumber(parts[4]), number(parts[2]), number(parts[3])};
        return v;
    }
    static std::vector<std::string_view> split(std::string_view text, char by) {
        std::vector<std::string_view> parts;
        for (std::size_t at = 0;;) {
            const std::size_t end = text.find(by, at);
            parts.push_back(text.substr(at, end - at));
            if (end == std::string_view::npos)
                return parts;
            at = end + 1;
        }
    }

private:
    std::string_view bytes_;
    const std::string& path_;
    std::size_t at_ = 0;
    std::size_t lines_ = 0;
};

// Files are split on raw tabs before their parts are unescaped: a file line keeps its escapes.
RestoreFile ReadFile(const Reader& in, std::string_view raw) {
    const std::vector<std::string_view> parts = Reader::split(raw, '\t');
    if (parts.size() != 6)
        in.damaged();
    const auto unescaped = [&](std::string_view text) {
        std::string out;
        if (!Unescape(text, out))
            in.damaged();
        return out;
    };
    RestoreFile file;
    file.role = unescaped(parts[0]);
    file.name = unescaped(parts[1]);
    if (parts[2] == "replaced")
        file.kind = KeptKind::Replaced;
    else if (parts[2] == "created")
        file.kind = KeptKind::Created;
    else if (parts[2] == "appended")
        file.kind = KeptKind::Appended;
    else
        in.damaged();
    file.oldSize = in.number(parts[3]);
    file.written = in.version(parts[4]);
    if (!ParseDigestText(parts[5], file.tail))
        in.damaged();
    // Only a bare name of the folder, and never one of this program's own.
    if (!IsBareName(file.name) || file.name == "entry" || file.name == kJournalName ||
        (file.kind == KeptKind::Appended && !file.written.present))
        in.damaged();
    return file;
}

} // namespace

std::string EncodeRestoreEntry(const RestoreEntry& entry) {
    std::string text;
    const auto field = [&](std::string_view key, std::string_view value) {
        text.append(key).append(" ").append(Escaped(value)).append("\n");
    };
    text.append(kHeader).append("\n");
    field("number", std::to_string(entry.number));
    field("time", entry.time);
    field("operation", entry.operation);
    field("command", entry.commandLine);
    field("identity", entry.identity);
    field("folders", std::to_string(entry.folders.size()));
    for (const std::string& folder : entry.folders)
        field("folder", folder);
    for (const RestoreFile& file : entry.files)
        text.append("file ")
            .append(Escaped(file.role))
            .append("\t")
            .append(Escaped(file.name))
            .append("\t")
            .append(KindName(file.kind))
            .append("\t")
            .append(std::to_string(file.oldSize))
            .append("\t")
            .append(VersionText(file.written))
            .append("\t")
            .append(DigestText(file.tail))
            .append("\n");
    const std::uint64_t check = DigestOf(text);
    text.append("check ").append(DigestText(check)).append("\n");
    return text;
}

RestoreEntry DecodeRestoreEntry(std::string_view bytes, const std::string& path) {
    Reader in(bytes, path);
    // The check comes first: whatever a damaged entry says is not read at all.
    const std::size_t checkAt = bytes.rfind("check ");
    std::uint64_t stored = 0;
    if (!bytes.starts_with(std::string(kHeader) + "\n") || checkAt == std::string_view::npos ||
        bytes.size() != checkAt + 6 + 16 + 1 || bytes.back() != '\n' ||
        !ParseDigestText(bytes.substr(checkAt + 6, 16), stored) ||
        stored != DigestOf(bytes.substr(0, checkAt)))
        in.damaged();
    Reader fields(bytes.substr(kHeader.size() + 1, checkAt - kHeader.size() - 1), path);
    RestoreEntry entry;
    entry.number = fields.number(fields.expect("number"));
    entry.time = fields.expect("time");
    entry.operation = fields.expect("operation");
    entry.commandLine = fields.expect("command");
    entry.identity = fields.expect("identity");
    if (!IsLowerHex(entry.identity, kOperationIdLength))
        fields.damaged();
    const std::uint64_t folders = fields.number(fields.expect("folders"));
    if (folders == 0 || folders > 64)
        fields.damaged();
    for (std::uint64_t i = 0; i < folders; ++i)
        entry.folders.push_back(fields.expect("folder"));
    // File lines are split before unescaping, so they are read raw.
    std::string_view rest = bytes.substr(0, checkAt);
    for (std::size_t at = rest.find("\nfile "); at != std::string_view::npos;
         at = rest.find("\nfile ", at + 1)) {
        const std::size_t end = rest.find('\n', at + 1);
        entry.files.push_back(ReadFile(fields, rest.substr(at + 6, end - at - 6)));
    }
    while (!fields.atEnd())
        if (fields.line().first != "file")
            fields.damaged();
    if (entry.files.empty())
        fields.damaged();
    for (std::size_t i = 0; i < entry.files.size(); ++i)
        for (std::size_t j = i + 1; j < entry.files.size(); ++j)
            if (entry.files[i].name == entry.files[j].name)
                fields.damaged();
    return entry;
}

} // namespace lw
