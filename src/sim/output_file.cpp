// Output files written beside their target and renamed into place on success.
#include "sim/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace wrigglet::sim {

namespace {

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

OutputFile::~OutputFile() { Discard(); }

std::string OutputFile::Error(const std::string& reason) const { return "cannot write '" + path_ + "': " + reason; }

std::FILE* OutputFile::Open() {
    struct stat target {};
    const bool exists = ::stat(path_.c_str(), &target) == 0;
    if (exists && !S_ISREG(target.st_mode)) {
        // Replacing a device or a pipe by a regular file would be worse than a failed write.
        file_ = std::fopen(path_.c_str(), "wb");
    } else {
        std::string name = path_ + ".XXXXXX";
        std::vector<char> writable(name.begin(), name.end());
        writable.push_back('\0');
        const int descriptor = ::mkstemp(writable.data());
        if (descriptor >= 0) {
            temporary_ = writable.data();
            // mkstemp makes the file private; the target keeps its mode, a new file gets the usual one.
            ::fchmod(descriptor, exists ? target.st_mode & 07777 : 0666 & ~CurrentUmask());
            file_ = ::fdopen(descriptor, "wb");
            if (!file_) ::close(descriptor);
        }
    }
    if (!file_) error_ = Error(std::strerror(errno));
    return file_;
}

std::string OutputFile::Commit() {
    if (!file_) return error_.empty() ? Error("not open") : error_;
    const bool written = std::fflush(file_) == 0 && !std::ferror(file_);
    const int writeErrno = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed) {
        const std::string error = Error(std::strerror(written ? errno : writeErrno));
        Discard();
        return error;
    }
    if (!temporary_.empty() && std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const std::string error = Error(std::strerror(errno));
        Discard();
        return error;
    }
    temporary_.clear();
    return "";
}

void OutputFile::Discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());  // only ever the file made in Open
    temporary_.clear();
}

}  // namespace wrigglet::sim
