#include "runtime/files.h"

#include "runtime/general_heap.h"

#include "native/system/file.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

struct FileRecord {
  native::File* handle;
  std::uint8_t* buffer;
  std::uint32_t waiting;  // bytes in the buffer not yet handed out
  std::uint32_t offset;   // where those bytes start
};

ObjectTable* file_table = nullptr;
constexpr std::int32_t FILE_TABLE_STEP = 16;

FileRecord* file_record(ObjectId number) { return static_cast<FileRecord*>(get_object(file_table, number)); }

// One system read of at most 4 GiB - 1 bytes at a time.
std::int64_t read_direct(native::File* file, std::uint8_t* out, std::int64_t count) {
  std::int64_t total = 0;
  while (total < count) {
    auto chunk = static_cast<std::uint32_t>(std::min<std::int64_t>(count - total, 0x40000000));
    std::uint32_t done = 0;
    if (!native::file_read(file, out + total, chunk, done) || done == 0) break;
    total += done;
  }
  return total;
}

}  // namespace

void init_files() { file_table = create_table(sizeof(FileRecord), FILE_TABLE_STEP, close_file); }

void shutdown_files() { release_all(file_table); }

std::int64_t query_file_size(std::u16string_view name) {
  if (name.empty()) return -1;
  native::FileStatus status = native::file_status(name);
  if (!status.exists) return -1;
  return status.is_directory ? -2 : static_cast<std::int64_t>(status.size);
}

ObjectId open_file_for_reading(ObjectId number, std::u16string_view name) {
  auto* record = static_cast<FileRecord*>(allocate_object(file_table, number));
  if (!record) return 0;
  ObjectId id = number == OBJECT_ANY ? handle_of(record) : number;
  native::File* file = native::file_open_for_reading(name);
  auto* buffer = static_cast<std::uint8_t*>(general_alloc_raw(FILE_BUFFER_SIZE));
  if (!file || !buffer) {
    native::file_close(file);
    general_free(buffer);
    free_object(file_table, id);
    return 0;
  }
  record->handle = file;
  record->buffer = buffer;
  return number == OBJECT_ANY ? id : reinterpret_cast<ObjectId>(file);
}

std::int64_t read_file_data(ObjectId number, void* destination, std::int64_t count) {
  FileRecord* record = file_record(number);
  if (!record || !destination || count <= 0) return 0;
  auto* out = static_cast<std::uint8_t*>(destination);
  std::int64_t from_buffer = std::min<std::int64_t>(count, record->waiting);
  std::memcpy(out, record->buffer + record->offset, static_cast<std::size_t>(from_buffer));
  record->offset += static_cast<std::uint32_t>(from_buffer);
  record->waiting -= static_cast<std::uint32_t>(from_buffer);
  std::int64_t rest = count - from_buffer;
  if (rest == 0) return count;
  if (rest >= FILE_BUFFER_SIZE) return from_buffer + read_direct(record->handle, out + from_buffer, rest);
  std::uint32_t filled = 0;
  native::file_read(record->handle, record->buffer, FILE_BUFFER_SIZE, filled);
  auto taken = static_cast<std::uint32_t>(std::min<std::int64_t>(rest, filled));
  std::memcpy(out + from_buffer, record->buffer, taken);
  record->offset = taken;
  record->waiting = filled - taken;
  return from_buffer + taken;
}

std::int64_t zeros_ahead(ObjectId number) {
  FileRecord* record = file_record(number);
  if (!record || record->waiting > 0) return 0;
  return native::file_hole_length(record->handle, native::file_position(record->handle));
}

bool skip_file_data(ObjectId number, std::int64_t count) {
  FileRecord* record = file_record(number);
  if (!record || count < 0) return false;
  std::int64_t from_buffer = std::min<std::int64_t>(count, record->waiting);
  record->offset += static_cast<std::uint32_t>(from_buffer);
  record->waiting -= static_cast<std::uint32_t>(from_buffer);
  if (count == from_buffer) return true;
  std::int64_t position = native::file_position(record->handle);
  return position >= 0 && native::file_seek(record->handle, position + count - from_buffer);
}

std::intptr_t close_file(ObjectId number) {
  if (number == OBJECT_ANY) {
    release_all(file_table);
    return 1;
  }
  FileRecord* record = file_record(number);
  if (!record) return 0;
  // Files here are only read, so there is no buffered data to write out.
  general_free(record->buffer);
  native::file_close(record->handle);
  free_object(file_table, number);
  return 1;
}

int file_error() { return native::last_file_error(); }

void set_file_error(int error) { native::set_last_file_error(error); }
