#pragma once
// What the loader modules' tests share: the modules registered through a
// loader cache and a MIME database made for the test, so that nothing
// installed counts; loads by file name and in pieces; pixels as rows; the
// thumbnailer run as a file manager runs it.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;
struct Free {
  void operator()(gpointer object) const { g_object_unref(object); }
  void operator()(GError* error) const { g_error_free(error); }
};
using Pixbuf = std::unique_ptr<GdkPixbuf, Free>;
using Error = std::unique_ptr<GError, Free>;

Bytes read_file(const fs::path& path);
void write_file(const fs::path& path, const Bytes& bytes);
Bytes operator+(Bytes a, const Bytes& b);

// R, G, B per pixel, top row first; empty unless 8-bit RGB without alpha.
std::vector<Bytes> rows_of(const GdkPixbuf* pixbuf);

Pixbuf load_file(const fs::path& path, Error& error);

// Through a loader for a MIME type ("": the type gdk-pixbuf tells from the
// bytes; null: the format named "ss4"), in pieces from one byte to the whole file, sizes spread over every order
// of magnitude. The loader, closed, or null with `error` when it fails.
std::unique_ptr<GdkPixbufLoader, Free> loader_fed_in_pieces(const Bytes& file, const char* mime_type,
                                                            std::mt19937& random, Error& error);
// The same loader's picture.
Pixbuf load_in_pieces(const Bytes& file, const char* mime_type, std::mt19937& random, Error& error);

struct Thumbnailing {
  int status = -1;
  std::string err;
  long peak_kib = 0;
};

// gdk-pixbuf-thumbnailer at 128 pixels, as a file manager runs it, with its
// peak memory (measured from a small process of its own).
Thumbnailing thumbnail(const fs::path& in, const fs::path& out);

// A fresh temporary folder per test, and random numbers from a fixed seed.
class PixbufFiles : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  fs::path folder_;
  std::mt19937 random_{2024};
};
