// Records read in bulk share one block; deleting them gives the memory back.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "core/profile_record.h"
#include "core/record_block.h"

using namespace norvane;

namespace {

using Records = std::vector<std::unique_ptr<ProfileRecord>>;

bool blocks_enabled() {
#if defined(__SANITIZE_ADDRESS__)
  return false;
#else
  return true;
#endif
}

class RecordBlockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!blocks_enabled()) GTEST_SKIP() << "blocks are off under AddressSanitizer";
    ASSERT_EQ(record_blocks_in_use(), 0u);
  }
};

TEST_F(RecordBlockTest, RecordsOfAScopeLieSideBySideAndTheBlockGoesWithTheLast) {
  Records records;
  {
    RecordBlockScope scope(sizeof(ProfileRecord), 30);
    for (int i = 0; i < 31; ++i) records.push_back(std::make_unique_for_overwrite<ProfileRecord>());
  }
  ASSERT_EQ(record_blocks_in_use(), 1u);
  for (int i = 1; i < 30; ++i)
    EXPECT_EQ(reinterpret_cast<char*>(records[i].get()), reinterpret_cast<char*>(records[i - 1].get()) + sizeof(ProfileRecord));
  // The one record more than the scope was made for is an ordinary allocation.
  EXPECT_NE(reinterpret_cast<char*>(records[30].get()), reinterpret_cast<char*>(records[29].get()) + sizeof(ProfileRecord));

  // Records are written and read like any others, also after a neighbour went.
  for (size_t i = 0; i < records.size(); ++i) records[i]->name[0] = static_cast<char16_t>(u'A' + i);
  records.erase(records.begin() + 10);
  for (size_t i = 0; i < records.size(); ++i) {
    const size_t original = i < 10 ? i : i + 1;
    EXPECT_EQ(records[i]->name[0], static_cast<char16_t>(u'A' + original));
  }

  records.resize(5);
  EXPECT_EQ(record_blocks_in_use(), 1u);
  records.clear();
  EXPECT_EQ(record_blocks_in_use(), 0u);
}

TEST_F(RecordBlockTest, AScopeLeftEmptyOrEmptiedBeforeItClosesLeavesNoBlock) {
  { RecordBlockScope unused(sizeof(ProfileRecord), 8); }
  EXPECT_EQ(record_blocks_in_use(), 0u);
  {
    // A read that gives up drops what it read while the scope is still open.
    RecordBlockScope scope(sizeof(ProfileRecord), 8);
    Records records;
    for (int i = 0; i < 3; ++i) records.push_back(std::make_unique_for_overwrite<ProfileRecord>());
    records.clear();
    EXPECT_EQ(record_blocks_in_use(), 1u) << "the block stays while the scope may still hand out records";
    records.push_back(std::make_unique_for_overwrite<ProfileRecord>());
    records.clear();
  }
  EXPECT_EQ(record_blocks_in_use(), 0u);
}

TEST_F(RecordBlockTest, OnlyTheScopesThreadDrawsOnTheBlockAndAnyThreadMayGiveBack) {
  Records records;
  std::unique_ptr<ProfileRecord> other_thread;
  {
    RecordBlockScope scope(sizeof(ProfileRecord), 4);
    std::thread([&] { other_thread = std::make_unique_for_overwrite<ProfileRecord>(); }).join();
    records.push_back(std::make_unique_for_overwrite<ProfileRecord>());
  }
  EXPECT_EQ(record_blocks_in_use(), 1u);
  other_thread.reset();
  EXPECT_EQ(record_blocks_in_use(), 1u);
  // A record of the block may be deleted on another thread (the store writer does).
  std::thread([&] { records.clear(); }).join();
  EXPECT_EQ(record_blocks_in_use(), 0u);
}

}  // namespace
