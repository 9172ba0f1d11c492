// The roles operations declare their files with (OperationFiles): the names a refusal uses, as
// in "The statics index and the item file are the same file: ...".
#pragma once

namespace lw {

inline constexpr const char* kStaticsIndexRole = "statics index";
inline constexpr const char* kStaticsFileRole = "statics file";
inline constexpr const char* kMapFileRole = "map file";
inline constexpr const char* kItemFileRole = "item file";
inline constexpr const char* kPatchFileRole = "patch file";
inline constexpr const char* kDiffFileRole = "diff file";

inline constexpr const char* kOriginalStaticsIndexRole = "original statics index";
inline constexpr const char* kOriginalStaticsFileRole = "original statics file";
inline constexpr const char* kOriginalMapFileRole = "original map file";
inline constexpr const char* kModifiedStaticsIndexRole = "modified statics index";
inline constexpr const char* kModifiedStaticsFileRole = "modified statics file";
inline constexpr const char* kModifiedMapFileRole = "modified map file";
inline constexpr const char* kTargetStaticsIndexRole = "target statics index";
inline constexpr const char* kTargetStaticsFileRole = "target statics file";
inline constexpr const char* kTargetMapFileRole = "target map file";
inline constexpr const char* kMapToConvertRole = "map to convert";
inline constexpr const char* kConvertedMapRole = "converted map";

} // namespace lw
