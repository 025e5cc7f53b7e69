#include "media_list/media_file_kind.h"

#include <QMimeDatabase>

namespace koru {

MediaKind MediaKindOfType(const std::string& mime_type) {
  if (mime_type.find("audio/") != std::string::npos) return kAudioFile;
  if (mime_type.find("video/") != std::string::npos) return kVideoFile;
  // The shared MIME database names the ASF container "application/vnd.ms-asf" today.
  if (mime_type.find("/x-asf") != std::string::npos) return kVideoFile;
  if (mime_type.find("/vnd.ms-asf") != std::string::npos) return kVideoFile;
  return kNoMediaFile;
}

std::string MimeTypeOf(const std::filesystem::path& file) {
  static const QMimeDatabase database;
  return database.mimeTypeForFile(QString::fromStdString(file.string())).name().toStdString();
}

MediaKind MediaKindOf(const std::filesystem::path& file) {
  return MediaKindOfType(MimeTypeOf(file));
}

std::filesystem::path FolderPictureFile(const std::filesystem::path& folder) {
  for (const char* name : {"Folder.jpg", "folder.jpg", "cover.jpg", "cover.png"}) {
    std::error_code error;
    std::filesystem::path picture = folder / name;
    if (std::filesystem::is_regular_file(picture, error)) return picture;
  }
  return {};
}

}  // namespace koru
