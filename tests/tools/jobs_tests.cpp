// Worker processes: every item is converted exactly once whatever the job
// count, and an item is only ever counted as converted when it was.
#include "jobs.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>

namespace {

// Counts conversions across processes.
struct SharedCounts {
  std::atomic<int> converted[20];
};

class Ss4topngJobs : public ::testing::Test {
 protected:
  void SetUp() override {
    void* memory = mmap(nullptr, sizeof(SharedCounts), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    counts_ = new (memory) SharedCounts{};
  }
  void TearDown() override { munmap(counts_, sizeof(SharedCounts)); }

  Worker worker(std::function<std::string(std::size_t)> convert) {
    Worker w;
    w.start = [] { return true; };
    w.stop = [] {};
    w.convert = [this, convert](std::size_t i) {
      counts_->converted[i].fetch_add(1);
      return convert(i);
    };
    return w;
  }
  static std::string name(std::size_t i) { return "item" + std::to_string(i); }

  SharedCounts* counts_ = nullptr;
};

TEST_F(Ss4topngJobs, EachItemOnceAndFailuresCounted) {
  for (int jobs : {1, 2, 7, 50}) {
    for (auto& c : counts_->converted) c = 0;
    Worker w = worker([](std::size_t i) { return i % 3 == 0 ? "item" + std::to_string(i) + ": failed" : ""; });
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_jobs(20, jobs, w, name), 7u) << jobs << " jobs";
    std::string err = testing::internal::GetCapturedStderr();
    for (int i = 0; i < 20; ++i) EXPECT_EQ(counts_->converted[i].load(), 1) << "item " << i << ", " << jobs << " jobs";
    EXPECT_NE(err.find("item9: failed\n"), std::string::npos);
  }
}

TEST_F(Ss4topngJobs, AWorkerThatDiesFailsItsItemAndOthersCarryOn) {
  Worker w = worker([](std::size_t i) -> std::string {
    if (i == 4) _exit(9);
    return "";
  });
  testing::internal::CaptureStderr();
  EXPECT_EQ(run_jobs(12, 3, w, name), 1u);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "item4: conversion crashed\n");
  for (int i = 0; i < 12; ++i) EXPECT_EQ(counts_->converted[i].load(), 1) << i;
}

TEST_F(Ss4topngJobs, NoStartNoConversion) {
  for (int jobs : {1, 2}) {
    Worker w = worker([](std::size_t) { return std::string(); });
    w.start = [] { return false; };
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_jobs(3, jobs, w, name), 3u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "item0: not converted\nitem1: not converted\nitem2: not converted\n");
  }
}

}  // namespace
