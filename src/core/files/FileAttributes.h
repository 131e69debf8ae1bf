#pragma once

#include <string>

namespace sonivera {

// The access control list and the user's extended attributes of a file, carried over to the new
// file that replaces it, as a desktop's safe save does. The list's mask is the group bits of the
// mode, so it is copied after the mode is set.
//
// Copies from the file named `from` to the open descriptor `to`. Returns false when the file has
// an access control list that could not be given to the new file (the caller then keeps the old
// file and writes it in place, so nobody gains or loses access); the user's attributes are copied
// where the file system takes them and skipped quietly where it does not.
bool CopyFileAttributes(const std::string& from, int to);

} // namespace sonivera
