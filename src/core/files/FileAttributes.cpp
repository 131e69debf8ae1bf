#include "core/files/FileAttributes.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/xattr.h>
#include <vector>

namespace sonivera {

namespace {

constexpr std::string_view kAccessList = "system.posix_acl_access";
constexpr std::string_view kUserPrefix = "user.";

// The value of one attribute, or none when it went away meanwhile or cannot be read.
bool ReadAttribute(const std::string& path, const char* name, std::vector<char>& value) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = getxattr(path.c_str(), name, nullptr, 0);
        if (size < 0) {
            return false;
        }
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = getxattr(path.c_str(), name, value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) { // ERANGE: it grew between the two calls; ask again
            return false;
        }
    }
    return false;
}

// The names of the file's attributes, NUL-separated; empty where the file system has none.
std::vector<char> AttributeNames(const std::string& path) {
    std::vector<char> names;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = listxattr(path.c_str(), nullptr, 0);
        if (size <= 0) {
            return {};
        }
        names.resize(static_cast<std::size_t>(size));
        const ssize_t got = listxattr(path.c_str(), names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            return names;
        }
        if (errno != ERANGE) {
            return {};
        }
    }
    return {};
}

} // namespace

bool CopyFileAttributes(const std::string& from, int to) {
    const std::vector<char> names = AttributeNames(from);
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size();) {
        const char* name = names.data() + at;
        const std::string_view view(name, strnlen(name, names.size() - at));
        at += view.size() + 1;
        const bool list = view == kAccessList;
        if (!list && view.substr(0, kUserPrefix.size()) != kUserPrefix) {
            continue; // the system's and the security module's own attributes stay theirs
        }
        if (!ReadAttribute(from, name, value)) {
            if (list) {
                return false;
            }
            continue;
        }
        if (fsetxattr(to, name, value.data(), value.size(), 0) != 0 && list) {
            return false;
        }
    }
    return true;
}

} // namespace sonivera
