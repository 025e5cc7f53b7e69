#pragma once
// A mode2 recording file that is played straight from the file, so its length costs no memory.
// Open reads it through once and checks every line, so that a bad recording is refused before
// anything plays; a pipe or FIFO, which gives its contents only once, is copied to an unlinked
// temporary file on that first reading. Each Play is a pass of its own from the start (a file
// is opened again for it: one changed since, or gone, ends the pass with an error status);
// passes may run side by side.
//
//   std::shared_ptr<const Mode2File> file;
//   if (Mode2File::Open(path, &file, &error) != kOk) ...;
//   std::unique_ptr<Mode2Source> pass = file->Play();
#include <memory>
#include <string>

#include "platform/lines/mode2_source.h"

namespace koru {

class Mode2File : public std::enable_shared_from_this<Mode2File> {
 public:
  // The errors of ReadMode2File, with the same messages.
  static status_t Open(const std::string& path, std::shared_ptr<const Mode2File>* file,
                       std::string* error);
  ~Mode2File();
  Mode2File(const Mode2File&) = delete;
  Mode2File& operator=(const Mode2File&) = delete;

  std::unique_ptr<Mode2Source> Play() const;

 private:
  Mode2File(std::string path, int copy_fd) : path_(std::move(path)), copy_fd_(copy_fd) {}
  std::string path_;
  int copy_fd_;  // the copy of a pipe or FIFO, else -1
};

}  // namespace koru
