// Opening, creating, saving and closing design files, and the F_ calls on named records.
#include <climits>
#include <cstring>

#include "guard.h"
#include "qor/kernel/kernel.h"
#include "tables.h"

using namespace qor::kernel;

namespace {

int32_t fail(std::string message) {
    state().lastError = std::move(message);
    return 0;
}

int32_t adopt(std::unique_ptr<qor::design::DesignFile> file) {
    auto open = std::make_unique<OpenDesign>();
    std::string error;
    if (!file->load(open->model, error)) return fail(error);
    open->index.rebuild(open->model);
    fillDesignTables(open->model);
    open->recordCache = file->records();
    open->file = std::move(file);
    state().design = std::move(open);
    state().lastError.clear();
    return 1;
}

// The file of the open design when handle names one of its records.
qor::design::DesignFile* recordFile(int32_t handle) {
    OpenDesign* d = openDesign();
    if (!d || handle <= 0 || d->file->recordLength(handle) < 0) return nullptr;
    return d->file.get();
}

void refreshRecords() {
    if (OpenDesign* d = openDesign()) d->recordCache = d->file->records();
}

}  // namespace

extern "C" {

int32_t DB_OpenDesign(const char* path) {
    return guard(0, [&] {
        if (!path || !*path) return fail("No design file name given");
        if (openDesign()) return fail("A design is already open: " + openDesign()->file->path());
        std::string error;
        auto file = qor::design::DesignFile::open(path, error);
        return file ? adopt(std::move(file)) : fail(error);
    });
}

int32_t DB_CreateDesign(const char* path, const char* name) {
    return guard(0, [&] {
        if (!path || !*path) return fail("No design file name given");
        if (openDesign()) return fail("A design is already open: " + openDesign()->file->path());
        qor::design::Design empty;
        empty.name = name ? name : "";
        for (int32_t i = 0; i < qor::design::kLayerCount; ++i) empty.layers.push_back({i, "L" + std::to_string(i)});
        empty.hierarchies.push_back({1, "Main"});
        std::string error;
        auto file = qor::design::DesignFile::create(path, empty, error);
        return file ? adopt(std::move(file)) : fail(error);
    });
}

int32_t DB_SaveDesign(void) {
    return guard(0, [&] {
        OpenDesign* d = openDesign();
        if (!d) return fail("No design is open");
        std::string error;
        return d->file->save(d->model, error) ? 1 : fail(error);
    });
}

int32_t DB_CloseDesign(void) {
    return guard(0, [&] {
        if (!openDesign()) return 0;
        state().design.reset();
        return 1;
    });
}

const char* DB_LastError(void) { return state().lastError.c_str(); }

int32_t OM_Delete(int32_t map, int32_t object) {
    return guard(0, [&] {
        OpenDesign* d = openDesign();
        if (!d || map != kFileMap) return 0;
        // Both a record handle and its object handle are accepted.
        const int32_t id = objectKind(object) == kRecordObject ? objectNumber(object) : object;
        if (!d->file->deleteRecord(id)) return 0;
        d->recordPosition.erase(id);
        refreshRecords();
        return 1;
    });
}

int32_t F_CreateFile(int32_t mode, const char* name) {
    (void)mode;
    return guard(0, [&] {
        OpenDesign* d = openDesign();
        if (!d || !name) return 0;
        const int32_t id = d->file->createRecord(name);
        if (id == 0) return 0;
        d->recordPosition[id] = 0;
        refreshRecords();
        return id;
    });
}

int32_t F_Seek(int32_t handle, int32_t offset, int32_t origin) {
    return guard(-1, [&] {
        auto* file = recordFile(handle);
        if (!file) return -1;
        size_t& position = openDesign()->recordPosition[handle];
        int64_t base = 0;
        if (origin == 1) base = static_cast<int64_t>(position);
        else if (origin == 2) base = file->recordLength(handle);
        const int64_t target = base + offset;
        if (target < 0 || target > INT32_MAX) return -1;
        position = static_cast<size_t>(target);
        return static_cast<int32_t>(target);
    });
}

int32_t F_GetLength(int32_t handle) {
    return guard(-1, [&] {
        auto* file = recordFile(handle);
        return file ? static_cast<int32_t>(file->recordLength(handle)) : -1;
    });
}

int32_t F_SetLength(int32_t handle, int32_t length) {
    return guard(0, [&] {
        auto* file = recordFile(handle);
        if (!file || length < 0) return 0;
        return file->setRecordLength(handle, static_cast<size_t>(length)) ? 1 : 0;
    });
}

int32_t F_Read(int32_t handle, void* buffer, int32_t size) {
    return guard(0, [&] {
        auto* file = recordFile(handle);
        if (!file || !buffer || size <= 0) return 0;
        size_t& position = openDesign()->recordPosition[handle];
        const size_t moved = file->readRecord(handle, position, buffer, static_cast<size_t>(size));
        position += moved;
        return static_cast<int32_t>(moved);
    });
}

int32_t F_Write(int32_t handle, const void* buffer, int32_t size) {
    return guard(0, [&] {
        auto* file = recordFile(handle);
        if (!file || !buffer || size <= 0) return 0;
        size_t& position = openDesign()->recordPosition[handle];
        if (!file->writeRecord(handle, position, buffer, static_cast<size_t>(size))) {
            state().lastError = "Cannot write design record: " + file->lastError();
            return 0;
        }
        position += static_cast<size_t>(size);
        return size;
    });
}

}  // extern "C"
