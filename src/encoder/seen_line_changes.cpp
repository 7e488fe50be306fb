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

// Rows dithered under one table, each with the error it carried on.
struct Run {
  Clut table{};
  int first = 0, count = 0;
  std::array<std::array<std::uint8_t, SCREEN_WIDTH>, TRIAL_ROWS> entries{};
  std::array<RowDither::Carry, TRIAL_ROWS> after{};
};

// Tries tables on the rows ahead and shows the rows chosen. The trial kept
// (the best so far) is most often the one the next rows go on with, so
// rows it dithered are taken from it instead of being dithered again.
class Trials {
 public:
  explicit Trials(const SeenSearch& search) : search_(search) {}

  // The seen error of rows near y once rows y on are dithered under
  // `table`, from `carry`; or, once it passes `bound`, some error beyond.
  double error(int y, const Clut& table, const RowDither::Carry& carry, double bound = HUGE_VAL) {
    const int end = std::min(SCREEN_HEIGHT, y + TRIAL_ROWS);
    trial_.table = table, trial_.first = y, trial_.count = end - y;
    const RowDither::Carry* from = &carry;
    const bool reuse = goes_on_kept(y, table);
    for (int r = y; r < end; ++r) {
      const std::size_t i = static_cast<std::size_t>(r - y);
      if (reuse && r < kept_.first + kept_.count) {
        const std::size_t k = static_cast<std::size_t>(r - kept_.first);
        trial_.entries[i] = kept_.entries[k], trial_.after[i] = kept_.after[k];
      } else {
        trial_.after[i] = *from;
        search_.dither.row(r, table, trial_.after[i], trial_.entries[i].data());
      }
      from = &trial_.after[i];
      show(r, table, trial_.entries[i].data());
    }
    // The rows tried first: they tell the trials apart most.
    const double tried = search_.seen.error(y, end, end, bound);
    return tried > bound ? tried : tried + search_.seen.error(y - BLUR_ROWS, y, end, bound - tried);
  }

  // Keeps the last trial, the best so far.
  void keep() {
    std::swap(trial_, kept_);
    next_ = kept_.first;
  }

  // Shows row y under `table` for good, its entries in `entries`, and moves
  // `carry` on.
  void commit(int y, const Clut& table, RowDither::Carry& carry, std::uint8_t* entries) {
    if (goes_on_kept(y, table) && y < kept_.first + kept_.count) {
      const std::size_t k = static_cast<std::size_t>(y - kept_.first);
      std::copy(kept_.entries[k].begin(), kept_.entries[k].end(), entries);
      carry = kept_.after[k];
      next_ = y + 1;
    } else {
      search_.dither.row(y, table, carry, entries);
      next_ = -1;
    }
    show(y, table, entries);
  }

 private:
  // Whether the kept trial's rows go on from the rows shown for good above y.
  bool goes_on_kept(int y, const Clut& table) const { return next_ == y && kept_.table == table; }

  void show(int y, const Clut& table, const std::uint8_t* entries) {
    for (std::size_t x = 0; x < SCREEN_WIDTH; ++x) row_[x] = palette_linear()[table[entries[x]]];
    search_.seen.show_row(y, row_.data());
  }

  const SeenSearch& search_;
  Run trial_, kept_;
  int next_ = -1;  // the row the kept trial goes on at, if it does
  std::array<Linear, SCREEN_WIDTH> row_{};
};

// `changes` but those that set an entry to what it holds already, which
// would cost a record and show nothing.
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
        trials.keep();
        LineChange best;
        best.entry = -1;
        for (LineChange change : proposed) {
          Clut table = clut;
          table[static_cast<std::size_t>(change.entry)] = static_cast<std::uint8_t>(change.colour);
          change.gain = unchanged - trials.error(y, table, carry, unchanged - best.gain);
          if (change.gain > best.gain) best = change, trials.keep();
        }
        if (best.entry >= 0) {
          clut[static_cast<std::size_t>(best.entry)] = static_cast<std::uint8_t>(best.colour);
          plan.changes.push_back(best);
          last = y;
        }
      }
    }
    trials.commit(y, clut, carry, &plan.entries[static_cast<std::size_t>(y) * SCREEN_WIDTH]);
  }
  plan.seen = search.seen.error(0, SCREEN_HEIGHT, SCREEN_HEIGHT);
  return plan;
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
    trials.commit(y, clut, carry, &plan.entries[static_cast<std::size_t>(y) * SCREEN_WIDTH]);
  }
  plan.seen = search.seen.error(0, SCREEN_HEIGHT, SCREEN_HEIGHT);
  return plan;
}

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
