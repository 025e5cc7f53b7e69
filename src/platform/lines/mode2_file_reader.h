#pragma once
// Reads a mode2 recording from a file descriptor in blocks and hands out its entries one by one:
// memory stays the same whatever the recording's length and its lines' (a line longer than a
// block is taken a piece at a time, each cut between tokens).
// A bad line ends the reading with kBadValue and "<path>:<line>: <reason>", a failing read with
// kIoError and "<path>: read error".
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/lines/mode2_source.h"

namespace koru {

class Mode2FileReader : public Mode2Source {
 public:
  // Reads `fd` (not owned) from where it stands, or, with `offset` >= 0, from that offset
  // without moving the descriptor's position, so that several readers can share it. `keep` is
  // held for as long as the reader lives (the owner of the descriptor).
  Mode2FileReader(int fd, std::string path, int64_t offset = -1,
                  std::shared_ptr<const void> keep = nullptr);
  ~Mode2FileReader() override;
  Mode2FileReader(const Mode2FileReader&) = delete;
  Mode2FileReader& operator=(const Mode2FileReader&) = delete;

  // Opens a recording for reading: a file that cannot be opened gives its errno status and a
  // message, anything but a regular file, pipe or FIFO (a folder, a device) kBadType and one.
  static status_t OpenPath(const std::string& path, int* fd, std::string* error);
  // A reader of its own descriptor for `path`; one that could not open it has that error as
  // its status and gives no entries.
  static std::unique_ptr<Mode2FileReader> Open(const std::string& path);

  // Everything read is also written to `fd` (a pipe's contents kept for later passes).
  void CopyTo(int fd) { copy_fd_ = fd; }

  bool Next(Mode2Entry* entry) override;
  status_t Status() const override { return status_; }
  std::string Error() const override { return error_; }
  // The memory the reader holds for the file's contents now.
  size_t HeldBytes() const { return buffer_.capacity() + entries_.capacity() * sizeof(Mode2Entry); }

 private:
  // The rest of the current line, or as much of it as the block holds cut after a blank;
  // `ends` tells which.
  bool NextPiece(std::string_view* piece, bool* ends);
  bool ParsePiece(std::string_view piece, bool ends);
  bool Fill();
  bool Fail(status_t status, std::string error);

  int fd_;
  std::string path_;
  int64_t offset_;
  std::shared_ptr<const void> keep_;
  bool owns_fd_ = false;
  int copy_fd_ = -1;
  std::vector<char> buffer_;
  size_t begin_ = 0;  // the unread bytes of buffer_ are [begin_, end_)
  size_t end_ = 0;
  bool at_end_ = false;
  size_t line_number_ = 0;
  // Within a line longer than the block: what its first token made it.
  enum class LongLine { kNone, kUndecided, kTokens, kComment };
  LongLine long_line_ = LongLine::kNone;
  std::vector<Mode2Entry> entries_;  // of the current line
  size_t next_entry_ = 0;
  std::string reason_;
  status_t status_ = kOk;
  std::string error_;
};

}  // namespace koru
