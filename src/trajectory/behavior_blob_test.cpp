#include "trajectory/behavior_blob.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vx {
namespace {

using Bytes = std::vector<uint8_t>;

CListRecBehavior List(int protocolId, uint32_t behaviorId, uint32_t value,
                      std::vector<tRecBehavior> occurrences) {
  CListRecBehavior list;
  list.protocolId = protocolId;
  list.behaviorId = behaviorId;
  list.value = value;
  list.occurrences = std::move(occurrences);
  return list;
}

// Every stored field of every list, occurrences as (start, end).
std::vector<std::tuple<int, uint32_t, uint32_t, std::vector<std::pair<uint32_t, uint32_t>>>> Fields(
    const RecordedBehaviors& behaviors) {
  std::vector<std::tuple<int, uint32_t, uint32_t, std::vector<std::pair<uint32_t, uint32_t>>>> fields;
  for (const CListRecBehavior& list : behaviors.lists) {
    std::vector<std::pair<uint32_t, uint32_t>> occurrences;
    for (const tRecBehavior& o : list.occurrences) occurrences.emplace_back(o.start, o.end);
    fields.emplace_back(list.protocolId, list.behaviorId, list.value, occurrences);
  }
  return fields;
}

TEST(BehaviorBlob, LayoutOfQualifyingLists) {
  RecordedBehaviors behaviors;
  behaviors.protocolId = 3;
  behaviors.lists = {
      List(3, 2, 7, {{100, 250}, {300, 310}}),
      List(3, 5, 0, {}),             // no occurrence: left out
      List(4, 6, 0, {{10, 20}}),     // another protocol: left out
      List(3, 9, 1, {{200, 200}}),
  };
  EXPECT_EQ(WriteBehaviors(behaviors),
            (Bytes{0x01, 0x03, 0x02,                          // version, protocol, R
                   0x02, 0x07, 0x02, 0x64, 0x96, 0x01, 0x32, 0x0A,  // 100, 150, 50, 10
                   0x09, 0x01, 0x01, 0xC8, 0x01, 0x00}));      // 200, 0
  behaviors.lists = {List(3, 5, 0, {}), List(4, 6, 0, {{10, 20}})};  // nothing qualifies: no blob
  EXPECT_TRUE(WriteBehaviors(behaviors).empty());
}

TEST(BehaviorBlob, OverlappingOccurrencesAreStoredWithoutNegativeGaps) {
  RecordedBehaviors behaviors;
  behaviors.protocolId = 1;
  behaviors.lists = {List(1, 1, 0, {{100, 200}, {150, 180}})};
  RecordedBehaviors read;
  ASSERT_TRUE(ReadBehaviors(read, WriteBehaviors(behaviors), 1));
  // The second one starts where the first ended and keeps its length.
  EXPECT_EQ(Fields(read), (decltype(Fields(read)){{1, 1, 0, {{100, 200}, {200, 230}}}}));
  EXPECT_EQ(read.protocolId, 1);
}

TEST(BehaviorBlob, AbsentBlobIsAnEmptySetOfTheProtocol) {
  RecordedBehaviors read;
  read.lists = {List(2, 1, 0, {{1, 2}})};
  ASSERT_TRUE(ReadBehaviors(read, {}, 4));
  EXPECT_TRUE(read.lists.empty());
  EXPECT_EQ(read.protocolId, 4);
}

TEST(BehaviorBlob, BlobOfAnotherProtocolOrVersionIsRefused) {
  RecordedBehaviors behaviors;
  behaviors.protocolId = 3;
  behaviors.lists = {List(3, 2, 0, {{1, 5}})};
  Bytes blob = WriteBehaviors(behaviors);
  RecordedBehaviors read;
  EXPECT_FALSE(ReadBehaviors(read, blob, 4));
  EXPECT_TRUE(read.lists.empty());
  EXPECT_EQ(read.protocolId, -1);
  blob[0] = 2;
  EXPECT_FALSE(ReadBehaviors(read, blob, 3));
  EXPECT_TRUE(read.lists.empty());
}

TEST(BehaviorBlob, EveryCutIsRefused) {
  RecordedBehaviors behaviors;
  behaviors.protocolId = 300;
  behaviors.lists = {List(300, 2, 9, {{100000, 100250}, {300000, 310000}}),
                     List(300, 4, 0, {{5, 6}})};
  const Bytes blob = WriteBehaviors(behaviors);
  for (size_t cut = 1; cut < blob.size(); ++cut) {
    RecordedBehaviors read;
    EXPECT_FALSE(ReadBehaviors(read, std::span(blob.data(), cut), 300)) << cut;
    EXPECT_TRUE(read.lists.empty()) << cut;
  }
}

TEST(BehaviorBlob, HugeCountsInAShortBlobAreRefusedWithoutAllocating) {
  // R = 2^32 - 1 lists, then one list claiming 2^32 - 1 occurrences.
  const Bytes blob = {0x01, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F,
                      0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0x01};
  RecordedBehaviors read;
  EXPECT_FALSE(ReadBehaviors(read, blob, 3));
  EXPECT_TRUE(read.lists.empty());
}

}  // namespace
}  // namespace vx
