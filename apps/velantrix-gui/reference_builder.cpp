#include "reference_builder.h"

#include <QComboBox>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>

#include "frame_canvas.h"
#include "zones/ref_image.h"
#include "zones/ref_image_builder.h"

namespace vx::gui {

ReferenceBuilder::ReferenceBuilder(ExperimentFile& file, std::function<cv::Mat()> frame, std::function<bool()> gray,
                                   QWidget* parent)
    : QGroupBox(tr("New reference image"), parent), file_(file), frame_(std::move(frame)), gray_(std::move(gray)) {
  auto* layout = new QGridLayout(this);
  area_ = new QComboBox;
  area_->addItem(tr("Whole frame"), static_cast<int>(PasteArea::WholeFrame));
  area_->addItem(tr("Top-left quarter"), static_cast<int>(PasteArea::TopLeft));
  area_->addItem(tr("Top-right quarter"), static_cast<int>(PasteArea::TopRight));
  area_->addItem(tr("Bottom-left quarter"), static_cast<int>(PasteArea::BottomLeft));
  area_->addItem(tr("Bottom-right quarter"), static_cast<int>(PasteArea::BottomRight));
  auto* paste = new QPushButton(tr("Paste from this frame"));
  auto* save = new QPushButton(tr("Save as..."));
  thumbnail_ = new QLabel(tr("Start with a whole frame, then paste the parts where the animal was."));
  thumbnail_->setWordWrap(true);
  thumbnail_->setMinimumHeight(60);
  layout->addWidget(area_, 0, 0);
  layout->addWidget(paste, 0, 1);
  layout->addWidget(thumbnail_, 1, 0, 1, 2);
  layout->addWidget(save, 2, 1);
  connect(paste, &QPushButton::clicked, this, [this] { Paste(area_->currentData().toInt()); });
  connect(save, &QPushButton::clicked, this, [this] {
    bool ok = false;
    const QString name = QInputDialog::getText(this, title(), tr("Name of the image"), QLineEdit::Normal, QString(), &ok);
    if (ok) SaveAs(name.trimmed().toStdString());
  });
}

bool ReferenceBuilder::Paste(int area) {
  const cv::Mat frame = frame_();
  if (!PasteIntoReference(image_, frame, gray_(), static_cast<PasteArea>(area))) {
    emit Problem(tr("Nothing pasted: start the reference with a whole frame."));
    return false;
  }
  ShowThumbnail();
  return true;
}

int ReferenceBuilder::SaveAs(const std::string& name) {
  if (name.empty()) {
    emit Problem(tr("The image needs a name."));
    return -1;
  }
  int id = -1;
  if (image_.empty() || !SaveRefImage(file_, id, image_, name)) {
    emit Problem(tr("The reference image could not be stored."));
    return -1;
  }
  emit Saved(id);
  return id;
}

void ReferenceBuilder::ShowThumbnail() {
  const QImage picture = ToQImage(image_);
  thumbnail_->setPixmap(QPixmap::fromImage(picture.scaledToHeight(90, Qt::SmoothTransformation)));
}

}  // namespace vx::gui
