#include "document/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace tavrel {

namespace {

AtomicWriteHook& hook() {
    static AtomicWriteHook h;
    return h;
}

bool fail(std::string* error, const std::string& what, int err) {
    if (error) *error = what + ": " + std::strerror(err);
    return false;
}

// Writes all bytes, retrying after interruptions and short writes.
bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

mode_t modeForNewFile() {
    // The program has no worker threads, so reading the umask this way is safe.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

void setAtomicWriteHook(AtomicWriteHook h) { hook() = std::move(h); }

bool writeFileAtomically(const std::string& nativePath, const std::string& bytes, std::string* error) {
    if (nativePath.empty() || nativePath.back() == '/') return fail(error, "no file name", EINVAL);

    const size_t slash = nativePath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : nativePath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? nativePath : nativePath.substr(slash + 1);

    mode_t mode = modeForNewFile();
    struct stat old {};
    if (::stat(nativePath.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) return fail(error, "target is a folder", EISDIR);
        mode = old.st_mode & 07777;
    }

    std::string temporary = (slash == std::string::npos ? std::string() : folder) + "." + name + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return fail(error, "cannot create a temporary file in " + folder, errno);

    auto abandon = [&](const std::string& what) {
        const int err = errno;
        ::unlink(temporary.c_str());
        return fail(error, what, err);
    };

    if (!writeAll(fd, bytes)) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return abandon("cannot write " + temporary);
    }
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return abandon("cannot flush " + temporary);
    }
    if (::close(fd) != 0) return abandon("cannot close " + temporary);

    if (const AtomicWriteHook& h = hook(); h && !h(temporary)) {
        errno = EIO;
        return abandon("write interrupted before the rename");
    }
    if (::rename(temporary.c_str(), nativePath.c_str()) != 0) return abandon("cannot replace " + nativePath);

    // Make the rename itself durable; a failure here no longer endangers
    // either version of the file.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    if (error) error->clear();
    return true;
}

}  // namespace tavrel
