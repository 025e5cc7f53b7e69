#pragma once
// A folder's picture and the folder it stands for; the media view draws it beside every entry
// of that folder.
#include <QPixmap>
#include <string>

namespace koru {

struct BitmapPath {
  std::string folder;
  QPixmap picture;
};

// The folder's own picture ("Folder.jpg", "folder.jpg", "cover.jpg", "cover.png"), else the
// icon theme's folder icon.
BitmapPath LoadFolderPicture(const std::string& folder);

}  // namespace koru
