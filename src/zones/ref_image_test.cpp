#include "zones/ref_image.h"

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "base/text.h"
#include "support/experiment_fixture.h"
#include "zones/ref_image_builder.h"

namespace {

class RefImages : public ::testing::Test {
 protected:
  std::string Query(const std::string& sql) { return vx::testing::QueryValue(fixture.path(), sql); }
  static cv::Mat Gradient(int width, int height, int channels) {
    cv::Mat image(height, width, CV_8UC(channels));
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        for (int c = 0; c < channels; ++c) image.ptr<uint8_t>(y)[x * channels + c] = static_cast<uint8_t>(x + y * 2 + c * 40);
      }
    }
    return image;
  }

  vx::testing::ExperimentFixture fixture;
  vx::ExperimentFile& file = fixture.experiment.file;
  vx::testing::TestServices& services = fixture.services;
};

TEST_F(RefImages, GreyImageStoredAsJpegWithGrayOne) {
  const cv::Mat grey = Gradient(64, 48, 1);
  int id = -1;
  ASSERT_TRUE(vx::SaveRefImage(file, id, grey, "Empty arena"));
  EXPECT_GT(id, 0);
  EXPECT_EQ(vx::testing::QueryRows(file.path, vx::Format("select Name, Gray, Width, Height, hex(substr(Img,1,2)) "
                                                         "from ImgRef where Id=%d", id)),
            (std::vector<std::vector<std::string>>{{"Empty arena", "1", "64", "48", "FFD8"}}));
  const cv::Mat loaded = vx::LoadRefImage(file, id);
  ASSERT_EQ(loaded.type(), CV_8UC1);
  ASSERT_EQ(loaded.size(), grey.size());
  EXPECT_LT(cv::norm(loaded, grey, cv::NORM_INF), 12.0);  // JPEG is lossy
}

TEST_F(RefImages, ColourImageAndUpdateInPlace) {
  int id = -1;
  ASSERT_TRUE(vx::SaveRefImage(file, id, Gradient(32, 16, 3), "O'Hara"));
  const int first = id;
  ASSERT_TRUE(vx::SaveRefImage(file, id, Gradient(20, 10, 1), "O'Hara 2"));
  EXPECT_EQ(id, first);
  EXPECT_EQ(Query("select count(*) from ImgRef"), "1");
  const cv::Mat loaded = vx::LoadRefImage(file, id);
  EXPECT_EQ(loaded.type(), CV_8UC1);
  EXPECT_EQ(loaded.size(), cv::Size(20, 10));
  int colour = -1;
  ASSERT_TRUE(vx::SaveRefImage(file, colour, Gradient(32, 16, 3), "Colour"));
  EXPECT_EQ(vx::LoadRefImage(file, colour).type(), CV_8UC3);
}

TEST_F(RefImages, ListingRenamingAndColourOnly) {
  int a = -1, b = -1;
  ASSERT_TRUE(vx::SaveRefImage(file, a, Gradient(8, 8, 1), "b grey"));
  ASSERT_TRUE(vx::SaveRefImage(file, b, Gradient(8, 8, 3), "a colour"));
  std::vector<vx::RefImageEntry> images;
  ASSERT_TRUE(vx::ListRefImages(file, false, images));
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].name, "a colour");
  EXPECT_FALSE(images[0].gray);
  EXPECT_TRUE(images[1].gray);
  ASSERT_TRUE(vx::ListRefImages(file, true, images));
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].id, b);
  ASSERT_TRUE(vx::RenameRefImage(file, a, "it's grey"));
  EXPECT_EQ(Query(vx::Format("select Name from ImgRef where Id=%d", a)), "it's grey");
}

TEST_F(RefImages, DeletingAsksFirstAndWarnsWhenUsed) {
  int id = -1;
  ASSERT_TRUE(vx::SaveRefImage(file, id, Gradient(8, 8, 1), "x"));
  services.asker.answers = {vx::Answer::No};
  EXPECT_EQ(vx::DeleteRefImage(file, id), vx::DeleteOutcome::Declined);
  EXPECT_EQ(services.asker.questions.back().messageId, 491);
  vx::testing::ExecuteSql(file.path, vx::Format("insert into Tests (Title, ParamsDetection) values ('t', '0|1,%d,|')", id));
  services.asker.answers = {vx::Answer::Yes};
  EXPECT_EQ(vx::DeleteRefImage(file, id), vx::DeleteOutcome::Deleted);
  EXPECT_EQ(services.asker.questions.back().messageId, 492);
  EXPECT_EQ(Query("select count(*) from ImgRef"), "0");
}

TEST_F(RefImages, LegacyRawBlobsAreRead) {
  const cv::Mat colour = Gradient(6, 4, 3);
  vx::testing::ExecuteSql(file.path, "insert into ImgRef (Name, Gray, Width, Height) values ('old', 0, 6, 4)");
  SQLite::Database db;
  db.Open(file.path);
  ASSERT_EQ(db.WriteBlob("update ImgRef set Img=? where Id=1", colour.data, colour.total() * 3), SQLite::kOk);
  const cv::Mat loaded = vx::LoadRefImage(file, 1);
  ASSERT_EQ(loaded.type(), CV_8UC3);
  EXPECT_EQ(cv::norm(loaded, colour, cv::NORM_INF), 0.0);
}

TEST_F(RefImages, BadBlobsAndMissingRowsGiveEmptyImages) {
  EXPECT_TRUE(vx::LoadRefImage(file, 42).empty());
  vx::testing::ExecuteSql(file.path, "insert into ImgRef (Name, Gray, Width, Height) values ('empty', 1, 10, 10)");
  EXPECT_TRUE(vx::LoadRefImage(file, 1).empty());
  const std::vector<uint8_t> garbage{0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3, 4, 5};
  EXPECT_TRUE(vx::DecodeRefImage(garbage, true, 10, 10).empty());
  EXPECT_TRUE(vx::DecodeRefImage({1, 2, 3}, true, 10, 10).empty());
  EXPECT_TRUE(vx::DecodeRefImage({1, 2, 3, 4}, true, 2, 2).size() == cv::Size(2, 2));
  EXPECT_TRUE(vx::DecodeRefImage({1, 2, 3, 4}, true, -2, -2).empty());
  std::vector<uint8_t> truncated;
  cv::imencode(".jpg", Gradient(40, 40, 3), truncated);
  truncated.resize(truncated.size() / 3);
  EXPECT_NO_FATAL_FAILURE(vx::DecodeRefImage(truncated, false, 40, 40));
}

TEST_F(RefImages, UnstorableImagesWriteNothing) {
  int id = -1;
  EXPECT_FALSE(vx::SaveRefImage(file, id, cv::Mat(), "none"));
  EXPECT_FALSE(vx::SaveRefImage(file, id, cv::Mat(4, 4, CV_32FC1, cv::Scalar(1)), "float"));
  EXPECT_EQ(id, -1);
  EXPECT_EQ(Query("select count(*) from ImgRef"), "0");
  file.readOnly = true;
  EXPECT_FALSE(vx::SaveRefImage(file, id, Gradient(4, 4, 1), "read only"));
  EXPECT_EQ(Query("select count(*) from ImgRef"), "0");
}

TEST(RefImageBuilder, QuadrantsUseIntegerHalves) {
  const cv::Size frame(641, 481);
  EXPECT_EQ(vx::PasteRect(vx::PasteArea::BottomRight, frame), cv::Rect(321, 241, 320, 240));
  EXPECT_EQ(vx::PasteRect(vx::PasteArea::TopLeft, frame), cv::Rect(0, 0, 320, 240));
  EXPECT_EQ(vx::PasteRect(vx::PasteArea::TopRight, frame), cv::Rect(321, 0, 320, 240));
  EXPECT_EQ(vx::PasteRect(vx::PasteArea::BottomLeft, frame), cv::Rect(0, 241, 320, 240));
  EXPECT_EQ(vx::PasteRect(vx::PasteArea::Rectangle, frame, {600, -10, 100, 30}), cv::Rect(600, 0, 41, 20));
  EXPECT_TRUE(vx::PasteRect(vx::PasteArea::Rectangle, frame, {700, 10, 5, 5}).empty());
}

TEST(RefImageBuilder, PastesComposeTheReference) {
  cv::Mat reference;
  const cv::Mat dark(20, 30, CV_8UC3, cv::Scalar(10, 20, 30));
  const cv::Mat light(20, 30, CV_8UC3, cv::Scalar(200, 100, 50));
  EXPECT_FALSE(vx::PasteIntoReference(reference, light, true, vx::PasteArea::TopLeft));  // nothing to paste into
  ASSERT_TRUE(vx::PasteIntoReference(reference, dark, true, vx::PasteArea::WholeFrame));
  ASSERT_EQ(reference.type(), CV_8UC1);
  ASSERT_TRUE(vx::PasteIntoReference(reference, light, true, vx::PasteArea::BottomRight));
  // Code 7 reads the channels as red, green, blue: 0.299 * 200 + 0.587 * 100 + 0.114 * 50.
  EXPECT_EQ(reference.at<uint8_t>(19, 29), 124);
  EXPECT_EQ(reference.at<uint8_t>(0, 0), 18);  // 0.299 * 10 + 0.587 * 20 + 0.114 * 30 = 18.15
  EXPECT_EQ(cv::countNonZero(reference == 124), 15 * 10);
  EXPECT_FALSE(vx::PasteIntoReference(reference, cv::Mat(10, 10, CV_8UC3), true, vx::PasteArea::TopLeft));
  EXPECT_FALSE(vx::PasteIntoReference(reference, light, true, vx::PasteArea::Rectangle, {50, 50, 5, 5}));
  EXPECT_FALSE(vx::PasteIntoReference(reference, cv::Mat(), true, vx::PasteArea::WholeFrame));
  EXPECT_EQ(reference.size(), cv::Size(30, 20));
}

}  // namespace
