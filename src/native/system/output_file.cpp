// Outputs that replace their target only when complete: see file.h.
#include "native/system/file.h"

#include "native/system/faults.h"
#include "native/system/file_record.h"
#include "native/system/text.h"

#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace native {
namespace {

// Temporary names a signal handler must remove. A process writes one output
// at a time; a few slots leave room to spare.
struct PendingName {
  volatile std::sig_atomic_t used;
  char path[PATH_MAX];
};
constexpr int PENDING_SLOTS = 8;
PendingName pending[PENDING_SLOTS];

int claim_pending(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (int i = 0; i < PENDING_SLOTS; ++i) {
    if (pending[i].used) continue;
    std::memcpy(pending[i].path, path.c_str(), path.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    pending[i].used = 1;
    return i;
  }
  return -1;
}

void release_pending(int& slot) {
  if (slot >= 0) pending[slot].used = 0;
  slot = -1;
}

// Signals wait while a temporary name comes or goes, so that a handler
// never misses a name that exists nor removes one that is no longer ours.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &before_);
  }
  ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t before_;
};

constexpr int MAX_LINK_HOPS = 40;  // as the kernel allows

thread_local bool replace_existing = true;

// What an output name comes to once its symbolic links are followed.
struct Target {
  enum Kind { replace, in_place, descriptor } kind = replace;
  std::string path;
  bool exists = false;
  struct stat status {};
  int descriptor_number = -1;
};

// /dev/fd/N, /proc/self/fd/N and /proc/<this process>/fd/N name this
// process's own descriptor N: it is written as the caller set it up (a pipe,
// a terminal, a file opened for appending), never reopened or replaced.
int own_descriptor(const std::string& path) {
  const std::string prefixes[] = {"/dev/fd/", "/proc/self/fd/", "/proc/" + std::to_string(::getpid()) + "/fd/"};
  for (const std::string& prefix : prefixes) {
    if (!path.starts_with(prefix) || path.size() == prefix.size() || path.size() > prefix.size() + 9) continue;
    std::string number = path.substr(prefix.size());
    if (std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return std::stoi(number);
  }
  return -1;
}

std::string folder_of(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string base_of(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool resolve_target(std::string path, Target& target) {
  for (int hop = 0; hop <= MAX_LINK_HOPS; ++hop) {
    if (int fd = own_descriptor(path); fd >= 0) {
      target.kind = Target::descriptor;
      target.descriptor_number = fd;
      return true;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno != ENOENT) {
        note_error(errno);
        return false;
      }
      target = {Target::replace, path, false, {}, -1};
      return true;
    }
    if (S_ISLNK(st.st_mode)) {
      char link[PATH_MAX];
      ssize_t n = ::readlink(path.c_str(), link, sizeof link);
      if (n < 0 || n == static_cast<ssize_t>(sizeof link)) {
        note_error(n < 0 ? errno : ENAMETOOLONG);
        return false;
      }
      std::string next(link, static_cast<std::size_t>(n));
      path = next.starts_with('/') ? next : folder_of(path) + "/" + next;
      continue;
    }
    if (S_ISDIR(st.st_mode)) {
      note_error(EISDIR);
      return false;
    }
    target = {S_ISREG(st.st_mode) ? Target::replace : Target::in_place, path, true, st, -1};
    return true;
  }
  note_error(ELOOP);
  return false;
}

// A hidden name beside the target that nothing has yet: ".NAME.XXXXXX".
std::string temporary_name(const std::string& target) {
  static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char random[6] = {};
  static unsigned counter = 0;
  if (::getrandom(random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
    unsigned mix = static_cast<unsigned>(::getpid()) * 2654435761u + ++counter * 40503u;
    for (unsigned char& r : random) r = static_cast<unsigned char>(mix >>= 5);
  }
  // Room for the dot and suffix within the longest name a folder takes.
  std::string name = ".";  // appended, not "." + ...: g++ 12 -O3 warns on that falsely
  name += base_of(target).substr(0, 200);
  name += '.';
  for (unsigned char r : random) name += letters[r % (sizeof letters - 1)];
  std::string folder = folder_of(target);
  return (folder == "/" ? "" : folder) + "/" + name;
}

bool can_name_unnamed_files() {
  static const bool available = ::access("/proc/self/fd", X_OK) == 0;
  return available;
}

// A file with no name in the target's folder; it gets one when committed,
// so a process killed on the way leaves nothing behind.
int open_unnamed(const std::string& folder) {
  if (!can_name_unnamed_files() || faults::unnamed_files_refused()) {
    errno = EOPNOTSUPP;
    return -1;
  }
  return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

// For file systems without unnamed files: a hidden temporary, made with the
// usual mode (0666 less the umask).
int open_named_temporary(File& file) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = temporary_name(file.target);
    SignalsHeld held;
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd >= 0) {
      file.temporary = name;
      file.pending_slot = claim_pending(name);
    }
    return fd;
  }
  errno = EEXIST;
  return -1;
}

// A replaced file keeps its mode, and its owner where the system lets us.
void keep_attributes(int fd, const struct stat& old) {
  if (::geteuid() == 0 && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
    // Not ours to insist on: the new file stays with its maker.
  }
  if (::fchmod(fd, old.st_mode & 07777) != 0) {
    // Likewise: the usual mode is no loss of data.
  }
}

// Gives an unnamed file its temporary name, ready for the rename.
bool name_unnamed(File& file) {
  std::string proc_path = "/proc/self/fd/" + std::to_string(file.fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = temporary_name(file.target);
    SignalsHeld held;
    if (::linkat(AT_FDCWD, proc_path.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      file.temporary = name;
      file.pending_slot = claim_pending(name);
      return true;
    }
    if (errno != EEXIST) break;
  }
  note_error(errno);
  return false;
}

void remove_temporary(File& file) {
  SignalsHeld held;
  if (!file.temporary.empty()) ::unlink(file.temporary.c_str());
  file.temporary.clear();
  release_pending(file.pending_slot);
}

bool close_descriptor(File& file) {
  int fd = file.fd;
  file.fd = -1;
  if (fd < 0 || ::close(fd) == 0 || errno == EINTR) return true;
  note_error(errno);
  return false;
}

// Gives a complete output its name only if nothing has that name: a new
// link never replaces what is there, and neither does a rename that is told
// not to.
bool put_in_place_new(File& file) {
  if (file.temporary.empty()) {
    std::string proc_path = "/proc/self/fd/" + std::to_string(file.fd);
    if (::linkat(AT_FDCWD, proc_path.c_str(), AT_FDCWD, file.target.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    note_error(errno);
    return false;
  }
  SignalsHeld held;
  if (::renameat2(AT_FDCWD, file.temporary.c_str(), AT_FDCWD, file.target.c_str(), RENAME_NOREPLACE) != 0) {
    // File systems without that rename: a second link, then the first goes.
    if ((errno != EINVAL && errno != ENOSYS) || ::link(file.temporary.c_str(), file.target.c_str()) != 0) {
      note_error(errno);
      return false;
    }
    ::unlink(file.temporary.c_str());
  }
  file.temporary.clear();
  release_pending(file.pending_slot);
  return true;
}

}  // namespace

File* file_create_output(std::u16string_view name) { return file_create_output_named(to_utf8(name)); }

File* file_create_output_named(const std::string& path) {
  set_last_file_error(0);
  if (path.empty()) return fail_with(ENOENT);
  if (faults::create_fails()) return fail_with(EACCES);
  struct stat st {};
  if (!replace_existing && ::lstat(path.c_str(), &st) == 0) return fail_with(EEXIST);
  Target target;
  if (!resolve_target(path, target)) return nullptr;
  std::unique_ptr<File> file(new (std::nothrow) File{});
  if (!file) return fail_with(ENOMEM);
  file->output = true;
  file->target = target.path;
  file->replaces = target.exists;
  file->keeps_existing = !replace_existing;
  switch (target.kind) {
    case Target::descriptor:
      file->in_place = true;
      file->fd = ::fcntl(target.descriptor_number, F_DUPFD_CLOEXEC, 0);
      break;
    case Target::in_place:
      file->in_place = true;
      file->fd = ::open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
      break;
    case Target::replace:
      file->fd = open_unnamed(folder_of(target.path));
      if (file->fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        file->fd = open_named_temporary(*file);
      if (file->fd >= 0 && target.exists) keep_attributes(file->fd, target.status);
      // The file itself may be writable while its folder is not.
      if (file->fd < 0 && target.exists && (errno == EACCES || errno == EPERM) &&
          ::access(target.path.c_str(), W_OK) == 0)
        return fail_with(FOLDER_REFUSES_NEW_FILES);
      break;
  }
  if (file->fd < 0) return fail_with(errno);
  return file.release();
}

bool file_commit(File* file) {
  if (!file) return false;
  if (!file->output) return file_close(file);
  std::unique_ptr<File> owned(file);
  bool ok = file->write_error == 0;
  if (!ok) note_error(file->write_error);
  if (file->in_place) return close_descriptor(*file) && ok;
  // Data first, then the name: a crash after the rename must not leave an
  // empty file where a good one was.
  if (ok && file->replaces && ::fsync(file->fd) != 0) {
    note_error(errno);
    ok = false;
  }
  if (file->keeps_existing) {
    if (ok) ok = put_in_place_new(*file);
    if (!close_descriptor(*file)) ok = false;
    remove_temporary(*file);
    return ok;
  }
  if (ok && file->temporary.empty()) ok = name_unnamed(*file);
  if (!close_descriptor(*file)) ok = false;
  SignalsHeld held;
  if (ok && ::rename(file->temporary.c_str(), file->target.c_str()) != 0) {
    note_error(errno);
    ok = false;
  }
  if (ok) {
    file->temporary.clear();
    release_pending(file->pending_slot);
  }
  remove_temporary(*file);
  return ok;
}

void set_outputs_replace_existing(bool replace) { replace_existing = replace; }

bool file_close(File* file) {
  if (!file) return false;
  std::unique_ptr<File> owned(file);
  bool closed = close_descriptor(*file);
  remove_temporary(*file);
  return closed;
}

namespace {

ssize_t stream_write(void* cookie, const char* data, size_t size) {
  auto* file = static_cast<File*>(cookie);
  std::size_t total = 0;
  while (total < size) {
    auto chunk = static_cast<std::uint32_t>(std::min<std::size_t>(size - total, 1u << 30));
    std::uint32_t done = 0;
    bool ok = file_write(file, data + total, chunk, done);
    total += done;
    if (!ok || done < chunk) break;
  }
  if (total == 0 && size > 0) {
    errno = file->write_error ? file->write_error : EIO;
    return -1;
  }
  return static_cast<ssize_t>(total);
}

// The file stays open for file_commit or file_close.
int stream_close(void*) { return 0; }

}  // namespace

std::FILE* file_output_stream(File* file) {
  if (!file) return nullptr;
  cookie_io_functions_t io{};
  io.write = stream_write;
  io.close = stream_close;
  std::FILE* stream = fopencookie(file, "wb", io);
  if (!stream) note_error(errno);
  return stream;
}

void remove_pending_outputs() {
  for (PendingName& p : pending)
    if (p.used) ::unlink(p.path);
}

}  // namespace native
