#include "image_fixture.h"

#include "image/drawing_context.h"
#include "image/runtime_services.h"
#include "native/graphics/bitmap.h"
#include "native/graphics/gdi_object.h"

#include <cstring>

namespace {

// Images and drawing alone.
RuntimeServices image_services() {
  RuntimeServices s;
  s.text = s.memory_blocks = s.files = false;
  return s;
}

}  // namespace

void ImageTest::SetUp() {
  RuntimeTest::SetUp();
  start_runtime_services(image_services());
}

void ImageTest::TearDown() {
  stop_drawing();
  stop_runtime_services(image_services());
  EXPECT_EQ(native::live_object_count(native::ObjectType::bitmap), 0u);
  EXPECT_EQ(native::live_object_count(native::ObjectType::dc), 0u);
  EXPECT_EQ(native::live_object_count(native::ObjectType::brush), 0u);
  RuntimeTest::TearDown();
}

ImageRecord* image_record(ObjectId number) { return static_cast<ImageRecord*>(get_object(image_table(), number)); }

std::uint8_t* image_bits(ObjectId number) {
  native::DibSection section{};
  if (!native::get_dib_section(reinterpret_cast<void*>(image_id(number)), section)) return nullptr;
  return static_cast<std::uint8_t*>(section.bitmap.bits);
}

Pixels snapshot(ObjectId number) {
  Pixels pixels;
  native::DibSection section{};
  if (!native::get_dib_section(reinterpret_cast<void*>(image_id(number)), section)) return pixels;
  pixels.width = section.bitmap.width;
  pixels.height = section.bitmap.height;
  pixels.stride = section.bitmap.width_bytes;
  pixels.bytes = section.bitmap.bits_per_pixel / 8;
  const auto* bits = static_cast<const std::uint8_t*>(section.bitmap.bits);
  pixels.data.assign(bits, bits + static_cast<std::size_t>(pixels.stride) * pixels.height);
  return pixels;
}

void restore(ObjectId number, const Pixels& pixels) {
  std::memcpy(image_bits(number), pixels.data.data(), pixels.data.size());
}

Pixels fill_pattern(ObjectId number, unsigned seed) {
  Pixels pixels = snapshot(number);
  for (std::size_t i = 0; i < pixels.data.size(); ++i)
    pixels.data[i] = static_cast<std::uint8_t>((i * 37 + seed * 101 + 11) & 0xFF);
  restore(number, pixels);
  return pixels;
}
