#include "platform/lines/mode2_file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace koru {

namespace {
constexpr size_t kBlock = 64 * 1024;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}
}  // namespace

status_t Mode2FileReader::OpenPath(const std::string& path, int* fd, std::string* error) {
  // A folder would read as an empty recording and a device such as /dev/zero would never end.
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode)) {
    if (error) *error = path + ": not a regular file, pipe or FIFO";
    return kBadType;
  }
  *fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (*fd < 0) {
    const int saved = errno;
    if (error) *error = path + ": " + std::strerror(saved);
    return saved != 0 ? StatusFromErrno(saved) : kEntryNotFound;
  }
  return kOk;
}

Mode2FileReader::Mode2FileReader(int fd, std::string path, int64_t offset,
                                 std::shared_ptr<const void> keep)
    : fd_(fd), path_(std::move(path)), offset_(offset), keep_(std::move(keep)), buffer_(kBlock) {}

Mode2FileReader::~Mode2FileReader() {
  if (owns_fd_) ::close(fd_);
}

std::unique_ptr<Mode2FileReader> Mode2FileReader::Open(const std::string& path) {
  int fd = -1;
  std::string error;
  const status_t status = OpenPath(path, &fd, &error);
  auto reader = std::make_unique<Mode2FileReader>(fd, path);
  reader->owns_fd_ = fd >= 0;
  if (status != kOk) reader->Fail(status, error);
  return reader;
}

bool Mode2FileReader::Fail(status_t status, std::string error) {
  status_ = status;
  error_ = std::move(error);
  at_end_ = true;
  begin_ = end_ = 0;
  entries_.clear();
  next_entry_ = 0;
  return false;
}

bool Mode2FileReader::Fill() {
  if (at_end_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  for (;;) {
    const size_t room = buffer_.size() - end_;
    const ssize_t got = offset_ >= 0 ? ::pread(fd_, buffer_.data() + end_, room, offset_)
                                     : ::read(fd_, buffer_.data() + end_, room);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Fail(kIoError, path_ + ": read error");
    if (got == 0) {
      at_end_ = true;
      return false;
    }
    if (copy_fd_ >= 0) {
      for (ssize_t done = 0; done < got;) {
        const ssize_t put = ::write(copy_fd_, buffer_.data() + end_ + done, got - done);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return Fail(StatusFromErrno(errno), path_ + ": " + std::strerror(errno));
        done += put;
      }
    }
    if (offset_ >= 0) offset_ += got;
    end_ += static_cast<size_t>(got);
    return true;
  }
}

bool Mode2FileReader::NextPiece(std::string_view* piece, bool* ends) {
  size_t searched = begin_;
  for (;;) {
    const void* newline = std::memchr(buffer_.data() + searched, '\n', end_ - searched);
    if (newline != nullptr) {
      const size_t at = static_cast<size_t>(static_cast<const char*>(newline) - buffer_.data());
      *piece = std::string_view(buffer_.data() + begin_, at - begin_);
      *ends = true;
      begin_ = at + 1;
      return true;
    }
    if (end_ - begin_ == buffer_.size()) {
      // A full block without a line end: up to its last blank (a token as long as the block is
      // bad anyway and goes whole).
      size_t cut = end_;
      while (cut > begin_ && !IsBlank(buffer_[cut - 1])) --cut;
      if (cut == begin_) cut = end_;
      *piece = std::string_view(buffer_.data() + begin_, cut - begin_);
      *ends = false;
      begin_ = cut;
      return true;
    }
    const size_t seen = end_ - begin_;
    if (!Fill()) {
      if (status_ != kOk || (begin_ == end_ && long_line_ == LongLine::kNone)) return false;
      *piece = std::string_view(buffer_.data() + begin_, end_ - begin_);  // no final newline
      *ends = true;
      begin_ = end_;
      return true;
    }
    searched = begin_ + seen;
  }
}

bool Mode2FileReader::ParsePiece(std::string_view piece, bool ends) {
  if (long_line_ == LongLine::kNone) ++line_number_;
  if (long_line_ == LongLine::kNone || long_line_ == LongLine::kUndecided) {
    if (ends) {
      // A whole line, or the rest of one that held only blanks so far.
      long_line_ = LongLine::kNone;
      return ParseMode2Line(piece, &entries_, &reason_);
    }
    long_line_ = LongLine::kUndecided;
    const size_t first = piece.find_first_not_of(" \t\r\f\v");
    if (first == std::string_view::npos) return true;
    // A "pulse N" line is never this long: it is a token line or a bad one.
    long_line_ = piece[first] == '#' ? LongLine::kComment : LongLine::kTokens;
  }
  const bool good =
      long_line_ == LongLine::kComment || ParseMode2Tokens(piece, &entries_, &reason_);
  if (ends) long_line_ = LongLine::kNone;
  return good;
}

bool Mode2FileReader::Next(Mode2Entry* entry) {
  while (next_entry_ == entries_.size()) {
    entries_.clear();
    next_entry_ = 0;
    std::string_view piece;
    bool ends = false;
    if (!NextPiece(&piece, &ends)) return false;
    if (!ParsePiece(piece, ends))
      return Fail(kBadValue, path_ + ":" + std::to_string(line_number_) + ": " + reason_);
  }
  *entry = entries_[next_entry_++];
  return true;
}

}  // namespace koru
