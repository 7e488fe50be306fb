#pragma once
// The colour network: a one-dimensional self-organising map of up to 256
// neurons that learns a palette from 4-byte pixels (blue, green, red, alpha),
// with colours compared in a gamma-1.8 space and alpha as a fourth component.
#include <cstddef>
#include <cstdint>

constexpr int NETWORK_MAX_NEURONS = 256;
constexpr int NETWORK_RADIUS_POWERS = 32;

// Neuron components, in their order inside a neuron.
constexpr int NEURON_ALPHA = 0;
constexpr int NEURON_RED = 1;
constexpr int NEURON_GREEN = 2;
constexpr int NEURON_BLUE = 3;

// Colour-map and palette entries are stored blue, green, red, alpha.
constexpr int ENTRY_BLUE = 0;
constexpr int ENTRY_GREEN = 1;
constexpr int ENTRY_RED = 2;
constexpr int ENTRY_ALPHA = 3;

struct ColourNetwork {
  const std::uint8_t* pixels;  // blue, green, red, alpha per pixel
  std::size_t length;          // in bytes: width × height × 4
  double neurons[NETWORK_MAX_NEURONS][4];
  // For each biased green, where the search for the nearest entry starts.
  std::int32_t green_index[256];
  double bias[NETWORK_MAX_NEURONS];
  double frequency[NETWORK_MAX_NEURONS];
  double radius_power[NETWORK_RADIUS_POWERS];
  std::int32_t neuron_count;
  double gamma;
  // Byte values raised to 1 / gamma, scaled back to 0..255 and rounded.
  double bias_table[256];
  // The neurons converted back to bytes in the biased space, sorted by green.
  std::uint8_t colour_map[NETWORK_MAX_NEURONS][4];
};

// Prepares a zero-filled network over pixels for neuron_count (2..256) neurons.
void set_up_network(ColourNetwork& network, const std::uint8_t* pixels, std::size_t length, std::int32_t neuron_count,
                    double gamma);

// Learns from one pixel in sampling_factor (1..10).
void train_network(ColourNetwork& network, std::int32_t sampling_factor);

// Builds the colour map, sorts the neurons by green and fills the green index.
void build_colour_map(ColourNetwork& network);

// Fills palette entries 0..neuron_count − 1 from the sorted neurons.
void write_network_palette(const ColourNetwork& network, std::uint8_t palette[][4]);

// The palette index whose colour lies nearest to the pixel.
std::int32_t nearest_colour(const ColourNetwork& network, std::int32_t alpha, std::int32_t red, std::int32_t green,
                            std::int32_t blue);
