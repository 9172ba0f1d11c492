// A missing file, one per command: the line before the runtime's text names the command, the
// option and the path with the system's reason.
#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sstream>

namespace lw {
namespace {

using test::RunProgram;

std::vector<std::string> ErrLines(const std::string& err) {
    std::vector<std::string> lines;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(MissingFileCliTest, TheLineBeforeTheMessageSaysWhichFile) {
    test::TempDir dir;
    const std::string w = dir.file("w");
    ASSERT_EQ(RunProgram(LW_CLI_PATH, {"demo-world", w}).exitCode, 0);
    const std::string gone = dir.file("gone") + "/map0.mul";
    const std::string staidx = w + "/staidx0.mul", statics = w + "/statics0.mul",
                      map = w + "/map0.mul";
    const std::vector<std::string> original{
        "--original-staidx", staidx, "--original-statics", statics, "--original-map", gone};
    const struct {
        std::vector<std::string> args;
        std::string option, path;
    } cases[] = {
        {{"list-block", "--staidx", w + "/none.mul", "--statics", statics, "0", "7", "0", "7"},
         "--staidx",
         w + "/none.mul"},
        {{"melt", "--staidx", staidx, "--statics", w + "/none.mul", "--items", w + "/i.cfg", "1496",
          "1535", "1600", "1639"},
         "--statics",
         w + "/none.mul"},
        {{"fill-clear", "--staidx", staidx, "--statics", statics, "--map", gone, "--tile", "00 03"},
         "--map",
         gone},
        {{"diff-generate", "--staidx", staidx, "--statics", statics, "--map", map, "--out",
          dir.file("d.lw2"), original[0], original[1], original[2], original[3], original[4],
          original[5]},
         "--original-map",
         gone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const auto r = RunProgram(LW_CLI_PATH, c.args);
        EXPECT_EQ(r.exitCode, 1);
        const auto lines = ErrLines(r.err);
        ASSERT_GE(lines.size(), 2u) << r.err;
#ifdef _WIN32 // the system's words differ there
        EXPECT_EQ(
            lines[lines.size() - 2].rfind(c.args[0] + ": " + c.option + " " + c.path + ": ", 0),
            0u);
#else
        EXPECT_EQ(lines[lines.size() - 2],
                  c.args[0] + ": " + c.option + " " + c.path + ": No such file or directory");
#endif
        EXPECT_EQ(lines.back(), "Datei nicht gefunden");
    }
}

} // namespace
} // namespace lw
