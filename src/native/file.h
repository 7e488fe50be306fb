#pragma once
// Files on POSIX, shaped like the handle-based file calls the runtime expects.
// Names are UTF-16 and converted to UTF-8 at the system boundary.
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace native {

struct File;

enum class FileAccess { read, read_write };
enum class FileDisposition { open_existing, create_always };

// Opens or creates a file; null on failure. Creating replaces an existing file.
File* file_open(std::u16string_view name, FileAccess access, FileDisposition disposition);
// Reads up to count bytes; answers false on an error. `done` gets the count read.
bool file_read(File* file, void* buffer, std::uint32_t count, std::uint32_t& done);
// Writes count bytes; a short write (disk full) answers true with done < count.
bool file_write(File* file, const void* buffer, std::uint32_t count, std::uint32_t& done);
bool file_close(File* file);
bool file_delete(std::u16string_view name);

// A C stream over a newly created file whose writes go through file_write, so
// the fault hooks reach writers that use stdio. Null on failure.
std::FILE* file_create_stream(std::u16string_view name);

// The first directory entry matching name (which may hold * and ?), entries
// taken in name order.
struct FindData {
  bool is_directory;
  std::uint64_t size;
};
bool find_first_file(std::u16string_view name, FindData& found);

constexpr std::uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
std::uint32_t file_attributes(std::u16string_view name);

// Drive types; Linux has no drive letters, so every root answers "no root".
constexpr unsigned DRIVE_NO_ROOT_DIR = 1;
unsigned drive_type(std::u16string_view root);

}  // namespace native
