// A design file (.qdb): one SQLite database holding the design model and its named records.
//
// The model tables are written as a whole by save(); the named records are written one by one and
// each write is its own transaction, synced to disk before it returns (write-ahead log, full
// sync), so a failure, a kill or a power cut in the middle leaves the previous content of that
// record intact and never touches another record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qor/design/model.h"

struct sqlite3;

namespace qor::design {

// Version of the file layout this build writes; files of a higher version are refused.
constexpr int32_t kFileVersion = 1;
// SQLite application id of a design file ("QOR2").
constexpr int32_t kApplicationId = 0x514F5232;

class DesignFile {
public:
    // Opens an existing design file. On failure returns nullptr with a message in error; a file
    // that is missing, truncated, not a design or of a newer version is never modified.
    static std::unique_ptr<DesignFile> open(const std::string& path, std::string& error);
    // Creates a new design file holding design; fails when the file exists.
    static std::unique_ptr<DesignFile> create(const std::string& path, const Design& design,
                                              std::string& error);
    ~DesignFile();
    DesignFile(const DesignFile&) = delete;
    DesignFile& operator=(const DesignFile&) = delete;

    const std::string& path() const { return path_; }

    bool load(Design& design, std::string& error);
    // Replaces the model tables in one transaction; the named records are not touched.
    bool save(const Design& design, std::string& error);

    // Named records. Ids are positive; 0 means none or failure.
    struct RecordInfo {
        int32_t id = 0;
        std::string name;
    };
    std::vector<RecordInfo> records();
    int32_t findRecord(const std::string& name);
    int32_t createRecord(const std::string& name);  // 0 when the name exists or on failure
    bool deleteRecord(int32_t id);
    int64_t recordLength(int32_t id);  // -1 when there is no such record
    // Reads up to size bytes from offset; returns the number of bytes moved (short at the end).
    size_t readRecord(int32_t id, size_t offset, void* data, size_t size);
    // Writes size bytes at offset, growing the record (zero-filled) when needed. All or nothing.
    bool writeRecord(int32_t id, size_t offset, const void* data, size_t size);
    // Sets the length, cutting or zero-filling. All or nothing.
    bool setRecordLength(int32_t id, size_t length);

    // Last SQLite message, for diagnostics.
    const std::string& lastError() const { return lastError_; }
    // The underlying connection, for tests that provoke storage failures.
    sqlite3* connection() { return db_; }

private:
    DesignFile(sqlite3* db, std::string path);
    bool exec(const char* sql);
    std::vector<uint8_t> recordBytes(int32_t id, bool& found);
    bool replaceRecordBytes(int32_t id, const std::vector<uint8_t>& bytes);

    sqlite3* db_ = nullptr;
    std::string path_;
    std::string lastError_;
};

}  // namespace qor::design
