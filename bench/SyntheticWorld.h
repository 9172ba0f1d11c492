// The full-size synthetic world the diff and fill/clear benchmarks work on.
#pragma once

#include "diff/WorldFileSet.h"

#include <cstddef>
#include <random>
#include <string>
#include <vector>

namespace lw::bench {

// staidx0.mul, statics0.mul and map0.mul in a new folder of that name under the scratch folder.
WorldFileSet WorldFilesIn(const std::string& name);

// Statics in about 60% of the blocks, one compact run of valid records per block in block order,
// as an installation has them; map cells of random bytes.
void MakeSyntheticWorld(const WorldFileSet& set, std::mt19937& random);

void WriteAll(const std::string& path, const void* data, std::size_t size);
std::vector<char> ReadAll(const std::string& path);

} // namespace lw::bench
