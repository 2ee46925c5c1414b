// The folders of the Skins root as the system's search returns them.
#pragma once
#include <string>
#include <vector>

namespace qor {

// Every entry of `root` that is a directory, other than "." and "..", in search order; none
// when the root cannot be searched.
std::vector<std::u16string> skinFolderNames(const std::u16string& root);

} // namespace qor
