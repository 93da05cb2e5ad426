#pragma once

#include <string>

namespace tavik {

// A folder that only the user running the program may enter, for the
// program's temporary files: "tavik-<user id>" in $TMPDIR (else /tmp),
// created with mode 0700, or narrowed to it when it exists with a wider mode.
// Returns its path (cp932); empty, with the reason in errorText (cp932), when it
// cannot be made or belongs to someone else, or is not a real folder (a
// symbolic link planted there, say).
std::string privateTemporaryDirectory(std::string* errorText = nullptr);

} // namespace tavik
