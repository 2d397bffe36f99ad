#include "zones/ref_image.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "base/messages.h"
#include "base/text.h"

namespace vx {

namespace {

bool LooksEncoded(const std::vector<uint8_t>& blob) {
  static const uint8_t kJpeg[] = {0xFF, 0xD8, 0xFF};
  static const uint8_t kPng[] = {0x89, 'P', 'N', 'G'};
  return (blob.size() >= 3 && std::equal(kJpeg, kJpeg + 3, blob.begin())) ||
         (blob.size() >= 4 && std::equal(kPng, kPng + 4, blob.begin()));
}

// The image in the form the table stores: 8-bit grey or BGR; empty when it has no such form.
cv::Mat StorableImage(const cv::Mat& image) {
  if (image.empty() || image.depth() != CV_8U) return {};
  if (image.channels() == 1 || image.channels() == 3) return image;
  if (image.channels() == 4) {
    cv::Mat bgr;
    cv::cvtColor(image, bgr, cv::COLOR_BGRA2BGR);
    return bgr;
  }
  return {};
}

}  // namespace

cv::Mat DecodeRefImage(const std::vector<uint8_t>& blob, bool gray, int width, int height) {
  if (blob.empty()) return {};
  const int channels = gray ? 1 : 3;
  try {
    if (LooksEncoded(blob)) {
      cv::Mat decoded = cv::imdecode(blob, gray ? cv::IMREAD_GRAYSCALE : cv::IMREAD_COLOR);
      if (!decoded.empty()) return decoded;
    }
    if (width > 0 && height > 0 &&
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * channels == blob.size()) {
      return cv::Mat(height, width, CV_8UC(channels), const_cast<uint8_t*>(blob.data())).clone();
    }
  } catch (const cv::Exception&) {
  }
  return {};
}

cv::Mat LoadRefImage(SQLite::Database& db, int id) {
  SQLite::TablePtr row = db.GetTable(Format("select Gray,Width,Height from ImgRef where Id=%d", id));
  if (!row || row->GetRowCount() == 0) return {};
  row->MoveFirst();
  std::vector<uint8_t> blob;
  db.ReadBlob(Format("select Img from ImgRef where Id=%d", id), blob);
  return DecodeRefImage(blob, row->GetInt("Gray") != 0, row->GetInt("Width"), row->GetInt("Height"));
}

cv::Mat LoadRefImage(ExperimentFile& file, int id) {
  cv::Mat image;
  if (!RunReadTransaction(file, [&](SQLite::Database& db) { image = LoadRefImage(db, id); })) return {};
  return image;
}

bool SaveRefImage(SQLite::Database& db, int& id, const cv::Mat& image, const std::string& name) {
  const cv::Mat storable = StorableImage(image);
  if (storable.empty()) return false;
  std::vector<uint8_t> jpeg;
  try {
    if (!cv::imencode(".jpg", storable, jpeg)) return false;
  } catch (const cv::Exception&) {
    return false;
  }
  const int gray = storable.channels() == 1 ? 1 : 0;
  const std::string quoted = SqlQuote(name);
  SQLite::TablePtr existing = db.GetTable(Format("select Name from ImgRef where Id=%d", id));
  int rowId = id;
  if (existing && existing->GetRowCount() > 0) {
    db.Execute(Format("update ImgRef set Name='%s', Gray=%d, Width=%d, Height=%d, Img=NULL where Id=%d",
                      quoted.c_str(), gray, storable.cols, storable.rows, id));
  } else {
    if (db.Execute(Format("insert into ImgRef (Name, Gray, Width, Height) Values ('%s', %d, %d, %d)",
                          quoted.c_str(), gray, storable.cols, storable.rows)) != SQLite::kOk) {
      return false;
    }
    rowId = static_cast<int>(db.LastInsertRowId());
  }
  if (db.WriteBlob(Format("update ImgRef set Img=? where Id=%d", rowId), jpeg.data(), jpeg.size()) !=
      SQLite::kOk) {
    return false;
  }
  if (db.lastError() != SQLite::kOk) return false;
  id = rowId;
  return true;
}

bool SaveRefImage(ExperimentFile& file, int& id, const cv::Mat& image, const std::string& name) {
  if (StorableImage(image).empty()) return false;
  int newId = id;
  const bool saved = RunWriteTransaction(file, [&](SQLite::Database& db) {
    if (!SaveRefImage(db, newId, image, name) && db.lastError() == SQLite::kOk) {
      db.SetLastError(SQLite::kError);  // so that the transaction is rolled back
    }
  });
  if (saved) id = newId;
  return saved;
}

bool ListRefImages(ExperimentFile& file, bool colourOnly, std::vector<RefImageEntry>& images) {
  images.clear();
  return RunReadTransaction(file, [&](SQLite::Database& db) {
    SQLite::TablePtr table = db.GetTable(colourOnly
        ? "select Id, Name from ImgRef where Gray=0 order by Name asc"
        : "select Id, Name from ImgRef order by Name asc");
    if (table && table->MoveFirst()) {
      do {
        images.push_back({table->GetId(), table->GetText("Name")});
      } while (table->MoveNext());
    }
    for (RefImageEntry& image : images) {
      SQLite::TablePtr facts = db.GetTable(Format("select Gray,Width,Height from ImgRef where Id=%d", image.id));
      if (facts && facts->MoveFirst()) {
        image.gray = facts->GetInt("Gray") != 0;
        image.width = facts->GetInt("Width");
        image.height = facts->GetInt("Height");
      }
    }
  });
}

bool RenameRefImage(ExperimentFile& file, int id, const std::string& name) {
  return RunWriteTransaction(file, [&](SQLite::Database& db) {
    db.Execute(Format("update ImgRef set Name='%s' where Id=%d", SqlQuote(name).c_str(), id));
  });
}

bool TestsUsingRefImage(ExperimentFile& file, int id, std::vector<int>& testIds) {
  testIds.clear();
  return RunReadTransaction(file, [&](SQLite::Database& db) {
    SQLite::TablePtr table = db.GetTable("select Id, ParamsDetection from Tests order by Id asc");
    if (table && table->MoveFirst()) {
      do {
        if (IdSetContains(table->GetText("ParamsDetection"), id)) testIds.push_back(table->GetId());
      } while (table->MoveNext());
    }
  });
}

DeleteOutcome DeleteRefImage(ExperimentFile& file, int id) {
  std::vector<int> users;
  if (!TestsUsingRefImage(file, id, users)) return DeleteOutcome::Failed;
  const int question = users.empty() ? msg::kDeleteImage : msg::kDeleteUsedImage;
  if (file.services.asker == nullptr ||
      file.services.asker->Ask(question, MessageText(question), AskButtons::YesNo) != Answer::Yes) {
    return DeleteOutcome::Declined;
  }
  const bool deleted = RunWriteTransaction(
      file, [&](SQLite::Database& db) { db.Execute(Format("delete from ImgRef where Id=%d", id)); });
  return deleted ? DeleteOutcome::Deleted : DeleteOutcome::Failed;
}

}  // namespace vx
