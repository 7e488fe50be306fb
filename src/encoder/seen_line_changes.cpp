#include "encoder/seen_line_changes.h"

#include <algorithm>
#include <cmath>

namespace encoder {

namespace {

// How many rows a trial dithers: enough to see a change's dots settle into
// their pattern, few enough to try several changes on every row.
constexpr int TRIAL_ROWS = 4;
// How many changes each way of binning proposes for a row.
constexpr int PROPOSALS = 3;
// How far up into the rows already shown a trial is scored: the blur
// reaches three rows, but the third takes under 0.5 % from the first row
// tried.
constexpr int BLUR_ROWS = 2;

class Trials {
 public:
  explicit Trials(const SeenSearch& search) : search_(search) {}

  // The seen error of rows near y once rows y on are dithered under
  // `table`, from `carry`; or, once it passes `bound`, some error beyond.
  double error(int y, const Clut& table, RowDither::Carry carry, double bound = HUGE_VAL) {
    const int end = std::min(SCREEN_HEIGHT, y + TRIAL_ROWS);
    for (int r = y; r < end; ++r) show(r, table, carry, entries_.data());
    // The rows tried first: they tell the trials apart most.
    const double tried = search_.seen.error(y, end, end, bound);
    return tried > bound ? tried : tried + search_.seen.error(y - BLUR_ROWS, y, end, bound - tried);
  }

  // Shows row y under `table`, its entries in `entries`, and moves `carry` on.
  void show(int y, const Clut& table, RowDither::Carry& carry, std::uint8_t* entries) {
    search_.dither.row(y, table, carry, entries);
    for (std::size_t x = 0; x < SCREEN_WIDTH; ++x) row_[x] = palette_linear()[table[entries[x]]];
    search_.seen.show_row(y, row_.data());
  }

 private:
  const SeenSearch& search_;
  std::array<std::uint8_t, SCREEN_WIDTH> entries_{};
  std::array<Linear, SCREEN_WIDTH> row_{};
};

// The changes that set an entry to what it holds already dropped.
std::vector<LineChange> effective(const Clut& start, std::vector<LineChange> changes) {
  Clut clut = start;
  std::erase_if(changes, [&clut](const LineChange& change) {
    auto& entry = clut[static_cast<std::size_t>(change.entry)];
    if (entry == change.colour) return true;
    entry = static_cast<std::uint8_t>(change.colour);
    return false;
  });
  return changes;
}

}  // namespace

ScreenPlan plan_screen(const SeenSearch& search, const Clut& start, std::vector<LineChange> changes) {
  ScreenPlan plan{effective(start, std::move(changes)), std::vector<std::uint8_t>(SCREEN_WIDTH * SCREEN_HEIGHT), 0};
  Trials trials(search);
  RowDither::Carry carry;
  Clut clut = start;
  auto next = plan.changes.begin();
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    if (next != plan.changes.end() && next->row == y) {
      clut[static_cast<std::size_t>(next->entry)] = static_cast<std::uint8_t>(next->colour);
      ++next;
    }
    trials.show(y, clut, carry, &plan.entries[static_cast<std::size_t>(y) * SCREEN_WIDTH]);
  }
  plan.seen = search.seen.error(0, SCREEN_HEIGHT, SCREEN_HEIGHT);
  return plan;
}

namespace {

// Top down, each row's best change among those proposed, if it lowers the
// seen error of the rows it is tried on; at most `most` of them, and
// `spacing` rows or more apart.
ScreenPlan greedy_search(const SeenSearch& search, const Clut& start, int most, int spacing) {
  ScreenPlan plan{{}, std::vector<std::uint8_t>(SCREEN_WIDTH * SCREEN_HEIGHT), 0};
  Trials trials(search);
  RowDither::Carry carry;
  Clut clut = start;
  int last = -spacing;
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    if (y > 0 && y - last >= spacing && static_cast<int>(plan.changes.size()) < most) {
      std::vector<LineChange> proposed;
      for (const RowBins* rows : search.proposers)
        for (const LineChange& change : propose_line_changes(*rows, y, clut, PROPOSALS))
          if (std::none_of(proposed.begin(), proposed.end(),
                           [&](const LineChange& p) { return p.entry == change.entry && p.colour == change.colour; }))
            proposed.push_back(change);
      if (!proposed.empty()) {
        const double unchanged = trials.error(y, clut, carry);
        LineChange best;
        best.entry = -1;
        for (LineChange change : proposed) {
          Clut table = clut;
          table[static_cast<std::size_t>(change.entry)] = static_cast<std::uint8_t>(change.colour);
          change.gain = unchanged - trials.error(y, table, carry, unchanged - best.gain);
          if (change.gain > best.gain) best = change;
        }
        if (best.entry >= 0) {
          clut[static_cast<std::size_t>(best.entry)] = static_cast<std::uint8_t>(best.colour);
          plan.changes.push_back(best);
          last = y;
        }
      }
    }
    trials.show(y, clut, carry, &plan.entries[static_cast<std::size_t>(y) * SCREEN_WIDTH]);
  }
  plan.seen = search.seen.error(0, SCREEN_HEIGHT, SCREEN_HEIGHT);
  return plan;
}

}  // namespace

ScreenPlan search_line_changes(const SeenSearch& search, const Clut& start, int max_changes) {
  if (max_changes <= 0) return plan_screen(search, start, {});
  ScreenPlan all = greedy_search(search, start, SCREEN_HEIGHT, 1);
  if (static_cast<int>(all.changes.size()) <= max_changes) return all;
  // Too many. Each change suits the table the ones above it left, so the
  // rows' own best changes help only while the next rows may change too.
  // Two ways to keep to the allowance, each right for some pictures: the
  // changes that gained most (a picture that changes in a few places), or a
  // search again with the allowance spread evenly down the screen (one that
  // changes all the way down).
  ScreenPlan spread = greedy_search(search, start, max_changes, (SCREEN_HEIGHT - 1) / max_changes);
  std::vector<LineChange> strongest = std::move(all.changes);
  std::stable_sort(strongest.begin(), strongest.end(),
                   [](const LineChange& p, const LineChange& q) { return p.gain > q.gain; });
  strongest.resize(static_cast<std::size_t>(max_changes));
  std::sort(strongest.begin(), strongest.end(), [](const LineChange& p, const LineChange& q) { return p.row < q.row; });
  ScreenPlan kept = plan_screen(search, start, std::move(strongest));
  return kept.seen < spread.seen ? kept : spread;
}

}  // namespace encoder
