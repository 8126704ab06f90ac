#include "device_library.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace qor::thm {
namespace {

constexpr std::size_t kRecordBytes = sizeof(DeviceRecord);

int lowerAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

// Compares at most `limit` characters of two texts, stopping at the first NUL of either.
int compareNames(const char* a, const char* b, std::size_t limit, bool ignoreCase) {
    for (std::size_t i = 0; i < limit; ++i) {
        int ca = static_cast<unsigned char>(a[i]);
        int cb = static_cast<unsigned char>(b[i]);
        if (ignoreCase) {
            ca = lowerAscii(static_cast<unsigned char>(ca));
            cb = lowerAscii(static_cast<unsigned char>(cb));
        }
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
    return 0;
}

// The name as stored: at most 15 characters, NUL-padded.
void storeName(char (&field)[THM_DEVICE_NAME_CHARS], const char* name) {
    const std::size_t n = ::strnlen(name, THM_DEVICE_NAME_CHARS);
    std::memset(field, 0, sizeof field);
    std::memcpy(field, name, n);
}

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

// Reads up to `bytes` bytes; the count read, or -1 with errno set.
ssize_t readFully(int fd, void* buffer, std::size_t bytes) {
    std::size_t done = 0;
    while (done < bytes) {
        const ssize_t got = ::read(fd, static_cast<char*>(buffer) + done, bytes - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

// Writes `bytes` bytes in one request: 0, THM_LIB_SHORT_WRITE, or the error's code.
std::int32_t writeOnce(int fd, const void* data, std::size_t bytes) {
    if (bytes == 0) return 0;
    ssize_t put;
    do {
        put = ::write(fd, data, bytes);
    } while (put < 0 && errno == EINTR);
    if (put < 0) return libraryFileErrorCode(errno, THM_LIB_RUNTIME_ERROR + ENOMEM);
    if (static_cast<std::size_t>(put) != bytes) return THM_LIB_SHORT_WRITE;
    return 0;
}

// The library file `path` must exist: it is replaced, never created from nothing.
std::int32_t requireExisting(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return libraryFileErrorCode(errno, THM_LIB_RUNTIME_ERROR + ENOMEM);
    return 0;
}

// Replaces the file `path` by a library of `count` records. The new content goes to a temporary
// file beside it, which takes the old file's place only when it was written completely.
std::int32_t replaceLibraryFile(const std::string& path, const DeviceRecord* records,
                                std::int32_t count) {
    if (const std::int32_t code = requireExisting(path)) return code;
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    std::int32_t code = 0;
    {
        Fd out;
        out.fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (out.fd < 0) return libraryFileErrorCode(errno, THM_LIB_RUNTIME_ERROR + ENOMEM);
        unsigned char header[kLibraryHeaderBytes];
        makeLibraryHeader(header, count);
        code = writeOnce(out.fd, header, sizeof header);
        if (code == 0)
            code = writeOnce(out.fd, records, static_cast<std::size_t>(count) * kRecordBytes);
        if (code == 0 && ::fsync(out.fd) != 0)
            code = libraryFileErrorCode(errno, THM_LIB_RUNTIME_ERROR + ENOMEM);
        const int fd = out.fd;
        out.fd = -1;
        if (::close(fd) != 0 && code == 0)
            code = libraryFileErrorCode(errno, THM_LIB_RUNTIME_ERROR + ENOMEM);
    }
    if (code == 0 && ::rename(temp.c_str(), path.c_str()) != 0)
        code = libraryFileErrorCode(errno, THM_LIB_RUNTIME_ERROR + ENOMEM);
    if (code != 0) ::unlink(temp.c_str());
    return code;
}

}  // namespace

void makeLibraryHeader(unsigned char (&header)[kLibraryHeaderBytes], std::int32_t count) {
    std::memset(header, 0, sizeof header);
    std::memcpy(header, kLibraryHeaderText, sizeof kLibraryHeaderText);
    const double version = kLibraryVersion;
    std::memcpy(header + kLibraryVersionOffset, &version, sizeof version);
    std::memcpy(header + kLibraryCountOffset, &count, sizeof count);
}

std::int32_t libraryFileErrorCode(int err, std::int32_t noMemoryCode) {
    switch (err) {
        case EEXIST:
            return THM_LIB_FILE_EXISTS;
        case ENOENT:
            return THM_LIB_NO_FILE;
        case EMFILE:
        case ENFILE:
            return THM_LIB_TOO_MANY_FILES;
        case EACCES:
        case EPERM:
            return THM_LIB_ACCESS_DENIED;
        case EBADF:
            return THM_LIB_BAD_HANDLE;
        case ENOMEM:
            return noMemoryCode;
        default:
            return THM_LIB_RUNTIME_ERROR + err;
    }
}

std::int32_t DeviceLibrary::create(const char* path) const {
    if (!path || !*path) return THM_LIB_NO_FILE;
    return replaceLibraryFile(path, nullptr, 0);
}

std::int32_t DeviceLibrary::select(const char* path) {
    if (!path || !*path) return THM_LIB_NO_FILE;
    if (selected_) return THM_LIB_ALREADY_SELECTED;

    Fd in;
    in.fd = ::open(path, O_RDWR | O_CLOEXEC);
    if (in.fd < 0) return libraryFileErrorCode(errno, options_.openNoMemoryCode);

    unsigned char header[kLibraryHeaderBytes];
    const ssize_t got = readFully(in.fd, header, sizeof header);
    if (got < 0) return libraryFileErrorCode(errno, THM_LIB_RUNTIME_ERROR + ENOMEM);
    if (static_cast<std::size_t>(got) < sizeof header) return THM_LIB_NOT_A_LIBRARY;
    if (std::strncmp(reinterpret_cast<const char*>(header), kLibraryHeaderText,
                     kLibraryHeaderTextBytes) != 0)
        return THM_LIB_NOT_A_LIBRARY;
    double version;
    std::memcpy(&version, header + kLibraryVersionOffset, sizeof version);
    if (version != kLibraryVersion) return THM_LIB_BAD_VERSION;
    std::int32_t count;
    std::memcpy(&count, header + kLibraryCountOffset, sizeof count);
    // A count the table cannot hold is no library of ours.
    if (count < 0 || count >= kLibraryTableEntries) return THM_LIB_NOT_A_LIBRARY;

    std::unique_ptr<DeviceRecord, FreeDeleter> table(
        static_cast<DeviceRecord*>(std::calloc(kLibraryTableEntries, kRecordBytes)));
    if (!table) return THM_LIB_NO_MEMORY;
    const std::size_t tableBytes = static_cast<std::size_t>(count) * kRecordBytes;
    const ssize_t gotTable = readFully(in.fd, table.get() + 1, tableBytes);
    if (gotTable < 0) return libraryFileErrorCode(errno, THM_LIB_RUNTIME_ERROR + ENOMEM);
    if (static_cast<std::size_t>(gotTable) < tableBytes) return THM_LIB_NOT_A_LIBRARY;

    path_ = path;
    table_ = std::move(table);
    count_ = count;
    cursor_ = 0;
    selected_ = true;
    return 0;
}

std::int32_t DeviceLibrary::close() {
    if (!selected_) return 0;
    if (const std::int32_t code = replaceLibraryFile(path_, table_.get() + 1, count_)) return code;
    release();
    return 0;
}

void DeviceLibrary::release() {
    table_.reset();
    count_ = 0;
    cursor_ = 0;
    path_.clear();
    selected_ = false;
}

DeviceLibrary::Probe DeviceLibrary::bisect(const char* name, bool ignoreCase) const {
    const DeviceRecord* t = table_.get();
    std::int32_t lo = 1;
    std::int32_t count = count_;
    while (count > 1) {
        const std::int32_t half = count / 2;
        const std::int32_t mid = lo + half - 1;
        const int order = compareNames(name, t[mid].name, THM_DEVICE_NAME_CHARS, ignoreCase);
        if (order == 0) return {true, mid, 0};
        if (order > 0) {
            lo = mid + 1;
            count -= half;
        } else {
            count = half;
        }
    }
    const int order = compareNames(name, t[lo].name, THM_DEVICE_NAME_CHARS, ignoreCase);
    return {order == 0, lo, order};
}

std::int32_t DeviceLibrary::insert(const char* name, DeviceRecord* record) {
    if (!name || !*name || !record) return THM_LIB_BAD_DEVICE_NAME;
    if (!table_) return THM_LIB_NO_FILE;
    storeName(record->name, name);
    DeviceRecord* t = table_.get();
    if (count_ == 0) {
        t[1] = *record;
        count_ = 1;
        return 0;
    }
    const Probe probe = bisect(name, false);
    if (probe.found) return THM_LIB_BAD_DEVICE_NAME;
    const std::int32_t position = probe.at + (probe.order > 0 ? 1 : 0);
    if (position >= kLibraryTableEntries || count_ + 1 >= kLibraryTableEntries) return THM_LIB_FULL;
    std::memmove(t + position + 1, t + position,
                 static_cast<std::size_t>(count_ - position + 1) * kRecordBytes);
    t[position] = *record;
    ++count_;
    return 0;
}

std::int32_t DeviceLibrary::change(const char* name, const DeviceRecord* record) {
    if (!name || !*name) return THM_LIB_NO_FILE;
    if (!record || !table_ || count_ == 0) return 0;
    const Probe probe = bisect(name, false);
    if (!probe.found) return 0;
    // The entry keeps its own name so that the table stays in order.
    DeviceRecord& entry = table_.get()[probe.at];
    char kept[THM_DEVICE_NAME_CHARS];
    std::memcpy(kept, entry.name, sizeof kept);
    entry = *record;
    std::memcpy(entry.name, kept, sizeof kept);
    return 1;
}

void DeviceLibrary::remove(const char* name) {
    if (!name || !*name || !table_ || count_ == 0) return;
    const Probe probe = bisect(name, false);
    if (!probe.found) return;
    DeviceRecord* t = table_.get();
    std::memmove(t + probe.at, t + probe.at + 1,
                 static_cast<std::size_t>(count_ - probe.at) * kRecordBytes);
    std::memset(static_cast<void*>(t + count_), 0, kRecordBytes);
    --count_;
}

std::int32_t DeviceLibrary::search(const char* name, DeviceRecord* record) const {
    if (!name || !*name || !record || !table_ || count_ == 0) return 0;
    const Probe probe = bisect(name, options_.searchIgnoresCase);
    if (!probe.found) return 0;
    *record = table_.get()[probe.at];
    return 1;
}

std::int32_t DeviceLibrary::copyName(std::int32_t i, char* name17) const {
    std::memset(name17, 0, 17);
    std::memcpy(name17, table_.get()[i].name,
                ::strnlen(table_.get()[i].name, THM_DEVICE_NAME_CHARS));
    return 1;
}

std::int32_t DeviceLibrary::first(char* name17) {
    if (!name17 || !table_ || count_ == 0) return 0;
    cursor_ = 2;
    return copyName(1, name17);
}

std::int32_t DeviceLibrary::next(char* name17) {
    if (!name17 || !table_ || cursor_ < 1 || cursor_ > count_) return 0;
    return copyName(cursor_++, name17);
}

}  // namespace qor::thm
