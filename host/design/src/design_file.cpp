#include "qor/design/design_file.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <array>
#include <cstring>
#include <fstream>
#include <functional>

namespace qor::design {
namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE design      (key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE layers      (number INTEGER PRIMARY KEY CHECK (number BETWEEN 0 AND 31),
                          name TEXT NOT NULL);
CREATE TABLE hierarchies (number INTEGER PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE symbols     (number INTEGER PRIMARY KEY, name TEXT NOT NULL, mask INTEGER NOT NULL);
CREATE TABLE pad_stacks  (symbol INTEGER NOT NULL, number INTEGER NOT NULL,
                          through_hole INTEGER NOT NULL, size INTEGER NOT NULL,
                          drill INTEGER NOT NULL, PRIMARY KEY (symbol, number));
CREATE TABLE pads        (symbol INTEGER NOT NULL, pin INTEGER NOT NULL, name TEXT NOT NULL,
                          x INTEGER NOT NULL, y INTEGER NOT NULL, pad_stack INTEGER NOT NULL,
                          PRIMARY KEY (symbol, pin));
CREATE TABLE devices     (number INTEGER PRIMARY KEY, name TEXT NOT NULL, package TEXT NOT NULL);
CREATE TABLE components  (number INTEGER PRIMARY KEY, name TEXT NOT NULL,
                          x INTEGER NOT NULL, y INTEGER NOT NULL, angle INTEGER NOT NULL,
                          flags INTEGER NOT NULL, mask INTEGER NOT NULL, symbol INTEGER NOT NULL,
                          device INTEGER NOT NULL, hierarchy INTEGER NOT NULL);
CREATE TABLE nets        (number INTEGER PRIMARY KEY, name TEXT NOT NULL, mask INTEGER NOT NULL);
CREATE TABLE nodes       (number INTEGER PRIMARY KEY, net INTEGER NOT NULL,
                          component INTEGER NOT NULL, pin INTEGER NOT NULL,
                          x INTEGER NOT NULL, y INTEGER NOT NULL, flags INTEGER NOT NULL,
                          mask INTEGER NOT NULL);
CREATE TABLE traces      (number INTEGER PRIMARY KEY, net INTEGER NOT NULL,
                          flags INTEGER NOT NULL, mask INTEGER NOT NULL);
CREATE TABLE trace_points(trace INTEGER NOT NULL, position INTEGER NOT NULL,
                          flags INTEGER NOT NULL, node INTEGER NOT NULL, layer INTEGER NOT NULL,
                          width INTEGER NOT NULL, x INTEGER NOT NULL, y INTEGER NOT NULL,
                          centre_dx INTEGER NOT NULL, centre_dy INTEGER NOT NULL,
                          radius INTEGER NOT NULL, PRIMARY KEY (trace, position));
CREATE TABLE vias        (number INTEGER PRIMARY KEY, net INTEGER NOT NULL,
                          x INTEGER NOT NULL, y INTEGER NOT NULL,
                          diameter INTEGER NOT NULL, drill INTEGER NOT NULL);
CREATE TABLE items       (owner INTEGER NOT NULL,  -- symbol number; 2147483647 for the layout texts
                          position INTEGER NOT NULL, kind INTEGER NOT NULL, flags INTEGER NOT NULL,
                          mask INTEGER NOT NULL, link INTEGER NOT NULL, layer INTEGER NOT NULL,
                          x INTEGER NOT NULL, y INTEGER NOT NULL, dx INTEGER NOT NULL,
                          dy INTEGER NOT NULL, width INTEGER NOT NULL, gap INTEGER NOT NULL,
                          angle INTEGER NOT NULL, text_size INTEGER NOT NULL,
                          attributes INTEGER NOT NULL, text TEXT NOT NULL,
                          PRIMARY KEY (owner, position));
CREATE TABLE records     (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, data BLOB NOT NULL);
)sql";

constexpr const char* kModelTables[] = {"design", "layers",     "hierarchies",  "symbols",
                                        "pad_stacks", "pads",   "devices",      "components",
                                        "nets",       "nodes",  "traces",       "trace_points",
                                        "vias",       "items"};

// Owner value of layout texts in the items table.
constexpr int64_t kLayoutOwner = 0x7fffffff;

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { ok_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) == SQLITE_OK; }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return ok_; }
    Statement& bind(int i, int64_t v) {
        ok_ = ok_ && sqlite3_bind_int64(stmt_, i, v) == SQLITE_OK;
        return *this;
    }
    Statement& bind(int i, const std::string& v) {
        ok_ = ok_ && sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT) == SQLITE_OK;
        return *this;
    }
    Statement& bindBlob(int i, const void* data, size_t size) {
        ok_ = ok_ && sqlite3_bind_blob64(stmt_, i, size ? data : "", size, SQLITE_TRANSIENT) == SQLITE_OK;
        return *this;
    }
    // Binds each value to the next parameter, from 1.
    template <typename... T>
    Statement& bindAll(const T&... values) {
        int i = 1;
        (bind(i++, values), ...);
        return *this;
    }
    bool step() { return ok_ && sqlite3_step(stmt_) == SQLITE_ROW; }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    bool run() {
        ok_ = ok_ && sqlite3_step(stmt_) == SQLITE_DONE;
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        return ok_;
    }
    int32_t i32(int col) const { return sqlite3_column_int(stmt_, col); }
    int64_t i64(int col) const { return sqlite3_column_int64(stmt_, col); }
    std::string text(int col) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, col))) : std::string();
    }
    std::vector<uint8_t> blob(int col) const {
        const auto* p = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, col));
        const auto n = static_cast<size_t>(sqlite3_column_bytes(stmt_, col));
        return p ? std::vector<uint8_t>(p, p + n) : std::vector<uint8_t>();
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
    bool ok_ = false;
};

uint32_t bigEndian32(const unsigned char* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Checks the file's header bytes without opening it through SQLite, so nothing can be written
// to a file that is not ours. Returns an empty string when the file looks like a sound design.
std::string checkHeader(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "Design file not found: " + path;
    if (!S_ISREG(st.st_mode)) return "Not a design file (not a regular file): " + path;
    std::ifstream in(path, std::ios::binary);
    std::array<unsigned char, 100> header{};
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size()))
        return "Design file is truncated or empty: " + path;
    if (std::memcmp(header.data(), "SQLite format 3\0", 16) != 0)
        return "Not a Qor32 design file: " + path;
    if (static_cast<int32_t>(bigEndian32(&header[68])) != kApplicationId)
        return "Not a Qor32 design file (foreign database): " + path;
    const auto version = static_cast<int32_t>(bigEndian32(&header[60]));
    if (version > kFileVersion)
        return "Design file " + path + " was written by a newer version (file version " +
               std::to_string(version) + ", this program reads up to " + std::to_string(kFileVersion) + ")";
    if (version < 1) return "Not a Qor32 design file (no version): " + path;
    uint32_t pageSize = (uint32_t{header[16]} << 8) | header[17];
    if (pageSize == 1) pageSize = 65536;
    const uint32_t pages = bigEndian32(&header[28]);
    const bool countValid = bigEndian32(&header[24]) == bigEndian32(&header[92]);
    if (countValid && static_cast<uint64_t>(st.st_size) < uint64_t{pageSize} * pages)
        return "Design file is truncated: " + path;
    return {};
}

}  // namespace

DesignFile::DesignFile(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

DesignFile::~DesignFile() { sqlite3_close_v2(db_); }

bool DesignFile::exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    lastError_ = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return false;
}

static sqlite3* openConnection(const std::string& path, int flags, std::string& error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        error = "Cannot open design file " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 2000);
    return db;
}

std::unique_ptr<DesignFile> DesignFile::open(const std::string& path, std::string& error) {
    error = checkHeader(path);
    if (!error.empty()) return nullptr;
    sqlite3* db = openConnection(path, SQLITE_OPEN_READWRITE, error);
    if (!db) return nullptr;
    std::unique_ptr<DesignFile> file(new DesignFile(db, path));
    {
        Statement check(db, "PRAGMA quick_check");
        if (!check.step() || check.text(0) != "ok") {
            error = "Design file is damaged: " + path;
            return nullptr;
        }
        Statement tables(db, "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = 'records'");
        if (!tables.step() || tables.i32(0) != 1) {
            error = "Not a Qor32 design file (tables missing): " + path;
            return nullptr;
        }
    }
    if (!file->exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;")) {
        error = "Cannot open design file " + path + ": " + file->lastError_;
        return nullptr;
    }
    return file;
}

std::unique_ptr<DesignFile> DesignFile::create(const std::string& path, const Design& design,
                                               std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        error = "Design file already exists: " + path;
        return nullptr;
    }
    sqlite3* db = openConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
    if (!db) return nullptr;
    std::unique_ptr<DesignFile> file(new DesignFile(db, path));
    const std::string pragmas = "PRAGMA application_id = " + std::to_string(kApplicationId) +
                                "; PRAGMA user_version = " + std::to_string(kFileVersion) + ";";
    if (!file->exec("BEGIN") || !file->exec(kSchema) || !file->exec(pragmas.c_str()) ||
        !file->exec("COMMIT") || !file->exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;") ||
        !file->save(design, error)) {
        if (error.empty()) error = "Cannot create design file " + path + ": " + file->lastError_;
        file.reset();
        std::remove(path.c_str());
        return nullptr;
    }
    return file;
}

namespace {

void readItems(sqlite3* db, int64_t owner, std::vector<Item>& items) {
    Statement q(db,
                "SELECT kind, flags, mask, link, layer, x, y, dx, dy, width, gap, angle, text_size, "
                "attributes, text FROM items WHERE owner = ? ORDER BY position");
    q.bind(1, owner);
    while (q.step()) {
        Item it;
        it.kind = q.i32(0), it.flags = q.i32(1), it.mask = q.i32(2), it.link = q.i32(3);
        it.layer = q.i32(4), it.x = q.i32(5), it.y = q.i32(6), it.dx = q.i32(7), it.dy = q.i32(8);
        it.width = q.i32(9), it.gap = q.i32(10), it.angle = q.i32(11), it.textSize = q.i32(12);
        it.attributes = q.i32(13), it.text = q.text(14);
        items.push_back(std::move(it));
    }
}

bool writeItems(sqlite3* db, int64_t owner, const std::vector<Item>& items) {
    Statement q(db, "INSERT INTO items VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    int64_t position = 1;
    for (const Item& it : items) {
        q.bindAll(owner, position++, int64_t{it.kind}, int64_t{it.flags}, int64_t{it.mask},
                  int64_t{it.link}, int64_t{it.layer}, int64_t{it.x}, int64_t{it.y}, int64_t{it.dx},
                  int64_t{it.dy}, int64_t{it.width}, int64_t{it.gap}, int64_t{it.angle},
                  int64_t{it.textSize}, int64_t{it.attributes}, it.text);
        if (!q.run()) return false;
    }
    return true;
}

}  // namespace

bool DesignFile::load(Design& d, std::string& error) {
    d = Design{};
    {
        Statement q(db_, "SELECT key, value FROM design");
        while (q.step()) {
            const std::string key = q.text(0);
            if (key == "name") d.name = q.text(1);
            else if (key == "current_hierarchy") d.currentHierarchy = q.i32(1);
            else if (key == "text_size") d.textSize = q.i32(1);
        }
    }
    {
        Statement q(db_, "SELECT number, name FROM layers ORDER BY number");
        while (q.step()) d.layers.push_back({q.i32(0), q.text(1)});
    }
    {
        Statement q(db_, "SELECT number, name FROM hierarchies ORDER BY number");
        while (q.step()) d.hierarchies.push_back({q.i32(0), q.text(1)});
    }
    {
        Statement q(db_, "SELECT number, name, mask FROM symbols ORDER BY number");
        while (q.step()) d.symbols.push_back(Symbol{q.i32(0), q.text(1), q.i32(2), {}, {}, {}});
        Statement pads(db_, "SELECT pin, name, x, y, pad_stack FROM pads WHERE symbol = ? ORDER BY pin");
        Statement stacks(db_,
                         "SELECT number, through_hole, size, drill FROM pad_stacks WHERE symbol = ? "
                         "ORDER BY number");
        for (Symbol& s : d.symbols) {
            pads.bind(1, s.number);
            while (pads.step())
                s.pads.push_back({pads.i32(0), pads.text(1), pads.i32(2), pads.i32(3), pads.i32(4)});
            pads.reset();
            stacks.bind(1, s.number);
            while (stacks.step())
                s.padStacks.push_back({stacks.i32(0), stacks.i32(1) != 0, stacks.i32(2), stacks.i32(3)});
            stacks.reset();
            readItems(db_, s.number, s.items);
        }
    }
    {
        Statement q(db_, "SELECT number, name, package FROM devices ORDER BY number");
        while (q.step()) d.devices.push_back({q.i32(0), q.text(1), q.text(2)});
    }
    {
        Statement q(db_,
                    "SELECT number, name, x, y, angle, flags, mask, symbol, device, hierarchy "
                    "FROM components ORDER BY number");
        while (q.step())
            d.components.push_back({q.i32(0), q.text(1), q.i32(2), q.i32(3), q.i32(4), q.i32(5),
                                    q.i32(6), q.i32(7), q.i32(8), q.i32(9)});
    }
    {
        Statement q(db_, "SELECT number, name, mask FROM nets ORDER BY number");
        while (q.step()) d.nets.push_back({q.i32(0), q.text(1), q.i32(2)});
    }
    {
        Statement q(db_, "SELECT number, net, component, pin, x, y, flags, mask FROM nodes ORDER BY number");
        while (q.step())
            d.nodes.push_back({q.i32(0), q.i32(1), q.i32(2), q.i32(3), q.i32(4), q.i32(5), q.i32(6), q.i32(7)});
    }
    {
        Statement q(db_, "SELECT number, net, flags, mask FROM traces ORDER BY number");
        while (q.step()) d.traces.push_back(Trace{q.i32(0), q.i32(1), q.i32(2), q.i32(3), {}});
        Statement p(db_,
                    "SELECT trace, flags, node, layer, width, x, y, centre_dx, centre_dy, radius "
                    "FROM trace_points ORDER BY trace, position");
        size_t t = 0;
        while (p.step()) {
            const int32_t trace = p.i32(0);
            while (t < d.traces.size() && d.traces[t].number < trace) ++t;
            if (t == d.traces.size() || d.traces[t].number != trace) {
                error = "Design file is damaged: a trace point belongs to no trace";
                return false;
            }
            d.traces[t].points.push_back(
                {p.i32(1), p.i32(2), p.i32(3), p.i32(4), p.i32(5), p.i32(6), p.i32(7), p.i32(8), p.i32(9)});
        }
    }
    {
        Statement q(db_, "SELECT number, net, x, y, diameter, drill FROM vias ORDER BY number");
        while (q.step()) d.vias.push_back({q.i32(0), q.i32(1), q.i32(2), q.i32(3), q.i32(4), q.i32(5)});
    }
    readItems(db_, kLayoutOwner, d.layoutTexts);
    if (sqlite3_errcode(db_) != SQLITE_OK && sqlite3_errcode(db_) != SQLITE_DONE &&
        sqlite3_errcode(db_) != SQLITE_ROW) {
        error = std::string("Cannot read design: ") + sqlite3_errmsg(db_);
        return false;
    }
    return true;
}

bool DesignFile::save(const Design& d, std::string& error) {
    auto fail = [&] {
        lastError_ = sqlite3_errmsg(db_);
        error = "Cannot save design " + path_ + ": " + lastError_;
        exec("ROLLBACK");
        return false;
    };
    if (!exec("BEGIN IMMEDIATE")) return fail();
    for (const char* table : kModelTables) {
        const std::string sql = std::string("DELETE FROM ") + table;
        if (!exec(sql.c_str())) return fail();
    }
    {
        Statement q(db_, "INSERT INTO design VALUES (?, ?)");
        if (!q.bindAll(std::string("name"), d.name).run() ||
            !q.bindAll(std::string("current_hierarchy"), std::to_string(d.currentHierarchy)).run() ||
            !q.bindAll(std::string("text_size"), std::to_string(d.textSize)).run())
            return fail();
    }
    {
        Statement q(db_, "INSERT INTO layers VALUES (?, ?)");
        for (const Layer& l : d.layers)
            if (!q.bindAll(int64_t{l.number}, l.name).run()) return fail();
    }
    {
        Statement q(db_, "INSERT INTO hierarchies VALUES (?, ?)");
        for (const Hierarchy& h : d.hierarchies)
            if (!q.bindAll(int64_t{h.number}, h.name).run()) return fail();
    }
    {
        Statement q(db_, "INSERT INTO symbols VALUES (?, ?, ?)");
        Statement pads(db_, "INSERT INTO pads VALUES (?, ?, ?, ?, ?, ?)");
        Statement stacks(db_, "INSERT INTO pad_stacks VALUES (?, ?, ?, ?, ?)");
        for (const Symbol& s : d.symbols) {
            if (!q.bindAll(int64_t{s.number}, s.name, int64_t{s.mask}).run()) return fail();
            for (const Pad& p : s.pads)
                if (!pads.bindAll(int64_t{s.number}, int64_t{p.pin}, p.name, int64_t{p.x}, int64_t{p.y},
                                  int64_t{p.padStack}).run())
                    return fail();
            for (const PadStack& k : s.padStacks)
                if (!stacks.bindAll(int64_t{s.number}, int64_t{k.number}, int64_t{k.throughHole ? 1 : 0},
                                    int64_t{k.sizeUnits}, int64_t{k.drillUnits}).run())
                    return fail();
            if (!writeItems(db_, s.number, s.items)) return fail();
        }
    }
    {
        Statement q(db_, "INSERT INTO devices VALUES (?, ?, ?)");
        for (const Device& v : d.devices)
            if (!q.bindAll(int64_t{v.number}, v.name, v.package).run()) return fail();
    }
    {
        Statement q(db_, "INSERT INTO components VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (const Component& c : d.components)
            if (!q.bindAll(int64_t{c.number}, c.name, int64_t{c.x}, int64_t{c.y}, int64_t{c.angle},
                           int64_t{c.flags}, int64_t{c.mask}, int64_t{c.symbol}, int64_t{c.device},
                           int64_t{c.hierarchy}).run())
                return fail();
    }
    {
        Statement q(db_, "INSERT INTO nets VALUES (?, ?, ?)");
        for (const Net& n : d.nets)
            if (!q.bindAll(int64_t{n.number}, n.name, int64_t{n.mask}).run()) return fail();
    }
    {
        Statement q(db_, "INSERT INTO nodes VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        for (const Node& n : d.nodes)
            if (!q.bindAll(int64_t{n.number}, int64_t{n.net}, int64_t{n.component}, int64_t{n.pin},
                           int64_t{n.x}, int64_t{n.y}, int64_t{n.flags}, int64_t{n.mask}).run())
                return fail();
    }
    {
        Statement q(db_, "INSERT INTO traces VALUES (?, ?, ?, ?)");
        Statement p(db_, "INSERT INTO trace_points VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (const Trace& t : d.traces) {
            if (!q.bindAll(int64_t{t.number}, int64_t{t.net}, int64_t{t.flags}, int64_t{t.mask}).run())
                return fail();
            int64_t position = 1;
            for (const TracePoint& r : t.points)
                if (!p.bindAll(int64_t{t.number}, position++, int64_t{r.flags}, int64_t{r.node},
                               int64_t{r.layer}, int64_t{r.width}, int64_t{r.x}, int64_t{r.y},
                               int64_t{r.centreDx}, int64_t{r.centreDy}, int64_t{r.radius}).run())
                    return fail();
        }
    }
    {
        Statement q(db_, "INSERT INTO vias VALUES (?, ?, ?, ?, ?, ?)");
        for (const Via& v : d.vias)
            if (!q.bindAll(int64_t{v.number}, int64_t{v.net}, int64_t{v.x}, int64_t{v.y},
                           int64_t{v.diameter}, int64_t{v.drill}).run())
                return fail();
    }
    if (!writeItems(db_, kLayoutOwner, d.layoutTexts)) return fail();
    if (!exec("COMMIT")) return fail();
    return true;
}

std::vector<DesignFile::RecordInfo> DesignFile::records() {
    std::vector<RecordInfo> out;
    Statement q(db_, "SELECT id, name FROM records ORDER BY id");
    while (q.step()) out.push_back({q.i32(0), q.text(1)});
    return out;
}

int32_t DesignFile::findRecord(const std::string& name) {
    Statement q(db_, "SELECT id FROM records WHERE name = ?");
    q.bind(1, name);
    return q.step() ? q.i32(0) : 0;
}

int32_t DesignFile::createRecord(const std::string& name) {
    if (name.empty() || findRecord(name) != 0) return 0;
    Statement q(db_, "INSERT INTO records (name, data) VALUES (?, x'')");
    q.bind(1, name);
    if (!q.run()) {
        lastError_ = sqlite3_errmsg(db_);
        return 0;
    }
    const int64_t id = sqlite3_last_insert_rowid(db_);
    return id > 0 && id <= INT32_MAX ? static_cast<int32_t>(id) : 0;
}

bool DesignFile::deleteRecord(int32_t id) {
    Statement q(db_, "DELETE FROM records WHERE id = ?");
    q.bind(1, id);
    if (!q.run()) {
        lastError_ = sqlite3_errmsg(db_);
        return false;
    }
    return sqlite3_changes(db_) == 1;
}

int64_t DesignFile::recordLength(int32_t id) {
    Statement q(db_, "SELECT length(data) FROM records WHERE id = ?");
    q.bind(1, id);
    return q.step() ? q.i64(0) : -1;
}

std::vector<uint8_t> DesignFile::recordBytes(int32_t id, bool& found) {
    Statement q(db_, "SELECT data FROM records WHERE id = ?");
    q.bind(1, id);
    found = q.step();
    return found ? q.blob(0) : std::vector<uint8_t>();
}

bool DesignFile::replaceRecordBytes(int32_t id, const std::vector<uint8_t>& bytes) {
    Statement q(db_, "UPDATE records SET data = ? WHERE id = ?");
    q.bindBlob(1, bytes.data(), bytes.size()).bind(2, id);
    if (!q.run()) {
        lastError_ = sqlite3_errmsg(db_);
        return false;
    }
    return sqlite3_changes(db_) == 1;
}

size_t DesignFile::readRecord(int32_t id, size_t offset, void* data, size_t size) {
    sqlite3_blob* blob = nullptr;
    if (sqlite3_blob_open(db_, "main", "records", "data", id, 0, &blob) != SQLITE_OK) {
        sqlite3_blob_close(blob);
        return 0;
    }
    const auto length = static_cast<size_t>(sqlite3_blob_bytes(blob));
    size_t moved = 0;
    if (offset < length) {
        moved = std::min(size, length - offset);
        if (sqlite3_blob_read(blob, data, static_cast<int>(moved), static_cast<int>(offset)) != SQLITE_OK)
            moved = 0;
    }
    sqlite3_blob_close(blob);
    return moved;
}

bool DesignFile::writeRecord(int32_t id, size_t offset, const void* data, size_t size) {
    if (offset + size > static_cast<size_t>(INT32_MAX)) return false;
    const int64_t length = recordLength(id);
    if (length < 0) return false;
    if (offset + size <= static_cast<size_t>(length)) {
        // In place: one transaction around the incremental write.
        if (!exec("BEGIN IMMEDIATE")) return false;
        sqlite3_blob* blob = nullptr;
        bool ok = sqlite3_blob_open(db_, "main", "records", "data", id, 1, &blob) == SQLITE_OK &&
                  sqlite3_blob_write(blob, data, static_cast<int>(size), static_cast<int>(offset)) == SQLITE_OK;
        if (!ok) lastError_ = sqlite3_errmsg(db_);
        sqlite3_blob_close(blob);
        if (ok && exec("COMMIT")) return true;
        exec("ROLLBACK");
        return false;
    }
    bool found = false;
    std::vector<uint8_t> bytes = recordBytes(id, found);
    if (!found) return false;
    bytes.resize(offset + size, 0);
    std::memcpy(bytes.data() + offset, data, size);
    return replaceRecordBytes(id, bytes);
}

bool DesignFile::setRecordLength(int32_t id, size_t length) {
    if (length > static_cast<size_t>(INT32_MAX)) return false;
    bool found = false;
    std::vector<uint8_t> bytes = recordBytes(id, found);
    if (!found) return false;
    bytes.resize(length, 0);
    return replaceRecordBytes(id, bytes);
}

}  // namespace qor::design
