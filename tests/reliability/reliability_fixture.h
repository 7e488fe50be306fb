#pragma once
// ss4topng run as a demanding user runs it, on the faults an ordinary Linux
// machine has: full disks, links, devices, odd names, signals, huge files.
#include "runtime_fixture.h"

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct Outcome {
  int status = -1;       // the exit status; -1 when ended by a signal
  int signal = 0;        // the signal that ended it, if any
  std::string out, err;  // what it printed
  long peak_kib = 0;     // its peak resident memory
};

struct RunSettings {
  std::string folder;     // where it runs; the test folder when empty
  std::string stdout_to;  // a file for standard output; captured when empty
  // Without root's power over file permissions (as any user has it), so
  // that a permission test means the same under root.
  bool bound_by_permissions = false;
};

class Reliability : public RuntimeTest {
 protected:
  void SetUp() override;

  Outcome ss4topng(const std::vector<std::string>& args, const RunSettings& settings = {});
  // Starts ss4topng without waiting; finish() collects it.
  pid_t start(const std::vector<std::string>& args, const RunSettings& settings = {});
  Outcome finish(pid_t pid);

  std::string folder() const { return folder_; }
  // Writes bytes under a name (any bytes) in the test folder; answers the path.
  std::string put(const std::string& name, const std::vector<std::uint8_t>& bytes);
  // Names in a folder (the test folder by default), hidden ones included.
  std::vector<std::string> names_in(const std::string& where = "") const;

 private:
  std::string folder_;
  int runs_ = 0;
  std::map<pid_t, std::string> pending_outputs_;  // where each run's printing goes
};

// The bundled raster-bars sample's bytes.
std::vector<std::uint8_t> sample_screen();
// A dithered-looking screen: random pixels, and a look-up change on every
// row, as real pictures have; its PNG does not compress to nothing.
std::vector<std::uint8_t> noisy_screen(unsigned seed);
// True when libpng reads the whole file without an error.
bool png_is_complete(const std::string& path);
// Mounts a small private tmpfs on `where` for this test process and the
// programs it starts; false (nothing mounted) without root.
bool mount_small_disk(const std::string& where, std::size_t bytes);
void unmount_small_disk(const std::string& where);
