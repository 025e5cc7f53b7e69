#pragma once
// What the media list accepts: audio and video files, told by their MIME type from the shared
// MIME database (contents and name), and the picture that stands for a folder.
#include <cstdint>
#include <filesystem>
#include <string>

namespace koru {

enum MediaKind : int32_t {
  kNoMediaFile = 0,
  kAudioFile = 10,
  kVideoFile = 11,
};

// The kind of a MIME type: "audio/..." audio; "video/..." and the ASF container video.
MediaKind MediaKindOfType(const std::string& mime_type);
// The file's MIME type and kind.
std::string MimeTypeOf(const std::filesystem::path& file);
MediaKind MediaKindOf(const std::filesystem::path& file);

// The folder's own picture: "Folder.jpg", else "folder.jpg", "cover.jpg" or "cover.png";
// empty when the folder has none of them.
std::filesystem::path FolderPictureFile(const std::filesystem::path& folder);

}  // namespace koru
