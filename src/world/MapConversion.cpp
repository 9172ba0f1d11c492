#include "world/MapConversion.h"

#include "util/Errors.h"
#include "util/OperationFiles.h"
#include "util/SafeReplace.h"
#include "world/FileRoles.h"
#include "world/MapFile.h"
#include "world/WorldFileNames.h"

#include <algorithm>
#include <vector>

namespace lw {

void ConvertMap(const std::string& from, const std::string& to, bool toContainer,
                const LogSink& log) {
    if (IsMapContainerName(to) != toContainer)
        throw Error(toContainer ? "A container is named like map0LegacyMUL.uop, not " + to
                                : "A plain map is named like map0.mul, not " + to);
    const int facet = FacetOfFiles({from, to});
    const OperationFiles files(
        {{kMapToConvertRole, from, FileUse::Read}, {kConvertedMapRole, to, FileUse::Write}}, log);
    MapFile in = MapFile::OpenRead(from);
    ReplacementFile out(to);
    std::optional<UopMapWriter> container;
    if (toContainer)
        container.emplace(out.file(), facet, in.length());
    std::vector<char> buffer(std::size_t{8} << 20);
    for (std::uint64_t at = 0; at < in.length();) {
        const auto n =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), in.length() - at));
        in.read(at, buffer.data(), n);
        if (container)
            container->write(buffer.data(), n);
        else
            out.file().write(buffer.data(), n);
        at += n;
    }
    if (container)
        container->finish();
    in.close();
    out.commit();
}

} // namespace lw
