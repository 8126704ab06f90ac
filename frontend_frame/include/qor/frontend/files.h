// The profile file and line files of a front end. Failures are shown with the standard file
// messages and answered with status 1; status 0 is success.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "qor/frontend/messages.h"

namespace qor::frontend {

// 0 when the file can be opened for reading (it is opened and closed again), 1 otherwise.
int FileExists(const std::string& path);

// A line file opened by FileAccess; closed when destroyed.
class LineFile {
  public:
    bool isOpen() const { return file_ != nullptr; }
    // True when nothing is left to read (or the file is not open).
    bool atEnd();

  private:
    friend class FileAccess;
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

class FileAccess {
  public:
    explicit FileAccess(Messages& messages) : messages_(messages) {}

    // The profile file: the host string store's "IniFile" ("" when the host has not set it).
    static std::string ProfileFile();

    // The value of key in section of the profile file, or def. Sets the current file name.
    std::string ProfileRead(std::string_view section, std::string_view key,
                            std::string_view def = {});
    // Writes key=value into section of the profile file; on failure shows the write message.
    int ProfileWrite(std::string_view section, std::string_view key, std::string_view value);

    // The file named by the read message of ReadLine; callers set it before reading a line file.
    void SetCurrentFileName(std::string name) { currentFileName_ = std::move(name); }
    const std::string& currentFileName() const { return currentFileName_; }

    int OpenForReading(const std::string& path, LineFile& file);
    // Creates the file or truncates an existing one.
    int OpenForWriting(const std::string& path, LineFile& file);
    // The next line without its line break (LF or CR LF). Past the end of the file, or on a read
    // error, shows the read message for the current file name and returns 1.
    int ReadLine(LineFile& file, std::string& line);
    // Writes the text exactly as given; on failure shows the write message for the current file
    // name.
    int WriteLine(LineFile& file, std::string_view text);
    // Closes the file and, when asked, deletes the file at path. Errors are ignored.
    void CloseFile(LineFile& file, bool deleteFile, const std::string& path);

  private:
    Messages& messages_;
    std::string currentFileName_;
};

}  // namespace qor::frontend
