#include "export/colour_network.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double FAR_AWAY = 1073741824.0;  // 2^30, beyond any real distance
constexpr double INITIAL_LEARNING_RATE = 1024.0;
constexpr double INITIAL_RADIUS = 32.0;
constexpr double NEIGHBOUR_SCALE = 262144.0;  // a full radius power

// How much a pixel's colour counts against its alpha: fully for opaque
// pixels, not at all for transparent ones.
double colour_weight(std::int32_t alpha) {
  double clear = 1.0 - alpha / 255.0;
  return 1.0 - clear * clear;
}

// A neuron component back to a byte, undoing the gamma.
std::int32_t unbias(double value, double gamma) {
  if (value < 0) return 0;
  return static_cast<std::int32_t>(std::min(255.0, std::floor(std::pow(value / 255.0, gamma) * 256.0)));
}

std::int32_t unbias_alpha(double value) {
  if (value < 0) return 0;
  return static_cast<std::int32_t>(std::min(255.0, std::floor(value / 255.0 * 256.0)));
}

std::int32_t clamp_byte(std::int32_t value) { return std::clamp(value, 0, 255); }

struct Target {
  double alpha, red, green, blue;
};

// Finds the closest neuron to the target and the closest once each neuron's
// bias is taken off, and ages every neuron's frequency on the way. Neurons
// that win often build up a bias against them, so that rarely used neurons
// get a chance. Answers the biased winner, which is the one that learns.
std::int32_t find_winner(ColourNetwork& net, const Target& t) {
  double w = colour_weight(static_cast<std::int32_t>(t.alpha));
  double best = FAR_AWAY;
  double biased_best = FAR_AWAY;
  std::int32_t winner = 0;
  std::int32_t biased_winner = 0;
  for (std::int32_t i = 0; i < net.neuron_count; ++i) {
    const double* n = net.neurons[i];
    double d = w * std::fabs(n[NEURON_RED] - t.red) + w * std::fabs(n[NEURON_BLUE] - t.blue);
    if (d < best || d < biased_best + net.bias[i]) {
      d = d + w * std::fabs(n[NEURON_GREEN] - t.green) + std::fabs(n[NEURON_ALPHA] - t.alpha);
      if (d < best) {
        best = d;
        winner = i;
      }
      if (d < biased_best + net.bias[i]) {
        biased_best = d - net.bias[i];
        biased_winner = i;
      }
    }
    double step = net.frequency[i] / 1024.0;
    net.frequency[i] = net.frequency[i] - step;
    net.bias[i] = net.bias[i] + step * 1024.0;
  }
  net.frequency[winner] += 1.0 / 1024.0;
  net.bias[winner] -= 1.0;
  return biased_winner;
}

void move_neuron(double* n, double factor, const Target& t) {
  n[NEURON_ALPHA] = n[NEURON_ALPHA] - factor * (n[NEURON_ALPHA] - t.alpha);
  n[NEURON_RED] = n[NEURON_RED] - factor * (n[NEURON_RED] - t.red);
  n[NEURON_GREEN] = n[NEURON_GREEN] - factor * (n[NEURON_GREEN] - t.green);
  n[NEURON_BLUE] = n[NEURON_BLUE] - factor * (n[NEURON_BLUE] - t.blue);
}

// Pulls the neurons within rad of the winner toward the target, less the
// further they are; the radius-power table holds the pull by distance.
void move_neighbours(ColourNetwork& net, std::int32_t winner, std::int32_t rad, const Target& t) {
  std::int32_t high = std::min(winner + rad, net.neuron_count - 1);
  std::int32_t low = std::max(winner - rad, 0);
  for (std::int32_t m = 1; winner + m <= high || winner - m >= low; ++m) {
    // The table ends before the widest radius; what lies past it never pulls.
    double power = m < NETWORK_RADIUS_POWERS ? net.radius_power[m] : 0.0;
    double factor = power / NEIGHBOUR_SCALE;
    if (winner + m <= high) move_neuron(net.neurons[winner + m], factor, t);
    if (winner - m >= low) move_neuron(net.neurons[winner - m], factor, t);
  }
}

// A prime stride that does not divide the buffer, so that successive samples
// spread over the whole picture.
std::size_t sample_step(std::size_t length) {
  if (length % 499 != 0) return 4 * 499;
  if (length % 491 != 0) return 4 * 491;
  if (length % 487 != 0) return 4 * 487;
  return 4 * 503;
}

}  // namespace

void set_up_network(ColourNetwork& net, const std::uint8_t* pixels, std::size_t length, std::int32_t neuron_count,
                    double gamma) {
  net.pixels = pixels;
  net.length = length;
  net.neuron_count = std::clamp(neuron_count, 1, NETWORK_MAX_NEURONS);
  net.gamma = gamma;
  for (int i = 0; i < 256; ++i) net.bias_table[i] = std::floor(255.0 * std::pow(i / 255.0, 1.0 / gamma) + 0.5);

  std::int32_t n = net.neuron_count;
  for (std::int32_t j = 0; j < n; ++j) {
    double grey = net.bias_table[(j * 256) / n];
    net.neurons[j][NEURON_RED] = grey;
    net.neurons[j][NEURON_GREEN] = grey;
    net.neurons[j][NEURON_BLUE] = grey;
    net.neurons[j][NEURON_ALPHA] = j < 16 ? 16.0 * j : 255.0;
    net.frequency[j] = 1.0 / n;
    net.bias[j] = 0.0;
  }
}

void train_network(ColourNetwork& net, std::int32_t sampling_factor) {
  std::int32_t f = std::clamp(sampling_factor, 1, 10);
  std::size_t length = net.length;
  if (!net.pixels || length < 4) return;

  std::size_t samples = length / (4 * static_cast<std::size_t>(f));
  std::size_t delta = std::max<std::size_t>(samples / 100, 1);
  for (std::int32_t i = 0; i < NETWORK_RADIUS_POWERS; ++i)
    net.radius_power[i] = std::floor(static_cast<double>(((1024 - i * i) * 256 / 1024) * 1024));

  std::size_t step = sample_step(length);
  std::size_t position = 0;
  double learning_rate = INITIAL_LEARNING_RATE;
  double radius = INITIAL_RADIUS;
  std::int32_t rad = 32;
  std::int32_t rate_decrease = 30 + (f - 1) / 3;

  for (std::size_t s = 0; s < samples; ++s) {
    const std::uint8_t* p = net.pixels + position;
    std::int32_t a = p[3];
    Target t{static_cast<double>(a), 0.0, 0.0, 0.0};
    if (a != 0) {
      t.red = net.bias_table[p[2]];
      t.green = net.bias_table[p[1]];
      t.blue = net.bias_table[p[0]];
    }

    std::int32_t winner = find_winner(net, t);
    move_neuron(net.neurons[winner], learning_rate / 1024.0, t);
    if (rad != 0) move_neighbours(net, winner, rad, t);

    // Same as subtracting the length while at or past the end.
    position += step;
    if (position >= length) position %= length;

    if ((s + 1) % delta == 0) {
      radius = radius - radius / 30.0;
      rad = static_cast<std::int32_t>(radius);
      if (rad < 2) rad = 0;
      learning_rate = learning_rate - learning_rate / rate_decrease;
      std::int32_t rad2 = rad * rad;
      for (std::int32_t i = 0; i < rad && i < NETWORK_RADIUS_POWERS; ++i)
        net.radius_power[i] = std::floor(learning_rate * static_cast<double>(((rad2 - i * i) * 256) / rad2));
    }
  }
}

void build_colour_map(ColourNetwork& net) {
  std::int32_t n = net.neuron_count;
  for (std::int32_t i = 0; i < n; ++i) {
    const double* neuron = net.neurons[i];
    std::uint8_t* entry = net.colour_map[i];
    entry[ENTRY_BLUE] = static_cast<std::uint8_t>(net.bias_table[unbias(neuron[NEURON_BLUE], net.gamma)]);
    entry[ENTRY_GREEN] = static_cast<std::uint8_t>(net.bias_table[unbias(neuron[NEURON_GREEN], net.gamma)]);
    entry[ENTRY_RED] = static_cast<std::uint8_t>(net.bias_table[unbias(neuron[NEURON_RED], net.gamma)]);
    entry[ENTRY_ALPHA] = static_cast<std::uint8_t>(unbias_alpha(neuron[NEURON_ALPHA]));
  }

  // Selection sort by green (stable enough: the first smallest wins ties),
  // recording where each green value's run of entries sits.
  std::int32_t previous = 0;
  std::int32_t start = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    std::int32_t smallest = i;
    for (std::int32_t j = i + 1; j < n; ++j)
      if (net.colour_map[j][ENTRY_GREEN] < net.colour_map[smallest][ENTRY_GREEN]) smallest = j;
    if (smallest != i) {
      std::swap(net.neurons[i], net.neurons[smallest]);
      std::swap(net.colour_map[i], net.colour_map[smallest]);
    }
    std::int32_t green = net.colour_map[i][ENTRY_GREEN];
    if (green != previous) {
      net.green_index[previous] = (start + i) / 2;
      for (std::int32_t g = previous + 1; g < green; ++g) net.green_index[g] = i;
      previous = green;
      start = i;
    }
  }
  net.green_index[previous] = (start + n - 1) / 2;
  for (std::int32_t g = previous + 1; g < 256; ++g) net.green_index[g] = n - 1;
}

void write_network_palette(const ColourNetwork& net, std::uint8_t palette[][4]) {
  for (std::int32_t i = 0; i < net.neuron_count; ++i) {
    const double* neuron = net.neurons[i];
    palette[i][ENTRY_BLUE] = static_cast<std::uint8_t>(unbias(neuron[NEURON_BLUE], net.gamma));
    palette[i][ENTRY_GREEN] = static_cast<std::uint8_t>(unbias(neuron[NEURON_GREEN], net.gamma));
    palette[i][ENTRY_RED] = static_cast<std::uint8_t>(unbias(neuron[NEURON_RED], net.gamma));
    palette[i][ENTRY_ALPHA] = static_cast<std::uint8_t>(unbias_alpha(neuron[NEURON_ALPHA]));
  }
}

std::int32_t nearest_colour(const ColourNetwork& net, std::int32_t alpha, std::int32_t red, std::int32_t green,
                            std::int32_t blue) {
  std::int32_t a = clamp_byte(alpha);
  double r = 0.0;
  double g = 0.0;
  double b = 0.0;
  if (a != 0) {
    r = net.bias_table[clamp_byte(red)];
    g = net.bias_table[clamp_byte(green)];
    b = net.bias_table[clamp_byte(blue)];
  }
  double w = colour_weight(a);
  std::int32_t n = net.neuron_count;
  double best = FAR_AWAY;
  std::int32_t result = 0;

  // Walk outward from the entries of about the same green in both
  // directions; entries are sorted by green, so once green alone is worse
  // than the best match nothing further away can win.
  std::int32_t up = std::clamp(net.green_index[clamp_byte(static_cast<std::int32_t>(g))], 0, n);
  std::int32_t down = up - 1;
  while (up < n || down >= 0) {
    if (up < n) {
      const std::uint8_t* m = net.colour_map[up];
      double dg = m[ENTRY_GREEN] - g;
      double d = w * (dg * dg);
      if (d > best) break;
      double db = m[ENTRY_BLUE] - b;
      d += w * (db * db);
      if (d < best) {
        double dr = m[ENTRY_RED] - r;
        d += w * (dr * dr);
        if (d < best) {
          double da = m[ENTRY_ALPHA] - a;
          d += da * da;
          if (d < best) {
            best = d;
            result = up;
          }
        }
      }
      ++up;
    }
    if (down >= 0) {
      const std::uint8_t* m = net.colour_map[down];
      double dg = m[ENTRY_GREEN] - g;
      double d = w * (dg * dg);
      if (d > best) break;
      double dr = m[ENTRY_RED] - r;
      d += w * (dr * dr);
      if (d < best) {
        double db = m[ENTRY_BLUE] - b;
        d += w * (db * db);
        if (d < best) {
          double da = m[ENTRY_ALPHA] - a;
          d += da * da;
          if (d < best) {
            best = d;
            result = down;
          }
        }
      }
      --down;
    }
  }
  return result;
}
