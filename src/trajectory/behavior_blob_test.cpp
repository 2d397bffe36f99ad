#include "trajectory/behavior_blob.h"

#include <gtest/gtest.h>

#include <utility>

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
  ASSERT_EQ(read.lists.size(), 1u);
  ASSERT_EQ(read.lists[0].occurrences.size(), 2u);
  const tRecBehavior& second = read.lists[0].occurrences[1];
  EXPECT_EQ(std::pair(second.start, second.end), std::pair(200u, 230u));
  EXPECT_EQ(read.protocolId, 1);
}

TEST(BehaviorBlob, CutForeignOrNewerBlobsAreRefused) {
  RecordedBehaviors behaviors;
  behaviors.protocolId = 300;
  behaviors.lists = {List(300, 2, 9, {{100000, 100250}, {300000, 310000}}),
                     List(300, 4, 0, {{5, 6}})};
  Bytes blob = WriteBehaviors(behaviors);
  for (size_t cut = 1; cut < blob.size(); ++cut) {
    RecordedBehaviors read;
    EXPECT_FALSE(ReadBehaviors(read, std::span(blob.data(), cut), 300)) << cut;
    EXPECT_TRUE(read.lists.empty()) << cut;
  }
  RecordedBehaviors read;
  EXPECT_FALSE(ReadBehaviors(read, blob, 301));  // recorded under another protocol
  EXPECT_EQ(std::pair(read.lists.empty(), read.protocolId), std::pair(true, -1));
  blob[0] = 2;  // a later version
  EXPECT_FALSE(ReadBehaviors(read, blob, 300));
  EXPECT_TRUE(read.lists.empty());
}

}  // namespace
}  // namespace vx
