#include "qor/frontend/files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "qor/frontend/text_utils.h"
#include "qor/kernel/kernel.h"
#include "qor/platform/profile.h"

namespace qor::frontend {

namespace {

std::string errorText(int error, const char* fallback) {
    return error ? std::strerror(error) : fallback;
}

}  // namespace

int FileExists(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return 1;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 1;
    std::fclose(f);
    return 0;
}

bool LineFile::atEnd() {
    if (!file_) return true;
    const int c = std::fgetc(file_.get());
    if (c == EOF) return true;
    std::ungetc(c, file_.get());
    return false;
}

std::string FileAccess::ProfileFile() {
    return HostText(E_GetString("IniFile"));
}

std::string FileAccess::ProfileRead(std::string_view section, std::string_view key,
                                    std::string_view def) {
    currentFileName_ = ProfileFile();
    if (currentFileName_.empty()) return std::string(def);
    try {
        return profile::readString(currentFileName_, section, key, def);
    } catch (...) {
        return std::string(def);
    }
}

int FileAccess::ProfileWrite(std::string_view section, std::string_view key,
                             std::string_view value) {
    currentFileName_ = ProfileFile();
    bool written = false;
    errno = 0;
    if (!currentFileName_.empty()) {
        try {
            written = profile::writeString(currentFileName_, section, key, value);
        } catch (...) {
            written = false;
        }
    }
    if (written) return 0;
    messages_.ReportWriteError(currentFileName_, errorText(errno, "Path/File access error"));
    return 1;
}

int FileAccess::OpenForReading(const std::string& path, LineFile& file) {
    file.file_.reset();
    errno = 0;
    file.file_.reset(std::fopen(path.c_str(), "rb"));
    if (file.file_) return 0;
    messages_.ReportReadError(path, errorText(errno, "File not found"));
    return 1;
}

int FileAccess::OpenForWriting(const std::string& path, LineFile& file) {
    file.file_.reset();
    errno = 0;
    file.file_.reset(std::fopen(path.c_str(), "wb"));
    if (file.file_) return 0;
    messages_.ReportWriteError(path, errorText(errno, "Path/File access error"));
    return 1;
}

int FileAccess::ReadLine(LineFile& file, std::string& line) {
    line.clear();
    if (!file.file_) {
        messages_.ReportReadError(currentFileName_, "Bad file name or number");
        return 1;
    }
    std::FILE* f = file.file_.get();
    errno = 0;
    int c = std::fgetc(f);
    if (c == EOF) {
        messages_.ReportReadError(currentFileName_, std::ferror(f)
                                                        ? errorText(errno, "Device I/O error")
                                                        : "Input past end of file");
        return 1;
    }
    for (; c != EOF && c != '\n'; c = std::fgetc(f)) line.push_back(static_cast<char>(c));
    if (std::ferror(f)) {
        messages_.ReportReadError(currentFileName_, errorText(errno, "Device I/O error"));
        return 1;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return 0;
}

int FileAccess::WriteLine(LineFile& file, std::string_view text) {
    errno = 0;
    if (file.file_ && std::fwrite(text.data(), 1, text.size(), file.file_.get()) == text.size() &&
        std::fflush(file.file_.get()) == 0)
        return 0;
    messages_.ReportWriteError(currentFileName_, errorText(errno, "Device I/O error"));
    return 1;
}

void FileAccess::CloseFile(LineFile& file, bool deleteFile, const std::string& path) {
    file.file_.reset();
    if (deleteFile) std::remove(path.c_str());
}

}  // namespace qor::frontend
