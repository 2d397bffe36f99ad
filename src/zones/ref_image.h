// The experiment's library of reference images (table ImgRef): backgrounds without the animal
// that image-difference detection compares frames against. Shared by all protocols; detection
// settings refer to an image by its id.
//
// Images are stored JPEG-encoded (default quality) with their kind (Gray 1 for one 8-bit
// channel, 0 for three) and size. Blobs of older files may instead hold the raw pixels
// (exactly Width x Height x channels bytes, rows one after another); both forms are read.
//
// Each operation on an ExperimentFile opens its own connection and transaction (see
// db/experiment_db.h); the overloads taking a Database run inside the caller's transaction.
#pragma once

#include <opencv2/core/mat.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "db/experiment_db.h"

namespace vx {

struct RefImageEntry {
  int id = -1;
  std::string name;
  bool gray = false;
  int width = 0;
  int height = 0;
};

// The image of row id: one channel when stored as grey, else three (BGR). No row, an empty
// or undecodable blob: an empty image.
cv::Mat LoadRefImage(ExperimentFile& file, int id);
cv::Mat LoadRefImage(SQLite::Database& db, int id);

// The image stored in a blob of a row of the given kind and size (JPEG or legacy raw pixels);
// empty when the blob holds neither.
cv::Mat DecodeRefImage(const std::vector<uint8_t>& blob, bool gray, int width, int height);

// Stores image under name: updates row id when it exists, else inserts a row and sets id to
// the new row's id. Fails (false, nothing written) for an empty image or one that is not
// 8-bit with one or three channels (four channels are stored without their alpha).
bool SaveRefImage(ExperimentFile& file, int& id, const cv::Mat& image, const std::string& name);
bool SaveRefImage(SQLite::Database& db, int& id, const cv::Mat& image, const std::string& name);

// (id, name) of every image by name; colourOnly leaves out grey images (colour detection
// cannot use them).
bool ListRefImages(ExperimentFile& file, bool colourOnly, std::vector<RefImageEntry>& images);
bool RenameRefImage(ExperimentFile& file, int id, const std::string& name);

// Ids of the tests whose detection settings name image id (",id," in ParamsDetection).
bool TestsUsingRefImage(ExperimentFile& file, int id, std::vector<int>& testIds);

enum class DeleteOutcome { Deleted, Declined, Failed };
// Asks first (message 491, or 492 when tests use the image) through the file's Asker.
DeleteOutcome DeleteRefImage(ExperimentFile& file, int id);

}  // namespace vx
