#include "media_list/bitmap_path.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

#include "media_list/media_file_kind.h"
#include "toolkit/view_utilities.h"

namespace koru {

namespace {

// Large enough for the biggest entry size; smaller entries scale it down.
constexpr int kPictureSide = 256;

}  // namespace

BitmapPath LoadFolderPicture(const std::string& folder) {
  BitmapPath result{folder, {}};
  const std::filesystem::path file = FolderPictureFile(folder);
  if (!file.empty()) {
    if (std::unique_ptr<QImage> image = GetImage(file.c_str())) {
      result.picture = QPixmap::fromImage(
          image->scaled(kPictureSide, kPictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation));
      return result;
    }
  }
  QIcon icon = QIcon::fromTheme("folder");
  if (icon.isNull()) icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
  result.picture = icon.pixmap(kPictureSide, kPictureSide);
  return result;
}

}  // namespace koru
